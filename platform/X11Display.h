#pragma once

#include "platform/WindowId.h"

#include <memory>
#include <string>

typedef struct _XDisplay Display;

// One Xlib connection. X errors never end the process: a request on a window that vanished meanwhile
// simply fails, and ErrorTrap tells the caller.
class X11Display {
public:
    // Connects to name, or to $DISPLAY when name is empty; null when no server answers.
    static std::unique_ptr<X11Display> Open(const std::string& name = {});
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    Display* Get() const { return display_; }
    WindowId Root() const;
    std::string Name() const;
    // Interns an atom by name.
    unsigned long Atom(const char* name) const;

    // Counts the X errors raised between its construction and Failed().
    class ErrorTrap {
    public:
        explicit ErrorTrap(const X11Display& display);
        ~ErrorTrap();
        // Waits for the server to process every request so far.
        bool Failed() const;

    private:
        Display* display_;
        int before_;
    };

private:
    explicit X11Display(Display* display)
        : display_(display)
    {
    }

    Display* display_;
};
