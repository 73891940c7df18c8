#pragma once

#include <QDir>
#include <QString>

#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

// The X server's keyboard, key grabs, clipboard, tray and window manager are shared by every test process
// on it: a test that grabs or presses keys, offers or reads the clipboard, starts a tray host or a window
// manager, or needs the server without one, holds this for its whole run and the others wait their turn.
// The kernel lets go of the lock when its holder ends, however it ends.
class XServerTurn {
public:
    explicit XServerTurn(std::chrono::seconds limit = std::chrono::seconds(240))
    {
        const QString path = QDir::tempPath() + "/lumora-tests-x" + qEnvironmentVariable("DISPLAY") + ".lock";
        fd_ = open(path.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        const auto until = std::chrono::steady_clock::now() + limit;
        while (fd_ >= 0 && !held_) {
            held_ = flock(fd_, LOCK_EX | LOCK_NB) == 0;
            if (!held_ && std::chrono::steady_clock::now() > until)
                break;
            if (!held_)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~XServerTurn()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    XServerTurn(const XServerTurn&) = delete;
    XServerTurn& operator=(const XServerTurn&) = delete;

    bool Held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};
