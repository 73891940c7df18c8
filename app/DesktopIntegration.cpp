#include "app/DesktopIntegration.h"

#include "app/AppIcons.h"
#include "app/CommandIds.h"
#include "app/TrayIcon.h"
#include "platform/GlobalHotKeys.h"

using namespace CommandId;

const std::array<int, 6> DesktopIntegration::kHotKeyCommands = { CaptureFullScreen, CaptureWindowObject,
    CaptureActiveWindow, CaptureRegion, CaptureScrollingWindow, CaptureFixedRect };

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

void DesktopIntegration::RegisterHotKeys()
{
    // Every failure, a pair of zeros included, just leaves that capture without a key.
    for (size_t i = 0; i < kHotKeyCommands.size(); ++i)
        hotKeys_->Register(kHotKeyCommands[i], settings_.hotKeys[i].key, settings_.hotKeys[i].mask);
}

void DesktopIntegration::UnregisterHotKeys()
{
    hotKeys_->UnregisterAll();
}

bool DesktopIntegration::IsHotKeyHeldElsewhere(HotKeyPair pair) const
{
    return hotKeys_->IsHeldElsewhere(pair.key, pair.mask);
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
        hotKeys_->UnregisterAll();
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
    hotKeys_->UnregisterAll();
}
