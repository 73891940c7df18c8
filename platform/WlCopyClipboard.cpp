#include "platform/WlCopyClipboard.h"

#include "imaging/ImageBuffer.h"
#include "process/WriteAll.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

WlCopyClipboard::WlCopyClipboard(Encoder encoder, std::string program)
    : encoder_(std::move(encoder))
    , program_(std::move(program))
{
}

bool WlCopyClipboard::Installed() const
{
    if (program_.find('/') != std::string::npos)
        return access(program_.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && access((folder + "/" + program_).c_str(), X_OK) == 0)
            return true;
    return false;
}

bool WlCopyClipboard::SetImage(const ImageBuffer& image)
{
    copied_ = Copy(image);
    return copied_;
}

bool WlCopyClipboard::Copy(const ImageBuffer& image)
{
    if (image.IsEmpty() || !encoder_)
        return false;
    const std::vector<char> png = encoder_(image, "image/png");
    if (png.empty())
        return false;
    int input[2];
    if (pipe2(input, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child < 0) {
        close(input[0]);
        close(input[1]);
        return false;
    }
    if (child == 0) {
        // wl-copy's background server keeps the streams it inherits: ours would hold a shell that reads
        // our output waiting until the clipboard changes hands.
        const int null = open("/dev/null", O_RDWR);
        dup2(input[0], STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execlp(program_.c_str(), program_.c_str(), "--type", "image/png", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(input[0]);
    // A wl-copy that dies early must not kill us with SIGPIPE.
    struct sigaction ignore {
    }, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    const bool sent = WriteAll(input[1], png.data(), png.size());
    close(input[1]);
    sigaction(SIGPIPE, &previous, nullptr);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    return sent && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
