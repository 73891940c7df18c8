#include "platform/X11ClipboardOwner.h"

#include "imaging/ImageBuffer.h"
#include "platform/SelectionServer.h"
#include "process/HelperProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kStartTimeoutMs = 5000;

// What lumora-clipboard writes on its ready pipe once it owns the selection (or failed to).
struct ReadyMessage {
    char owned;
    pid_t pid;
};

bool ReadReady(int fd, ReadyMessage& message)
{
    pollfd descriptor { fd, POLLIN, 0 };
    if (poll(&descriptor, 1, kStartTimeoutMs) <= 0)
        return false;
    return read(fd, &message, sizeof message) == ssize_t(sizeof message);
}

const HelperProgram& ServerProgram()
{
    static const HelperProgram program("lumora-clipboard");
    return program;
}

// Starts the serving program with the offers; serverPid is set when it owns the clipboard.
bool Serve(std::vector<SelectionServer::Offer> offers, const std::string& displayName, pid_t& serverPid)
{
    // The encoded offers go to the serving program in a memfd; it is a program of its own, started by
    // fork + exec, so it holds none of our memory while it serves.
    const int bundle = memfd_create("lumora-clipboard-offers", MFD_CLOEXEC);
    if (bundle < 0)
        return false;
    const bool written = SelectionServer::WriteOffers(bundle, offers);
    offers.clear();
    int ready[2];
    if (!written || pipe2(ready, O_CLOEXEC) != 0) {
        close(bundle);
        return false;
    }
    const pid_t child = ServerProgram().Start({ displayName }, { { bundle, 0 }, { ready[1], 1 } });
    close(bundle);
    close(ready[1]);
    if (child < 0) {
        close(ready[0]);
        return false;
    }
    // The program hands the server to init and ends at once.
    waitpid(child, nullptr, 0);
    ReadyMessage message {};
    const bool started = ReadReady(ready[0], message) && message.owned;
    close(ready[0]);
    if (started)
        serverPid = message.pid;
    return started;
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
    return Serve(std::move(offers), displayName_, serverPid_);
}

bool X11ClipboardOwner::SetText(const std::string& utf8)
{
    const std::vector<char> bytes(utf8.begin(), utf8.end());
    std::vector<SelectionServer::Offer> offers;
    for (const char* type : { "UTF8_STRING", "text/plain;charset=utf-8", "text/plain" })
        offers.push_back({ type, bytes });
    return Serve(std::move(offers), displayName_, serverPid_);
}
