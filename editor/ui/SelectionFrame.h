#pragma once

#include "imaging/BitmapTypes.h"

class QPainter;

// The frames drawn over the picture at image scale: the crop rectangle's dotted frame with corner
// squares, and the dotted inverting frame of a rectangle being placed.
class SelectionFrame {
public:
    // A rectangle narrower or lower than this is no selection.
    static constexpr int kMinimumSize = 4;

    static bool IsValid(const ImageRect& rect) { return rect.Width() >= kMinimumSize && rect.Height() >= kMinimumSize; }

    // Draws the frame of rect with 3-on-3-off black dots and, with handles, an 8 by 8 white square with
    // a black outline around each corner. Draws nothing and returns false when rect is not valid.
    static bool Draw(QPainter& painter, const ImageRect& rect, bool handles);
    // The one-pixel dotted frame just inside rect, inverting what lies under it, so it shows on any
    // picture and drawing it twice removes it. Needs a painter on a QImage.
    static void DrawFocus(QPainter& painter, const ImageRect& rect);
};
