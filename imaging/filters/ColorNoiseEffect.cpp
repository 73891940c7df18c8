#include "imaging/filters/ColorNoiseEffect.h"

#include "imaging/filters/FilterMath.h"

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
    draws_.resize(size_t(image.Width()) * kDrawsPerPixel);
    start_ = random_;
}

void ColorNoiseEffect::End(ImageBuffer& image)
{
    random_ = start_;
    random_.Discard(uint64_t(image.Width()) * uint64_t(image.Height()) * kDrawsPerPixel);
}

void ColorNoiseEffect::ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel)
{
    for (int c = 0; c < 3; ++c)
        pixel[c] = filtermath::ClampByte(pixel[c] + Delta(random_.NextShort(), amount_));
}

void ColorNoiseEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    if (!WithPixelSize(bpp, [&](auto size) {
            ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), random_, draws_.data());
        }))
        PixelEffectImpl::ProcessRow(image, y);
}

void ColorNoiseEffect::ProcessRows(ImageBuffer& image, int first, int end, int)
{
    RandSequence random = start_;
    random.Discard(uint64_t(first) * uint64_t(image.Width()) * kDrawsPerPixel);
    std::vector<uint16_t> draws(size_t(image.Width()) * kDrawsPerPixel);
    for (int y = first; y < end; ++y)
        WithPixelSize(image.BitCount(),
            [&](auto size) { ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), random, draws.data()); });
}

template <int Step>
void ColorNoiseEffect::ProcessRowOf(uint8_t* row, int width, RandSequence& random, uint16_t* draws) const
{
    // Blue, green and red of each pixel take the next three numbers, as the per-pixel order draws them.
    const size_t count = size_t(width) * kDrawsPerPixel;
    random.FillShort(draws, count);
    const int16_t* deltas = deltas_.data();
    const uint16_t* draw = draws;
    for (int x = 0; x < width; ++x, row += Step, draw += 3) {
        for (int c = 0; c < 3; ++c) {
            const int value = row[c] + deltas[draw[c]];
            row[c] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    }
}
