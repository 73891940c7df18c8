#pragma once

#include "imaging/PixelEffect.h"
#include "imaging/filters/RandSequence.h"

#include <cstdint>
#include <vector>

// Every pixel takes the colour of a random pixel of the input within a size x size square around it,
// limited to the image.
class SplashEffect final : public PixelEffectImpl<SplashEffect> {
public:
    // size is at least 3. Seeds the C library generator, and this effect's copy of its sequence, with the
    // current time.
    explicit SplashEffect(int size);
    SplashEffect(int size, unsigned seed);

    int Size() const { return size_; }

    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    // A block of rows starts its own copy of the sequence where a row-by-row run would stand.
    bool RowsInAnyOrder() const override { return true; }
    void ProcessRows(ImageBuffer& image, int first, int end, int worker) override;
    void End(ImageBuffer& image) override;

private:
    static constexpr int kDrawsPerPixel = 2;

    template <int Step>
    void ProcessRowOf(uint8_t* row, int width, int height, int y, RandSequence& random, uint16_t* draws) const;

    int size_;
    RandSequence random_;
    RandSequence start_; // where this run's first row begins
    std::vector<int32_t> offsets_; // (r mod size) - size / 2 for every random number r
    std::vector<uint16_t> draws_;
};
