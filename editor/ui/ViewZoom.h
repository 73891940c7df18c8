#pragma once

#include "imaging/BitmapTypes.h"

#include <QPoint>
#include <QSize>

// The view's ten zoom steps and the conversions between canvas (the zoomed picture) and image pixels.
// Rectangles are converted corner by corner.
class ViewZoom {
public:
    static constexpr int kStepCount = 10;
    static constexpr int kActualStep = 4;
    static constexpr int kMargin = 5;

    // The step's factor; 0 for a step outside the table.
    static float Factor(int step);
    // v + 0.5 truncated toward zero: not symmetric about 0, and meant that way.
    static int Round(double v);

    static int CanvasToImage(int c, float zoom);
    static int ImageToCanvas(int i, float zoom);
    static QPoint CanvasToImage(QPoint c, float zoom);
    static QPoint ImageToCanvas(QPoint i, float zoom);
    static ImageRect CanvasToImage(const ImageRect& rect, float zoom);
    static ImageRect ImageToCanvas(const ImageRect& rect, float zoom);

    // The picture as displayed, and the scroll extent: that plus the margin on every side.
    static QSize DisplayedSize(QSize image, float zoom);
    static QSize ScrollExtent(QSize image, float zoom);
};
