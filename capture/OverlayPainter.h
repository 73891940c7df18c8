#pragma once

#include "capture/CaptureMode.h"
#include "imaging/BitmapTypes.h"

#include <QFont>
#include <QImage>
#include <QRegion>

class ImageBuffer;
class QPainter;

// What the overlay shows over its frozen copy of the desktop at one moment, in device pixels of the desktop.
struct OverlayView {
    OverlayMode mode = OverlayMode::Region;
    // The whole desktop and the monitor under the pointer, which holds the panel, at that monitor's scale.
    ImageRect desktop;
    ImageRect monitor;
    double scale = 1;
    bool panelBottomRight = false;
    // The magnifier as drawn (the magnifier rectangle's size, cross-hair in); null when the screen could
    // not be read.
    QImage magnifier;
    ImageRect selection;
    int currentX = 0;
    int currentY = 0;
    int fixedWidth = 0;
    int fixedHeight = 0;
    ImageRect windowRect;
};

// Draws the overlay's panel, magnifier, texts and frames over the frozen screen, and tells which pixels
// they touch, so that a mouse move repaints only those and still shows the whole composition.
class OverlayPainter {
public:
    // labelFont: the one the size label uses (the overlay's own font).
    explicit OverlayPainter(const QFont& labelFont);

    // The painter draws in device pixels of the desktop.
    void Paint(QPainter& painter, const OverlayView& view) const;
    // Every pixel that Paint may change, within the desktop.
    QRegion Touched(const OverlayView& view) const;

    // The 31 x 31 pixels around the pointer with the middle row and column inverted (the centre kept),
    // stretched to size x size without smoothing.
    static QImage Magnify(ImageBuffer& around, int size);

private:
    void PaintRegionPanel(QPainter& painter, const OverlayView& view) const;
    void PaintPickPanel(QPainter& painter, const OverlayView& view) const;
    void PaintSizeLabel(QPainter& painter, const ImageRect& selection, double scale) const;
    ImageRect LabelRect(const ImageRect& selection, double scale) const;

    QFont labelFont_;
    QFont panelFont_;
};
