#pragma once

#include "imaging/BitmapTypes.h"

#include <QPoint>
#include <QSize>

// The rubber-band rectangle of the Crop, Text, Rectangle, Highlight, Stamp and Redact tools, in canvas pixels:
// what a press starts (a new band, a move, or one of the corners) and where a drag takes it.
class RubberBand {
public:
    // Half the side of the box around each corner that grabs it, and the smallest side a corner drag
    // leaves.
    static constexpr int kCornerReach = 8;
    static constexpr int kMinimumSide = 8;

    // The view's drag mode for a press at point on rect.
    static int ModeAt(const ImageRect& rect, QPoint point);
    // The band after a drag from press to current; previous is kept when the result leaves the canvas.
    static ImageRect Drag(
        int mode, const ImageRect& saved, const ImageRect& previous, QPoint press, QPoint current, QSize canvas);
    static QPoint Clamp(QPoint point, QSize canvas);
};
