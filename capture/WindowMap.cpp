#include "capture/WindowMap.h"

#include "platform/WindowSystem.h"

#include <algorithm>
#include <optional>

WindowMap WindowMap::Build(WindowSystem& windows, ScreenSize screen)
{
    WindowMap map;
    map.width_ = std::max(0, screen.width / kStep);
    map.height_ = std::max(0, screen.height / kStep);
    map.entries_.assign(size_t(map.width_) * size_t(map.height_), 0);
    // Painting the windows bottom to top leaves each sample with the topmost window over it.
    for (const WindowId window : windows.StackingOrder()) {
        const std::optional<ImageRect> rect = windows.WindowRect(window);
        if (!rect || rect->IsEmpty())
            continue;
        // Samples 3c inside [left, right): c from ceil(left / 3) to ceil(right / 3) - 1.
        auto firstSample = [](int edge) { return edge <= 0 ? 0 : (edge + kStep - 1) / kStep; };
        const int firstColumn = firstSample(rect->left);
        const int endColumn = std::min(map.width_, firstSample(rect->right));
        const int firstRow = firstSample(rect->top);
        const int endRow = std::min(map.height_, firstSample(rect->bottom));
        for (int row = firstRow; row < endRow; ++row) {
            WindowId* entries = map.entries_.data() + size_t(row) * size_t(map.width_);
            std::fill(entries + firstColumn, entries + std::max(firstColumn, endColumn), window);
        }
    }
    return map;
}

WindowId WindowMap::Lookup(const std::vector<WindowId>& entries, int width, int x, int y)
{
    // A point right of the last sample column has no entry of its own; it must not run into the next row.
    if (x < 0 || y < 0 || x / kStep >= width)
        return 0;
    const size_t index = size_t(y / kStep) * size_t(width) + size_t(x / kStep);
    return index < entries.size() ? entries[index] : 0;
}
