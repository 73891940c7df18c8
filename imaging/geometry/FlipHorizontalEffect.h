#pragma once

#include "imaging/PixelEffect.h"

// Mirrors the image left to right in place; the middle column of an odd width stays. Any depth of
// 8 bits per pixel or more.
class FlipHorizontalEffect final : public PixelEffect {
public:
    bool CanApply(const ImageBuffer& image) const override;
    // Exchanges a pixel of the left half with its mirror; the right half was exchanged on the way.
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    bool RowsInAnyOrder() const override { return true; }
};
