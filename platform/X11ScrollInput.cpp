#include "platform/X11ScrollInput.h"

#include "platform/X11Display.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

X11ScrollInput::X11ScrollInput(X11Display& display)
    : display_(display)
    , escape_(XKeysymToKeycode(display.Get(), XK_Escape))
{
}

void X11ScrollInput::PlacePointer(int x, int y)
{
    Display* dpy = display_.Get();
    if (!saved_) {
        Window root = 0;
        Window child = 0;
        int winX = 0;
        int winY = 0;
        unsigned mask = 0;
        saved_ = XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &savedX_, &savedY_, &winX, &winY, &mask);
    }
    XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
    XFlush(dpy);
}

void X11ScrollInput::RestorePointer()
{
    if (!saved_)
        return;
    XTestFakeMotionEvent(display_.Get(), -1, savedX_, savedY_, CurrentTime);
    XFlush(display_.Get());
    saved_ = false;
}

void X11ScrollInput::WheelDown()
{
    Display* dpy = display_.Get();
    XTestFakeButtonEvent(dpy, 5, True, CurrentTime);
    XTestFakeButtonEvent(dpy, 5, False, CurrentTime);
    XFlush(dpy);
}

bool X11ScrollInput::EscapeDown()
{
    if (escape_ == 0)
        return false;
    char keys[32] = {};
    XQueryKeymap(display_.Get(), keys);
    return (keys[escape_ / 8] >> (escape_ % 8)) & 1;
}
