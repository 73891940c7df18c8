#include "platform/X11ScreenInput.h"

#include "platform/X11Display.h"
#include "platform/X11PointerWatch.h"

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

X11ScreenInput::~X11ScreenInput() = default;

std::optional<PointerPosition> X11ScreenInput::Pointer()
{
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    if (!XQueryPointer(display_.Get(), display_.Root(), &root, &child, &rootX, &rootY, &x, &y, &mask))
        return std::nullopt;
    return PointerPosition { rootX, rootY };
}

bool X11ScreenInput::WatchPointer(std::function<void(const PointerEvent&)> handler)
{
    watch_.reset();
    if (!handler)
        return false;
    int opcode = 0, event = 0, error = 0;
    if (!XQueryExtension(display_.Get(), "XInputExtension", &opcode, &event, &error))
        opcode = -1;
    watch_ = std::make_unique<X11PointerWatch>(opcode, std::move(handler));
    return true;
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
