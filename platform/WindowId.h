#pragma once

// A top-level window of the desktop (an X11 window id); 0 is no window.
using WindowId = unsigned long;
