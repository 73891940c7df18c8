#pragma once

#include "imaging/ImageBuffer.h"
#include "imaging/PixelEffect.h"

#include <utility>

// Turns an image into an 8-bpp image of the same size holding each pixel's grey value.
class IntensityMapEffect final : public PixelEffectImpl<IntensityMapEffect> {
public:
    // Any image with pixels.
    bool CanApply(const ImageBuffer& image) const override;
    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;

    // The input as it was before the run (at 24 bpp or more), which the effect keeps until it is
    // destroyed or the input is taken back.
    const ImageBuffer& Source() const { return source_; }
    ImageBuffer TakeSource() { return std::move(source_); }

    // The grey values of width pixels of step (3 or 4) bytes.
    static void GreyRow(const uint8_t* pixels, int step, int width, uint8_t* greys);

private:
    // The image is rebuilt anyway, so its pixels are moved here rather than copied.
    ImageBuffer source_;
};
