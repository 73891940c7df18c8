#include "tests/app/AppTestSupport.h"

#include <QDBusConnection>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// After gtest: X.h defines macros (None, Bool) that clash with its names.
#include <X11/Xlib.h>

namespace {
// Starts the real executable on the test's X server, as the README's run command does.
class ProgramStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string why = MissingKeyboardTestNeeds(); !why.empty())
            GTEST_SKIP() << why;
        EnsureApp();
        // A copy of its own, so that the config.ini it writes beside itself is this test's.
        ASSERT_TRUE(turn_.Held()) << "another test kept the X server's keyboard and tray";
        // Xvfb resets itself whenever its last client leaves, and refuses connections meanwhile: the
        // program or the tray host would fail to start if they came in between two xdotool runs. A
        // connection of the test's own keeps the server up.
        ASSERT_TRUE(WaitFor([this] { return (keepServerUp_ = XOpenDisplay(nullptr)) != nullptr; }))
            << "cannot open the X display";
        executable_ = CopyProgramInto(programDir_.path());
        ASSERT_FALSE(executable_.isEmpty());
    }

    void TearDown() override
    {
        for (QProcess* process : processes_) {
            process->kill();
            process->waitForFinished(5000);
            delete process;
        }
        if (keepServerUp_)
            XCloseDisplay(keepServerUp_);
    }

    QProcess* Start(const QStringList& args = {}, QString program = {})
    {
        if (program.isEmpty())
            program = executable_;
        auto* process = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", config_.path());
        process->setProcessEnvironment(env);
        process->start(program, args);
        processes_.push_back(process);
        return process;
    }

    // Whether some program holds the system tray's selection, which a tray host takes once it is ready.
    static bool TrayHostOwnsTheTray()
    {
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return false;
        const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
        const bool owned = XGetSelectionOwner(display, XInternAtom(display, name.c_str(), False)) != 0;
        XCloseDisplay(display);
        return owned;
    }

    // A tray host, ready before the program starts: one that came up later would find the program
    // deciding it has no tray. An earlier test's host must be gone first, or the icon docks in it.
    void StartTrayHost()
    {
        ASSERT_TRUE(WaitFor([] { return !TrayHostOwnsTheTray(); }, 30000)) << "an earlier tray host lingers";
        Start({ "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "32" }, "trayer");
        ASSERT_TRUE(WaitFor(TrayHostOwnsTheTray, 30000)) << "trayer never took the tray";
    }

    // The visible windows of one process titled exactly "Lumora", as xdotool reports them.
    static QStringList LumoraWindows(QProcess* process)
    {
        QProcess search;
        search.start("xdotool",
            { "search", "--all", "--onlyvisible", "--pid", QString::number(process->processId()), "--name",
                "^Lumora$" });
        search.waitForFinished(5000);
        return QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    static QString Xdotool(const QStringList& args)
    {
        QProcess xdotool;
        xdotool.start("xdotool", args);
        xdotool.waitForFinished(10000);
        return QString::fromLatin1(xdotool.readAllStandardOutput()).trimmed();
    }

    static bool ShownOnScreen(const QString& window)
    {
        QProcess info;
        info.start("xwininfo", { "-id", window });
        info.waitForFinished(10000);
        return info.readAllStandardOutput().contains("IsViewable");
    }

    // The visible windows of a process other than the given ones.
    static QStringList OtherWindows(QProcess* process, const QStringList& known)
    {
        QStringList others;
        const QString ids = Xdotool(
            { "search", "--all", "--onlyvisible", "--pid", QString::number(process->processId()), "--name", ".*" });
        for (const QString& id : ids.split('\n', Qt::SkipEmptyParts)) {
            if (!known.contains(id))
                others << id;
        }
        return others;
    }

    // What a process said, for the message of a failed wait.
    static std::string Diagnosis(QProcess* process)
    {
        return "state " + std::to_string(process->state()) + ", exit " + std::to_string(process->exitCode()) + ": "
            + process->readAllStandardError().toStdString();
    }

    XServerTurn turn_;
    Display* keepServerUp_ = nullptr;
    QTemporaryDir config_;
    QTemporaryDir programDir_;
    QString executable_;
    std::vector<QProcess*> processes_;
};
} // namespace

TEST_F(ProgramStartTest, BareStartShowsTheLumoraWindowWithNoDocument)
{
    QProcess* lumora = Start();
    ASSERT_TRUE(WaitFor([&] { return LumoraWindows(lumora).size() == 1; }, 20000)) << Diagnosis(lumora);
    EXPECT_EQ(lumora->state(), QProcess::Running) << "exit " << lumora->exitCode() << " status " << lumora->exitStatus()
                                                  << ": " << lumora->readAllStandardError().toStdString();
}

TEST_F(ProgramStartTest, AFileNameOnTheCommandLineOpensNothing)
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/shot.bmp";
    QFile(file).open(QIODevice::WriteOnly);
    QProcess* lumora = Start({ file });
    // Titled just "Lumora": no document was opened (a document would add its name).
    EXPECT_TRUE(WaitFor([&] { return LumoraWindows(lumora).size() == 1; }, 20000)) << Diagnosis(lumora);
}

