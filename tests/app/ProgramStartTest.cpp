#include "AppTestSupport.h"

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
// Starts the real executable on the test's X server, as the README's run command does.
class ProgramStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "no X display (DISPLAY unset)";
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            GTEST_SKIP() << "xdotool is not installed";
        EnsureApp();
    }

    void TearDown() override
    {
        for (QProcess* process : processes_) {
            process->kill();
            process->waitForFinished(5000);
            delete process;
        }
    }

    QProcess* Start(const QStringList& args = {})
    {
        auto* process = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", config_.path());
        process->setProcessEnvironment(env);
        process->start(LUMORA_EXECUTABLE, args);
        processes_.push_back(process);
        return process;
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

    // What a process said, for the message of a failed wait.
    static std::string Diagnosis(QProcess* process)
    {
        return "state " + std::to_string(process->state()) + ", exit " + std::to_string(process->exitCode()) + ": "
            + process->readAllStandardError().toStdString();
    }

    QTemporaryDir config_;
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
            code = QProcess::execute(LUMORA_EXECUTABLE, { "send", "capture", "7" });
            return code == 0;
        },
        20000);
    EXPECT_EQ(code, 0);
}
