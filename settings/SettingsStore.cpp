#include "settings/SettingsStore.h"

#include "settings/IniFile.h"
#include "settings/StartNumLock.h"

#include <QDir>

#include <span>
#include <string_view>

namespace {

enum class KeyType {
    Bool,
    Int,
    BoolWrittenAsInt, // read leniently as a flag, written as "%d"
};

// When a key is written.
enum Moment : unsigned { OnDialog = 1, OnHotkeyDialog = 2, OnClose = 4 };

struct SettingKey {
    const char* section;
    const char* key;
    KeyType type;
    int defaultValue;
    unsigned writtenOn;
    int32_t& (*field)(CaptureSettings&);
};

#define FIELD(name) [](CaptureSettings& s) -> int32_t& { return s.name; }
#define HOTKEY(slot, member) [](CaptureSettings& s) -> int32_t& { return s.HotkeyFor(HotkeySlot::slot).member; }
#define HOTKEY_KEYS(section, slot)                                                                                     \
    SettingKey { section, "Hotkey", KeyType::Int, 0, OnHotkeyDialog, HOTKEY(slot, Hotkey) }, SettingKey                \
    {                                                                                                                  \
        section, "HotkeyMask", KeyType::Int, 0, OnHotkeyDialog, HOTKEY(slot, HotkeyMask)                               \
    }

// Every integer and flag of config.ini, in the order the file is read. The two text keys of AudoSaveSet
// have rules of their own (see LoadCaptureSettings).
const SettingKey kKeys[] = {
    HOTKEY_KEYS("CapFullScreen", FullScreen),
    HOTKEY_KEYS("CapWindows", WindowObject),
    HOTKEY_KEYS("CapActiveWindow", ActiveWindow),
    HOTKEY_KEYS("CapRegion", Region),
    HOTKEY_KEYS("CapScroll", ScrollingWindow),
    HOTKEY_KEYS("CapFixRect", FixedRect),
    { "CaptureSet", "HideWndBeforCap", KeyType::Bool, 0, OnDialog, FIELD(HideWndBeforCap) },
    { "CaptureSet", "RestoreWndAftCap", KeyType::Bool, 0, OnDialog, FIELD(RestoreWndAftCap) },
    { "CaptureSet", "PlaySoundWhenCap", KeyType::Bool, 0, OnDialog, FIELD(PlaySoundWhenCap) },
    { "CaptureSet", "IncludeCursor", KeyType::Bool, 0, OnDialog, FIELD(IncludeCursor) },
    { "CaptureSet", "CapAppViewMode", KeyType::Int, 0, OnDialog, FIELD(CapAppViewMode) },
    { "CaptureSet", "CopyToClipboard", KeyType::BoolWrittenAsInt, 0, OnDialog, FIELD(CopyToClipboard) },
    { "CaptureSet", "CapDelayTime", KeyType::Int, CaptureSettings::kMinDelay, OnDialog, FIELD(CapDelayTime) },
    { "CaptureSet", "FixRectWidth", KeyType::Int, 100, OnDialog, FIELD(FixRectWidth) },
    { "CaptureSet", "FixRectHeight", KeyType::Int, 100, OnDialog, FIELD(FixRectHeight) },
    { "CaptureSet", "NotifyWhenHidden", KeyType::Bool, 1, OnDialog, FIELD(NotifyWhenHidden) },
    { "AudoSaveSet", "IsAudoSave", KeyType::Bool, 0, OnDialog, FIELD(IsAudoSave) },
    { "AudoSaveSet", "StartNum", KeyType::Int, 1, OnDialog, FIELD(StartNum) },
    { "AudoSaveSet", "ImageFormat", KeyType::Int, 0, OnDialog, FIELD(ImageFormat) },
    { "AppSet", "IsTrayMode", KeyType::Bool, 0, OnClose, FIELD(IsTrayMode) },
    { "AppSet", "IsEnableHotkey", KeyType::Bool, 0, OnClose, FIELD(IsEnableHotkey) },
    { "AppSet", "IsAutoStartup", KeyType::Bool, 0, OnClose, FIELD(IsAutoStartup) },
};

#undef HOTKEY_KEYS
#undef HOTKEY
#undef FIELD

constexpr const char* kAutoSaveSection = "AudoSaveSet";
constexpr const char* kCaptureSection = "CaptureSet";

void ReadKey(const IniFile& ini, const SettingKey& entry, CaptureSettings& settings)
{
    int32_t& field = entry.field(settings);
    field = entry.type == KeyType::Int ? ini.ReadInt(entry.section, entry.key, entry.defaultValue)
                                       : ini.ReadBool(entry.section, entry.key, entry.defaultValue);
}

void WriteKey(IniFile& ini, const SettingKey& entry, CaptureSettings& settings)
{
    const int32_t value = entry.field(settings);
    if (entry.type == KeyType::Bool)
        ini.WriteBool(entry.section, entry.key, value);
    else
        ini.WriteInt(entry.section, entry.key, value);
}

// Takes a copy because the field table hands out mutable references. The caller holds the file's lock, so
// another program's keys written meanwhile are read back by each write and kept.
void WriteKeys(const std::string& iniPath, CaptureSettings settings, unsigned moment, const char* skippedKey = nullptr)
{
    IniFile ini(iniPath.c_str());
    for (const SettingKey& entry : kKeys)
        if ((entry.writtenOn & moment) && !(skippedKey && std::string_view(entry.key) == skippedKey))
            WriteKey(ini, entry, settings);
}

std::string ReadSavePath(const IniFile& ini, const SettingsFolders& folders)
{
    // A sentinel that no file can hold tells an absent key from an empty one.
    static const char* const kAbsent = "\n";
    std::string path = ini.ReadString(kAutoSaveSection, "ImageSavePath", kAbsent);
    if (path == kAbsent)
        return folders.home;
    if (path.empty()) {
        path = folders.documents + "/Lumora Images";
        QDir().mkpath(QString::fromStdString(path));
        return path;
    }
    return CutToCharacterBoundary(path, CaptureSettings::kMaxTextBytes);
}

} // namespace

