#include "tests/capture/DummyXorg.h"

#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// The desktop's largest size and the video memory (KiB) go in at %1, %2 and %3.
const char kConfig[] = R"(Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam %3
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual %1 %2
  EndSubSection
EndSection
)";

// A display number that no server holds: neither its socket nor its lock file exists.
int FreeDisplayNumber()
{
    for (int number = 70 + getpid() % 100;; ++number) {
        const std::string n = std::to_string(number);
        if (!std::filesystem::exists("/tmp/.X11-unix/X" + n) && !std::filesystem::exists("/tmp/.X" + n + "-lock"))
            return number;
    }
}

} // namespace

DummyXorg::DummyXorg(int maxWidth, int maxHeight)
{
    const QString xorg = QStandardPaths::findExecutable("Xorg");
    if (xorg.isEmpty() || !std::filesystem::exists("/usr/lib/xorg/modules/drivers/dummy_drv.so")) {
        failure_ = "needs Xorg and its dummy video driver (xserver-xorg-video-dummy)";
        return;
    }
    const QString config = dir_.filePath("xorg.conf");
    QFile file(config);
    const qint64 frameKiB = qint64(maxWidth) * maxHeight * 4 / 1024;
    const QString text = QString(kConfig).arg(maxWidth).arg(maxHeight).arg(std::max<qint64>(64000, 2 * frameKiB));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0) {
        failure_ = "cannot write the server's configuration";
        return;
    }
    file.close();
    name_ = ":" + std::to_string(FreeDisplayNumber());
    const std::string program = xorg.toStdString();
    const std::string configPath = config.toStdString();
    const std::string configDir = dir_.filePath("conf.d").toStdString();
    const std::string log = dir_.filePath("xorg.log").toStdString();
    pid_ = fork();
    if (pid_ == 0) {
        execl(program.c_str(), program.c_str(), name_.c_str(), "-config", configPath.c_str(), "-configdir",
            configDir.c_str(), "-noreset", "-br", "-nolisten", "tcp", "-logfile", log.c_str(), nullptr);
        _exit(127);
    }
    for (int attempt = 0; attempt < 200 && !display_; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        display_ = X11Display::Open(name_);
    }
    if (!display_)
        failure_ = "Xorg with the dummy driver did not start on " + name_ + " (see its log, " + log + ")";
}

DummyXorg::~DummyXorg()
{
    display_.reset();
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool DummyXorg::Xrandr(const std::string& arguments) const
{
    const std::string command = "DISPLAY=" + name_ + " xrandr " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}
