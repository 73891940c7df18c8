#pragma once

#include <string>
#include <vector>

// lumora convert IN OUT: loads IN through the reading registry and saves it with SaveImageFile, in the
// format OUT's extension names. Returns the exit code; errors are one line on stderr.
int RunConvertVerb(const std::vector<std::string>& args);
