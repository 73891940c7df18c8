#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CaptureRequestSink.h"
#include "app/CloseSequencePrompts.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/FrameCapture.h"
#include "app/FrameDocuments.h"
#include "app/FrameWindowControl.h"
#include "app/TrayIcon.h"
#include "controls/CHyperLink.h"
#include "editor/bars/CParamBar.h"
#include "editor/bars/ParamPanel.h"
#include "editor/codecs/DefaultCodecRegistry.h"
#include "editor/codecs/FreeImageCodec.h"
#include "editor/codecs/SaveImageFile.h"
#include "editor/codecs/StampLibrary.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/ui/CKestrelView.h"
#include "platform/GlobalHotKeys.h"
#include "tests/app/AppTestSupport.h"

#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <deque>

// Receives the pages the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

namespace {
struct FakeStore : ShellSettingsStore {
    ShellSettings Load() override { return loaded; }
    void SaveOnClose(const ShellSettings& settings) override
    {
        saved = settings;
        ++saves;
    }
    ShellSettings loaded;
    ShellSettings saved;
    int saves = 0;
};

struct FakeCapture : CaptureRequestSink {
    void RequestCapture(int commandId) override { requests.push_back(commandId); }
    void HighlightWindow(uint64_t) override { }
    void CaptureWindow(bool, uint64_t) override { }
    std::vector<int> requests;
};

struct ScriptedPrompts : CloseSequencePrompts {
    ExitAnswer AskSaveOnExit(const QString& title) override
    {
        asked << title;
        if (answers.empty())
            return ExitAnswer::Cancel;
        const ExitAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    SaveImageAnswer AskSaveImage() override
    {
        ++imageAsked;
        return imageAnswer;
    }
    std::optional<QString> AskSavePath(const QString&, const QString& suffix) override
    {
        suffixes << suffix;
        return path;
    }
    void ReportSaveFailure(const QString& failed) override { failures << failed; }
    void ReportOpenFailure(const QString& message) override { openFailures << message; }
    std::deque<ExitAnswer> answers;
    QStringList asked;
    SaveImageAnswer imageAnswer = SaveImageAnswer::Cancel;
    int imageAsked = 0;
    std::optional<QString> path;
    QStringList suffixes, failures, openFailures;
};

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApp();
        services.settings = &store;
        services.capture = &capture;
        services.prompts = &prompts;
        services.autostartPath = dir.path() + "/autostart/Lumora.desktop";
        services.executablePath = "/opt/lumora/bin/lumora";
        services.helpFolder = dir.path() + "/help";
    }

    std::unique_ptr<CMainFrame> MakeFrame()
    {
        auto frame = std::make_unique<CMainFrame>(services);
        frame->resize(1000, 700);
        frame->show();
        return frame;
    }

    // The (id, visible text) of each visible item of a top-level menu.
    static std::vector<std::pair<int, QString>> MenuItems(CMainFrame& frame, const QString& title)
    {
        std::vector<std::pair<int, QString>> items;
        for (QAction* top : frame.menuBar()->actions()) {
            if (top->text() != title)
                continue;
            for (QAction* action : top->menu()->actions()) {
                if (!action->isSeparator() && action->isVisible())
                    items.emplace_back(action->data().toInt(), action->text());
            }
        }
        return items;
    }

    static std::vector<std::pair<int, QString>> TableItems(const std::vector<PopupSpec>& menu, const QString& title)
    {
        std::vector<std::pair<int, QString>> items;
        for (const PopupSpec& popup : menu) {
            if (popup.title != title)
                continue;
            for (const MenuEntry& entry : popup.items) {
                if (entry.id != 0)
                    items.emplace_back(entry.id, CommandTable::Label(entry.text));
            }
        }
        return items;
    }

    // Untitled documents are numbered for the whole program run, so tests read the names given.
    static QStringList Titles(CMainFrame& frame)
    {
        QStringList titles;
        for (CChildFrame* child : frame.Documents())
            titles << child->Title();
        return titles;
    }

    QTemporaryDir dir;
    FakeStore store;
    FakeCapture capture;
    ScriptedPrompts prompts;
    FrameServices services;
};
} // namespace

TEST_F(MainFrameTest, StartsTitledLumoraWithNoDocumentAndTheFrameMenu)
{
    auto frame = MakeFrame();
    EXPECT_EQ(frame->windowTitle(), "Lumora");
    EXPECT_TRUE(frame->Documents().empty());
    for (const PopupSpec& popup : CommandTable::FrameMenu())
        EXPECT_EQ(MenuItems(*frame, popup.title), TableItems(CommandTable::FrameMenu(), popup.title)) << popup.title;
    EXPECT_FALSE(frame->Action(CommandId::CropSelection)->isEnabled());
}

