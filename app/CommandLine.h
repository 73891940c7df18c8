#pragma once

#include <string>
#include <vector>

// The command-line verbs of the lumora executable. Returns the process exit code, or -1 when args
// name no verb (nothing, file names, Qt's own options) and the window program should start.
int RunCommandLine(const std::vector<std::string>& args);

// The usage text printed for an unknown verb or no arguments in a terminal-only build.
std::string CommandLineUsage();
