#pragma once

#include <string>
#include <vector>

// lumora capture full|active|region|window|fixed|scroll [--delay MS] [--output FILE] [--clipboard]
// [--cursor], with --geometry WxH+X+Y (region), --window ID (window) and --size WxH (fixed) for scripts.
// args are those after "capture". Returns the exit code: 1 when the overlay was cancelled.
int RunCaptureCommand(const std::vector<std::string>& args);
