#include "app/IniSettingsStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
void WriteFile(const QString& path, const char* text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

TEST(IniSettingsStore, LoadsTheFlagsAndHotKeysIntoTheSharedRecord)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/config.ini";
    WriteFile(path,
        "[AppSet]\nIsTrayMode=yes\nIsEnableHotkey=1\n"
        "[CapFullScreen]\nHotkey=70\nHotkeyMask=6\n"
        "[CapFixRect]\nHotkey=88\nHotkeyMask=3\n"
        "[CaptureSet]\nCapDelayTime=50\n");
    CaptureSettings record;
    IniSettingsStore store(path.toStdString(), record);
    const ShellSettings settings = store.Load();
    EXPECT_TRUE(settings.trayMode);
    EXPECT_TRUE(settings.enableHotkey);
    EXPECT_FALSE(settings.autoStartup);
    EXPECT_EQ(settings.hotKeys[0].key, 70);
    EXPECT_EQ(settings.hotKeys[0].mask, 6);
    EXPECT_EQ(settings.hotKeys[5].key, 88); // fixed rectangle is the sixth pair
    EXPECT_EQ(settings.hotKeys[5].mask, 3);
    EXPECT_EQ(settings.hotKeys[1].key, 0); // an absent section leaves that capture without a key
    // The capture routines read the same record.
    EXPECT_EQ(record.CapDelayTime, 800);
    EXPECT_EQ(record.IsTrayMode, 1);
}

TEST(IniSettingsStore, SavesTheToggledFlagsAtClose)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/config.ini";
    WriteFile(path, "[AppSet]\nIsTrayMode=1\n[AudoSaveSet]\nStartNum=7\n");
    CaptureSettings record;
    IniSettingsStore store(path.toStdString(), record);
    ShellSettings settings = store.Load();
    settings.trayMode = false;
    settings.autoStartup = true;
    record.StartNum = 9; // two auto-saved captures later
    store.SaveOnClose(settings);
    const QByteArray text = ReadFile(path);
    EXPECT_TRUE(text.contains("IsTrayMode=0")) << text.toStdString();
    EXPECT_TRUE(text.contains("IsAutoStartup=1")) << text.toStdString();
    EXPECT_TRUE(text.contains("StartNum=9")) << text.toStdString();
    CaptureSettings reread;
    EXPECT_FALSE(IniSettingsStore(path.toStdString(), reread).Load().trayMode);
}
