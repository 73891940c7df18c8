#include "platform/X11Display.h"

#include <X11/Xlib.h>

#include <atomic>

namespace {

std::atomic<int> errorCount { 0 };

int CountError(Display*, XErrorEvent*)
{
    ++errorCount;
    return 0;
}

} // namespace

std::unique_ptr<X11Display> X11Display::Open(const std::string& name)
{
    Display* display = XOpenDisplay(name.empty() ? nullptr : name.c_str());
    if (!display)
        return nullptr;
    XSetErrorHandler(CountError);
    return std::unique_ptr<X11Display>(new X11Display(display));
}

X11Display::~X11Display()
{
    XCloseDisplay(display_);
}

WindowId X11Display::Root() const
{
    return DefaultRootWindow(display_);
}

std::string X11Display::Name() const
{
    return DisplayString(display_);
}

unsigned long X11Display::Atom(const char* name) const
{
    return XInternAtom(display_, name, False);
}

X11Display::ErrorTrap::ErrorTrap(const X11Display& display)
    : display_(display.Get())
{
    XSync(display_, False);
    before_ = errorCount;
}

X11Display::ErrorTrap::~ErrorTrap() = default;

bool X11Display::ErrorTrap::Failed() const
{
    XSync(display_, False);
    return errorCount != before_;
}
