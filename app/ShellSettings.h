#pragma once

#include <array>

// One global hot key as the settings file stores it: a Windows virtual-key code and the MOD_ bits
// (1 Alt, 2 Ctrl, 4 Shift). Zero and zero means none.
struct HotKeyPair {
    int key = 0;
    int mask = 0;
};

// The part of the settings the frame itself acts on. Hot keys are in the order full screen,
// window / object, active window, region, scrolling window, fixed rectangle.
struct ShellSettings {
    bool trayMode = false;
    bool enableHotkey = false;
    bool autoStartup = false;
    std::array<HotKeyPair, 6> hotKeys {};
};

// Where the frame loads its settings at creation and saves them when it closes.
class ShellSettingsStore {
public:
    virtual ~ShellSettingsStore() = default;
    virtual ShellSettings Load() = 0;
    virtual void SaveOnClose(const ShellSettings& settings) = 0;
};
