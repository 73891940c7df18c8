#include "platform/X11ScreenInput.h"

#include "platform/X11Display.h"

#include <QGuiApplication>
#include <QWindow>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

QWindow* ToolkitWindow(WindowId id)
{
    for (QWindow* window : QGuiApplication::allWindows())
        if (window->handle() && WindowId(window->winId()) == id)
            return window;
    return nullptr;
}

} // namespace

X11ScreenInput::X11ScreenInput(X11Display& display)
    : display_(display)
{
}

bool X11ScreenInput::Grab(WindowId id)
{
    Release();
    QWindow* window = ToolkitWindow(id);
    if (!window)
        return false;
    if (!window->setKeyboardGrabEnabled(true))
        return false;
    if (!window->setMouseGrabEnabled(true)) {
        window->setKeyboardGrabEnabled(false);
        return false;
    }
    grabbed_ = window;
    return true;
}

void X11ScreenInput::Release()
{
    if (!grabbed_)
        return;
    grabbed_->setMouseGrabEnabled(false);
    grabbed_->setKeyboardGrabEnabled(false);
    grabbed_ = nullptr;
    // The next client must be able to grab at once: the ungrab may not wait in the toolkit's queue.
    QGuiApplication::sync();
}

void X11ScreenInput::MovePointer(int x, int y)
{
    Display* display = display_.Get();
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XFlush(display);
}
