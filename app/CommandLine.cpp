#include "CommandLine.h"

#include "ApplyVerb.h"
#include "CaptureCommand.h"
#include "ConvertVerb.h"
#include "InfoVerb.h"
#include "SendCommand.h"

#include <filesystem>
#include <iostream>

std::string CommandLineUsage()
{
    return "usage: lumora [VERB ARGS...]\n"
           "  lumora                                   start the window program\n"
           "  lumora capture full|active|region|window|fixed|scroll [--delay MS] [--output FILE]\n"
           "                 [--clipboard] [--cursor] [--geometry WxH+X+Y] [--window ID] [--size WxH]\n"
           "  lumora convert IN OUT                    convert an image file\n"
           "  lumora apply IN OUT EFFECT [VALUES...]   run an image command on a file\n"
           "  lumora info FILE                         print width, height, bits per pixel and tag\n"
           "  lumora send highlight|capture-window|capture KIND...\n"
           "                                           ask a running instance to act\n";
}

int RunCommandLine(const std::vector<std::string>& args)
{
    if (args.empty())
        return -1;
    const std::string& verb = args.front();
    if (verb == "--help" || verb == "-h" || verb == "help") {
        std::cout << CommandLineUsage();
        return 0;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (verb == "convert")
        return RunConvertVerb(rest);
    if (verb == "info")
        return RunInfoVerb(rest);
    if (verb == "apply")
        return RunApplyVerb(rest);
    if (verb == "capture")
        return RunCaptureCommand(rest);
    if (verb == "send")
        return RunSendCommand(rest);
    // A file name alone starts the window program, which opens nothing at start.
    std::error_code error;
    if (std::filesystem::exists(verb, error))
        return -1;
    std::cerr << "lumora: unknown command '" << verb << "'\n" << CommandLineUsage();
    return 2;
}
