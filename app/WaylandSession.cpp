#include "app/WaylandSession.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

bool WaylandSession::Detected()
{
    const char* type = std::getenv("XDG_SESSION_TYPE");
    const char* display = std::getenv("WAYLAND_DISPLAY");
    return (type && std::strcmp(type, "wayland") == 0) || (display && *display);
}

std::string WaylandSession::Notice()
{
    return "This is a Wayland session: Lumora reads the screen through X11 and sees only programs that run "
           "through XWayland. Windows of other programs come out black or are missing from captures.";
}

void WaylandSession::WarnOnStderr()
{
    if (Detected())
        std::cerr << "lumora: " << Notice() << "\n";
}
