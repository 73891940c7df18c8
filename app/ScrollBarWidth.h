#pragma once

// The width of a vertical scroll bar in the desktop's widget style, cut from the right of a scrolling
// capture. Works without an application object too (the command line has none).
int ScrollBarWidth();
