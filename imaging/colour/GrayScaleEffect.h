#pragma once

#include "imaging/PixelEffect.h"
#include "imaging/colour/PixelMath.h"

// Sets blue, green and red to the weighted grey (red 30 %, green 59 %, blue 11 %, truncated).
class GrayScaleEffect final : public PixelEffectImpl<GrayScaleEffect> {
public:
    bool RowsInAnyOrder() const override { return true; }
    void ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel) override
    {
        const auto grey = uint8_t(GreyValue(pixel[2], pixel[1], pixel[0]));
        pixel[0] = grey;
        pixel[1] = grey;
        pixel[2] = grey;
    }
};
