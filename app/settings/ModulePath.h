#pragma once

#include <string>

// The directory of the running executable with a trailing "/": config.ini, capture.wav and the stamps
// folder are found against it. Empty when the executable's path cannot be read.
std::string ModulePath();

// ModulePath() + "config.ini".
std::string ConfigFilePath();
