#pragma once

#include "imaging/BitmapTypes.h"
#include "platform/WindowId.h"

#include <optional>
#include <string>

// The values of the capture verb's scripting options; nothing for a value that is malformed or absurd.
namespace CaptureArguments {

// "WxH+X+Y" (each offset may also be "-N"), as X11 geometry strings are written.
std::optional<ImageRect> ParseGeometry(const std::string& text);
// "WxH".
struct Size {
    int width = 0;
    int height = 0;
};
std::optional<Size> ParseSize(const std::string& text);
// An X window id in decimal or 0x hex, never 0.
std::optional<WindowId> ParseWindowId(const std::string& text);

} // namespace CaptureArguments
