#include "FlipVerticalEffect.h"

#include <algorithm>

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
    uint8_t* row = image.Row(y);
    std::swap_ranges(row, row + bytes, image.Row(height - 1 - y));
}
