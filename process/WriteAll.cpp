#include "process/WriteAll.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace {

template <typename Write> bool WriteEvery(const void* data, size_t size, Write write)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t written = write(bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= size_t(written);
    }
    return true;
}

} // namespace

bool WriteAll(int fd, const void* data, size_t size)
{
    return WriteEvery(data, size, [fd](const uint8_t* bytes, size_t left) { return write(fd, bytes, left); });
}

bool WriteAllAt(int fd, const void* data, size_t size, off_t offset)
{
    return WriteEvery(data, size, [fd, &offset](const uint8_t* bytes, size_t left) {
        const ssize_t written = pwrite(fd, bytes, left, offset);
        if (written > 0)
            offset += written;
        return written;
    });
}
