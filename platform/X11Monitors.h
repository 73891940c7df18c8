#pragma once

#include "imaging/BitmapTypes.h"

#include <vector>

class X11Display;

// One monitor's place in the desktop (the root window).
struct MonitorArea {
    ImageRect rect;
    bool primary = false;
};

// The monitors RandR reports, in the order `xrandr --listmonitors` lists them; empty when the server has
// no RandR 1.5 monitor list.
std::vector<MonitorArea> ListX11Monitors(const X11Display& display);

// The primary monitor, else the one at the desktop's origin, else the first; the whole root window when
// there is no list.
ImageRect PrimaryMonitorRect(const std::vector<MonitorArea>& monitors, const ImageRect& desktop);
