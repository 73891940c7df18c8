#pragma once

#include "imaging/PixelEffect.h"
#include "imaging/filters/RandSequence.h"

#include <cstdint>
#include <vector>

// Adds the same roughly normal noise to blue, green and red of a pixel ("Blot").
class MonoNoiseEffect final : public PixelEffectImpl<MonoNoiseEffect> {
public:
    // amount is limited to 0..100. Seeds the C library generator, and this effect's copy of its
    // sequence, with the current time.
    explicit MonoNoiseEffect(int amount);
    MonoNoiseEffect(int amount, unsigned seed);

    int Amount() const { return amount_; }

    // The change to all three channels for the sum of four random numbers (each 0..32767).
    static int Delta(int sumOfFour, int amount);

    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    // A block of rows starts its own copy of the sequence where a row-by-row run would stand.
    bool RowsInAnyOrder() const override { return true; }
    void ProcessRows(ImageBuffer& image, int first, int end, int worker) override;
    void End(ImageBuffer& image) override;

private:
    static constexpr int kDrawsPerPixel = 4;

    // One row's scratch: the random numbers, the change per pixel and the change of each byte.
    struct Scratch {
        std::vector<uint16_t> draws;
        std::vector<int32_t> deltas;
        std::vector<uint16_t> changes;
        explicit Scratch(int width);
    };
    template <int Step> void ProcessRowOf(uint8_t* row, int width, RandSequence& random, Scratch& scratch) const;

    int amount_;
    RandSequence random_;
    RandSequence start_; // where this run's first row begins
    Scratch scratch_ { 0 };
};
