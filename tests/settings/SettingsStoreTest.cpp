#include "settings/SettingsStore.h"
#include "settings/IniFile.h"
#include "tests/settings/IniTestFiles.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsFolders Folders() const { return { scratch.Path("home"), scratch.Path("docs") }; }
    CaptureSettings Load(const std::string& text)
    {
        return LoadCaptureSettings(scratch.Write("config.ini", text), Folders());
    }

    IniScratch scratch;
};

TEST_F(SettingsStoreTest, MissingFile_GivesEveryDefault)
{
    const CaptureSettings s = LoadCaptureSettings(scratch.Path("absent.ini"), Folders());
    EXPECT_EQ(s.HideWndBeforCap, 0);
    EXPECT_EQ(s.RestoreWndAftCap, 0);
    EXPECT_EQ(s.PlaySoundWhenCap, 0);
    EXPECT_EQ(s.IncludeCursor, 0);
    EXPECT_EQ(s.CapAppViewMode, 0);
    EXPECT_EQ(s.CopyToClipboard, 0);
    EXPECT_EQ(s.CapDelayTime, 800);
    EXPECT_EQ(s.FixRectWidth, 100);
    EXPECT_EQ(s.FixRectHeight, 100);
    EXPECT_EQ(s.IsAudoSave, 0);
    EXPECT_EQ(s.StartNum, 1);
    EXPECT_EQ(s.ImageSavePath, scratch.Path("home"));
    EXPECT_EQ(s.ImageSaveTitle, "Snap");
    EXPECT_EQ(s.ImageFormat, 0);
    EXPECT_EQ(s.IsTrayMode, 0);
    EXPECT_EQ(s.IsEnableHotkey, 0);
    EXPECT_EQ(s.IsAutoStartup, 0);
    for (const HotkeySetting& h : s.Hotkeys)
        EXPECT_EQ(h, HotkeySetting {});
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(scratch.Path("absent.ini"))));
}

TEST_F(SettingsStoreTest, ReadsEveryKeyFromItsSection)
{
    const CaptureSettings s = Load("[CaptureSet]\nHideWndBeforCap=1\nRestoreWndAftCap=yes\nPlaySoundWhenCap=TRUE\n"
                                   "IncludeCursor=2\nCapAppViewMode=2\nCopyToClipboard=1\nCapDelayTime=1500\n"
                                   "FixRectWidth=320\nFixRectHeight=240\n"
                                   "[AudoSaveSet]\nIsAudoSave=1\nStartNum=-4\nImageSavePath=/tmp/shots\n"
                                   "ImageSaveTitle=Shot\nImageFormat=2\n"
                                   "[AppSet]\nIsTrayMode=yes\nIsEnableHotkey=no\nIsAutoStartup=1\n"
                                   "[CapWindows]\nHotkey=87\nHotkeyMask=6\n[CapFixRect]\nHotkey=88\n");
    EXPECT_EQ(s.HideWndBeforCap, 1);
    EXPECT_EQ(s.RestoreWndAftCap, 1);
    EXPECT_EQ(s.PlaySoundWhenCap, 1);
    EXPECT_EQ(s.IncludeCursor, 1);
    EXPECT_EQ(s.CapAppViewMode, 2);
    EXPECT_EQ(s.CopyToClipboard, 1);
    EXPECT_EQ(s.CapDelayTime, 1500);
    EXPECT_EQ(s.FixRectWidth, 320);
    EXPECT_EQ(s.FixRectHeight, 240);
    EXPECT_EQ(s.IsAudoSave, 1);
    EXPECT_EQ(s.StartNum, -4);
    EXPECT_EQ(s.ImageSavePath, "/tmp/shots");
    EXPECT_EQ(s.ImageSaveTitle, "Shot");
    EXPECT_EQ(s.ImageFormat, 2);
    EXPECT_EQ(s.IsTrayMode, 1);
    EXPECT_EQ(s.IsEnableHotkey, 0);
    EXPECT_EQ(s.IsAutoStartup, 1);
    EXPECT_EQ(s.HotkeyFor(HotkeySlot::WindowObject), (HotkeySetting { 87, 6 }));
    EXPECT_EQ(s.HotkeyFor(HotkeySlot::FixedRect), (HotkeySetting { 88, 0 }));
    // Absent hot-key sections leave their captures without a hot key.
    EXPECT_EQ(s.HotkeyFor(HotkeySlot::FullScreen), HotkeySetting {});
    EXPECT_EQ(s.HotkeyFor(HotkeySlot::Region), HotkeySetting {});
}

