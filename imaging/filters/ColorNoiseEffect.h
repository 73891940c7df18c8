#pragma once

#include "imaging/filters/NoiseEffect.h"

#include <cstdint>
#include <vector>

// Adds independent uniform noise of about +-amount / 2 to blue, green and red ("Noisy").
class ColorNoiseEffect final : public NoiseEffect<ColorNoiseEffect, 3> {
public:
    // Seeds the C library generator, and this effect's copy of its sequence, with the current time.
    explicit ColorNoiseEffect(int amount);
    // A fixed seed, for reproducible runs.
    ColorNoiseEffect(int amount, unsigned seed);

    // The change one random number (0..32767) makes to a channel.
    static int64_t Delta(int random, int amount);

    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;

private:
    friend NoiseEffect;
    template <int Step> void RowChanges(Scratch& scratch, int width) const;

    // The change per random number (filtermath::PackedChange; a channel cannot move further than 255).
    std::vector<uint16_t> changes_;
};

// Instantiated once, in ColorNoiseEffect.cpp, where the row loop sees RowChanges.
extern template class NoiseEffect<ColorNoiseEffect, 3>;
