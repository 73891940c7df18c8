#pragma once

#include "imaging/PixelEffect.h"
#include "imaging/filters/RandSequence.h"

#include <cstdint>
#include <vector>

// Adds independent uniform noise of about +-amount / 2 to blue, green and red ("Noisy").
class ColorNoiseEffect final : public PixelEffectImpl<ColorNoiseEffect> {
public:
    // Seeds the C library generator, and this effect's copy of its sequence, with the current time.
    explicit ColorNoiseEffect(int amount);
    // A fixed seed, for reproducible runs.
    ColorNoiseEffect(int amount, unsigned seed);

    int Amount() const { return amount_; }

    // The change one random number (0..32767) makes to a channel.
    static int64_t Delta(int random, int amount);

    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    // A block of rows starts its own copy of the sequence where a row-by-row run would stand.
    bool RowsInAnyOrder() const override { return true; }
    void ProcessRows(ImageBuffer& image, int first, int end, int worker) override;
    void End(ImageBuffer& image) override;

private:
    static constexpr int kDrawsPerPixel = 3;

    // One row's scratch: the random numbers and the change of each byte.
    struct Scratch {
        std::vector<uint16_t> draws;
        std::vector<uint16_t> changes;
        explicit Scratch(int width);
    };
    template <int Step> void ProcessRowOf(uint8_t* row, int width, RandSequence& random, Scratch& scratch) const;

    int amount_;
    RandSequence random_;
    RandSequence start_; // where this run's first row begins
    // The change per random number (filtermath::PackedChange; a channel cannot move further than 255).
    std::vector<uint16_t> changes_;
    Scratch scratch_ { 0 };
};
