#pragma once

#include "capture/CaptureMode.h"
#include "platform/PortalScreenSource.h"
#include "platform/WaylandWindowSystem.h"
#include "platform/WlCopyClipboard.h"

#include <QCoreApplication>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

// What a capture from the command line reads and offers on a Wayland desktop: the screen through the
// desktop portal, no other programs' windows, the clipboard through wl-copy.
class WaylandCapture {
public:
    // The command line's one line for a kind Wayland cannot give a program, or nothing when it can run.
    static std::optional<std::string> Refusal(CaptureMode mode);
    // The same for the window program's menu items, buttons and hot keys.
    static std::optional<std::string> WindowProgramRefusal(CaptureMode mode);
    // The toolkit's platform for a display that is really there (wayland before xcb), or null for none:
    // the toolkit aborts the program when its display cannot be reached.
    static const char* ReachablePlatform();
    // How long the portal may take to answer: 20 s, or LUMORA_PORTAL_TIMEOUT seconds.
    static std::chrono::milliseconds PortalLimit();
    // The one line for a desktop where neither the portal nor X11 can read the screen.
    static std::string NothingToReadWith();

    // Makes the application object the portal's answer needs when none exists yet. takeNow: a capture that
    // reads the screen at once sends the portal its call first, and the toolkit connects to the display
    // while the portal takes the picture.
    explicit WaylandCapture(bool takeNow = false);
    ~WaylandCapture();
    WaylandCapture(const WaylandCapture&) = delete;
    WaylandCapture& operator=(const WaylandCapture&) = delete;

    // Whether the session bus offers the portal's Screenshot.
    bool PortalAvailable() const;

    PortalScreenSource& Screen() { return *screen_; }
    WaylandWindowSystem& Windows() { return windows_; }
    WlCopyClipboard& Clipboard() { return clipboard_; }

private:
    std::unique_ptr<QCoreApplication> app_;
    std::unique_ptr<PortalScreenSource> screen_;
    WaylandWindowSystem windows_;
    WlCopyClipboard clipboard_;
    bool portalTookCall_ = false;
};
