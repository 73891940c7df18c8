#pragma once

#include "app/AutostartEntry.h"
#include "app/ShellSettings.h"

#include <QObject>

#include <array>
#include <optional>

class GlobalHotKeys;
class PortalGlobalShortcuts;
class TrayIcon;

// What the frame keeps on the desktop outside its window: the tray icon, the global hot keys and the
// autostart entry, each present while its setting is on. The settings record is the frame's.
class DesktopIntegration : public QObject {
    Q_OBJECT
public:
    // Hot-key ids are the capture commands, in the order the settings keep the pairs.
    static const std::array<int, 6> kHotKeyCommands;

    // How hot keys reach us: X11 grabs; on Wayland, where grabs see only XWayland's own windows, the
    // desktop portal's global shortcuts, or none at all (the user binds our commands in the desktop).
    enum class HotKeyRoute { X11Grabs, Portal, DesktopSettings };

    DesktopIntegration(ShellSettings& settings, AutostartEntry autostart, QString executable, QObject* parent);

    // At creation: the tray icon, the hot keys and the autostart entry as the loaded settings say.
    void ApplySettings();
    // The Setting menu's toggles: flip the flag and act on it at once.
    void ToggleTrayMode();
    void ToggleHotkeys();
    void ToggleAutostart();
    // Around the Define hot key dialog: ours are given back so the dialog sees only other programs'.
    void RegisterHotKeys();
    void UnregisterHotKeys();
    bool IsHotKeyHeldElsewhere(HotKeyPair pair);
    // Decided at the first use: asking the portal may take a moment.
    HotKeyRoute Route();
    // The program is closing: the tray icon goes and the hot keys are given back.
    void Shutdown();

    TrayIcon* Tray() const { return tray_; }
    GlobalHotKeys* HotKeys() const { return hotKeys_; }

signals:
    // A tray menu item or a hot key; hot keys arrive queued, never inside the key reader.
    void CommandRequested(int id);
    void TrayToggleRequested();
    void HotKeyPressed(int id);

private:
    void ApplyAutostart(bool on);

    ShellSettings& settings_;
    AutostartEntry autostart_;
    QString executable_;
    TrayIcon* tray_;
    GlobalHotKeys* hotKeys_;
    PortalGlobalShortcuts* portalKeys_ = nullptr; // made when the portal route is taken
    std::optional<HotKeyRoute> route_;
};
