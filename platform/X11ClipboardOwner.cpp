#include "platform/X11ClipboardOwner.h"

#include "imaging/ImageBuffer.h"
#include "platform/SelectionServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace {

constexpr int kStartTimeoutMs = 5000;

struct ReadyMessage {
    char owned;
    pid_t pid;
};

// Leaves the serving process only its own pipe end and /dev/null as standard streams, so that it holds
// no pipe of the program that started it (a shell waiting on our output would otherwise never finish).
void DetachDescriptors(int keep)
{
    const int null = open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3; ++fd)
        if (null >= 0)
            dup2(null, fd);
    if (keep > 3)
        close_range(3, unsigned(keep - 1), 0);
    close_range(unsigned(keep + 1), UINT_MAX, 0);
}

[[noreturn]] void RunServer(const std::string& displayName, std::vector<SelectionServer::Offer> offers, int ready)
{
    // A second fork hands the server to init, so nobody has to reap it.
    setsid();
    const pid_t server = fork();
    if (server != 0)
        _exit(server < 0 ? 1 : 0);
    DetachDescriptors(ready);
    SelectionServer selection(displayName, std::move(offers));
    const ReadyMessage message { char(selection.Own() ? 1 : 0), getpid() };
    const bool sent = write(ready, &message, sizeof message) == ssize_t(sizeof message);
    close(ready);
    if (sent && message.owned)
        selection.Serve();
    _exit(0);
}

bool ReadReady(int fd, ReadyMessage& message)
{
    pollfd descriptor { fd, POLLIN, 0 };
    if (poll(&descriptor, 1, kStartTimeoutMs) <= 0)
        return false;
    return read(fd, &message, sizeof message) == ssize_t(sizeof message);
}

} // namespace

X11ClipboardOwner::X11ClipboardOwner(Encoder encoder, std::string displayName)
    : encoder_(std::move(encoder))
    , displayName_(std::move(displayName))
{
}

bool X11ClipboardOwner::SetImage(const ImageBuffer& image)
{
    if (image.IsEmpty() || image.BitCount() < 24 || !encoder_)
        return false;
    std::vector<SelectionServer::Offer> offers { { "image/png", encoder_(image, "image/png") },
        { "image/bmp", encoder_(image, "image/bmp") } };
    for (const SelectionServer::Offer& offer : offers)
        if (offer.data.empty())
            return false;

    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        RunServer(displayName_, std::move(offers), ready[1]);
    }
    close(ready[1]);
    if (child < 0) {
        close(ready[0]);
        return false;
    }
    waitpid(child, nullptr, 0);
    ReadyMessage message {};
    const bool started = ReadReady(ready[0], message) && message.owned;
    close(ready[0]);
    if (started)
        serverPid_ = message.pid;
    return started;
}
