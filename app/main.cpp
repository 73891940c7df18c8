#include "CommandLine.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = RunCommandLine(args);
    if (code >= 0)
        return code;
    // The window program arrives later; until then a bare start prints what the command line offers.
    std::cout << CommandLineUsage();
    return 0;
}
