#include "ColorNoiseEffect.h"

#include "FilterMath.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

ColorNoiseEffect::ColorNoiseEffect(int amount)
    : ColorNoiseEffect(amount, RandSequence::SeedFromClock())
{
}

ColorNoiseEffect::ColorNoiseEffect(int amount, unsigned seed)
    : amount_(amount)
    , random_(seed)
{
}

int64_t ColorNoiseEffect::Delta(int random, int amount)
{
    return filtermath::RoundHalfAway((random * 3.051850947599719e-05 - 0.5) * amount);
}

void ColorNoiseEffect::Begin(ImageBuffer& image)
{
    deltas_.resize(RandSequence::kShortMax + 1);
    for (int r = 0; r <= RandSequence::kShortMax; ++r)
        deltas_[size_t(r)] = int16_t(std::clamp<int64_t>(Delta(r, amount_), -255, 255));
    draws_.resize(size_t(image.Width()) * 3);
}

void ColorNoiseEffect::ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel)
{
    for (int c = 0; c < 3; ++c)
        pixel[c] = filtermath::ClampByte(pixel[c] + Delta(random_.NextShort(), amount_));
}

void ColorNoiseEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    if (!WithPixelSize(bpp, [&](auto size) { ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width()); }))
        PixelEffectImpl::ProcessRow(image, y);
}

template <int Step> void ColorNoiseEffect::ProcessRowOf(uint8_t* row, int width)
{
    // Blue, green and red of each pixel take the next three numbers, as the per-pixel order draws them.
    const size_t count = size_t(width) * 3;
    random_.FillShort(draws_.data(), count);
    const int16_t* deltas = deltas_.data();
    const uint16_t* draw = draws_.data();
    for (int x = 0; x < width; ++x, row += Step, draw += 3) {
        for (int c = 0; c < 3; ++c) {
            const int value = row[c] + deltas[draw[c]];
            row[c] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    }
}
