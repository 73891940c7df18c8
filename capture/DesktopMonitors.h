#pragma once

#include "imaging/BitmapTypes.h"

#include <QImage>

#include <vector>

class ImageBuffer;

// The desktop as its monitors show it. A desktop with monitors of different sizes or places has areas
// that no monitor shows; whatever the X server keeps there is never part of a capture.
namespace DesktopMonitors {

// The smallest rectangle holding every part of rect that a monitor shows; empty when no monitor shows any.
ImageRect Clip(const ImageRect& rect, const std::vector<ImageRect>& monitors);

// Paints black every pixel of the image (whose top-left pixel is desktop point (left, top)) that no
// monitor shows.
void BlankOutside(ImageBuffer& image, int left, int top, const std::vector<ImageRect>& monitors);
// The same for a picture of QImage::Format_RGB32.
void BlankOutside(QImage& picture, int left, int top, const std::vector<ImageRect>& monitors);

} // namespace DesktopMonitors
