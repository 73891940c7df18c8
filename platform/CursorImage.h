#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

class ImageBuffer;

// The pointer's image as the screen shows it: premultiplied ARGB pixels (alpha in the top byte), row 0 at
// the top, with the pointer position and the hot spot inside the image.
struct CursorImage {
    int x = 0;
    int y = 0;
    int hotX = 0;
    int hotY = 0;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Blends the cursor over a 24- or 32-bpp image whose top-left pixel shows screen point (originX, originY),
// with the hot spot over the pointer position. Parts outside the image are dropped.
void CompositeCursor(ImageBuffer& image, const CursorImage& cursor, int originX, int originY);
// The same over a picture of QImage::Format_RGB32.
void CompositeCursor(QImage& picture, const CursorImage& cursor, int originX, int originY);
