#pragma once

#include "XServerTurn.h"
#include "platform/GlobalHotKeys.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>

// One QApplication per test process, with the user's configuration folder redirected to a fresh
// temporary one so that no test reads or writes the real desktop settings.
inline void EnsureApp()
{
    static QApplication* app = [] {
        static QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        static int argc = 1;
        static char name[] = "app_tests";
        static char* argv[] = { name, nullptr };
        // Deliberately never destroyed: widgets of static helpers may outlive main().
        return new QApplication(argc, argv);
    }();
    (void)app;
}

// Why a test that presses real keys on the X server cannot run here, or an empty string when it can.
inline std::string MissingKeyboardTestNeeds()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return "no X display (DISPLAY unset)";
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        return "xdotool is not installed";
    return {};
}

// Copies the program (the front executable and lumora-app beside it) into folder, so that the config.ini
// it writes beside itself is the test's own; returns the copied front, or an empty string.
inline QString CopyProgramInto(const QString& folder)
{
    const QString source = QString(LUMORA_EXECUTABLE);
    const QString front = folder + "/lumora";
    const QString whole = QFileInfo(source).absolutePath() + "/lumora-app";
    if (!QFile::copy(source, front) || !QFile::copy(whole, folder + "/lumora-app"))
        return {};
    return front;
}

inline QString ConfigHome()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME");
}

// Runs the event loop until condition holds or the limit passes; returns the condition. The condition is
// checked every pollMs, so that conditions that start processes (xdotool) do not flood the X server.
inline bool WaitFor(const std::function<bool()>& condition, int limitMs = 5000, int pollMs = 50)
{
    QElapsedTimer timer;
    timer.start();
    // Asked once per round: a condition may act (send a request) and must not run again once met.
    bool met = condition();
    while (!met && timer.elapsed() < limitMs) {
        QEventLoop loop;
        QTimer::singleShot(pollMs, &loop, &QEventLoop::quit);
        loop.exec();
        met = condition();
    }
    return met;
}

// Whether a program started by the test has grabbed the combination by the time limit: a key pressed
// before it has would go nowhere.
inline bool WaitUntilGrabbedElsewhere(int virtualKey, int modBits, int limitMs = 30000)
{
    GlobalHotKeys probe;
    return WaitFor([&] { return probe.IsHeldElsewhere(virtualKey, modBits); }, limitMs, 200);
}

// Where tests leave pictures for a reviewer: app_output in the test's working folder (the build's
// tests folder under CTest).
// The program's main window (process pid) while it is mapped, or an empty string.
inline QString ShownMainWindow(qint64 pid)
{
    QProcess search;
    search.start("xdotool", { "search", "--onlyvisible", "--pid", QString::number(pid), "--name", "^Lumora" });
    search.waitForFinished(10000);
    return QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).value(0);
}

inline QString WindowName(const QString& window)
{
    QProcess name;
    name.start("xdotool", { "getwindowname", window });
    name.waitForFinished(10000);
    return QString::fromUtf8(name.readAllStandardOutput()).trimmed();
}

inline QString OutputFolder()
{
    const QString folder = QDir::currentPath() + "/app_output";
    QDir().mkpath(folder);
    return folder;
}

// A picture of widget in the output folder.
inline void SaveScreenshot(QWidget& widget, const QString& name)
{
    widget.grab().save(OutputFolder() + "/" + name + ".png", "PNG");
}

// Acts on the next modal dialog of type T once it is up, from inside its own event loop.
template <class T> void WhenModal(std::function<void(T&)> act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*dialog);
        }
    });
    poll->start(5);
}
