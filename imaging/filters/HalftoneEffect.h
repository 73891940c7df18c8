#pragma once

#include "imaging/PixelEffect.h"

#include <cstdint>

// Ordered dither to black and white with the 8 x 8 Bayer matrix.
class HalftoneEffect final : public PixelEffectImpl<HalftoneEffect> {
public:
    static const uint8_t kMatrix[8][8];

    bool RowsInAnyOrder() const override { return true; }
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;

private:
    template <int Step> static void ProcessRowOf(uint8_t* row, int width, int y);
};
