#include "editor/codecs/SandboxedDecoder.h"

#include "editor/codecs/DecoderReply.h"
#include "editor/codecs/ImageCodec.h"
#include "editor/codecs/PngDecoder.h"
#include "process/HelperProgram.h"
#include "process/WriteAll.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace {

constexpr int64_t kCodeAndLibraries = int64_t(256) << 20;
constexpr int kCpuSeconds = 10;

// One started decoder: its process, the socket its input goes to (as a memfd, which a spare makes ahead),
// and the memfd of its reply.
class DecoderProcess {
public:
    DecoderProcess() = default;
    DecoderProcess(DecoderProcess&& other) noexcept { *this = std::move(other); }
    DecoderProcess& operator=(DecoderProcess&& other) noexcept
    {
        std::swap(pid_, other.pid_);
        std::swap(input_, other.input_);
        std::swap(reply_, other.reply_);
        std::swap(inputFile_, other.inputFile_);
        return *this;
    }
    ~DecoderProcess()
    {
        // Closing the input ends a decoder that never got one; it is reaped so that none is left behind.
        Close(input_);
        Close(reply_);
        Close(inputFile_);
        if (pid_ > 0)
            Wait();
    }

    // A spare is given the likely sizes of its reply's pixels and of its input, whose pages it makes ahead.
    static std::optional<DecoderProcess> Start(const SandboxedDecoder::Limits& limits, const char* kind,
        int64_t likelyPixelBytes = 0, int64_t likelyInputBytes = 0);

    // Whether the process still waits for its input (a spare that died meanwhile does not).
    bool Waiting()
    {
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == 0)
            return true;
        pid_ = -1;
        return false;
    }
    bool Send(const uint8_t* bytes, size_t length);
    // The exit code, or -1 when the process ended by a signal.
    int Wait();
    int Reply() const { return reply_; }

private:
    static void Close(int& fd)
    {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }

    pid_t pid_ = -1;
    int input_ = -1;
    int reply_ = -1;
    int inputFile_ = -1;
};

