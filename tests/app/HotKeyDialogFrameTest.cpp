#include "app/CChildFrame.h"
#include "app/CDefHotKeyDlg.h"
#include "app/CDlgInputHotKey.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/FrameCapture.h"
#include "app/FrameDocuments.h"
#include "app/IniSettingsStore.h"
#include "editor/document/CKestrelDoc.h"
#include "platform/GlobalHotKeys.h"
#include "tests/app/AppTestSupport.h"

#include <QFile>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

// The Define hot key dialog run from the frame on the real X server: the hot keys are given back while it
// is open, taken again afterwards, and a pressed combination starts its capture.
class HotKeyDialogFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string why = MissingKeyboardTestNeeds(); !why.empty())
            GTEST_SKIP() << why;
        EnsureApp();
    }

    void StartFrame(const char* config)
    {
        QFile file(QString::fromStdString(ini));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(config);
        file.close();
        store = std::make_unique<IniSettingsStore>(ini, record);
        FrameServices services;
        services.settings = store.get();
        services.record = &record;
        services.configPath = ini;
        services.autostartPath = dir.path() + "/autostart/Lumora.desktop";
        services.helpFolder = dir.path();
        frame = std::make_unique<CMainFrame>(services);
        frame->resize(900, 600);
        frame->show();
    }

    void TearDown() override
    {
        if (frame)
            frame->SetCaptureSink(nullptr);
    }

    static void SetPair(CDefHotKeyDlg& dialog, int index, Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        WhenModal<CDlgInputHotKey>([key, modifiers](CDlgInputHotKey& input) {
            QTest::keyClick(input.KeyEdit(), key, modifiers);
            input.accept();
        });
        dialog.Button(index)->click();
    }

    QTemporaryDir dir;
    std::string ini = (dir.path() + "/config.ini").toStdString();
    CaptureSettings record;
    std::unique_ptr<IniSettingsStore> store;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(HotKeyDialogFrameTest, KeySetInTheDialogCapturesWhenPressed)
{
    XServerTurn turn;
    ASSERT_TRUE(turn.Held());
    StartFrame("[AppSet]\nIsEnableHotkey=1\n");
    ASSERT_TRUE(frame->Action(CommandId::DefineHotkey)->isEnabled());
    FrameDocuments documents(*frame);
    FrameCapture capture(record, *frame, &documents, ini, std::string());
    ASSERT_TRUE(capture.IsAvailable());
    frame->SetCaptureSink(&capture);

    const Qt::KeyboardModifiers all = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    WhenModal<CDefHotKeyDlg>([&](CDefHotKeyDlg& dialog) {
        SetPair(dialog, 0, Qt::Key_G, all);
        // The same combination for window / object is accepted; only the first registration holds.
        SetPair(dialog, 1, Qt::Key_G, all);
        dialog.accept();
    });
    frame->OnCommand(CommandId::DefineHotkey);
    EXPECT_EQ(record.HotkeyFor(HotkeySlot::FullScreen), (HotkeySetting { 'G', 7 }));
    EXPECT_EQ(frame->Settings().hotKeys[1].key, 'G');
    EXPECT_EQ(frame->HotKeys()->RegisteredIds(), std::vector<int> { CommandId::CaptureFullScreen });

    QProcess::execute("xdotool", { "key", "--clearmodifiers", "ctrl+alt+shift+g" });
    ASSERT_TRUE(WaitFor([&] { return frame->Documents().size() == 1; }, 10000));
    const ImageBuffer& image = frame->Documents().front()->Document().Image();
    EXPECT_GT(image.Width(), 0);
    EXPECT_EQ(image.BitCount(), 32);
}

TEST_F(HotKeyDialogFrameTest, CombinationAnotherProgramHoldsShowsAsTakenAndCancelKeepsOurs)
{
    XServerTurn turn;
    ASSERT_TRUE(turn.Held());
    StartFrame("[AppSet]\nIsEnableHotkey=1\n[CapFullScreen]\nHotkey=84\nHotkeyMask=7\n"
               "[CapRegion]\nHotkey=85\nHotkeyMask=7\n");
    // Ours took Ctrl+Alt+Shift+T at start-up; another program (another connection to the X server)
    // takes it while ours are off.
    frame->OnCommand(CommandId::EnableHotkey);
    GlobalHotKeys other;
    ASSERT_TRUE(other.Register(1, 'T', 7));
    frame->OnCommand(CommandId::EnableHotkey);
    ASSERT_EQ(frame->HotKeys()->RegisteredIds(), std::vector<int> { CommandId::CaptureRegion });

    QString fullScreen, region;
    WhenModal<CDefHotKeyDlg>([&](CDefHotKeyDlg& dialog) {
        fullScreen = dialog.Button(0)->text();
        region = dialog.Button(3)->text();
        SaveScreenshot(dialog, "define_hot_key_taken");
        dialog.reject();
    });
    frame->OnCommand(CommandId::DefineHotkey);
    EXPECT_EQ(fullScreen, "Ctrl + Alt + Shift + T (taken)");
    EXPECT_EQ(region, "Ctrl + Alt + Shift + U");
    EXPECT_EQ(frame->HotKeys()->RegisteredIds(), std::vector<int> { CommandId::CaptureRegion });
}

TEST_F(HotKeyDialogFrameTest, WaylandDesktopWithoutShortcutPortalTakesNoGrabsAndNamesTheCommands)
{
    XServerTurn turn;
    ASSERT_TRUE(turn.Held());
    // The test bus's portal (when it can start at all) offers no global shortcuts, like the wlroots one.
    const QByteArray sessionType = qgetenv("XDG_SESSION_TYPE");
    qputenv("XDG_SESSION_TYPE", "wayland");
    StartFrame("[AppSet]\nIsEnableHotkey=1\n");
    // X11 grabs would fire only while an XWayland window has the focus: none are taken.
    EXPECT_TRUE(frame->HotKeys()->RegisteredIds().empty());

    QString note;
    WhenModal<CDefHotKeyDlg>([&](CDefHotKeyDlg& dialog) {
        note = dialog.Note()->isVisible() ? dialog.Note()->text() : QString();
        dialog.reject();
    });
    frame->OnCommand(CommandId::DefineHotkey);
    qputenv("XDG_SESSION_TYPE", sessionType);
    EXPECT_TRUE(note.contains("lets no program set global hot keys")) << note.toStdString();
    for (const char* command : { "lumora capture full", "lumora capture region" })
        EXPECT_TRUE(note.contains(command)) << command;
    EXPECT_TRUE(frame->HotKeys()->RegisteredIds().empty());
}

} // namespace
