#pragma once

#include "platform/ScreenSource.h"
#include "platform/WindowId.h"

#include <vector>

class WindowSystem;

// Which window lies under every third pixel of the screen, taken once before the window/object overlay
// opens, so that it describes the windows as they stood then. Entry (row r, column c) is the window at
// screen point (3c, 3r).
class WindowMap {
public:
    static constexpr int kStep = 3;

    static WindowMap Build(WindowSystem& windows, ScreenSize screen);

    // The window at a point, looked up at index (y / 3) x width + x / 3; no window at or beyond the end,
    // nor right of the last column.
    WindowId At(int x, int y) const { return Lookup(entries_, width_, x, y); }
    // The same look-up in a map handed over as its entries and width.
    static WindowId Lookup(const std::vector<WindowId>& entries, int width, int x, int y);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<WindowId>& Entries() const { return entries_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<WindowId> entries_;
};