TEST_F(ProgramStartTest, SecondInstanceRunsOnItsOwn)
{
    QProcess* first = Start();
    QProcess* second = Start();
    EXPECT_TRUE(WaitFor([&] { return LumoraWindows(first).size() == 1 && LumoraWindows(second).size() == 1; }, 20000))
        << Diagnosis(first) << " / " << Diagnosis(second);
}

TEST_F(ProgramStartTest, RunningInstanceAnswersSend)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no D-Bus session bus";
    QProcess* lumora = Start();
    ASSERT_TRUE(WaitFor([&] { return LumoraWindows(lumora).size() == 1; }, 20000)) << Diagnosis(lumora);
    int code = -1;
    // The bus name is taken right after the window shows; ask until it answers.
    WaitFor(
        [&] {
            code = QProcess::execute(executable_, { "send", "capture", "7" });
            return code == 0;
        },
        20000);
    EXPECT_EQ(code, 0);
}

TEST_F(ProgramStartTest, TrayIconTogglesTheWindowAndItsMenuEndsTheProgram)
{
    if (QStandardPaths::findExecutable("trayer").isEmpty() || QStandardPaths::findExecutable("xwininfo").isEmpty())
        GTEST_SKIP() << "needs trayer (a tray host) and xwininfo";
    StartTrayHost();
    if (HasFatalFailure())
        return;
    QProcess* lumora = Start();
    ASSERT_TRUE(WaitFor([&] { return LumoraWindows(lumora).size() == 1; }, 20000)) << Diagnosis(lumora);
    const QString main = LumoraWindows(lumora).front();

    // Setting, "Run as &tray mode", from the keyboard.
    Xdotool({ "windowfocus", "--sync", main });
    Xdotool({ "key", "alt+s" });
    QString settingMenu;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QStringList others = OtherWindows(lumora, { main });
            settingMenu = others.isEmpty() ? QString() : others.front();
            return !settingMenu.isEmpty();
        },
        30000))
        << "no Setting menu";
    Xdotool({ "key", "t" });
    // The menu may still be on screen a moment after its item was chosen: it is not the icon.
    QString icon;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QStringList others = OtherWindows(lumora, { main, settingMenu });
            icon = others.isEmpty() ? QString() : others.front();
            return !icon.isEmpty();
        },
        30000))
        << "no tray icon appeared";

    Xdotool({ "mousemove", "--window", icon, "8", "8", "click", "1" });
    EXPECT_TRUE(WaitFor([&] { return !ShownOnScreen(main); }, 30000)) << "left click did not hide the window";
    // A second press within the double-click time is a double click, which does not toggle.
    WaitFor([] { return false; }, QApplication::doubleClickInterval() + 200);
    Xdotool({ "mousemove", "--window", icon, "8", "8", "click", "1" });
    EXPECT_TRUE(WaitFor([&] { return ShownOnScreen(main); }, 30000)) << "left click did not bring the window back";

    Xdotool({ "mousemove", "--window", icon, "8", "8", "click", "3" });
    QString menu;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QStringList others = OtherWindows(lumora, { main, settingMenu, icon });
            menu = others.isEmpty() ? QString() : others.front();
            return !menu.isEmpty();
        },
        30000))
        << "right click opened no menu";
    // "Exit Lumora" is the menu's last item.
    const QString geometry = Xdotool({ "getwindowgeometry", "--shell", menu });
    int height = 0;
    for (const QString& line : geometry.split('\n')) {
        if (line.startsWith("HEIGHT="))
            height = line.mid(7).toInt();
    }
    ASSERT_GT(height, 20);
    Xdotool({ "mousemove", "--window", menu, "30", QString::number(height - 12), "click", "1" });
    EXPECT_TRUE(WaitFor([&] { return lumora->state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(lumora->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lumora->exitCode(), 0);
}

TEST_F(ProgramStartTest, TrayModeFromConfigIniShowsTheIconAtStart)
{
    if (QStandardPaths::findExecutable("trayer").isEmpty())
        GTEST_SKIP() << "needs trayer (a tray host)";
    QFile config(programDir_.path() + "/config.ini");
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("[AppSet]\nIsTrayMode=1\n");
    config.close();
    StartTrayHost();
    if (HasFatalFailure())
        return;
    QProcess* lumora = Start();
    ASSERT_TRUE(WaitFor([&] { return LumoraWindows(lumora).size() == 1; }, 20000)) << Diagnosis(lumora);
    const QString main = LumoraWindows(lumora).front();
    EXPECT_TRUE(WaitFor([&] { return !OtherWindows(lumora, { main }).isEmpty(); }, 30000)) << "no tray icon";
}

TEST_F(ProgramStartTest, HotKeyAndSendCaptureTheScreenIntoAutoSavedFiles)
{
    QTemporaryDir shots;
    QFile config(programDir_.path() + "/config.ini");
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QString("[AppSet]\nIsEnableHotkey=1\n"
                         "[CapFullScreen]\nHotkey=70\nHotkeyMask=7\n"
                         "[CaptureSet]\nRestoreWndAftCap=1\n"
                         "[AudoSaveSet]\nIsAudoSave=1\nImageSavePath=%1\nImageSaveTitle=Snap\nImageFormat=2\n")
                     .arg(shots.path())
                     .toUtf8());
    config.close();
    QProcess* lumora = Start();
    ASSERT_TRUE(WaitFor([&] { return LumoraWindows(lumora).size() == 1; }, 20000)) << Diagnosis(lumora);
    const QStringList screen = Xdotool({ "getdisplaygeometry" }).split(' ');
    ASSERT_EQ(screen.size(), 2);

    ASSERT_TRUE(WaitUntilGrabbedElsewhere('F', 7)) << Diagnosis(lumora);
    Xdotool({ "key", "--clearmodifiers", "ctrl+alt+shift+f" });
    const QString first = shots.path() + "/Snap1.png";
    ASSERT_TRUE(WaitFor([&] { return QImage(first).width() > 0; }, 20000)) << Diagnosis(lumora);
    EXPECT_EQ(QImage(first).size(), QSize(screen[0].toInt(), screen[1].toInt()));

    if (QDBusConnection::sessionBus().isConnected()) {
        WaitFor([&] { return QProcess::execute(executable_, { "send", "capture", "0" }) == 0; }, 20000);
        EXPECT_TRUE(WaitFor([&] { return QImage(shots.path() + "/Snap2.png").width() > 0; }, 20000));
    }
}