std::optional<DecoderProcess> DecoderProcess::Start(
    const SandboxedDecoder::Limits& limits, const char* kind, int64_t likelyPixelBytes, int64_t likelyInputBytes)
{
    // Never destroyed: the thread that starts spares may still use it while the program exits.
    static const HelperProgram& program = *new HelperProgram("lumora-decode");
    DecoderProcess process;
    int sockets[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
        return std::nullopt;
    process.input_ = sockets[0];
    process.reply_ = memfd_create("lumora-decode-reply", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (process.reply_ >= 0)
        process.pid_ = program.Start({ std::to_string(limits.addressSpaceBytes), std::to_string(limits.cpuSeconds),
                                         kind, std::to_string(likelyPixelBytes) },
            { { sockets[1], 0 }, { process.reply_, 1 } });
    close(sockets[1]);
    if (process.pid_ < 0)
        return std::nullopt;
    if (likelyInputBytes > 0) {
        // Pages past the end, which writing the input uses without making pages of its own.
        process.inputFile_ = memfd_create("lumora-decode-input", MFD_CLOEXEC | MFD_ALLOW_SEALING);
        if (process.inputFile_ >= 0)
            fallocate(process.inputFile_, FALLOC_FL_KEEP_SIZE, 0, off_t(likelyInputBytes));
    }
    return process;
}

// The input in a sealed memfd (the one given, which is empty, or a new one), which nothing can change once
// sealed; -1 when it cannot be made.
int InputFile(int fd, const uint8_t* bytes, size_t length)
{
    if (fd < 0)
        fd = memfd_create("lumora-decode-input", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return -1;
    if (!WriteAll(fd, bytes, length)
        || fcntl(fd, F_ADD_SEALS, F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool DecoderProcess::Send(const uint8_t* bytes, size_t length)
{
    // The whole input travels as one descriptor in one message: a decoder woken once, rather than once per
    // socket buffer of a stream.
    const int file = InputFile(std::exchange(inputFile_, -1), bytes, length);
    if (file < 0) {
        Close(input_);
        return false;
    }
    uint64_t size = length;
    iovec payload { &size, sizeof size };
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message {};
    message.msg_iov = &payload;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* rights = CMSG_FIRSTHDR(&message);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(rights), &file, sizeof file);
    // MSG_NOSIGNAL: a decoder that died must not take this process with it by SIGPIPE.
    ssize_t sent = -1;
    while ((sent = sendmsg(input_, &message, MSG_NOSIGNAL)) < 0 && errno == EINTR) { }
    close(file);
    Close(input_);
    return sent == ssize_t(sizeof size);
}

int DecoderProcess::Wait()
{
    int status = 0;
    pid_t ended = -1;
    while ((ended = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) { }
    pid_ = -1;
    return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A decoder of each kind started ahead with the default limits, which loads its libraries and enters its
// sandbox while nothing waits for it: the next picture of that kind then pays for none of that. It still
// decodes one picture only. A kind gets its spare once a picture of it has been decoded. Spares are
// started by a thread of their own once the decoder before them has ended: starting one holds the
// starting thread until the new process runs, and its start would take CPU time from the decode that
// the user waits for.
class SpareDecoder {
public:
    static std::optional<DecoderProcess> Take(const char* kind)
    {
        std::optional<DecoderProcess> spare;
        {
            std::unique_lock lock(Shared().mutex);
            // A spare on its way is worth waiting for: starting another would only take longer.
            Shared().changed.wait(lock, [kind] { return !Shared().kinds[Index(kind)].starting; });
            spare.swap(Shared().kinds[Index(kind)].slot);
        }
        if (spare && spare->Waiting())
            return spare;
        return DecoderProcess::Start(SandboxedDecoder::DefaultLimits(), kind);
    }

    // Asks for a spare of the kind, unless one is there or on its way; returns at once.
    static void Refill(const char* kind)
    {
        State& state = Shared();
        {
            const std::lock_guard lock(state.mutex);
            Kind& wanted = state.kinds[Index(kind)];
            if (wanted.slot || wanted.starting)
                return;
            wanted.starting = true;
            if (!state.starter)
                state.starter = new std::thread(&SpareDecoder::StartSpares);
        }
        state.changed.notify_all();
    }

    static std::atomic<int64_t>& LastPixelBytes(const char* kind)
    {
        static std::atomic<int64_t> last[2];
        return last[Index(kind)];
    }
    static std::atomic<int64_t>& LastInputBytes(const char* kind)
    {
        static std::atomic<int64_t> last[2];
        return last[Index(kind)];
    }

private:
    struct Kind {
        std::optional<DecoderProcess> slot;
        bool starting = false;
    };
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        Kind kinds[2];
        std::thread* starter = nullptr;
    };

    static int Index(const char* kind) { return kind == SandboxedDecoder::kPlainPngKind ? 0 : 1; }

    // Never destroyed, nor is the starting thread joined: at exit a spare sees its input close and ends by
    // itself.
    static State& Shared()
    {
        static auto* state = new State;
        return *state;
    }

    [[noreturn]] static void StartSpares()
    {
        static const char* const kinds[2] = { SandboxedDecoder::kPlainPngKind, SandboxedDecoder::kAnyKind };
        // A batch thread does not preempt the thread that wakes it, nor do the spares it starts while they
        // get ready; each spare is an ordinary process again before its input comes.
        if (sched_getscheduler(0) == SCHED_OTHER) {
            const sched_param none {};
            sched_setscheduler(0, SCHED_BATCH, &none);
        }
        State& state = Shared();
        std::unique_lock lock(state.mutex);
        for (;;) {
            state.changed.wait(lock, [&state] { return state.kinds[0].starting || state.kinds[1].starting; });
            const int index = state.kinds[0].starting ? 0 : 1;
            lock.unlock();
            std::optional<DecoderProcess> started = DecoderProcess::Start(SandboxedDecoder::DefaultLimits(),
                kinds[index], LastPixelBytes(kinds[index]), LastInputBytes(kinds[index]));
            lock.lock();
            state.kinds[index].slot.swap(started);
            state.kinds[index].starting = false;
            state.changed.notify_all();
        }
    }
};

bool IsDefault(const SandboxedDecoder::Limits& limits)
{
    const SandboxedDecoder::Limits defaults = SandboxedDecoder::DefaultLimits();
    return limits.addressSpaceBytes == defaults.addressSpaceBytes && limits.cpuSeconds == defaults.cpuSeconds;
}

} // namespace

SandboxedDecoder::Limits SandboxedDecoder::DefaultLimits()
{
    return { kCodeAndLibraries + ImageCodec::kMaxFileBytes + 3 * ImageBuffer::kMaxPixelBytes, kCpuSeconds };
}

SandboxedDecoder::Result SandboxedDecoder::Decode(const uint8_t* bytes, size_t length)
{
    return Decode(bytes, length, DefaultLimits());
}

SandboxedDecoder::Result SandboxedDecoder::Decode(const uint8_t* bytes, size_t length, const Limits& limits)
{
    Result result;
    if (!bytes || length == 0 || int64_t(length) > ImageCodec::kMaxFileBytes) {
        result.outcome = Outcome::kRefused;
        return result;
    }
    const char* kind = PngDecoder::Reads(bytes, length) ? kPlainPngKind : kAnyKind;
    const bool usual = IsDefault(limits);
    std::optional<DecoderProcess> decoder = usual ? SpareDecoder::Take(kind) : DecoderProcess::Start(limits, kind);
    if (!decoder)
        return result;
    const bool sent = decoder->Send(bytes, length);
    const int exitCode = decoder->Wait();
    switch (sent ? exitCode : -1) {
    case kExitDecoded:
        result.image = DecoderReply::Read(decoder->Reply());
        if (result.image) {
            result.outcome = Outcome::kDecoded;
            SpareDecoder::LastPixelBytes(kind)
                = std::min<int64_t>(int64_t(result.image->PixelBytes()), kMaxPreparedBytes);
        }
        break;
    case kExitRefused:
        result.outcome = Outcome::kRefused;
        break;
    default:
        break;
    }
    if (usual) {
        SpareDecoder::LastInputBytes(kind) = std::min<int64_t>(int64_t(length), kMaxPreparedBytes);
        SpareDecoder::Refill(kind);
    }
    return result;
}
