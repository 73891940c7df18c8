#include "app/CaptureCommand.h"
#include "settings/ModulePath.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

// A capture that shows no window of ours runs in this small executable, which links only what such a
// capture calls: loading the widget toolkit took longer than the rest of a full-screen capture. Everything
// else is the whole program's, lumora-app beside this file, started in this process's place.
int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args.front() == "capture") {
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (!CaptureNeedsToolkit(rest))
            return RunCaptureCommand(rest, CaptureToolkit {});
    }
    // Never a bare name: that would run whatever lumora-app the current folder holds.
    const std::string folder = ModulePath();
    if (folder.empty()) {
        std::cerr << "lumora: cannot find the folder of this executable\n";
        return 127;
    }
    const std::string program = folder + "lumora-app";
    execv(program.c_str(), argv);
    std::cerr << "lumora: cannot start " << program << ": " << std::strerror(errno) << "\n";
    return 127;
}