TEST_F(MainFrameTest, OpenDocumentSwitchesToTheDocumentMenu)
{
    auto frame = MakeFrame();
    frame->OnCommand(CommandId::FileNew);
    ASSERT_EQ(frame->Documents().size(), 1u);
    for (const PopupSpec& popup : CommandTable::DocumentMenu())
        EXPECT_EQ(MenuItems(*frame, popup.title), TableItems(CommandTable::DocumentMenu(), popup.title)) << popup.title;
    EXPECT_TRUE(frame->Documents().front()->Title().startsWith("Capture"));
    EXPECT_EQ(frame->windowTitle(), "Lumora - " + frame->Documents().front()->Title());
}

TEST_F(MainFrameTest, MenuItemsCarryTheirAccelerators)
{
    auto frame = MakeFrame();
    EXPECT_EQ(frame->Action(CommandId::EditUndo)->shortcuts(),
        (QList<QKeySequence> { QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace") }));
    EXPECT_EQ(frame->Action(CommandId::FileNew)->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(frame->Action(CommandId::NextPane)->shortcut(), QKeySequence("F6"));
    EXPECT_EQ(frame->Action(CommandId::ZoomActual)->text(), "Acture");
    EXPECT_EQ(frame->Action(CommandId::ZoomActual)->toolTip(), "Actual");
}

TEST_F(MainFrameTest, AcceleratorKeysReachTheirCommands)
{
    auto frame = MakeFrame();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(frame.get(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(frame->Documents().size(), 1u);
    EXPECT_TRUE(frame->Documents().front()->IsModified());
    // File New's picture: 640 x 480, opaque white, 32 bits per pixel.
    const CKestrelDoc& document = frame->Documents().front()->Document();
    EXPECT_EQ(document.Image().Width(), 640);
    EXPECT_EQ(document.Image().Height(), 480);
    EXPECT_EQ(document.Image().BitCount(), 32);
    EXPECT_EQ(document.Image().GetPixelValue(320, 240), 0xFFFFFFFFu);
    // Esc pressed in a document that does not take it travels up to the frame.
    EXPECT_EQ(frame->StopScrolling(), 0);
    QTest::keyClick(frame->Documents().front(), Qt::Key_Escape);
    EXPECT_EQ(frame->StopScrolling(), 1);
}

TEST_F(MainFrameTest, RedoAndZoomKeysReachTheirCommandsAndShowInTheMenus)
{
    auto frame = MakeFrame();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    frame->OnCommand(CommandId::FileNew);
    CChildFrame* child = frame->Documents().front();
    CKestrelDoc& document = child->Document();
    CKestrelView& view = child->View();
    // Two edits, each writing its number into the first pixel's blue.
    for (uint8_t number : { 1, 2 }) {
        document.RecordUndoSnapshot(std::as_const(document).Image());
        document.Image().Row(0)[0] = number;
    }
    document.UpdateAllViews();
    auto firstBlue = [&] { return std::as_const(document).Image().Row(0)[0]; };
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int blue; // after the key
        int zoomStep;
    };
    const Step steps[] = {
        { Qt::Key_Z, Qt::ControlModifier, 1, 4 },
        { Qt::Key_Y, Qt::ControlModifier, 2, 4 },
        { Qt::Key_Z, Qt::ControlModifier, 1, 4 },
        { Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, 2, 4 },
        { Qt::Key_Equal, Qt::ControlModifier, 2, 5 },
        { Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, 2, 6 },
        { Qt::Key_Minus, Qt::ControlModifier, 2, 5 },
        { Qt::Key_0, Qt::ControlModifier, 2, 4 },
        { Qt::Key_Minus, Qt::ControlModifier, 2, 3 },
        { Qt::Key_0, Qt::ControlModifier, 2, 4 },
    };
    for (const Step& step : steps) {
        QTest::keyClick(&view, step.key, step.modifiers);
        EXPECT_EQ(firstBlue(), step.blue) << step.key;
        EXPECT_EQ(view.ZoomStep(), step.zoomStep) << step.key;
    }
    // The menus show the keys beside the items.
    for (int id : { CommandId::EditRedo, CommandId::ZoomIn, CommandId::ZoomOut, CommandId::ZoomActual })
        EXPECT_FALSE(frame->Action(id)->shortcut().isEmpty()) << id;
}

TEST_F(MainFrameTest, BarsStatusPanesAndParamSetting)
{
    auto frame = MakeFrame();
    auto* main = frame->findChild<QToolBar*>("toolbar157");
    auto* tools = frame->findChild<QToolBar*>("toolbar165");
    ASSERT_TRUE(main && tools);
    EXPECT_EQ(main->iconSize(), QSize(32, 32));
    EXPECT_EQ(tools->iconSize(), QSize(24, 24));
    EXPECT_EQ(tools->windowTitle(), "Tools");
    EXPECT_EQ(tools->orientation(), Qt::Vertical);
    EXPECT_EQ(frame->toolBarArea(main), Qt::TopToolBarArea);
    EXPECT_EQ(frame->toolBarArea(tools), Qt::LeftToolBarArea);
    std::vector<int> ids;
    for (QAction* action : main->actions())
        ids.push_back(action->isSeparator() ? 0 : action->data().toInt());
    std::vector<int> expected;
    for (const ToolbarEntry& entry : CommandTable::MainToolbar())
        expected.push_back(entry.id);
    EXPECT_EQ(ids, expected);
    for (QAction* action : main->actions())
        EXPECT_TRUE(action->isSeparator() || !action->icon().isNull()) << action->text().toStdString();

    EXPECT_EQ(frame->StatusPane(13000)->text(), "  Size: 0 x 0          ");
    EXPECT_EQ(frame->StatusPane(13001)->text(), "Zoom: 100%    ");
    ASSERT_NE(frame->StatusPane(13002), nullptr);
    EXPECT_EQ(frame->StatusPane(13002)->text(), "  ");
    // The third pane stretches: it is wider than the other two together.
    EXPECT_GT(frame->StatusPane(13002)->width(), frame->StatusPane(13000)->width() + frame->StatusPane(13001)->width());

    auto* bar = frame->findChild<QDockWidget*>("bar226");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->windowTitle(), "Param Setting");
    EXPECT_EQ(frame->dockWidgetArea(bar), Qt::BottomDockWidgetArea);
    EXPECT_FALSE(bar->isAreaAllowed(Qt::LeftDockWidgetArea));
}

TEST_F(MainFrameTest, ViewMenuTogglesBarsWithCheckMarks)
{
    auto frame = MakeFrame();
    QAction* toolbar = frame->Action(CommandId::ViewToolbar);
    QAction* status = frame->Action(CommandId::ViewStatusBar);
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_TRUE(status->isChecked());
    toolbar->trigger();
    EXPECT_TRUE(frame->findChild<QToolBar*>("toolbar157")->isHidden());
    EXPECT_FALSE(toolbar->isChecked());
    status->trigger();
    EXPECT_TRUE(frame->statusBar()->isHidden());
    EXPECT_FALSE(status->isChecked());
    toolbar->trigger();
    EXPECT_TRUE(toolbar->isChecked());
}

TEST_F(MainFrameTest, SettingTogglesShowCheckMarksAndAct)
{
    auto frame = MakeFrame();
    QAction* tray = frame->Action(CommandId::TrayMode);
    QAction* autostart = frame->Action(CommandId::AutoStartup);
    EXPECT_FALSE(tray->isChecked());
    EXPECT_FALSE(frame->Tray()->IsAdded());
    tray->trigger();
    EXPECT_TRUE(tray->isChecked());
    EXPECT_TRUE(frame->Tray()->IsAdded());
    tray->trigger();
    EXPECT_FALSE(tray->isChecked());
    EXPECT_FALSE(frame->Tray()->IsAdded());

    autostart->trigger();
    EXPECT_TRUE(autostart->isChecked());
    EXPECT_TRUE(QFile::exists(services.autostartPath));
    autostart->trigger();
    EXPECT_FALSE(autostart->isChecked());
    EXPECT_FALSE(QFile::exists(services.autostartPath));

    // Their dialogs need no document.
    EXPECT_TRUE(frame->Action(CommandId::DefineHotkey)->isEnabled());
    EXPECT_TRUE(frame->Action(CommandId::CaptureSetting)->isEnabled());
}

TEST_F(MainFrameTest, LoadedSettingsAreAppliedAtCreationAndSavedAtClose)
{
    store.loaded.trayMode = true;
    store.loaded.autoStartup = true;
    auto frame = MakeFrame();
    EXPECT_TRUE(frame->Tray()->IsAdded());
    EXPECT_TRUE(frame->Action(CommandId::TrayMode)->isChecked());
    EXPECT_TRUE(QFile::exists(services.autostartPath));
    frame->OnCommand(CommandId::TrayMode);
    EXPECT_EQ(store.saves, 0); // toggles reach the store only at close
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(store.saves, 1);
    EXPECT_FALSE(store.saved.trayMode);
    EXPECT_TRUE(store.saved.autoStartup);
}

TEST_F(MainFrameTest, TrayModeNeverHidesTheWindowWhereNoTrayCouldBringItBack)
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "a tray is available here";
    store.loaded.trayMode = true;
    auto frame = MakeFrame();
    frame->showMinimized();
    QTest::qWait(20);
    EXPECT_TRUE(frame->isVisible()) << "hidden with no tray to show it again";
    frame->showNormal();
    // The minimise after a capture is the program's own, plain one.
    FrameWindowControl(*frame).ShowWindow(ShowCommand::ShowMinimized);
    QTest::qWait(20);
    EXPECT_TRUE(frame->isMinimized());
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(MainFrameTest, TrayMenuItemsReachTheirCommands)
{
    auto frame = MakeFrame();
    QMenu* menu = frame->Tray()->Menu();
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QString("-") : action->text());
    EXPECT_EQ(texts,
        (QStringList { "Show/Hide Main window", "Capture Full screen", "Capture Windows", "Capture Region",
            "Capture Active window", "-", "Exit Lumora" }));
    EXPECT_EQ(frame->Tray()->Tip(), "Lumora");
    menu->actions()[1]->trigger();
    menu->actions()[2]->trigger();
    EXPECT_EQ(capture.requests, (std::vector<int> { 32835, 32793 }));
    bool closed = false;
    QObject::connect(frame.get(), &CMainFrame::Closed, [&] { closed = true; });
    menu->actions()[6]->trigger();
    EXPECT_TRUE(closed);
}

TEST_F(MainFrameTest, ExitFromTheTrayWhileHiddenStillAsksAndEnds)
{
    store.loaded.trayMode = true;
    auto frame = MakeFrame();
    frame->OnCommand(CommandId::FileNew);
    const QStringList titles = Titles(*frame);
    frame->Tray()->HandleActivation(QSystemTrayIcon::Trigger);
    ASSERT_FALSE(frame->isVisible());
    bool closed = false;
    QObject::connect(frame.get(), &CMainFrame::Closed, [&] { closed = true; });
    prompts.answers = { ExitAnswer::No };
    frame->Tray()->Menu()->actions().back()->trigger();
    EXPECT_EQ(prompts.asked, titles);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(frame->Tray()->IsAdded());
    EXPECT_EQ(store.saves, 1);
}

TEST_F(MainFrameTest, CaptureCommandsGoToTheCaptureRoutines)
{
    auto frame = MakeFrame();
    for (int id : { 32835, 32792, 32793, 32794, 32921, 32929 }) {
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
        frame->Action(id)->trigger();
    }
    EXPECT_EQ(capture.requests, (std::vector<int> { 32835, 32792, 32793, 32794, 32921, 32929 }));
}

TEST_F(MainFrameTest, TrayClicksSendTheWindowToTheTrayAndBringItBack)
{
    store.loaded.trayMode = true;
    auto frame = MakeFrame();
    frame->Tray()->HandleActivation(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(frame->isVisible());
    frame->Tray()->HandleActivation(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(frame->isMinimized());
}

TEST_F(MainFrameTest, FunctionKeySixMovesBetweenTabs)
{
    auto frame = MakeFrame();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    for (int i = 0; i < 3; ++i)
        frame->NewDocument();
    const std::vector<CChildFrame*> tabs = frame->Documents();
    ASSERT_EQ(frame->ActiveDocument(), tabs[2]);
    QTest::keyClick(frame.get(), Qt::Key_F6);
    EXPECT_EQ(frame->ActiveDocument(), tabs[0]) << "after the last tab comes the first";
    QTest::keyClick(frame.get(), Qt::Key_F6);
    EXPECT_EQ(frame->ActiveDocument(), tabs[1]);
    QTest::keyClick(frame.get(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(frame->ActiveDocument(), tabs[0]);
}

TEST_F(MainFrameTest, MinimisingWithoutTrayModeKeepsTheWindow)
{
    auto frame = MakeFrame();
    frame->showMinimized();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(MainFrameTest, KeyPressesEndAtTheFrameAndEscapeStopsScrolling)
{
    auto frame = MakeFrame();
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    other.ignore();
    QApplication::sendEvent(frame.get(), &other);
    EXPECT_TRUE(other.isAccepted());
    EXPECT_EQ(frame->StopScrolling(), 0);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &escape);
    EXPECT_EQ(frame->StopScrolling(), 1);
}

TEST_F(MainFrameTest, ScrollingStepsShowInTheStatusBarWhileTheEventLoopWaits)
{
    auto frame = MakeFrame();
    QApplication::processEvents();
    QStatusBar* bar = frame->statusBar();
    const QRect area(bar->mapTo(frame.get(), QPoint(0, 0)), bar->size());
    const auto onScreen = [&] {
        return frame->screen()->grabWindow(frame->winId(), area.x(), area.y(), area.width(), area.height()).toImage();
    };
    QImage previous = onScreen();
    ASSERT_FALSE(previous.isNull());
    // A capture keeps the event loop waiting between its steps: the count must reach the screen at once.
    for (int steps : { 1, 12 }) {
        frame->ShowScrollingSteps(steps);
        EXPECT_EQ(bar->currentMessage(), QString("Scrolling capture: step %1").arg(steps));
        const QImage shown = onScreen();
        EXPECT_NE(shown, previous) << steps;
        shown.save(OutputFolder() + QString("/scrolling_steps_%1.png").arg(steps));
        previous = shown;
    }
}

TEST_F(MainFrameTest, CloseWithThreeModifiedDocumentsAnsweringSaveNone)
{
    auto frame = MakeFrame();
    for (int i = 0; i < 3; ++i)
        frame->OnCommand(CommandId::FileNew);
    const QStringList titles = Titles(*frame);
    prompts.answers = { ExitAnswer::SaveNone };
    bool closed = false;
    QObject::connect(frame.get(), &CMainFrame::Closed, [&] { closed = true; });
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(closed);
    EXPECT_EQ(prompts.asked, QStringList { titles[0] });
    EXPECT_EQ(store.saves, 1);
}

TEST_F(MainFrameTest, CancelAtTheSecondKeepsRunningWithTheFirstClosed)
{
    auto frame = MakeFrame();
    for (int i = 0; i < 3; ++i)
        frame->OnCommand(CommandId::FileNew);
    const QStringList titles = Titles(*frame);
    prompts.answers = { ExitAnswer::No, ExitAnswer::Cancel };
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(prompts.asked, (QStringList { titles[0], titles[1] }));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (CChildFrame* child : frame->Documents())
        EXPECT_TRUE(child->IsModified());
    EXPECT_EQ(Titles(*frame), (QStringList { titles[1], titles[2] }));
    EXPECT_EQ(store.saves, 0);
    // Nothing of the closing ran: the tray and settings are as they were.
    prompts.answers = { ExitAnswer::No, ExitAnswer::No };
    EXPECT_TRUE(frame->close());
}

TEST_F(MainFrameTest, NewThenCloseAsks)
{
    auto frame = MakeFrame();
    frame->OnCommand(CommandId::FileNew);
    prompts.answers = { ExitAnswer::Cancel };
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(prompts.asked, Titles(*frame));
}

TEST_F(MainFrameTest, TabMenuOffersSaveSaveAsCloseAndActsOnTheClickedTab)
{
    auto frame = MakeFrame();
    frame->OnCommand(CommandId::FileNew);
    frame->OnCommand(CommandId::FileNew);
    QStringList texts;
    for (QAction* action : frame->TabMenu()->actions())
        texts << action->text();
    EXPECT_EQ(texts, (QStringList { "Save", "Save As", "Close" }));
    QTabBar* tabs = frame->TabBar();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    const QStringList titles = Titles(*frame);
    EXPECT_EQ(tabs->tabText(0), titles[0]);
    emit tabs->customContextMenuRequested(tabs->tabRect(0).center());
    EXPECT_TRUE(frame->TabMenu()->isVisible());
    EXPECT_EQ(frame->ActiveDocument()->Title(), titles[0]);
    frame->TabMenu()->hide();
    frame->ActiveDocument()->SetModified(false);
    frame->TabMenu()->actions()[2]->trigger();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(frame->Documents().size(), 1u);
    EXPECT_EQ(Titles(*frame), QStringList { titles[1] });
}

TEST_F(MainFrameTest, ClosingAModifiedTabAsksToSaveTheImage)
{
    auto frame = MakeFrame();
    frame->OnCommand(CommandId::FileNew);
    prompts.imageAnswer = SaveImageAnswer::Cancel;
    frame->OnCommand(CommandId::FileClose);
    EXPECT_EQ(prompts.imageAsked, 1);
    EXPECT_EQ(frame->Documents().size(), 1u);

    // Yes, but the save fails: reported, and the document stays open and modified.
    prompts.imageAnswer = SaveImageAnswer::Yes;
    prompts.path = dir.path() + "/missing-folder/out.png";
    frame->OnCommand(CommandId::FileClose);
    EXPECT_EQ(prompts.suffixes, QStringList { "png" });
    EXPECT_EQ(prompts.failures, QStringList { dir.path() + "/missing-folder/out.png" });
    ASSERT_EQ(frame->Documents().size(), 1u);
    EXPECT_TRUE(frame->Documents().front()->IsModified());

    // Yes with a save that works closes it.
    prompts.path = dir.path() + "/out.png";
    frame->OnCommand(CommandId::FileClose);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(QImage(dir.path() + "/out.png").size(), QSize(640, 480));
    EXPECT_TRUE(frame->Documents().empty());

    frame->OnCommand(CommandId::FileNew);
    prompts.imageAnswer = SaveImageAnswer::No;
    frame->OnCommand(CommandId::FileClose);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame->Documents().empty());
}

TEST_F(MainFrameTest, SaveAsAsksForAPathAndClearsModifiedOnlyWhenWritten)
{
    auto frame = MakeFrame();
    frame->OnCommand(CommandId::FileNew);
    CChildFrame* child = frame->ActiveDocument();
    const QString untitled = child->Title();
    prompts.path = dir.path() + "/missing-folder/shot.png";
    frame->OnCommand(CommandId::FileSaveAs);
    EXPECT_EQ(prompts.failures.size(), 1);
    EXPECT_TRUE(child->IsModified());
    EXPECT_EQ(child->Title(), untitled); // the name changes only after a successful save
    prompts.path = dir.path() + "/shot.png";
    frame->OnCommand(CommandId::FileSaveAs);
    EXPECT_FALSE(child->IsModified());
    EXPECT_EQ(child->Title(), "shot.png");
    EXPECT_EQ(frame->windowTitle(), "Lumora - shot.png");
    EXPECT_EQ(frame->RecentFiles().Entries(), QStringList { dir.path() + "/shot.png" });
}

TEST_F(MainFrameTest, BarLayoutIsRemembered)
{
    {
        auto frame = MakeFrame();
        auto* bar = frame->findChild<QDockWidget*>("bar226");
        frame->addDockWidget(Qt::TopDockWidgetArea, bar);
        frame->findChild<QToolBar*>("toolbar165")->hide();
        ASSERT_TRUE(frame->close());
    }
    auto frame = MakeFrame();
    EXPECT_EQ(frame->dockWidgetArea(frame->findChild<QDockWidget*>("bar226")), Qt::TopDockWidgetArea);
    EXPECT_TRUE(frame->findChild<QToolBar*>("toolbar165")->isHidden());
}

TEST_F(MainFrameTest, HelpOpensOurHelpPage)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    auto frame = MakeFrame();
    frame->Action(CommandId::Help)->trigger();
    frame->Action(CommandId::VisitHomepage)->trigger();
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(services.helpFolder + "/index.html"));
    EXPECT_EQ(catcher.urls[1], catcher.urls[0]);
}

TEST_F(MainFrameTest, AboutShowsTwoLinksThatOpenTheHelpPages)
{
    QDir().mkpath(services.helpFolder);
    for (const char* page : { "/index.html", "/support.html" }) {
        QFile file(services.helpFolder + page);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    auto frame = MakeFrame();
    QString title;
    QStringList targets;
    bool visited = true;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(qobject_cast<CAboutDlg*>(dialog), nullptr);
        title = dialog->windowTitle();
        for (const char* name : { "link1042", "link1043" }) {
            if (auto* link = dialog->findChild<CHyperLink*>(name)) {
                targets << link->URL();
                QTest::mouseClick(link, Qt::LeftButton);
                visited = visited && link->IsVisited();
            }
        }
        qobject_cast<QDialog*>(dialog)->accept();
    });
    frame->OnCommand(CommandId::AppAbout);
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(title, "About Lumora!");
    const QUrl home = QUrl::fromLocalFile(services.helpFolder + "/index.html");
    const QUrl support = QUrl::fromLocalFile(services.helpFolder + "/support.html");
    EXPECT_EQ(targets, QStringList({ home.toString(), support.toString() }));
    EXPECT_EQ(catcher.urls, QList<QUrl>({ home, support }));
    EXPECT_TRUE(visited);
}

TEST_F(MainFrameTest, NewShowsTheNoParameterPanel)
{
    auto frame = MakeFrame();
    ASSERT_NE(frame->ParamBar(), nullptr);
    EXPECT_EQ(frame->ParamBar()->Panel(), nullptr);
    frame->ParamBar()->ShowKind(PanelKind::kLine);
    frame->OnCommand(CommandId::FileNew);
    EXPECT_EQ(frame->ParamBar()->CurrentKind(), PanelKind::kNoParameter);
    auto* group = frame->ParamBar()->Panel()->findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "no parameter");
}

TEST(ShippedStamps, LieBesideTheProgramAndAllLoad)
{
    const StampLibrary stamps = LoadStampLibrary(QFileInfo(LUMORA_EXECUTABLE).absolutePath().toStdString() + "/");
    ASSERT_EQ(stamps.paths.size(), 16u);
    for (size_t i = 0; i < stamps.paths.size(); ++i)
        EXPECT_FALSE(LoadStampImage(stamps, int(i)).IsEmpty()) << stamps.paths[i];
}

TEST_F(MainFrameTest, PrintSetupOpensThePageSetupDialog)
{
    auto frame = MakeFrame();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPageSetupDialog*>(QApplication::activeModalWidget());
        seen = dialog != nullptr;
        if (dialog)
            dialog->reject();
    });
    frame->OnCommand(CommandId::FilePrintSetup);
    EXPECT_TRUE(seen);
}

