#include "imaging/colour/HueSaturationEffect.h"

#include "imaging/RowPool.h"
#include "imaging/colour/ColourModel.h"

#include <algorithm>

namespace {

// On photographs the conditions below change from pixel to pixel, and a mispredicted jump costs more than
// the arithmetic; so both sides are computed and one is picked by indexing a small array. Adding 0.0
// instead of nothing only turns -0.0 into 0.0, which no later step tells apart.

// HslToRgb's channel function with the result scaled to a byte.
inline uint8_t ChannelByte(double p, double q, double t)
{
    const double corrections[4] = { 0.0, -6.0, 6.0, 0.0 };
    t += corrections[int(t > 6) | int(t < 0) << 1];
    const double ramp[2] = { 4 - t, t };
    const double sloped = p + (q - p) * ramp[int(t < 1)];
    // Below 1 rising, below 3 flat at q, below 4 falling, then p.
    const double values[4] = { sloped, q, sloped, p };
    const double value = values[int(t >= 1) + int(t >= 3) + int(t >= 4)] * 255;
    return uint8_t(std::min(std::max(value, 0.0), 255.0));
}

} // namespace

HueSaturationEffect::HueSaturationEffect(int huePercent, int saturationPercent)
    : hue_(std::max(huePercent, 0))
    , saturation_(std::max(saturationPercent, 0))
    , memories_(1)
{
    for (int v = 0; v < 256; ++v)
        unit_[size_t(v)] = double(v) / 255;
    for (int v = 0; v < 511; ++v) {
        difference_[size_t(v)] = double(v - 255) / 255;
        lightness_[size_t(v)] = double(v) * 0.00196078431372549;
        grey_[size_t(v)] = uint8_t(HslToRgb(0, lightness_[size_t(v)], 0));
    }
}

// RgbToHsl, the two scalings and HslToRgb, with the divisions by 255 taken from tables. Every operation that reaches
// the result is the one of the plain conversions, in the same order.
uint32_t HueSaturationEffect::Adjust(uint32_t colour) const
{
    const int blue = int(colour & 0xFF), green = int(colour >> 8 & 0xFF), red = int(colour >> 16 & 0xFF);
    const int max = std::max({ blue, green, red });
    const int min = std::min({ blue, green, red });
    if (max == min) {
        // Hue and saturation are 0 and stay 0 whatever the scaling.
        const uint32_t grey = grey_[size_t(max + min)];
        return grey | grey << 8 | grey << 16;
    }
    const double l = lightness_[size_t(max + min)];
    const double bigM = unit_[size_t(max)];
    const double smallM = unit_[size_t(min)];
    const double d = bigM - smallM;
    const double denominators[2] = { 2 - bigM - smallM, bigM + smallM };
    double s = d / denominators[int(l < 0.5)];

    // The sextant of the largest channel, red first, then green.
    const int sextant = max == red ? 0 : max == green ? 1 : 2;
    const int differences[3] = { green - blue, blue - red, red - green };
    const double offsets[3] = { 0.0, 2.0, 4.0 };
    double h = (difference_[size_t(differences[sextant] + 255)] / d + offsets[sextant]) * 0.16666666666666666;
    const double wraps[2] = { 0.0, 1.0 };
    h += wraps[int(h < 0)];

    if (hue_ != 100)
        h = hue_ * h * 0.01;
    if (saturation_ != 100)
        s = saturation_ * s * 0.01;
    if (s < 1.1920929e-7) {
        const uint32_t grey = TruncateToByte(l * 255);
        return grey | grey << 8 | grey << 16;
    }
    const double tops[2] = { l + s - l * s, l * (1 + s) };
    const double q = tops[int(l < 0.5)];
    const double p = 2 * l - q;
    const double h6 = 6 * h;
    return uint32_t(ChannelByte(p, q, h6 - 2)) | uint32_t(ChannelByte(p, q, h6)) << 8
        | uint32_t(ChannelByte(p, q, h6 + 2)) << 16;
}

void HueSaturationEffect::Begin(ImageBuffer&)
{
    memories_.resize(size_t(std::max(RowPool::Shared().Threads(), 1)));
    for (Memory& memory : memories_)
        memory.rowsWithoutMemory = 0;
}

void HueSaturationEffect::ProcessRow(ImageBuffer& image, int y)
{
    ProcessRowOn(image, y, memories_[0]);
}

void HueSaturationEffect::ProcessRows(ImageBuffer& image, int first, int end, int worker)
{
    Memory& memory = memories_[size_t(worker) < memories_.size() ? size_t(worker) : 0];
    for (int y = first; y < end; ++y)
        ProcessRowOn(image, y, memory);
}

void HueSaturationEffect::ProcessRowOn(ImageBuffer& image, int y, Memory& memory) const
{
    if (image.BitCount() == 32)
        ProcessRowOf<4>(image.Row(y), image.Width(), memory);
    else if (image.BitCount() == 24)
        ProcessRowOf<3>(image.Row(y), image.Width(), memory);
}

template <int Bytes> void HueSaturationEffect::ProcessRowOf(uint8_t* pixel, int width, Memory& memory) const
{
    if (memory.rowsWithoutMemory > 0) {
        --memory.rowsWithoutMemory;
        for (int x = 0; x < width; ++x, pixel += Bytes)
            Store(Adjust(Load(pixel)), pixel);
        return;
    }
    // A row whose colours were mostly new is a photograph or noise: looking results up there costs more
    // than it saves, so the next rows are computed directly until the next look.
    int hits = 0;
    for (int x = 0; x < width; ++x, pixel += Bytes)
        Store(Recall(Load(pixel), hits, memory), pixel);
    if (hits < width / 4)
        memory.rowsWithoutMemory = kRowsWithoutMemory;
}
