#pragma once

#include "imaging/PixelEffect.h"

// Mirrors the image top to bottom in place; the middle row of an odd height stays. Any depth of 8 bits
// per pixel or more.
class FlipVerticalEffect final : public PixelEffect {
public:
    bool CanApply(const ImageBuffer& image) const override;
    // Exchanges a pixel of the top half with its mirror; the bottom half was exchanged on the way.
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    bool RowsInAnyOrder() const override { return true; }
};
