#include "settings/StartNumLock.h"

#include "settings/IniFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <map>

namespace {
constexpr const char* kSection = "AudoSaveSet";
constexpr const char* kKey = "StartNum";

// The locks this thread holds, by lock file: a second flock on a new descriptor would wait for the first.
thread_local std::map<std::string, int> t_heldLocks;
} // namespace

StartNumLock::StartNumLock(const std::string& iniPath)
    : lockPath_(iniPath + ".lock")
{
    auto held = t_heldLocks.find(lockPath_);
    if (held != t_heldLocks.end()) {
        ++held->second;
        nested_ = true;
        return;
    }
    fd_ = open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return;
    int result = 0;
    while ((result = flock(fd_, LOCK_EX)) != 0 && errno == EINTR) { }
    if (result != 0) {
        close(fd_);
        fd_ = -1;
        return;
    }
    t_heldLocks[lockPath_] = 1;
}

StartNumLock::~StartNumLock()
{
    if (nested_) {
        auto held = t_heldLocks.find(lockPath_);
        if (held != t_heldLocks.end() && --held->second == 0)
            t_heldLocks.erase(held);
        return;
    }
    if (fd_ >= 0) {
        t_heldLocks.erase(lockPath_);
        close(fd_); // releases the lock
    }
}

int32_t StartNumLock::Take(const std::string& iniPath, int32_t fallback)
{
    const StartNumLock lock(iniPath);
    IniFile ini(iniPath.c_str());
    const int32_t taken = ini.ReadInt(kSection, kKey, fallback);
    ini.WriteInt(kSection, kKey, int32_t(uint32_t(taken) + 1u));
    return taken;
}

void StartNumLock::KeepHigher(const std::string& iniPath, int32_t current)
{
    const StartNumLock lock(iniPath);
    IniFile ini(iniPath.c_str());
    const int32_t stored = ini.ReadInt(kSection, kKey, current);
    if (stored <= current)
        ini.WriteInt(kSection, kKey, current);
}
