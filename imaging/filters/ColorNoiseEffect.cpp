#include "imaging/filters/ColorNoiseEffect.h"

#include <algorithm>
#include <cstring>

ColorNoiseEffect::ColorNoiseEffect(int amount)
    : ColorNoiseEffect(amount, RandSequence::SeedFromClock())
{
}

ColorNoiseEffect::ColorNoiseEffect(int amount, unsigned seed)
    : NoiseEffect(amount, seed)
{
}

int64_t ColorNoiseEffect::Delta(int random, int amount)
{
    return filtermath::RoundHalfAway((random * 3.051850947599719e-05 - 0.5) * amount);
}

void ColorNoiseEffect::Begin(ImageBuffer& image)
{
    changes_.resize(RandSequence::kShortMax + 1);
    for (int r = 0; r <= RandSequence::kShortMax; ++r)
        changes_[size_t(r)] = filtermath::PackedChange(int(std::clamp<int64_t>(Delta(r, amount_), -255, 255)));
    NoiseEffect::Begin(image);
}

void ColorNoiseEffect::ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel)
{
    for (int c = 0; c < 3; ++c)
        pixel[c] = filtermath::ClampByte(pixel[c] + Delta(random_.NextShort(), amount_));
}

template <int Step> void ColorNoiseEffect::RowChanges(Scratch& scratch, int width) const
{
    // Blue, green and red of each pixel take the next three numbers, as the per-pixel order draws them.
    const uint16_t* draws = scratch.draws.data();
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
}

template class NoiseEffect<ColorNoiseEffect, 3>;
