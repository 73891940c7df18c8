#include "FlipHorizontalEffect.h"

#include <algorithm>
#include <cstring>

namespace {

template <int Bytes> void MirrorRow(uint8_t* row, int width)
{
    uint8_t* left = row;
    uint8_t* right = row + size_t(width - 1) * Bytes;
    for (int x = 0; x < width / 2; ++x, left += Bytes, right -= Bytes) {
        uint8_t a[Bytes];
        std::memcpy(a, left, Bytes);
        std::memcpy(left, right, Bytes);
        std::memcpy(right, a, Bytes);
    }
}

} // namespace

bool FlipHorizontalEffect::CanApply(const ImageBuffer& image) const
{
    return !image.IsEmpty() && image.BitCount() >= 8;
}

void FlipHorizontalEffect::ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel)
{
    const int width = image.Width();
    if (x >= width / 2)
        return;
    std::swap_ranges(pixel, pixel + image.BitCount() / 8, image.PixelAddress(width - 1 - x, y));
}

void FlipHorizontalEffect::ProcessRow(ImageBuffer& image, int y)
{
    uint8_t* row = image.Row(y);
    switch (image.BitCount()) {
    case 32:
        MirrorRow<4>(row, image.Width());
        break;
    case 24:
        MirrorRow<3>(row, image.Width());
        break;
    case 16:
        MirrorRow<2>(row, image.Width());
        break;
    case 8:
        MirrorRow<1>(row, image.Width());
        break;
    default:
        PixelEffect::ProcessRow(image, y);
        break;
    }
}
