#include "editor/codecs/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>
#include <utility>

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name that no other writer (another thread, another instance) picks at the same time.
std::string TemporaryName(const std::string& folder)
{
    static std::atomic<uint64_t> counter { std::random_device {}() };
    const uint64_t salt = counter.fetch_add(0x9E3779B97F4A7C15ull)
        ^ uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^ uint64_t(getpid()) << 32;
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = folder == "/" ? "/" : folder + "/";
    name += ".lumora-";
    uint64_t v = salt;
    for (int i = 0; i < 10; ++i, v /= 36)
        name += digits[v % 36];
    return name + ".tmp";
}

// Where writing to path really lands: a symbolic link is followed to its final target (which need not
// exist yet), so that the rename replaces the target and the link stays a link. A loop of links is left
// as it is; the rename then replaces the link, as writing through it could not succeed anyway.
std::string FollowLinks(const std::string& path)
{
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info { };
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string target(size_t(info.st_size > 0 ? info.st_size : 4095) + 1, '\0');
        const ssize_t length = readlink(current.c_str(), target.data(), target.size());
        if (length <= 0 || size_t(length) >= target.size())
            return path;
        target.resize(size_t(length));
        if (target.front() != '/') {
            const std::string folder = FolderOf(current);
            target = (folder == "/" ? "/" : folder + "/") + target;
        }
        current = std::move(target);
    }
    return path;
}

} // namespace

AtomicFile::AtomicFile(std::string targetPath)
    : targetPath_(std::move(targetPath))
{
}

AtomicFile::~AtomicFile()
{
    Discard();
}

bool AtomicFile::Open()
{
    if (stream_ || targetPath_.empty())
        return false;
    targetPath_ = FollowLinks(targetPath_);
    const std::string folder = FolderOf(targetPath_);
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporaryPath_ = TemporaryName(folder);
        // 0666 lets the umask decide, as for any newly created file.
        fd = open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        temporaryPath_.clear();
        return false;
    }
    // Replacing a file keeps its permissions.
    struct stat existing { };
    if (stat(targetPath_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        (void)fchmod(fd, existing.st_mode & 07777);
    stream_ = fdopen(fd, "wb");
    if (!stream_) {
        close(fd);
        unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
        return false;
    }
    return true;
}

bool AtomicFile::Commit()
{
    if (!stream_)
        return false;
    const bool written = std::fflush(stream_) == 0 && !std::ferror(stream_);
    // No fsync: the rename-over-existing pattern is flushed by the file systems we run on, and an
    // auto-saved capture should not wait for the disk.
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (written && closed && std::rename(temporaryPath_.c_str(), targetPath_.c_str()) == 0) {
        temporaryPath_.clear();
        return true;
    }
    unlink(temporaryPath_.c_str());
    temporaryPath_.clear();
    return false;
}

void AtomicFile::Discard()
{
    if (stream_) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temporaryPath_.empty()) {
        unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

bool AtomicFile::WriteAll(const std::string& path, std::string_view bytes)
{
    AtomicFile file(path);
    if (!file.Open())
        return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) != bytes.size())
        return false;
    return file.Commit();
}
