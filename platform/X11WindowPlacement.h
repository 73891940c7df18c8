#pragma once

#include "imaging/BitmapTypes.h"
#include "platform/WindowId.h"

#include <optional>

// Places one of the program's own top-level windows in device pixels of the desktop, through the
// toolkit's own X connection: the toolkit's logical coordinates cannot name every device pixel when it
// scales (a factor of 2 reaches only even positions and sizes). Both do nothing off X11.
namespace X11WindowPlacement {

// Moves and resizes the window; false when the toolkit does not run on X11.
bool Place(WindowId window, const ImageRect& deviceRect);
// Where the window is on the desktop now, or nothing off X11.
std::optional<ImageRect> Rect(WindowId window);

} // namespace X11WindowPlacement
