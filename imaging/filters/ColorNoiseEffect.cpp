#include "imaging/filters/ColorNoiseEffect.h"

#include "imaging/filters/FilterMath.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

ColorNoiseEffect::Scratch::Scratch(int width)
    : draws(size_t(width) * kDrawsPerPixel)
    , changes(size_t(width) * 4)
{
}

void ColorNoiseEffect::Begin(ImageBuffer& image)
{
    changes_.resize(RandSequence::kShortMax + 1);
    for (int r = 0; r <= RandSequence::kShortMax; ++r)
        changes_[size_t(r)] = filtermath::PackedChange(int(std::clamp<int64_t>(Delta(r, amount_), -255, 255)));
    scratch_ = Scratch(image.Width());
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
    if (!WithPixelSize(bpp,
            [&](auto size) { ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), random_, scratch_); }))
        PixelEffectImpl::ProcessRow(image, y);
}

void ColorNoiseEffect::ProcessRows(ImageBuffer& image, int first, int end, int)
{
    RandSequence random = start_;
    random.Discard(uint64_t(first) * uint64_t(image.Width()) * kDrawsPerPixel);
    Scratch scratch(image.Width());
    for (int y = first; y < end; ++y)
        WithPixelSize(image.BitCount(),
            [&](auto size) { ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), random, scratch); });
}

template <int Step>
void ColorNoiseEffect::ProcessRowOf(uint8_t* row, int width, RandSequence& random, Scratch& scratch) const
{
    // Blue, green and red of each pixel take the next three numbers, as the per-pixel order draws them.
    uint16_t* draws = scratch.draws.data();
    random.FillShort(draws, size_t(width) * kDrawsPerPixel);
    const uint16_t* table = changes_.data();
    uint16_t* changes = scratch.changes.data();
    if constexpr (Step == 4) {
        // A pixel's three changes and a zero for alpha as one word.
        for (int x = 0; x < width; ++x, draws += 3, changes += 4) {
            const uint64_t word
                = uint64_t(table[draws[0]]) | uint64_t(table[draws[1]]) << 16 | uint64_t(table[draws[2]]) << 32;
            std::memcpy(changes, &word, sizeof word);
        }
    } else {
        for (size_t i = 0; i < size_t(width) * 3; ++i)
            changes[i] = table[draws[i]];
    }
    filtermath::AddPackedChanges(row, scratch.changes.data(), size_t(width) * Step);
}
