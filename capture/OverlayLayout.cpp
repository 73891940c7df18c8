#include "capture/OverlayLayout.h"

#include <algorithm>

namespace OverlayLayout {

bool PanelAtBottomRight(bool current, OverlayMode mode, int x, int y, int screenWidth, int screenHeight)
{
    const int height = mode == OverlayMode::WindowObject ? kPickPanelHeight : kPanelHeight;
    bool bottomRight = current;
    if (x < kPanelWidth + 1 || y <= height)
        bottomRight = true;
    if (screenWidth - x < kPanelWidth + 1 || screenHeight - y <= height)
        bottomRight = false;
    return bottomRight;
}

ImageRect PanelRect(OverlayMode mode, bool bottomRight, int screenWidth, int screenHeight)
{
    const int height = mode == OverlayMode::WindowObject ? kPickPanelHeight : kPanelHeight;
    if (!bottomRight)
        return { 0, 0, kPanelWidth, height };
    return { screenWidth - kPanelWidth, screenHeight - height, screenWidth, screenHeight };
}

ImageRect MagnifierRect(bool bottomRight, int screenWidth, int screenHeight)
{
    const ImageRect panel = PanelRect(OverlayMode::Region, bottomRight, screenWidth, screenHeight);
    const int left = panel.left + kMagnifierRadius;
    const int top = panel.top + kMagnifierRadius;
    return { left, top, left + kMagnifierSize, top + kMagnifierSize };
}

ImageRect Normalised(int x1, int y1, int x2, int y2)
{
    return { std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2) };
}

ImageRect CentredRect(int x, int y, int width, int height)
{
    return { x - width / 2, y - height / 2, x + width / 2, y + height / 2 };
}

ImageRect ClampedFixedRect(int x, int y, int width, int height, int screenWidth, int screenHeight)
{
    ImageRect rect = CentredRect(x, y, width, height);
    rect.left = std::max(rect.left, 0);
    rect.top = std::max(rect.top, 0);
    rect.right = std::min(rect.right, screenWidth);
    rect.bottom = std::min(rect.bottom, screenHeight);
    return rect;
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
