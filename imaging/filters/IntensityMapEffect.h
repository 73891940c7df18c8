#pragma once

#include "ImageBuffer.h"
#include "PixelEffect.h"

// Turns an image into an 8-bpp image of the same size holding each pixel's grey value.
class IntensityMapEffect final : public PixelEffectImpl<IntensityMapEffect> {
public:
    // Any image with pixels.
    bool CanApply(const ImageBuffer& image) const override;
    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    void End(ImageBuffer& image) override;

private:
    // The input, at 24 bpp or more. The image is rebuilt anyway, so its pixels are moved here rather
    // than copied.
    ImageBuffer source_;
};
