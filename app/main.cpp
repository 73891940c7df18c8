#include "app/CommandLine.h"
#include "app/LumoraApp.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = RunCommandLine(args);
    if (code >= 0)
        return code;
    return RunLumoraGui(argc, argv);
}
