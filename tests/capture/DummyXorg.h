#pragma once

#include "platform/X11Display.h"

#include <QTemporaryDir>

#include <memory>
#include <string>

// An Xorg server of its own, on a free display number, driving Debian's dummy video driver: unlike Xvfb
// it can show several monitors (RandR outputs DUMMY0, DUMMY1, ...) within a desktop of at most the given
// size. Stopped when destroyed. The overlay benchmark runs on one too.
class DummyXorg {
public:
    explicit DummyXorg(int maxWidth = 2560, int maxHeight = 1600);
    ~DummyXorg();
    DummyXorg(const DummyXorg&) = delete;
    DummyXorg& operator=(const DummyXorg&) = delete;

    // Empty when the server started; otherwise why it did not.
    const std::string& Failure() const { return failure_; }
    const std::string& Name() const { return name_; }
    X11Display& Display() { return *display_; }
    // The server's process, or -1 when it is not running.
    int Pid() const { return pid_; }
    // Runs xrandr with arguments against this server; true when it succeeds.
    bool Xrandr(const std::string& arguments) const;

private:
    QTemporaryDir dir_;
    std::string name_;
    std::string failure_;
    int pid_ = -1;
    std::unique_ptr<X11Display> display_;
};
