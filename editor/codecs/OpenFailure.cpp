#include "editor/codecs/OpenFailure.h"

#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/ImageCodec.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

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
uint32_t BigEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint32_t LittleEndian16(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

// The sides the first bytes of a PNG, GIF or BMP file declare; 0 x 0 when they name none we can read
// without decoding.
std::pair<int64_t, int64_t> DeclaredSize(const uint8_t* head, size_t length)
{
    static const uint8_t kPng[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (length >= 24 && std::memcmp(head, kPng, sizeof kPng) == 0 && std::memcmp(head + 12, "IHDR", 4) == 0)
        return { BigEndian32(head + 16), BigEndian32(head + 20) };
    if (length >= 10 && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0))
        return { LittleEndian16(head + 6), LittleEndian16(head + 8) };
    if (length >= 26 && head[0] == 'B' && head[1] == 'M') {
        int32_t width = 0, height = 0;
        std::memcpy(&width, head + 18, 4);
        std::memcpy(&height, head + 22, 4);
        return { std::abs(int64_t(width)), std::abs(int64_t(height)) };
    }
    return { 0, 0 };
}

// Whether the file declares a picture whose 32-bit form no document can hold.
bool DeclaresTooLarge(int fd)
{
    uint8_t head[32] = {};
    const ssize_t length = read(fd, head, sizeof head);
    if (length <= 0)
        return false;
    const auto [width, height] = DeclaredSize(head, size_t(length));
    return width * height * 4 >= ImageBuffer::kMaxPixelBytes;
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
    const bool tooLarge = info.st_size > ImageCodec::kMaxFileBytes || DeclaresTooLarge(fd);
    close(fd);
    return tooLarge ? Reason::TooLarge : Reason::NotAPicture;
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

std::string OpenFailure::Describe(const std::string& path, bool decoderFailed)
{
    return decoderFailed ? DecoderFailedMessage(path) : Message(path, Diagnose(path));
}
