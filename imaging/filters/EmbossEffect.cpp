#include "EmbossEffect.h"

#include "FilterMath.h"

uint8_t EmbossEffect::Relief(int difference, int depth)
{
    // Wide arithmetic: a depth beyond the dialog's range must not overflow.
    return filtermath::ClampByte(int64_t(difference) * depth / 3 + 128);
}

void EmbossEffect::Begin(ImageBuffer& image)
{
    relief_.resize(2 * kMaxDifference + 1);
    for (int d = -kMaxDifference; d <= kMaxDifference; ++d)
        relief_[size_t(d + kMaxDifference)] = Relief(d, depth_);
    sums_.resize(size_t(image.Width()));
}

void EmbossEffect::ProcessPixel(ImageBuffer& image, int x, int, uint8_t* pixel)
{
    uint8_t value = 128;
    if (x != image.Width() - 1) {
        const uint8_t* right = pixel + image.BitCount() / 8;
        const int s = pixel[0] + pixel[1] + pixel[2];
        const int t = right[0] + right[1] + right[2];
        value = Relief(s - t, depth_);
    }
    pixel[0] = pixel[1] = pixel[2] = value;
}

void EmbossEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    if (bpp == 32)
        ProcessRowOf<4>(image.Row(y), image.Width());
    else if (bpp == 24)
        ProcessRowOf<3>(image.Row(y), image.Width());
    else
        PixelEffectImpl::ProcessRow(image, y);
}

template <int Step> void EmbossEffect::ProcessRowOf(uint8_t* row, int width)
{
    // Every pixel a row's results depend on is still unchanged when the row starts, so the sums can be
    // taken first.
    int16_t* sums = sums_.data();
    const uint8_t* p = row;
    for (int x = 0; x < width; ++x, p += Step)
        sums[x] = int16_t(p[0] + p[1] + p[2]);
    const uint8_t* relief = relief_.data() + kMaxDifference;
    uint8_t* out = row;
    for (int x = 0; x + 1 < width; ++x, out += Step)
        out[0] = out[1] = out[2] = relief[sums[x] - sums[x + 1]];
    out[0] = out[1] = out[2] = 128;
}
