#include "app/CCapSettingDlg.h"
#include "app/CDefHotKeyDlg.h"
#include "app/CDlgInputHotKey.h"
#include "app/CMainFrame.h"
#include "app/CPageBasic.h"
#include "app/CPageSave.h"
#include "app/CommandIds.h"
#include "app/HotKeyNames.h"
#include "settings/SettingsStore.h"
#include "settings/StartNumLock.h"
#include "tests/app/AppTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

TEST(HotKeyNames, ButtonTextsNameModifiersInOrderAndKeysByCharacterOrName)
{
    struct Case {
        HotKeyPair pair;
        const char* text;
    };
    const Case cases[] = {
        { { 70, 6 }, "Ctrl + Shift + F" },
        { { 65, 7 }, "Ctrl + Alt + Shift + A" },
        { { 82, 1 }, "Alt + R" },
        { { 49, 4 }, "Shift + 1" },
        { { 87, 0 }, "W" },
        { { 0, 0 }, "" },
        { { 0x74, 2 }, "Ctrl + F5" },
        { { 0x2C, 0 }, "Print" },
        { { 0x2E, 3 }, "Ctrl + Alt + Del" },
        { { 83, 8 }, "Super + S" },
        { { 83, 10 }, "Ctrl + Super + S" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(HotKeyNames::Text(c.pair), c.text) << c.pair.key;
}

TEST(HotKeyNames, CombinationsConvertToStoredPairsAndBack)
{
    const HotKeyPair pairs[] = { { 'F', 6 }, { 'Z', 1 }, { '7', 4 }, { 0x70, 2 }, { 0x87, 0 }, { 0x61, 2 }, { 0x6B, 0 },
        { 0x2C, 5 }, { 0xBD, 6 }, { 0x0D, 2 }, { 'S', 8 }, { 0x70, 12 } };
    for (const HotKeyPair& pair : pairs) {
        const HotKeyPair back = HotKeyNames::FromCombination(HotKeyNames::ToCombination(pair));
        EXPECT_EQ(back.key, pair.key) << pair.key;
        EXPECT_EQ(back.mask, pair.mask) << pair.key;
    }
    EXPECT_EQ(
        HotKeyNames::ToCombination({ 'F', 6 }), QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F));
    // Shift turns 1 into "!" on the way in; the file keeps the key.
    EXPECT_EQ(HotKeyNames::VirtualKey(Qt::Key_Exclam, Qt::ShiftModifier), '1');
    EXPECT_EQ(HotKeyNames::VirtualKey(Qt::Key_Exclam), 0);
}

TEST(CDlgInputHotKey, PressedCombinationBecomesThePair)
{
    EnsureApp();
    HotKeyPair pair { 'F', 6 };
    CDlgInputHotKey dialog(&pair, "Capture Region");
    dialog.show();
    EXPECT_EQ(dialog.findChild<QLabel*>("control1027")->text(), "Capture Region hot key!");
    EXPECT_EQ(dialog.Current().key, 'F');
    QTest::keyClick(dialog.KeyEdit(), Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(dialog.KeyEdit(), Qt::Key_L, Qt::ShiftModifier); // only one combination is kept
    SaveScreenshot(dialog, "set_hot_key_186");
    dialog.accept();
    EXPECT_EQ(pair.key, 'K');
    EXPECT_EQ(pair.mask, 3);
}

TEST(CDlgInputHotKey, KeepsSuperAndRefusesABareKeyButNotFunctionKeysOrPrint)
{
    EnsureApp();
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        HotKeyPair stored; // {-1, -1}: refused, the pair stays as it was
    };
    const Case cases[] = {
        { Qt::Key_S, Qt::MetaModifier, { 'S', 8 } },
        { Qt::Key_S, Qt::NoModifier, { -1, -1 } },
        { Qt::Key_Space, Qt::NoModifier, { -1, -1 } },
        { Qt::Key_F5, Qt::NoModifier, { 0x74, 0 } },
        { Qt::Key_Print, Qt::NoModifier, { 0x2C, 0 } },
        { Qt::Key_Print, Qt::AltModifier, { 0x2C, 1 } },
    };
    for (const Case& c : cases) {
        HotKeyPair pair { 'F', 6 };
        CDlgInputHotKey dialog(&pair, "Capture Region");
        dialog.show();
        QTest::keyClick(dialog.KeyEdit(), c.key, c.modifiers);
        const bool refused = c.stored.key == -1;
        bool told = false;
        if (refused)
            WhenModal<QMessageBox>([&told](QMessageBox& box) {
                told = true;
                box.accept();
            });
        dialog.accept();
        EXPECT_EQ(told, refused) << c.key;
        EXPECT_EQ(dialog.isVisible(), refused) << c.key;
        EXPECT_EQ(dialog.Refusal().isEmpty(), !refused) << c.key;
        const HotKeyPair expected = refused ? HotKeyPair { 'F', 6 } : c.stored;
        EXPECT_EQ(pair.key, expected.key) << c.key;
        EXPECT_EQ(pair.mask, expected.mask) << c.key;
    }
    // Clearing the hot key stays possible.
    HotKeyPair pair { 'F', 6 };
    CDlgInputHotKey dialog(&pair, "Capture Region");
    dialog.KeyEdit()->clear();
    dialog.accept();
    EXPECT_EQ(pair.key, 0);
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApp(); }
    std::string Ini() const { return (dir.path() + "/config.ini").toStdString(); }
    QByteArray FileText() const
    {
        QFile file(QString::fromStdString(Ini()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteFile(const char* text) const
    {
        QFile file(QString::fromStdString(Ini()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QTemporaryDir dir;
};

TEST_F(SettingsFileTest, DefineHotKeyShowsTheFileDefaultThenCancelWritesNothing)
{
    WriteFile("[CapRegion]\nHotkey=82\nHotkeyMask=3\n[CapScroll]\nHotkey=116\nHotkeyMask=2\n");
    const QByteArray before = FileText();
    // Another program holds Ctrl + F5.
    CDefHotKeyDlg dialog(Ini(), [](HotKeyPair pair) { return pair.key == 0x74; });
    dialog.show();
    SaveScreenshot(dialog, "define_hot_key_184");
    EXPECT_EQ(dialog.findChild<QPushButton*>("control1029")->text(), "Ctrl + Alt + R");
    EXPECT_EQ(dialog.findChild<QPushButton*>("control1031")->text(), "Ctrl + F5 (taken)");
    EXPECT_EQ(dialog.findChild<QPushButton*>("control1025")->text(), "");
    dialog.findChild<QPushButton*>("controlDefault")->click();
    EXPECT_EQ(dialog.findChild<QPushButton*>("control1027")->text(), "Ctrl + Shift + W");
    EXPECT_EQ(dialog.findChild<QPushButton*>("control1032")->text(), "Ctrl + Shift + X");
    dialog.reject();
    EXPECT_EQ(FileText(), before);
}

TEST_F(SettingsFileTest, DefineHotKeyOkWritesTheTwelveValuesInOrderAndAcceptsDuplicates)
{
    CDefHotKeyDlg dialog(Ini(), {});
    dialog.SetDefaults();
    // The same combination for a second capture is accepted.
    QTimer::singleShot(0, [] {
        auto* input = qobject_cast<CDlgInputHotKey*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        QTest::keyClick(input->KeyEdit(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        input->accept();
    });
    dialog.EditPair(4);
    EXPECT_EQ(dialog.Button(4)->text(), "Ctrl + Shift + F");
    dialog.accept();
    CaptureSettings stored;
    ReadHotkeySettings(Ini(), stored);
    const int keys[] = { 'F', 'W', 'A', 'R', 'F', 'X' };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(stored.Hotkeys[i].Hotkey, keys[i]) << i;
        EXPECT_EQ(stored.Hotkeys[i].HotkeyMask, 6) << i;
    }
    // Written in the order full screen, window / object, active window, region, scrolling, fixed.
    const QByteArray text = FileText();
    qsizetype last = -1;
    for (const char* section :
        { "[CapFullScreen]", "[CapWindows]", "[CapActiveWindow]", "[CapRegion]", "[CapScroll]", "[CapFixRect]" }) {
        const qsizetype at = text.indexOf(section);
        EXPECT_GT(at, last) << section;
        last = at;
    }
}

TEST_F(SettingsFileTest, CaptureSettingSavesDisabledValuesViewModeAndDelayAsTyped)
{
    CaptureSettings record;
    record.IsAudoSave = 1;
    record.ImageSaveTitle = "Shot";
    record.StartNum = 12;
    record.ImageFormat = 2;
    CCapSettingDlg dialog(record, Ini());
    dialog.show();
    SaveScreenshot(dialog, "capture_setting_187_capture_to");
    auto* save = dialog.SavePage();
    EXPECT_EQ(save->findChild<QCheckBox*>("control1060")->text(), "To Clipborad");
    EXPECT_EQ(save->findChild<QComboBox*>("control1035")->currentText(), "png(*.png)");
    save->SetFolderChooser([&](QWidget*, const QString&) { return dir.path(); });
    save->findChild<QPushButton*>("control1037")->click();
    // "To File" off: its controls go grey but keep their values, which are still saved.
    save->findChild<QCheckBox*>("control1039")->click();
    EXPECT_FALSE(save->findChild<QLineEdit*>("control1038")->isEnabled());
    EXPECT_FALSE(save->findChild<QComboBox*>("control1035")->isEnabled());
    // "To Editor / Viewer" off: the radios go grey and the view mode becomes 2.
    save->findChild<QCheckBox*>("control1006")->click();
    EXPECT_FALSE(save->findChild<QRadioButton*>("control1008")->isEnabled());

    dialog.Pages()->setCurrentIndex(1);
    SaveScreenshot(dialog, "capture_setting_187_other");
    auto* delay = dialog.BasicPage()->findChild<QLineEdit*>("control1005");
    delay->setText("100");
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);

    const CaptureSettings stored = LoadCaptureSettings(Ini());
    EXPECT_EQ(stored.IsAudoSave, 0);
    EXPECT_EQ(stored.ImageSaveTitle, "Shot");
    EXPECT_EQ(stored.StartNum, 1) << "left as shown, the number is not written";
    EXPECT_EQ(stored.ImageFormat, 2);
    EXPECT_EQ(stored.CapAppViewMode, 2);
    EXPECT_EQ(stored.ImageSavePath, dir.path().toStdString());
    EXPECT_TRUE(FileText().contains("CapDelayTime=100"));
    CCapSettingDlg::CopyInto(dialog.Values(), record);
    EXPECT_EQ(record.CapDelayTime, 800);
    EXPECT_EQ(record.CapAppViewMode, 2);
}

TEST_F(SettingsFileTest, CaptureSettingWritesStartNumOnlyWhenTheUserChangedIt)
{
    struct Case {
        const char* typed; // into "Start at:"; null: left as shown
        int32_t stored; // StartNum in config.ini after OK
        int32_t kept; // StartNum of the frame's record after OK
    };
    // Two captures take 12 and 13 while the dialog is open.
    const Case cases[] = { { nullptr, 14, 14 }, { "12", 14, 14 }, { "30", 30, 30 } };
    for (const Case& c : cases) {
        WriteFile("[AudoSaveSet]\nStartNum=12\n");
        CaptureSettings record;
        record.StartNum = 12;
        CCapSettingDlg dialog(record, Ini());
        if (c.typed)
            dialog.SavePage()->findChild<QLineEdit*>("control1036")->setText(c.typed);
        for (int capture = 0; capture < 2; ++capture)
            record.StartNum = StartNumLock::Take(Ini(), record.StartNum) + 1;
        dialog.accept();
        CCapSettingDlg::CopyInto(dialog.Values(), record, dialog.StartNumChanged());
        EXPECT_EQ(LoadCaptureSettings(Ini()).StartNum, c.stored) << (c.typed ? c.typed : "as shown");
        EXPECT_EQ(record.StartNum, c.kept) << (c.typed ? c.typed : "as shown");
    }
}

TEST_F(SettingsFileTest, CaptureSettingCancelWritesNothing)
{
    CaptureSettings record;
    CCapSettingDlg dialog(record, Ini());
    dialog.BasicPage()->findChild<QLineEdit*>("control1005")->setText("5000");
    dialog.reject();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Ini())));
}

TEST_F(SettingsFileTest, FrameRunsCaptureSettingAndKeepsTheDelayFloorInMemoryOnly)
{
    CaptureSettings record;
    FrameServices services;
    services.record = &record;
    services.configPath = Ini();
    services.autostartPath = dir.path() + "/autostart/Lumora.desktop";
    CMainFrame frame(services);
    ASSERT_TRUE(frame.Action(CommandId::CaptureSetting)->isEnabled());
    WhenModal<CCapSettingDlg>([](CCapSettingDlg& dialog) {
        dialog.Pages()->setCurrentIndex(1);
        dialog.BasicPage()->findChild<QLineEdit*>("control1005")->setText("100");
        dialog.BasicPage()->findChild<QLineEdit*>("control1006")->setText("321");
        dialog.accept();
    });
    frame.Action(CommandId::CaptureSetting)->trigger();
    EXPECT_EQ(record.CapDelayTime, 800);
    EXPECT_EQ(record.FixRectWidth, 321);
    EXPECT_EQ(LoadCaptureSettings(Ini()).FixRectWidth, 321);
    EXPECT_TRUE(FileText().contains("CapDelayTime=100"));
}

} // namespace
