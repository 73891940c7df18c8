#include "imaging/filters/EmbossEffect.h"

#include "imaging/ImageBuffer.h"
#include "imaging/RowPool.h"
#include "imaging/filters/FilterMath.h"

#include <algorithm>
#include <cstring>

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
    Scratch scratch { std::vector<int16_t>(size_t(image.Width())), std::vector<uint8_t>(size_t(image.Width())) };
    scratch_.assign(size_t(std::max(1, RowPool::Shared().Threads())), scratch);
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
    if (scratch_.empty())
        PixelEffectImpl::ProcessRow(image, y);
    else
        ProcessRowWith(scratch_.front(), image, y);
}

void EmbossEffect::ProcessRows(ImageBuffer& image, int first, int end, int worker)
{
    if (scratch_.empty())
        return;
    for (int y = first; y < end; ++y)
        ProcessRowWith(scratch_[size_t(worker) % scratch_.size()], image, y);
}

void EmbossEffect::ProcessRowWith(Scratch& scratch, ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    if (!WithPixelSize(
            bpp, [&](auto size) { ProcessRowOf<decltype(size)::value>(scratch, image.Row(y), image.Width()); }))
        PixelEffectImpl::ProcessRow(image, y);
}

template <int Step> void EmbossEffect::ProcessRowOf(Scratch& scratch, uint8_t* row, int width) const
{
    // Every pixel a row's results depend on is still unchanged when the row starts, so the sums can be
    // taken first.
    int16_t* sums = scratch.sums.data();
    uint8_t* reliefs = scratch.reliefs.data();
    const uint8_t* p = row;
    for (int x = 0; x < width; ++x, p += Step)
        sums[x] = int16_t(p[0] + p[1] + p[2]);
    const int last = width - 1;
    if (depth_ >= -kMaxShortDepth && depth_ <= kMaxShortDepth) {
        // |difference * depth| < 2^15: the division by 3 runs on 16-bit lanes.
        const auto depth = int16_t(depth_);
        for (int x = 0; x < last; ++x) {
            const auto scaled = int16_t((sums[x] - sums[x + 1]) * depth);
            const int value = scaled / 3 + 128;
            reliefs[x] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    } else {
        const uint8_t* relief = relief_.data() + kMaxDifference;
        for (int x = 0; x < last; ++x)
            reliefs[x] = relief[sums[x] - sums[x + 1]];
    }
    reliefs[last] = 128;
    if constexpr (Step == 4) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, row + size_t(x) * 4, 4);
            pixel = (pixel & 0xFF000000u) | reliefs[x] * 0x010101u;
            std::memcpy(row + size_t(x) * 4, &pixel, 4);
        }
    } else {
        for (int x = 0; x < width; ++x, row += 3)
            row[0] = row[1] = row[2] = reliefs[x];
    }
}
