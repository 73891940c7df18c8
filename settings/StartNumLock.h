#pragma once

#include <cstdint>
#include <string>

// Auto-save numbers handed out from config.ini under an exclusive lock (flock on "config.ini.lock" beside
// it), so that any mix of processes saving captures (the window program, the command line, a second
// instance) never shares a number. The lock is held only while the file is read and rewritten; every write
// of config.ini takes it (IniFile does), so two programs never undo each other's keys. A thread that
// already holds it for a path takes it again at no cost: a batch of writes may hold it around them all.
class StartNumLock {
public:
    explicit StartNumLock(const std::string& iniPath);
    ~StartNumLock();
    StartNumLock(const StartNumLock&) = delete;
    StartNumLock& operator=(const StartNumLock&) = delete;

    // False when the lock file cannot be made (a read-only folder): the caller goes on unlocked.
    bool Held() const { return nested_ || fd_ >= 0; }

    // Returns the number config.ini holds (fallback when it holds none) and writes the next one there.
    static int32_t Take(const std::string& iniPath, int32_t fallback);
    // At close: writes current unless config.ini already holds a higher number, which another process
    // has handed out since this one last looked.
    static void KeepHigher(const std::string& iniPath, int32_t current);

private:
    std::string lockPath_;
    int fd_ = -1;
    bool nested_ = false;
};
