#include "app/WaylandCapture.h"

#include "app/QuietApplication.h"
#include "editor/codecs/ImageBytes.h"
#include "platform/DesktopScreens.h"
#include "platform/PortalScreenshot.h"

#include <QGuiApplication>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>

namespace {

// The portal of a slow desktop may take seconds to write a large picture.
constexpr std::chrono::milliseconds kPortalLimit { 20000 };

bool IsSocket(const std::string& path)
{
    struct stat info { };
    return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

std::string Kind(CaptureMode mode)
{
    return mode == CaptureMode::ActiveWindow ? "active" : "window";
}

} // namespace

const char* WaylandCapture::ReachablePlatform()
{
    if (const char* chosen = std::getenv("QT_QPA_PLATFORM"); chosen && *chosen)
        return chosen;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (wayland && *wayland) {
        const std::string socket = wayland[0] == '/' ? wayland : std::string(runtime ? runtime : "") + "/" + wayland;
        if (IsSocket(socket))
            return "wayland";
    }
    const char* x11 = std::getenv("DISPLAY");
    return x11 && *x11 ? "xcb" : nullptr;
}

std::chrono::milliseconds WaylandCapture::PortalLimit()
{
    const char* text = std::getenv("LUMORA_PORTAL_TIMEOUT");
    char* end = nullptr;
    const double seconds = text && *text ? std::strtod(text, &end) : 0;
    if (seconds > 0 && end && *end == '\0')
        return std::chrono::milliseconds(std::lround(seconds * 1000));
    return kPortalLimit;
}

std::optional<std::string> WaylandCapture::Refusal(CaptureMode mode)
{
    switch (mode) {
    case CaptureMode::WindowObject:
    case CaptureMode::ActiveWindow:
        return "capture " + Kind(mode)
            + " cannot run on Wayland: the desktop tells no program where other windows are "
              "(use capture region)";
    case CaptureMode::ScrollingWindow:
        return "capture scroll cannot run on Wayland: the desktop lets no program scroll another program's window";
    default:
        return std::nullopt;
    }
}

std::optional<std::string> WaylandCapture::WindowProgramRefusal(CaptureMode mode)
{
    switch (mode) {
    case CaptureMode::WindowObject:
    case CaptureMode::ActiveWindow:
        return "Wayland does not let a program capture a window: the desktop tells no program where other "
               "windows are. Capture a region instead.";
    case CaptureMode::ScrollingWindow:
        return "Wayland does not allow a scrolling capture: the desktop lets no program scroll another program's "
               "window.";
    default:
        return std::nullopt;
    }
}

std::string WaylandCapture::NothingToReadWith()
{
    return "this Wayland session offers no way to read the screen: install xdg-desktop-portal and the "
           "desktop's backend (xdg-desktop-portal-gnome, -kde or -wlr), or run Xwayland";
}

WaylandCapture::WaylandCapture(bool takeNow)
    : clipboard_(&EncodeImageBytes)
{
    const bool ownApplication = !QCoreApplication::instance();
    // Silent before the portal call too.
    if (ownApplication)
        SilenceToolkit();
    std::unique_ptr<PortalScreenshot::Request> started;
    if (takeNow && ownApplication) {
        started = PortalScreenshot::Start(PortalLimit());
        // Refused: the portal is asked again as if no call had been made, for the same answers.
        if (!PortalScreenshot::Accepted(*started))
            started.reset();
    }
    if (ownApplication) {
        if (const char* platform = ReachablePlatform())
            app_ = QuietApplication<QGuiApplication>(platform);
        else
            app_ = QuietApplication<QCoreApplication>();
    }
    std::vector<LogicalScreen> screens;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        screens = DesktopScreens();
    screen_ = std::make_unique<PortalScreenSource>(std::move(screens), PortalLimit());
    portalTookCall_ = started != nullptr;
    if (started)
        screen_->UseStarted(std::move(started));
}

WaylandCapture::~WaylandCapture()
{
    // The process ends right after a command-line capture, so the application object made here is left to
    // that end: destroying it loads the whole font configuration first (Qt's font database asks fontconfig
    // for its current one in order to free it), which took longer than encoding a 1080p picture.
    static_cast<void>(app_.release());
}

bool WaylandCapture::PortalAvailable() const
{
    return portalTookCall_ || PortalScreenshot::Available();
}
