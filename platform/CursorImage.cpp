#include "platform/CursorImage.h"

#include "imaging/ImageBuffer.h"

#include <algorithm>

namespace {

// rowAt(y) is the first byte of row y of a width x height picture of 3 or 4 bytes per pixel.
template <typename RowAt>
void Composite(
    RowAt rowAt, int width, int height, int bytesPerPixel, const CursorImage& cursor, int originX, int originY)
{
    if (cursor.pixels.size() < size_t(cursor.width) * cursor.height)
        return;
    const int left = cursor.x - cursor.hotX - originX;
    const int top = cursor.y - cursor.hotY - originY;
    const int firstColumn = std::max(0, -left);
    const int lastColumn = std::min(cursor.width, width - left);
    const int firstRow = std::max(0, -top);
    const int lastRow = std::min(cursor.height, height - top);
    for (int row = firstRow; row < lastRow; ++row) {
        const uint32_t* source = cursor.pixels.data() + size_t(row) * cursor.width;
        uint8_t* target = rowAt(top + row) + (left + firstColumn) * bytesPerPixel;
        for (int column = firstColumn; column < lastColumn; ++column, target += bytesPerPixel) {
            const uint32_t argb = source[column];
            const uint32_t inverse = 255 - (argb >> 24);
            if (inverse == 255)
                continue;
            // Premultiplied source over the opaque screen, rounded to nearest.
            for (int channel = 0; channel < 3; ++channel) {
                const uint32_t value = (argb >> (8 * channel)) & 0xFF;
                target[channel] = uint8_t(std::min<uint32_t>(255, value + (target[channel] * inverse + 127) / 255));
            }
        }
    }
}

} // namespace

void CompositeCursor(ImageBuffer& image, const CursorImage& cursor, int originX, int originY)
{
    if (image.IsEmpty() || image.BitCount() < 24)
        return;
    Composite([&](int y) { return image.Row(y); }, image.Width(), image.Height(), image.BitCount() / 8, cursor, originX,
        originY);
}

void CompositeCursor(QImage& picture, const CursorImage& cursor, int originX, int originY)
{
    if (picture.format() != QImage::Format_RGB32)
        return;
    Composite(
        [&](int y) { return picture.scanLine(y); }, picture.width(), picture.height(), 4, cursor, originX, originY);
}
