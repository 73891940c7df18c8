#pragma once

#include <cstdint>
#include <string>

// One global hot key as the file keeps it: a Windows virtual-key code and the MOD_ bits (1 Alt, 2 Ctrl,
// 4 Shift). Zeros mean no hot key.
struct HotkeySetting {
    int32_t Hotkey = 0;
    int32_t HotkeyMask = 0;
    friend bool operator==(const HotkeySetting&, const HotkeySetting&) = default;
};

// The capture kinds that can carry a hot key, in the order the file and the record keep them.
enum class HotkeySlot { FullScreen, WindowObject, ActiveWindow, Region, ScrollingWindow, FixedRect, Count };

// The in-memory settings record held by the main frame. Booleans are 0 or 1.
struct CaptureSettings {
    static constexpr int kMinDelay = 800;
    // The record's text fields hold at most this many bytes.
    static constexpr size_t kMaxTextBytes = 511;

    int32_t HideWndBeforCap = 0;
    int32_t RestoreWndAftCap = 0;
    int32_t PlaySoundWhenCap = 0;
    int32_t IncludeCursor = 0;
    int32_t CapAppViewMode = 0;
    int32_t CopyToClipboard = 0;
    int32_t FixRectWidth = 100;
    int32_t FixRectHeight = 100;
    int32_t CapDelayTime = kMinDelay;
    HotkeySetting Hotkeys[int(HotkeySlot::Count)];
    int32_t IsAudoSave = 0;
    std::string ImageSavePath;
    std::string ImageSaveTitle = "Snap";
    int32_t StartNum = 1;
    int32_t ImageFormat = 0;
    int32_t IsTrayMode = 0;
    int32_t IsEnableHotkey = 0;
    int32_t IsAutoStartup = 0;
    // A capture that ends with the main window not on show says where it went in a desktop notification.
    int32_t NotifyWhenHidden = 1;
    // The language "Copy Text" reads, as the recogniser names it ("eng", "deu", "eng+deu").
    std::string OcrLanguage = "eng";

    HotkeySetting& HotkeyFor(HotkeySlot slot) { return Hotkeys[int(slot)]; }
    const HotkeySetting& HotkeyFor(HotkeySlot slot) const { return Hotkeys[int(slot)]; }
};

// Cuts text to at most maxBytes without splitting a UTF-8 character.
std::string CutToCharacterBoundary(std::string text, size_t maxBytes);