CaptureSettings LoadCaptureSettings(const std::string& iniPath, const SettingsFolders& folders)
{
    CaptureSettings settings;
    const IniFile ini(iniPath.c_str());
    for (const SettingKey& entry : kKeys)
        ReadKey(ini, entry, settings);
    if (settings.CapDelayTime < CaptureSettings::kMinDelay)
        settings.CapDelayTime = CaptureSettings::kMinDelay;
    settings.ImageSavePath = ReadSavePath(ini, folders);
    settings.ImageSaveTitle = CutToCharacterBoundary(
        ini.ReadString(kAutoSaveSection, "ImageSaveTitle", "Snap"), CaptureSettings::kMaxTextBytes);
    if (settings.ImageSaveTitle.empty())
        settings.ImageSaveTitle = "Snap";
    settings.OcrLanguage
        = CutToCharacterBoundary(ini.ReadString(kCaptureSection, "OcrLanguage", "eng"), CaptureSettings::kMaxTextBytes);
    if (settings.OcrLanguage.empty())
        settings.OcrLanguage = "eng";
    return settings;
}

void SaveCaptureDialogSettings(const std::string& iniPath, const CaptureSettings& dialogValues, bool withStartNum)
{
    // The lock auto-save takes: a number handed out meanwhile is never written back over.
    const StartNumLock lock(iniPath);
    WriteKeys(iniPath, dialogValues, OnDialog, withStartNum ? nullptr : "StartNum");
    IniFile ini(iniPath.c_str());
    ini.WriteString(kAutoSaveSection, "ImageSavePath", dialogValues.ImageSavePath.c_str());
    ini.WriteString(kAutoSaveSection, "ImageSaveTitle", dialogValues.ImageSaveTitle.c_str());
    ini.WriteString(kCaptureSection, "OcrLanguage", dialogValues.OcrLanguage.c_str());
}

void ReadHotkeySettings(const std::string& iniPath, CaptureSettings& settings)
{
    const IniFile ini(iniPath.c_str());
    for (const SettingKey& entry : kKeys)
        if (entry.writtenOn & OnHotkeyDialog)
            ReadKey(ini, entry, settings);
}

void SaveHotkeySettings(const std::string& iniPath, const CaptureSettings& settings)
{
    const StartNumLock lock(iniPath);
    WriteKeys(iniPath, settings, OnHotkeyDialog);
}

void SaveSettingsOnClose(const std::string& iniPath, const CaptureSettings& settings)
{
    // Other processes may have handed out numbers since this record was loaded.
    const StartNumLock lock(iniPath);
    StartNumLock::KeepHigher(iniPath, settings.StartNum);
    WriteKeys(iniPath, settings, OnClose);
}

void SaveStartNum(const std::string& iniPath, int startNum)
{
    const StartNumLock lock(iniPath);
    IniFile ini(iniPath.c_str());
    ini.WriteInt(kAutoSaveSection, "StartNum", startNum);
}