TEST_F(MainFrameTest, RecentFilesAppearInTheFileMenu)
{
    auto frame = MakeFrame();
    EXPECT_FALSE(frame->Action(CommandId::FileMruFirst)->isEnabled());
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (const char* name : { "1", "2", "3", "4", "5" }) {
        const QString path = dir.path() + "/" + name + ".bmp";
        ASSERT_TRUE(picture.save(path, "BMP"));
        frame->OpenDocumentFile(path);
    }
    ASSERT_EQ(frame->Documents().size(), 5u);
    EXPECT_EQ(frame->Documents().back()->Document().Image().Width(), 8);
    // A file that cannot be opened opens nothing.
    frame->OpenDocumentFile(dir.path() + "/none.bmp");
    EXPECT_EQ(frame->Documents().size(), 5u);
    QStringList recent;
    for (const auto& [id, text] : MenuItems(*frame, "&File")) {
        if (text.startsWith('&') && text.size() > 1 && text[1].isDigit())
            recent << text;
    }
    const QString d = dir.path();
    EXPECT_EQ(recent,
        (QStringList { "&1 " + d + "/5.bmp", "&2 " + d + "/4.bmp", "&3 " + d + "/3.bmp", "&4 " + d + "/2.bmp" }));
}

TEST_F(MainFrameTest, FileThatCannotBeOpenedIsNamedWithItsReasonAndOpensNoTab)
{
    auto frame = MakeFrame();
    const QString d = dir.path();
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(d + "/kept.bmp", "BMP"));
    auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    ASSERT_TRUE(write(d + "/junk.png", "not a picture at all"));
    ASSERT_TRUE(write(d + "/empty.bmp", ""));
    // A PNG cut off inside its header.
    ASSERT_TRUE(write(d + "/cut.png", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452")));
    // Headers that promise more pixels than a document holds (at 32 bits, 2^31 bytes or more).
    ASSERT_TRUE(
        write(d + "/vast.png", QByteArray::fromHex("89504e470d0a1a0a0000000d494844520000ffff0000ffff08020000")));
    ASSERT_TRUE(write(d + "/vast.gif", QByteArray::fromHex("474946383961ffffffff0000") + QByteArray(40, 0)));
    ASSERT_TRUE(write(d + "/wide.bmp",
        QByteArray::fromHex("424d000000000000000036000000280000005ed000005ed00000") + QByteArray(40, 0)));
    ASSERT_TRUE(QDir(d).mkdir("folder.png"));
    {
        QFile huge(d + "/huge.bmp");
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(qint64(3) << 30)); // sparse: no disk used
    }
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        { "missing.png", "the file does not exist" },
        { "junk.png", "it is not a picture Lumora can read, or it is damaged" },
        { "empty.bmp", "it is not a picture Lumora can read, or it is damaged" },
        { "cut.png", "it is not a picture Lumora can read, or it is damaged" },
        { "folder.png", "it is not a file" },
        { "huge.bmp", "it is too large" },
        { "vast.png", "it is too large" },
        { "vast.gif", "it is too large" },
        { "wide.bmp", "it is too large" },
    };
    for (const Case& c : cases) {
        prompts.openFailures.clear();
        frame->OpenDocumentFile(d + "/" + c.name);
        EXPECT_TRUE(frame->Documents().empty()) << c.name;
        EXPECT_EQ(prompts.openFailures, QStringList { "Cannot open " + d + "/" + c.name + ": " + c.reason + "." });
    }

    // A recent entry whose file went away is dropped once the user was told.
    frame->OpenDocumentFile(d + "/kept.bmp");
    ASSERT_EQ(frame->Documents().size(), 1u);
    ASSERT_TRUE(QFile::rename(d + "/kept.bmp", d + "/moved.bmp"));
    prompts.openFailures.clear();
    QAction* recent = nullptr;
    for (QAction* action : frame->findChildren<QAction*>())
        if (action->text() == "&1 " + d + "/kept.bmp")
            recent = action;
    ASSERT_NE(recent, nullptr);
    recent->trigger();
    EXPECT_EQ(prompts.openFailures, QStringList { "Cannot open " + d + "/kept.bmp: the file does not exist." });
    EXPECT_EQ(frame->Documents().size(), 1u);
    EXPECT_TRUE(frame->RecentFiles().Entries().isEmpty());
}

