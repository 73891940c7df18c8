#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

class ImageBuffer;

// Moves pixels of a 32-bpp ImageBuffer into QImages for painting. Only the asked-for part is touched,
// so a repaint of a small area of a large image costs little. The fourth byte is shown as opaque.
class BufferPicture {
public:
    // The part (in image pixels) of source as a top-down opaque RGB32 picture. Pixels of the part that lie
    // outside the image are black. A null image when source is not 32 bpp or the part is empty.
    static QImage Part(const ImageBuffer& source, const QRect& part);
    // The picture source shows when stretched to displayed, cut to area (in displayed pixels): each pixel
    // takes the source pixel under its centre. A null image when source is not 32 bpp or nothing is left.
    static QImage Sampled(const ImageBuffer& source, QSize displayed, const QRect& area);
    // Copies the pixels of region (in image pixels) from source into target, whose top-left pixel shows
    // image pixel origin. The region is clipped to both pictures; false when source is not 32 bpp or target
    // is not RGB32.
    static bool CopyInto(QImage& target, QPoint origin, const ImageBuffer& source, const QRect& region);
};
