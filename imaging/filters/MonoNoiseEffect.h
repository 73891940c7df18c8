#pragma once

#include "imaging/filters/NoiseEffect.h"

#include <cstdint>

// Adds the same roughly normal noise to blue, green and red of a pixel ("Blot").
class MonoNoiseEffect final : public NoiseEffect<MonoNoiseEffect, 4> {
public:
    // amount is limited to 0..100. Seeds the C library generator, and this effect's copy of its
    // sequence, with the current time.
    explicit MonoNoiseEffect(int amount);
    MonoNoiseEffect(int amount, unsigned seed);

    // The change to all three channels for the sum of four random numbers (each 0..32767).
    static int Delta(int sumOfFour, int amount);

    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;

private:
    friend NoiseEffect;
    template <int Step> void RowChanges(Scratch& scratch, int width) const;
};

// Instantiated once, in MonoNoiseEffect.cpp, where the row loop sees RowChanges.
extern template class NoiseEffect<MonoNoiseEffect, 4>;
