#include "imaging/geometry/FlipHorizontalEffect.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Four pixels from each end at a time, each group reversed in a register.
void MirrorRow32(uint8_t* row, int width)
{
    uint8_t* left = row;
    uint8_t* right = row + size_t(width) * 4;
    int pairs = width / 2;
#if defined(__SSE2__)
    for (; pairs >= 4; pairs -= 4, left += 16) {
        right -= 16;
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(left));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(right));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(left), _mm_shuffle_epi32(b, 0x1B));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(right), _mm_shuffle_epi32(a, 0x1B));
    }
#endif
    for (; pairs > 0; --pairs, left += 4) {
        right -= 4;
        uint32_t a, b;
        std::memcpy(&a, left, 4);
        std::memcpy(&b, right, 4);
        std::memcpy(left, &b, 4);
        std::memcpy(right, &a, 4);
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
        MirrorRow32(row, image.Width());
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
