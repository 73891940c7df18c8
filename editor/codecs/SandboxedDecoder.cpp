#include "editor/codecs/SandboxedDecoder.h"

#include "editor/codecs/DecoderReply.h"
#include "process/HelperProgram.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

constexpr int64_t kCodeAndLibraries = int64_t(256) << 20;
constexpr int kCpuSeconds = 10;

class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd)
    {
    }
    ~Descriptor()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// The input in a sealed memfd that the decoder maps; nothing can change it once sealed.
int InputFile(const uint8_t* bytes, size_t length)
{
    const int fd = memfd_create("lumora-decode-input", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return -1;
    size_t done = 0;
    while (done < length) {
        const ssize_t written = write(fd, bytes + done, length - done);
        if (written <= 0) {
            close(fd);
            return -1;
        }
        done += size_t(written);
    }
    if (fcntl(fd, F_ADD_SEALS, F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int WaitForExit(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const HelperProgram& DecoderProgram()
{
    static const HelperProgram program("lumora-decode");
    return program;
}

} // namespace

SandboxedDecoder::Limits SandboxedDecoder::DefaultLimits(size_t inputLength)
{
    return { kCodeAndLibraries + int64_t(inputLength) + 3 * ImageBuffer::kMaxPixelBytes, kCpuSeconds };
}

SandboxedDecoder::Result SandboxedDecoder::Decode(const uint8_t* bytes, size_t length)
{
    return Decode(bytes, length, DefaultLimits(length));
}

SandboxedDecoder::Result SandboxedDecoder::Decode(const uint8_t* bytes, size_t length, const Limits& limits)
{
    Result result;
    if (!bytes || length == 0) {
        result.outcome = Outcome::kRefused;
        return result;
    }
    const Descriptor input(InputFile(bytes, length));
    const Descriptor output(memfd_create("lumora-decode-output", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (input.get() < 0 || output.get() < 0)
        return result;
    const pid_t pid
        = DecoderProgram().Start({ std::to_string(limits.addressSpaceBytes), std::to_string(limits.cpuSeconds) },
            { { input.get(), 0 }, { output.get(), 1 } });
    if (pid < 0)
        return result;
    switch (WaitForExit(pid)) {
    case kExitDecoded:
        result.image = DecoderReply::Read(output.get());
        if (result.image)
            result.outcome = Outcome::kDecoded;
        break;
    case kExitRefused:
        result.outcome = Outcome::kRefused;
        break;
    default:
        break;
    }
    return result;
}
