#include "app/IniSettingsStore.h"

#include "settings/SettingsStore.h"

ShellSettings IniSettingsStore::FromRecord(const CaptureSettings& record)
{
    ShellSettings settings;
    settings.trayMode = record.IsTrayMode != 0;
    settings.enableHotkey = record.IsEnableHotkey != 0;
    settings.autoStartup = record.IsAutoStartup != 0;
    for (size_t i = 0; i < settings.hotKeys.size(); ++i)
        settings.hotKeys[i] = { record.Hotkeys[i].Hotkey, record.Hotkeys[i].HotkeyMask };
    return settings;
}

ShellSettings IniSettingsStore::Load()
{
    record_ = LoadCaptureSettings(iniPath_);
    return FromRecord(record_);
}

void IniSettingsStore::SaveOnClose(const ShellSettings& settings)
{
    record_.IsTrayMode = settings.trayMode ? 1 : 0;
    record_.IsEnableHotkey = settings.enableHotkey ? 1 : 0;
    record_.IsAutoStartup = settings.autoStartup ? 1 : 0;
    SaveSettingsOnClose(iniPath_, record_);
}
