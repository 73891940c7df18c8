#pragma once

#include "imaging/ImageBuffer.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

// The thumbnail the preview dialogs start from, and how they paint their preview area.
class PreviewPicture {
public:
    static QColor AreaFill() { return QColor(191, 202, 251); }
    static QColor Frame() { return QColor(192, 192, 192); }

    struct Thumbnail {
        ImageBuffer image;
        double scale = 1; // 1 when the image already fits
    };

    // A copy of image (at 24 bpp when to24) shrunk to fit area, keeping its aspect ratio; images that
    // fit keep their size.
    static Thumbnail MakeThumbnail(const ImageBuffer& image, QSize area, bool to24);

    // The picture of an image of any depth, opaque, for painting.
    static QImage ToImage(const ImageBuffer& image);

    // Fills area and draws picture centred in it: at its own size, or shrunk to fit when fit is set.
    static void Paint(QPainter& painter, const QRect& area, const QImage& picture, bool fit);
    // Where Paint puts picture.
    static QRect Placement(const QRect& area, QSize picture, bool fit);
    // The one-pixel outline just outside area.
    static void PaintFrame(QPainter& painter, const QRect& area);
};
