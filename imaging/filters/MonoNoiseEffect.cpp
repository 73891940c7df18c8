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

MonoNoiseEffect::Scratch::Scratch(int width)
    : draws(size_t(width) * kDrawsPerPixel)
    , deltas(size_t(width))
    , changes(size_t(width) * 4)
{
}

void MonoNoiseEffect::Begin(ImageBuffer& image)
{
    scratch_ = Scratch(image.Width());
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
    if (!WithPixelSize(bpp,
            [&](auto size) { ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), random_, scratch_); }))
        PixelEffectImpl::ProcessRow(image, y);
}

void MonoNoiseEffect::ProcessRows(ImageBuffer& image, int first, int end, int)
{
    RandSequence random = start_;
    random.Discard(uint64_t(first) * uint64_t(image.Width()) * kDrawsPerPixel);
    Scratch scratch(image.Width());
    for (int y = first; y < end; ++y)
        WithPixelSize(image.BitCount(),
            [&](auto size) { ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), random, scratch); });
}

template <int Step>
void MonoNoiseEffect::ProcessRowOf(uint8_t* row, int width, RandSequence& random, Scratch& scratch) const
{
    const uint16_t* draw = scratch.draws.data();
    random.FillShort(scratch.draws.data(), size_t(width) * kDrawsPerPixel);
    int32_t* deltas = scratch.deltas.data();
    const int amount = amount_;
    for (int x = 0; x < width; ++x) {
        const int sum = draw[4 * x] + draw[4 * x + 1] + draw[4 * x + 2] + draw[4 * x + 3];
        deltas[x] = Delta(sum, amount);
    }
    uint16_t* changes = scratch.changes.data();
    for (int x = 0; x < width; ++x, changes += Step) {
        const uint16_t change = filtermath::PackedChange(deltas[x]);
        changes[0] = change;
        changes[1] = change;
        changes[2] = change;
        if (Step == 4)
            changes[3] = 0;
    }
    filtermath::AddPackedChanges(row, scratch.changes.data(), size_t(width) * Step);
}
