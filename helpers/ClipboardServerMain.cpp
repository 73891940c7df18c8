// lumora-clipboard: owns the CLIPBOARD selection and serves the offers it was handed until another
// program takes the clipboard. Started by X11ClipboardOwner with the offers as descriptor 0 (a memfd) and
// a pipe as descriptor 1, on which it reports whether it owns the selection; argument: the display name
// (empty for $DISPLAY).
#include "platform/SelectionServer.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

struct ReadyMessage {
    char owned;
    pid_t pid;
};

// Standard input and output become /dev/null, so that the server holds no pipe or file of the program
// that started it (a shell waiting on our output would otherwise never finish).
void DetachStandardStreams()
{
    const int null = open("/dev/null", O_RDWR);
    if (null < 0)
        return;
    dup2(null, 0);
    dup2(null, 1);
    if (null > 2)
        close(null);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::vector<SelectionServer::Offer> offers;
    if (!SelectionServer::ReadOffers(0, offers))
        return 1;
    // A second process hands the server to init, so nobody has to reap it; the first ends at once.
    setsid();
    const pid_t server = fork();
    if (server != 0)
        return server < 0 ? 1 : 0;
    const int ready = dup(1);
    DetachStandardStreams();
    SelectionServer selection(argv[1], std::move(offers));
    const ReadyMessage message { char(selection.Own() ? 1 : 0), getpid() };
    const bool sent = write(ready, &message, sizeof message) == ssize_t(sizeof message);
    close(ready);
    if (sent && message.owned)
        selection.Serve();
    return 0;
}