TEST_F(SettingsStoreTest, DelayBelowTheFloorLoadsAs800)
{
    EXPECT_EQ(Load("[CaptureSet]\nCapDelayTime=100\n").CapDelayTime, 800);
    EXPECT_EQ(Load("[CaptureSet]\nCapDelayTime=-3\n").CapDelayTime, 800);
    EXPECT_EQ(Load("[CaptureSet]\nCapDelayTime=abc\n").CapDelayTime, 800);
    EXPECT_EQ(Load("[CaptureSet]\nCapDelayTime=800\n").CapDelayTime, 800);
    EXPECT_EQ(Load("[CaptureSet]\nCapDelayTime=801ms\n").CapDelayTime, 801);
}

TEST_F(SettingsStoreTest, DialogMayStoreAShortDelayThatStillLoadsAs800)
{
    CaptureSettings dialog;
    dialog.CapDelayTime = 50;
    const std::string path = scratch.Path("config.ini");
    SaveCaptureDialogSettings(path, dialog);
    EXPECT_EQ(IniFile(path.c_str()).ReadInt("CaptureSet", "CapDelayTime", 0), 50);
    EXPECT_EQ(LoadCaptureSettings(path, Folders()).CapDelayTime, 800);
}

TEST_F(SettingsStoreTest, EmptySavePathSelectsAndCreatesTheImagesFolder)
{
    const CaptureSettings s = Load("[AudoSaveSet]\nImageSavePath=\n");
    EXPECT_EQ(s.ImageSavePath, scratch.Path("docs") + "/Lumora Images");
    EXPECT_TRUE(QDir(QString::fromStdString(s.ImageSavePath)).exists());
}

TEST_F(SettingsStoreTest, AbsentSavePathIsTheHomeFolderAndCreatesNothing)
{
    const CaptureSettings s = Load("[AudoSaveSet]\nIsAudoSave=1\n");
    EXPECT_EQ(s.ImageSavePath, scratch.Path("home"));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(scratch.Path("docs"))));
}

TEST_F(SettingsStoreTest, EmptyTitleReadsAsSnap)
{
    EXPECT_EQ(Load("[AudoSaveSet]\nImageSaveTitle=\n").ImageSaveTitle, "Snap");
    EXPECT_EQ(Load("[AudoSaveSet]\nImageSaveTitle=   \n").ImageSaveTitle, "Snap");
}

TEST_F(SettingsStoreTest, LongTextIsCutTo511BytesOnACharacterBoundary)
{
    // 510 ASCII bytes and then a three-byte character: byte 511 would split it, so 510 bytes remain.
    const std::string title = std::string(510, 't') + "\xE2\x82\xAC" + "tail";
    // "é" is two bytes; 255 of them are 510 bytes, the 256th would end at byte 512.
    std::string path = "/";
    for (int i = 0; i < 300; ++i)
        path += "\xC3\xA9";
    const CaptureSettings s = Load("[AudoSaveSet]\nImageSaveTitle=" + title + "\nImageSavePath=" + path + "\n");
    EXPECT_EQ(s.ImageSaveTitle, std::string(510, 't'));
    ASSERT_EQ(s.ImageSavePath.size(), 511u); // "/" plus 255 whole characters
    EXPECT_EQ(s.ImageSavePath, path.substr(0, 511));
}

TEST_F(SettingsStoreTest, CutToCharacterBoundary_KeepsShortTextAndWholeCharacters)
{
    EXPECT_EQ(CutToCharacterBoundary("abc", 3), "abc");
    EXPECT_EQ(CutToCharacterBoundary("abcd", 3), "abc");
    EXPECT_EQ(CutToCharacterBoundary("a\xE2\x82\xAC", 3), "a");
    EXPECT_EQ(CutToCharacterBoundary("a\xE2\x82\xAC"
                                     "b",
                  4),
        "a\xE2\x82\xAC");
}

TEST_F(SettingsStoreTest, DialogSaveWritesCaptureAndAutoSaveKeysOnly)
{
    CaptureSettings dialog;
    dialog.HideWndBeforCap = 1;
    dialog.CopyToClipboard = 1;
    dialog.CapAppViewMode = 2;
    dialog.IsAudoSave = 1;
    dialog.ImageSavePath = "/srv/caps";
    dialog.ImageSaveTitle = "Cap";
    dialog.StartNum = 17;
    dialog.ImageFormat = 3;
    dialog.IsTrayMode = 1;
    dialog.HotkeyFor(HotkeySlot::Region) = { 82, 6 };
    const std::string path = scratch.Path("config.ini");
    SaveCaptureDialogSettings(path, dialog);

    const IniFile ini(path.c_str());
    EXPECT_EQ(ini.ReadString("CaptureSet", "HideWndBeforCap", ""), "1");
    EXPECT_EQ(ini.ReadString("CaptureSet", "RestoreWndAftCap", ""), "0");
    EXPECT_EQ(ini.ReadString("CaptureSet", "CopyToClipboard", ""), "1");
    EXPECT_EQ(ini.ReadString("CaptureSet", "CapAppViewMode", ""), "2");
    EXPECT_EQ(ini.ReadString("CaptureSet", "FixRectHeight", ""), "100");
    EXPECT_EQ(ini.ReadString("AudoSaveSet", "ImageSavePath", ""), "/srv/caps");
    EXPECT_EQ(ini.ReadString("AudoSaveSet", "ImageSaveTitle", ""), "Cap");
    EXPECT_EQ(ini.ReadString("AudoSaveSet", "StartNum", ""), "17");
    EXPECT_EQ(ini.ReadString("AudoSaveSet", "ImageFormat", ""), "3");
    EXPECT_EQ(ini.ReadString("AppSet", "IsTrayMode", "absent"), "absent");
    EXPECT_EQ(ini.ReadString("CapRegion", "Hotkey", "absent"), "absent");
}

