#pragma once

#include <string>

// On a Wayland desktop X11 screen reading sees only the programs that run through XWayland: the rest
// comes out black or missing. The program says so once at start instead of delivering such captures
// without a word (capturing through the desktop portal is later work).
class WaylandSession {
public:
    // From XDG_SESSION_TYPE and WAYLAND_DISPLAY.
    static bool Detected();
    static std::string Notice();
    // The command line's one line on stderr, when the session is Wayland.
    static void WarnOnStderr();
};
