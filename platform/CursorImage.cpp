#include "platform/CursorImage.h"

#include "imaging/ImageBuffer.h"

#include <algorithm>

void CompositeCursor(ImageBuffer& image, const CursorImage& cursor, int originX, int originY)
{
    if (image.IsEmpty() || image.BitCount() < 24 || cursor.pixels.size() < size_t(cursor.width) * cursor.height)
        return;
    const int bytesPerPixel = image.BitCount() / 8;
    const int left = cursor.x - cursor.hotX - originX;
    const int top = cursor.y - cursor.hotY - originY;
    const int firstColumn = std::max(0, -left);
    const int lastColumn = std::min(cursor.width, image.Width() - left);
    const int firstRow = std::max(0, -top);
    const int lastRow = std::min(cursor.height, image.Height() - top);
    for (int row = firstRow; row < lastRow; ++row) {
        const uint32_t* source = cursor.pixels.data() + size_t(row) * cursor.width;
        uint8_t* target = image.Row(top + row) + (left + firstColumn) * bytesPerPixel;
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
