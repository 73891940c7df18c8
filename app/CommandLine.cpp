#include "app/CommandLine.h"

#include "app/ApplyVerb.h"
#include "app/CaptureCommand.h"
#include "app/ConvertVerb.h"
#include "app/InfoVerb.h"
#include "app/OcrVerb.h"
#include "app/PinVerb.h"
#include "app/SendCommand.h"

#include <iostream>

std::string CommandLineUsage()
{
    return "usage: lumora [VERB ARGS...]\n"
           "  lumora                                   start the window program\n"
           "  lumora capture full|active|region|window|fixed|scroll [--delay MS] [--output FILE]\n"
           "                 [--clipboard] [--cursor] [--geometry WxH+X+Y] [--window ID] [--size WxH]\n"
           "                 [--screen all|N (full only)] [--pin]\n"
           "  lumora convert IN OUT                    convert an image file\n"
           "  lumora apply IN OUT EFFECT [VALUES...]   run an image command on a file\n"
           "  lumora info FILE                         print width, height, bits per pixel and tag\n"
           "  lumora pin FILE...                       keep pictures on the screen until closed\n"
           "  lumora send highlight|capture-window|capture KIND...\n"
           "                                           ask a running instance to act\n"
           "  lumora ocr FILE|--full|--region WxH+X+Y [--lang LANG]\n"
           "                                           print the text of a picture or of the screen\n";
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
        return RunCaptureCommand(rest, WindowToolkit());
    if (verb == "pin")
        return RunPinVerb(rest);
    if (verb == "send")
        return RunSendCommand(rest);
    if (verb == "ocr")
        return RunOcrVerb(rest);
    // Only the verbs are ours: a file name starts the window program, which opens nothing, and options
    // such as -platform xcb are Qt's.
    return -1;
}
