#include "app/PinView.h"

#include <algorithm>
#include <cmath>

PinView::PinView(int width, int height, int left, int top)
    : width_(std::max(width, 1))
    , height_(std::max(height, 1))
    , rect_ { left, top, left + width_, top + height_ }
{
}

void PinView::MoveTo(int left, int top)
{
    rect_ = { left, top, left + rect_.Width(), top + rect_.Height() };
}

void PinView::ZoomAt(int notches, int x, int y)
{
    const double largest = std::max(1.0, std::min(kMaxZoom, double(kMaxSide) / std::max(width_, height_)));
    double zoom = std::clamp(zoom_ * std::pow(kZoomStep, notches), kMinZoom, largest);
    // A step that would pass 1:1 ends on it.
    if ((zoom_ < 1.0 && zoom > 1.0) || (zoom_ > 1.0 && zoom < 1.0))
        zoom = 1.0;
    if (zoom == zoom_)
        return;
    // The picture point under the middle of the pointer's pixel stays under it.
    const double u = (x + 0.5 - rect_.left) / zoom_;
    const double v = (y + 0.5 - rect_.top) / zoom_;
    const int left = int(std::lround(x + 0.5 - u * zoom));
    const int top = int(std::lround(y + 0.5 - v * zoom));
    const int width = std::max(1, int(std::lround(width_ * zoom)));
    const int height = std::max(1, int(std::lround(height_ * zoom)));
    zoom_ = zoom;
    rect_ = { left, top, left + width, top + height };
}

void PinView::ChangeOpacity(int notches)
{
    opacity_ = std::clamp(opacity_ + notches * kOpacityStep, kMinOpacity, kMaxOpacity);
}
