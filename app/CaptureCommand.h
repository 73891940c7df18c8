#pragma once

#include <string>
#include <vector>

// lumora capture full|active|region|window|fixed|scroll [--delay MS] [--output FILE] [--clipboard]
// [--cursor]. args are those after "capture". Returns the exit code.
int RunCaptureCommand(const std::vector<std::string>& args);