// Reads PNG with a decoder held to 40 MB of address space.
class TightDecoderRegistry final : public CodecRegistry {
public:
    std::unique_ptr<ImageCodec> CreateCodec(ImageFormat format) const override
    {
        if (format == kFormatPng)
            return std::make_unique<FreeImageCodec>(SandboxedDecoder::Limits { int64_t(40) << 20, 10 });
        return DefaultCodecRegistry().CreateCodec(format);
    }
};

TEST_F(MainFrameTest, AFailingDecoderIsOneMessageAndOpensNothing)
{
    auto frame = MakeFrame();
    ImageBuffer large;
    ASSERT_TRUE(large.Create(4000, 4000, 24));
    const QString path = dir.path() + "/large.png";
    ASSERT_TRUE(SaveImageFile(large, path.toStdString()));
    frame->OpenDocumentFile(path);
    ASSERT_EQ(frame->Documents().size(), 1u);

    SetCurrentRegistry(std::make_shared<TightDecoderRegistry>());
    frame->OpenDocumentFile(path);
    SetCurrentRegistry(std::make_shared<DefaultCodecRegistry>());
    EXPECT_EQ(frame->Documents().size(), 1u) << "no document for a picture the decoder could not read";
    EXPECT_EQ(prompts.openFailures, QStringList { "cannot read " + path + ": the decoder failed" });
    EXPECT_EQ(frame->Documents().front()->Document().Image().Width(), 4000) << "the open document is untouched";
}

