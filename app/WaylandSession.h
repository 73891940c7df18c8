#pragma once

#include <string>

// On a Wayland desktop X11 screen reading sees only the programs that run through XWayland: the rest
// comes out black or missing. Where the window program or a command without the desktop portal still reads
// through X11, it says so once instead of delivering such captures without a word.
class WaylandSession {
public:
    // From XDG_SESSION_TYPE and WAYLAND_DISPLAY.
    static bool Detected();
    static std::string Notice();
    // The command line's one line on stderr, when the session is Wayland.
    static void WarnOnStderr();
};
