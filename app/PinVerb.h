#pragma once

#include <string>
#include <vector>

// lumora pin FILE...: each picture in a pin on the screen; returns when the last pin has closed.
int RunPinVerb(const std::vector<std::string>& args);
