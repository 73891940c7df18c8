#pragma once

#include "imaging/ImageEffect.h"

#include <cstdint>

// Gives a 32-bpp image a soft drop shadow: the image grows by the shadow's reach, a blurred copy of its
// alpha in the shadow colour is laid at the offset, the image itself goes on top, and the origin moves so
// that the original pixels keep their place in the owner's coordinates.
class ShadowEffect final : public ImageEffect {
public:
    static constexpr int kDefaultRadius = 10;
    static constexpr uint32_t kDefaultColour = 0xFF000000; // 0xAARRGGBB
    static constexpr int kDefaultOpacity = 75;
    static constexpr int kDefaultOffset = 5;

    // The radius is at least 2 and the opacity (percent) 1 to 100.
    explicit ShadowEffect(int radius = kDefaultRadius, uint32_t colour = kDefaultColour, int opacity = kDefaultOpacity,
        int offsetX = kDefaultOffset, int offsetY = kDefaultOffset);

    int Radius() const { return radius_; }
    int Opacity() const { return opacity_; }

    bool CanApply(const ImageBuffer& image) const override;
    int Mode() const override { return 0; }
    void ProcessImage(ImageBuffer& image, ProgressSink* progress) override;

private:
    int radius_;
    uint32_t colour_;
    int opacity_;
    int offsetX_;
    int offsetY_;
};
