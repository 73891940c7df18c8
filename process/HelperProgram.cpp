#include "process/HelperProgram.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

extern char** environ;

namespace {

std::string ExecutableFolder()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    const std::string path(buffer, size_t(length));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsExecutable(const std::string& path)
{
    return !path.empty() && access(path.c_str(), X_OK) == 0;
}

// Source descriptors are first moved above every target, so that making one target never overwrites a
// source that another pair still needs.
int RaisedCopy(int fd, int floor)
{
    return fcntl(fd, F_DUPFD_CLOEXEC, floor);
}

} // namespace

HelperProgram::HelperProgram(const std::string& name)
{
    const std::string folder = ExecutableFolder();
    if (!folder.empty() && IsExecutable(folder + name)) {
        path_ = folder + name;
        return;
    }
    // Never a bare name looked up in $PATH or the current folder.
    const char* helperDir = std::getenv("LUMORA_HELPER_DIR");
    if (helperDir && helperDir[0] == '/' && IsExecutable(std::string(helperDir) + "/" + name))
        path_ = std::string(helperDir) + "/" + name;
}

pid_t HelperProgram::Start(
    const std::vector<std::string>& args, const std::vector<std::pair<int, int>>& descriptors, bool keepStderr) const
{
    if (path_.empty())
        return -1;
    int floor = 3;
    for (const auto& [from, to] : descriptors)
        floor = std::max(floor, to + 1);
    std::vector<int> raised;
    bool ok = true;
    for (const auto& [from, to] : descriptors) {
        raised.push_back(RaisedCopy(from, floor));
        ok = ok && raised.back() >= 0;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (size_t i = 0; ok && i < descriptors.size(); ++i)
        ok = posix_spawn_file_actions_adddup2(&actions, raised[i], descriptors[i].second) == 0;
    for (int fd = 0; ok && fd <= 2; ++fd) {
        bool mapped = fd == 2 && keepStderr;
        for (const auto& pair : descriptors)
            mapped = mapped || pair.second == fd;
        if (!mapped)
            ok = posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0) == 0;
    }
    // Descriptors of the program that are not close-on-exec must not reach the helper either.
    if (ok)
        ok = posix_spawn_file_actions_addclosefrom_np(&actions, floor) == 0;

    std::vector<char*> argv { const_cast<char*>(path_.c_str()) };
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (ok && posix_spawn(&pid, path_.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    for (int fd : raised)
        if (fd >= 0)
            close(fd);
    return ok ? pid : -1;
}