TEST_F(MainFrameTest, ScreenshotOfTheMainWindow)
{
    auto frame = MakeFrame();
    frame->OnCommand(CommandId::FileNew);
    frame->OnCommand(CommandId::FileNew);
    QApplication::processEvents();
    const QPixmap shot = frame->grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), frame->size() * shot.devicePixelRatio());
    const QString path = OutputFolder() + "/main_window.png";
    ASSERT_TRUE(shot.save(path, "PNG")) << path.toStdString();
}

TEST_F(MainFrameTest, HotKeyFromTheSettingsStartsItsCapture)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "needs an X display and xdotool";
    XServerTurn turn;
    ASSERT_TRUE(turn.Held());
    store.loaded.enableHotkey = true;
    store.loaded.hotKeys[2] = { 'A', 7 }; // active window: Ctrl+Alt+Shift+A
    store.loaded.hotKeys[3] = { 'R', 7 }; // region: Ctrl+Alt+Shift+R
    auto frame = MakeFrame();
    EXPECT_EQ(frame->HotKeys()->RegisteredIds(), (std::vector<int> { 32794, 32792 }));
    EXPECT_TRUE(frame->Action(CommandId::EnableHotkey)->isChecked());
    QProcess::execute("xdotool", { "key", "--clearmodifiers", "ctrl+alt+shift+r" });
    ASSERT_TRUE(WaitFor([&] { return !capture.requests.empty(); }));
    EXPECT_EQ(capture.requests, std::vector<int> { 32792 });
    frame->OnCommand(CommandId::EnableHotkey);
    EXPECT_TRUE(frame->HotKeys()->RegisteredIds().empty());
    EXPECT_FALSE(frame->Action(CommandId::EnableHotkey)->isChecked());
}

