#include "capture/DesktopMonitors.h"

#include "capture/OverlayLayout.h"
#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// rowAt(row) is the first byte of a row of width pixels of bytesPerPixel bytes each.
template <typename RowAt>
void BlankRows(
    RowAt rowAt, int width, int height, int bytesPerPixel, int left, int top, const std::vector<ImageRect>& monitors)
{
    if (monitors.empty())
        return;
    std::vector<std::pair<int, int>> shown;
    for (int row = 0; row < height; ++row) {
        const int y = top + row;
        // The columns of this row that monitors show, in image columns, left to right.
        shown.clear();
        for (const ImageRect& monitor : monitors)
            if (y >= monitor.top && y < monitor.bottom)
                shown.emplace_back(
                    std::clamp(monitor.left - left, 0, width), std::clamp(monitor.right - left, 0, width));
        std::sort(shown.begin(), shown.end());
        int from = 0;
        for (const auto& [start, end] : shown) {
            if (start > from)
                std::memset(rowAt(row) + size_t(from) * bytesPerPixel, 0, size_t(start - from) * bytesPerPixel);
            from = std::max(from, end);
        }
        if (from < width)
            std::memset(rowAt(row) + size_t(from) * bytesPerPixel, 0, size_t(width - from) * bytesPerPixel);
    }
}

} // namespace

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
    if (image.IsEmpty() || image.BitCount() != 24)
        return;
    BlankRows([&](int row) { return image.Row(row); }, image.Width(), image.Height(), 3, left, top, monitors);
}

void BlankOutside(QImage& picture, int left, int top, const std::vector<ImageRect>& monitors)
{
    if (picture.format() != QImage::Format_RGB32)
        return;
    BlankRows(
        [&](int row) { return picture.scanLine(row); }, picture.width(), picture.height(), 4, left, top, monitors);
}

} // namespace DesktopMonitors