TEST_F(SettingsStoreTest, NotificationSettingIsOnUnlessTurnedOffAndKeepsTheDialogsChoice)
{
    const struct {
        const char* file;
        int32_t expected;
    } cases[] = {
        { "", 1 },
        { "[CaptureSet]\nNotifyWhenHidden=0\n", 0 },
        { "[CaptureSet]\nNotifyWhenHidden=no\n", 0 },
        { "[CaptureSet]\nNotifyWhenHidden=1\n", 1 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(c.file).NotifyWhenHidden, c.expected) << c.file;

    CaptureSettings dialog;
    dialog.NotifyWhenHidden = 0;
    const std::string path = scratch.Path("config.ini");
    SaveCaptureDialogSettings(path, dialog);
    EXPECT_EQ(LoadCaptureSettings(path, Folders()).NotifyWhenHidden, 0);
}

TEST_F(SettingsStoreTest, TextLanguageIsEnglishUnlessChosenAndKeepsTheDialogsChoice)
{
    const struct {
        const char* file;
        const char* expected;
    } cases[] = {
        { "", "eng" },
        { "[CaptureSet]\nOcrLanguage=\n", "eng" },
        { "[CaptureSet]\nOcrLanguage=eng+deu\n", "eng+deu" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(c.file).OcrLanguage, c.expected) << c.file;

    CaptureSettings dialog;
    dialog.OcrLanguage = "fra";
    const std::string path = scratch.Path("config.ini");
    SaveCaptureDialogSettings(path, dialog);
    EXPECT_EQ(LoadCaptureSettings(path, Folders()).OcrLanguage, "fra");
}

TEST_F(SettingsStoreTest, HotkeyDialogReadsAndWritesTheTwelveValues)
{
    CaptureSettings s;
    for (int i = 0; i < int(HotkeySlot::Count); ++i)
        s.Hotkeys[i] = { 65 + i, i };
    const std::string path = scratch.Path("config.ini");
    SaveHotkeySettings(path, s);
    EXPECT_EQ(IniFile(path.c_str()).ReadInt("CapScroll", "Hotkey", 0), 69);
    EXPECT_EQ(IniFile(path.c_str()).ReadString("CaptureSet", "CapDelayTime", "absent"), "absent");

    CaptureSettings reread;
    ReadHotkeySettings(path, reread);
    for (int i = 0; i < int(HotkeySlot::Count); ++i)
        EXPECT_EQ(reread.Hotkeys[i], s.Hotkeys[i]) << "slot " << i;
}

TEST_F(SettingsStoreTest, CloseWritesStartNumAndTheAppFlagsOnly)
{
    const std::string path = scratch.Write("config.ini", "[CaptureSet]\nCapDelayTime=50\n");
    CaptureSettings s;
    s.StartNum = 42;
    s.IsTrayMode = 1;
    s.IsEnableHotkey = 0;
    s.IsAutoStartup = 1;
    s.CapDelayTime = 800;
    SaveSettingsOnClose(path, s);
    EXPECT_EQ(IniScratch::Read(path),
        "[CaptureSet]\nCapDelayTime=50\n[AudoSaveSet]\nStartNum=42\n[AppSet]\nIsTrayMode=1\nIsEnableHotkey=0\n"
        "IsAutoStartup=1\n");
}

TEST_F(SettingsStoreTest, SaveStartNumChangesOnlyThatKey)
{
    const std::string original = "[AudoSaveSet]\nIsAudoSave=1\nStartNum=3\n[AppSet]\nIsTrayMode=0\n";
    const std::string path = scratch.Write("config.ini", original);
    SaveStartNum(path, 4);
    EXPECT_EQ(IniScratch::Read(path), "[AudoSaveSet]\nIsAudoSave=1\nStartNum=4\n[AppSet]\nIsTrayMode=0\n");
}

} // namespace
