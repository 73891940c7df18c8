#include "capture/OverlayLayout.h"

#include <algorithm>
#include <cmath>

namespace OverlayLayout {

int Scaled(int units, double scale)
{
    return int(std::lround(units * scale));
}

bool PanelAtBottomRight(bool current, OverlayMode mode, int x, int y, const ImageRect& monitor, double scale)
{
    const int width = Scaled(kPanelWidth, scale);
    const int height = Scaled(mode == OverlayMode::WindowObject ? kPickPanelHeight : kPanelHeight, scale);
    const int fromLeft = x - monitor.left;
    const int fromTop = y - monitor.top;
    bool bottomRight = current;
    if (fromLeft < width + 1 || fromTop <= height)
        bottomRight = true;
    if (monitor.right - x < width + 1 || monitor.bottom - y <= height)
        bottomRight = false;
    return bottomRight;
}

ImageRect PanelRect(OverlayMode mode, bool bottomRight, const ImageRect& monitor, double scale)
{
    const int width = Scaled(kPanelWidth, scale);
    const int height = Scaled(mode == OverlayMode::WindowObject ? kPickPanelHeight : kPanelHeight, scale);
    if (!bottomRight)
        return { monitor.left, monitor.top, monitor.left + width, monitor.top + height };
    return { monitor.right - width, monitor.bottom - height, monitor.right, monitor.bottom };
}

ImageRect MagnifierRect(bool bottomRight, const ImageRect& monitor, double scale)
{
    const ImageRect panel = PanelRect(OverlayMode::Region, bottomRight, monitor, scale);
    const int left = panel.left + Scaled(kMagnifierInset, scale);
    const int top = panel.top + Scaled(kMagnifierInset, scale);
    const int size = Scaled(kMagnifierSize, scale);
    return { left, top, left + size, top + size };
}

ImageRect Normalised(int x1, int y1, int x2, int y2)
{
    return { std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2) };
}

ImageRect CentredRect(int x, int y, int width, int height)
{
    return { x - width / 2, y - height / 2, x + width / 2, y + height / 2 };
}

ImageRect Intersection(const ImageRect& a, const ImageRect& b)
{
    const ImageRect both { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
        std::min(a.bottom, b.bottom) };
    return both.left < both.right && both.top < both.bottom ? both : ImageRect {};
}

ImageRect ClampedFixedRect(int x, int y, int width, int height, const ImageRect& monitor)
{
    // A size larger than the monitor (a typo in config.ini) is taken as the monitor's size, centred on the
    // pointer like any other; that also keeps its halves from overflowing.
    const int w = std::clamp(width, 0, std::max(monitor.Width(), 0));
    const int h = std::clamp(height, 0, std::max(monitor.Height(), 0));
    return Intersection(CentredRect(x, y, w, h), monitor);
}

LabelPlace SizeLabelPlace(const ImageRect& selection, int textWidth, int textHeight)
{
    const LabelPlace centred { selection.left + (selection.Width() - textWidth) / 2,
        selection.top + (selection.Height() - textHeight) / 2 };
    if (centred.x < selection.left || centred.y < selection.top)
        return { selection.left - textWidth, selection.top - textHeight };
    return centred;
}

} // namespace OverlayLayout
