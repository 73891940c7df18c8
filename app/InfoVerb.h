#pragma once

#include <string>
#include <vector>

// lumora info FILE: prints "width=W height=H bpp=B tag=T" for the image as the editor would open it.
// Returns the exit code; errors are one line on stderr.
int RunInfoVerb(const std::vector<std::string>& args);
