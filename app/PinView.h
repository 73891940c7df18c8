#pragma once

#include "imaging/BitmapTypes.h"

// Where a pin lies on the desktop and how it shows its picture: the zoom and the opacity the wheel
// changes. Positions are device pixels of the desktop.
class PinView {
public:
    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 8.0;
    static constexpr double kZoomStep = 1.25;
    // The longest side a zoom may give the window: its backing store takes 4 bytes a pixel, and 800 % of a
    // whole screen would take gigabytes.
    static constexpr int kMaxSide = 8192;
    static constexpr int kMinOpacity = 10;
    static constexpr int kMaxOpacity = 100;
    static constexpr int kOpacityStep = 10;

    // A picture of width x height shown 1:1 with its top-left corner at (left, top).
    PinView(int width, int height, int left, int top);

    // The window's rectangle: the picture at the present zoom.
    const ImageRect& Rect() const { return rect_; }
    double Zoom() const { return zoom_; }
    // Percent, kMinOpacity to kMaxOpacity.
    int Opacity() const { return opacity_; }

    void MoveTo(int left, int top);
    // Zooms in (positive notches) or out by kZoomStep a notch, keeping the picture point under the pointer
    // (x, y) where it is. Passing 100 % on the way stops there, so the 1:1 view is always one notch away;
    // beyond kMaxSide a picture grows no further.
    void ZoomAt(int notches, int x, int y);
    void ChangeOpacity(int notches);

private:
    int width_;
    int height_;
    double zoom_ = 1.0;
    int opacity_ = kMaxOpacity;
    ImageRect rect_;
};
