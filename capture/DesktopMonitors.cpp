#include "capture/DesktopMonitors.h"

#include "capture/OverlayLayout.h"
#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace DesktopMonitors {

ImageRect Clip(const ImageRect& rect, const std::vector<ImageRect>& monitors)
{
    ImageRect box;
    for (const ImageRect& monitor : monitors) {
        const ImageRect part = OverlayLayout::Intersection(rect, monitor);
        if (part.IsEmpty())
            continue;
        box = box.IsEmpty() ? part
                            : ImageRect { std::min(box.left, part.left), std::min(box.top, part.top),
                                  std::max(box.right, part.right), std::max(box.bottom, part.bottom) };
    }
    return box;
}

void BlankOutside(ImageBuffer& image, int left, int top, const std::vector<ImageRect>& monitors)
{
    if (image.IsEmpty() || image.BitCount() != 24 || monitors.empty())
        return;
    const int width = image.Width();
    std::vector<std::pair<int, int>> shown;
    for (int row = 0; row < image.Height(); ++row) {
        const int y = top + row;
        // The columns of this row that monitors show, in image columns, left to right.
        shown.clear();
        for (const ImageRect& monitor : monitors)
            if (y >= monitor.top && y < monitor.bottom)
                shown.emplace_back(
                    std::clamp(monitor.left - left, 0, width), std::clamp(monitor.right - left, 0, width));
        std::sort(shown.begin(), shown.end());
        uint8_t* pixels = image.Row(row);
        int from = 0;
        for (const auto& [start, end] : shown) {
            if (start > from)
                std::memset(pixels + size_t(from) * 3, 0, size_t(start - from) * 3);
            from = std::max(from, end);
        }
        if (from < width)
            std::memset(pixels + size_t(from) * 3, 0, size_t(width - from) * 3);
    }
}

} // namespace DesktopMonitors
