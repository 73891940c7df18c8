#pragma once

#include "imaging/PixelEffect.h"

#include <array>

// Adds a fixed offset to each of red, green and blue, clamping to 0..255.
class RgbValueEffect final : public PixelEffectImpl<RgbValueEffect> {
public:
    RgbValueEffect(int redOffset, int greenOffset, int blueOffset);

    void Begin(ImageBuffer& image) override;
    bool RowsInAnyOrder() const override { return true; }
    void ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel) override
    {
        pixel[0] = blue_[pixel[0]];
        pixel[1] = green_[pixel[1]];
        pixel[2] = red_[pixel[2]];
    }

private:
    int32_t redOffset_;
    int32_t greenOffset_;
    int32_t blueOffset_;
    std::array<uint8_t, 256> red_ {};
    std::array<uint8_t, 256> green_ {};
    std::array<uint8_t, 256> blue_ {};
};
