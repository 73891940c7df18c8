#pragma once

#include "imaging/BitmapTypes.h"

#include <optional>
#include <string>

class ScreenSource;

// The command line's `--screen all|N`: the whole desktop, or monitor N in `xrandr --listmonitors` order.
// Nothing, with error set, when the choice names no monitor.
std::optional<ImageRect> ResolveScreenChoice(const std::string& choice, const ScreenSource& screen, std::string& error);
