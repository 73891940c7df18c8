#include "imaging/geometry/FlipVerticalEffect.h"

#include <algorithm>
#include <cstring>

bool FlipVerticalEffect::CanApply(const ImageBuffer& image) const
{
    return !image.IsEmpty() && image.BitCount() >= 8;
}

void FlipVerticalEffect::ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel)
{
    const int height = image.Height();
    if (y >= height / 2)
        return;
    std::swap_ranges(pixel, pixel + image.BitCount() / 8, image.PixelAddress(x, height - 1 - y));
}

void FlipVerticalEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int height = image.Height();
    if (y >= height / 2 || image.BitCount() < 8)
        return;
    const size_t bytes = size_t(image.Width()) * size_t(image.BitCount() / 8);
    uint8_t* top = image.Row(y);
    uint8_t* bottom = image.Row(height - 1 - y);
    // Exchanged through a small buffer, a piece at a time, at the speed of memcpy.
    uint8_t buffer[4096];
    for (size_t done = 0; done < bytes; done += sizeof buffer) {
        const size_t n = std::min(sizeof buffer, bytes - done);
        std::memcpy(buffer, top + done, n);
        std::memcpy(top + done, bottom + done, n);
        std::memcpy(bottom + done, buffer, n);
    }
}
