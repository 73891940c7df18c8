#include "imaging/filters/MonoNoiseEffect.h"

#include "imaging/filters/FilterMath.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

MonoNoiseEffect::MonoNoiseEffect(int amount)
    : MonoNoiseEffect(amount, RandSequence::SeedFromClock())
{
}

MonoNoiseEffect::MonoNoiseEffect(int amount, unsigned seed)
    : amount_(std::clamp(amount, 0, 100))
    , random_(seed)
{
}

int MonoNoiseEffect::Delta(int sumOfFour, int amount)
{
    const double g = sumOfFour * 5.28596089837e-05 - 3.46410161514;
    return int(g * amount * 1.27);
}

void MonoNoiseEffect::Begin(ImageBuffer& image)
{
    draws_.resize(size_t(image.Width()) * kDrawsPerPixel);
    deltas_.resize(size_t(image.Width()));
    start_ = random_;
}

void MonoNoiseEffect::End(ImageBuffer& image)
{
    random_ = start_;
    random_.Discard(uint64_t(image.Width()) * uint64_t(image.Height()) * kDrawsPerPixel);
}

void MonoNoiseEffect::ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel)
{
    int sum = random_.NextShort();
    sum += random_.NextShort();
    sum += random_.NextShort();
    sum += random_.NextShort();
    const int delta = Delta(sum, amount_);
    for (int c = 0; c < 3; ++c)
        pixel[c] = filtermath::ClampByte(pixel[c] + delta);
}

void MonoNoiseEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    if (!WithPixelSize(bpp, [&](auto size) {
            ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), random_, draws_.data(), deltas_.data());
        }))
        PixelEffectImpl::ProcessRow(image, y);
}

void MonoNoiseEffect::ProcessRows(ImageBuffer& image, int first, int end, int)
{
    RandSequence random = start_;
    random.Discard(uint64_t(first) * uint64_t(image.Width()) * kDrawsPerPixel);
    std::vector<uint16_t> draws(size_t(image.Width()) * kDrawsPerPixel);
    std::vector<int32_t> deltas(size_t(image.Width()));
    for (int y = first; y < end; ++y)
        WithPixelSize(image.BitCount(), [&](auto size) {
            ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), random, draws.data(), deltas.data());
        });
}

template <int Step>
void MonoNoiseEffect::ProcessRowOf(
    uint8_t* row, int width, RandSequence& random, uint16_t* draws, int32_t* deltas) const
{
    random.FillShort(draws, size_t(width) * kDrawsPerPixel);
    const uint16_t* draw = draws;
    const int amount = amount_;
    for (int x = 0; x < width; ++x) {
        const int sum = draw[4 * x] + draw[4 * x + 1] + draw[4 * x + 2] + draw[4 * x + 3];
        deltas[x] = Delta(sum, amount);
    }
    for (int x = 0; x < width; ++x, row += Step) {
        for (int c = 0; c < 3; ++c) {
            const int value = row[c] + deltas[x];
            row[c] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    }
}
