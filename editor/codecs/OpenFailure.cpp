#include "editor/codecs/OpenFailure.h"

#include "editor/codecs/ImageCodec.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
OpenFailure::Reason FromErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return OpenFailure::Reason::NoPermission;
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
        return OpenFailure::Reason::NotFound;
    default:
        return OpenFailure::Reason::NotAPicture;
    }
}
} // namespace

OpenFailure::Reason OpenFailure::Diagnose(const std::string& path)
{
    struct stat info { };
    if (path.empty())
        return Reason::NotFound;
    if (stat(path.c_str(), &info) != 0)
        return FromErrno(errno);
    if (!S_ISREG(info.st_mode))
        return Reason::NotAFile;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return FromErrno(errno);
    close(fd);
    if (info.st_size > ImageCodec::kMaxFileBytes)
        return Reason::TooLarge;
    return Reason::NotAPicture;
}

const char* OpenFailure::Text(Reason reason)
{
    switch (reason) {
    case Reason::NotFound:
        return "the file does not exist";
    case Reason::NoPermission:
        return "you have no permission to read it";
    case Reason::NotAFile:
        return "it is not a file";
    case Reason::TooLarge:
        return "it is too large";
    case Reason::NotAPicture:
        break;
    }
    return "it is not a picture Lumora can read, or it is damaged";
}

std::string OpenFailure::Message(const std::string& path, Reason reason)
{
    return "Cannot open " + path + ": " + Text(reason) + ".";
}