#include "MainFrameTest.moc"

TEST_F(MainFrameTest, FullScreenCaptureOpensATabHoldingTheScreen)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "needs an X display and xdotool";
    auto frame = MakeFrame();
    CaptureSettings record; // the defaults: a new tab per capture, 800 ms delay
    FrameDocuments documents(*frame);
    FrameCapture capture(record, *frame, &documents, std::string(), std::string());
    ASSERT_TRUE(capture.IsAvailable());
    frame->SetCaptureSink(&capture);
    frame->OnCommand(CommandId::CaptureFullScreen);
    frame->OnCommand(CommandId::CaptureFullScreen);
    frame->SetCaptureSink(nullptr);

    QProcess geometry;
    geometry.start("xdotool", { "getdisplaygeometry" });
    geometry.waitForFinished(10000);
    const QStringList size = QString::fromLatin1(geometry.readAllStandardOutput()).trimmed().split(' ');
    ASSERT_EQ(size.size(), 2);
    ASSERT_EQ(frame->Documents().size(), 2u);
    for (CChildFrame* child : frame->Documents()) {
        const ImageBuffer& image = child->Document().Image();
        EXPECT_EQ(image.Width(), size[0].toInt());
        EXPECT_EQ(image.Height(), size[1].toInt());
        EXPECT_EQ(image.BitCount(), 32);
        EXPECT_TRUE(child->IsModified());
    }
}
