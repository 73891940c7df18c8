#pragma once

#include "app/CaptureToolkit.h"

#include <string>
#include <vector>

// lumora capture full|active|region|window|fixed|scroll [--delay MS] [--output FILE] [--clipboard]
// [--cursor] [--pin], with --geometry WxH+X+Y (region), --window ID (window) and --size WxH (fixed) for
// scripts. --pin shows the capture in a pin where it was taken and returns when the pin has closed.
// args are those after "capture". Returns the exit code: 1 when the overlay was cancelled.
int RunCaptureCommand(const std::vector<std::string>& args, const CaptureToolkit& toolkit);

// Whether the capture args ask for needs the toolkit: the interactive overlay or a scrolling capture. Args
// that do not parse say yes, so that the whole program gives the answer.
bool CaptureNeedsToolkit(const std::vector<std::string>& args);
