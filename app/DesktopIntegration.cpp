#include "app/DesktopIntegration.h"

#include "app/AppIcons.h"
#include "app/CommandIds.h"
#include "app/TrayIcon.h"
#include "app/WaylandSession.h"
#include "platform/GlobalHotKeys.h"
#include "platform/PortalGlobalShortcuts.h"

using namespace CommandId;

const std::array<int, 6> DesktopIntegration::kHotKeyCommands = { CaptureFullScreen, CaptureWindowObject,
    CaptureActiveWindow, CaptureRegion, CaptureScrollingWindow, CaptureFixedRect };

namespace {
// The desktop keeps the user's choice of keys under these names, so they never change.
struct PortalName {
    const char* name;
    const char* description;
};
constexpr PortalName kPortalNames[] = {
    { "capture-full-screen", "Capture full screen" },
    { "capture-window", "Capture window / object" },
    { "capture-active-window", "Capture active window" },
    { "capture-region", "Capture rectangle region" },
    { "capture-scrolling-window", "Capture scrolling window" },
    { "capture-fixed-rectangle", "Capture fix-size rectangle" },
};
} // namespace

DesktopIntegration::DesktopIntegration(
    ShellSettings& settings, AutostartEntry autostart, QString executable, QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , autostart_(std::move(autostart))
    , executable_(std::move(executable))
    , tray_(new TrayIcon(AppIcons::Application(), this))
    , hotKeys_(new GlobalHotKeys(this))
{
    connect(tray_, &TrayIcon::CommandTriggered, this, &DesktopIntegration::CommandRequested);
    connect(tray_, &TrayIcon::ToggleRequested, this, &DesktopIntegration::TrayToggleRequested);
    hotKeys_->SetHandler([this](int id) { emit HotKeyPressed(id); });
    connect(
        this, &DesktopIntegration::HotKeyPressed, this, &DesktopIntegration::CommandRequested, Qt::QueuedConnection);
}

void DesktopIntegration::ApplySettings()
{
    if (settings_.trayMode)
        tray_->Add();
    if (settings_.enableHotkey)
        RegisterHotKeys();
    if (settings_.autoStartup)
        ApplyAutostart(true);
}

DesktopIntegration::HotKeyRoute DesktopIntegration::Route()
{
    if (!route_) {
        route_ = !WaylandSession::Detected()     ? HotKeyRoute::X11Grabs
            : PortalGlobalShortcuts::Available() ? HotKeyRoute::Portal
                                                 : HotKeyRoute::DesktopSettings;
        if (*route_ == HotKeyRoute::Portal) {
            portalKeys_ = new PortalGlobalShortcuts(this);
            portalKeys_->SetHandler([this](int id) { emit HotKeyPressed(id); });
        }
    }
    return *route_;
}

void DesktopIntegration::RegisterHotKeys()
{
    switch (Route()) {
    case HotKeyRoute::X11Grabs:
        // Every failure, a pair of zeros included, just leaves that capture without a key.
        for (size_t i = 0; i < kHotKeyCommands.size(); ++i)
            hotKeys_->Register(kHotKeyCommands[i], settings_.hotKeys[i].key, settings_.hotKeys[i].mask);
        break;
    case HotKeyRoute::Portal: {
        std::vector<PortalGlobalShortcuts::Shortcut> shortcuts;
        for (size_t i = 0; i < kHotKeyCommands.size(); ++i)
            if (settings_.hotKeys[i].key != 0)
                shortcuts.push_back({ kHotKeyCommands[i], kPortalNames[i].name, kPortalNames[i].description,
                    settings_.hotKeys[i].key, settings_.hotKeys[i].mask });
        portalKeys_->Bind(std::move(shortcuts));
        break;
    }
    case HotKeyRoute::DesktopSettings:
        break;
    }
}

void DesktopIntegration::UnregisterHotKeys()
{
    hotKeys_->UnregisterAll();
    if (portalKeys_)
        portalKeys_->UnbindAll();
}

bool DesktopIntegration::IsHotKeyHeldElsewhere(HotKeyPair pair)
{
    // Only X11 tells; a desktop's shortcut settings settle clashes themselves.
    return Route() == HotKeyRoute::X11Grabs && hotKeys_->IsHeldElsewhere(pair.key, pair.mask);
}

void DesktopIntegration::ApplyAutostart(bool on)
{
    if (on)
        autostart_.Write(executable_);
    else
        autostart_.Remove();
}

void DesktopIntegration::ToggleTrayMode()
{
    settings_.trayMode = !settings_.trayMode;
    if (settings_.trayMode)
        tray_->Add();
    else
        tray_->Delete();
}

void DesktopIntegration::ToggleHotkeys()
{
    settings_.enableHotkey = !settings_.enableHotkey;
    if (settings_.enableHotkey)
        RegisterHotKeys();
    else
        UnregisterHotKeys();
}

void DesktopIntegration::ToggleAutostart()
{
    settings_.autoStartup = !settings_.autoStartup;
    ApplyAutostart(settings_.autoStartup);
}

void DesktopIntegration::Shutdown()
{
    if (settings_.trayMode)
        tray_->Delete();
    UnregisterHotKeys();
}
