#pragma once

#include "imaging/PixelEffect.h"

#include <array>

// Stretches the input range low..high of chosen channels to 0..255 (reversed when low > high). The
// automatic variant finds low and high per channel in Begin, cutting about 0.6 % of the pixels at each end.
class ColorLevelEffect final : public PixelEffectImpl<ColorLevelEffect> {
public:
    enum Channel { Blue = 0, Green = 1, Red = 2 };

    // The same low and high for every channel, each clamped to 0..255; mask 1 red, 2 green, 4 blue.
    ColorLevelEffect(int low, int high, int channelMask);
    // Levels from the image's histograms, on all three channels.
    static ColorLevelEffect Automatic();

    void Begin(ImageBuffer& image) override;
    bool RowsInAnyOrder() const override { return true; }
    void ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel) override
    {
        pixel[0] = tables_[Blue][pixel[0]];
        pixel[1] = tables_[Green][pixel[1]];
        pixel[2] = tables_[Red][pixel[2]];
    }

    bool IsAutomatic() const { return automatic_ != 0; }
    int Low(Channel channel) const { return low_[channel]; }
    int High(Channel channel) const { return high_[channel]; }

    // The stretch of one channel value, also used where no table is at hand.
    static uint8_t Level(int value, int low, int high);

private:
    void FindAutomaticLevels(const ImageBuffer& image);

    uint8_t automatic_ = 0;
    std::array<int32_t, 3> low_ {}; // blue, green, red
    std::array<int32_t, 3> high_ {};
    uint8_t red_ = 0;
    uint8_t green_ = 0;
    uint8_t blue_ = 0;
    std::array<std::array<uint8_t, 256>, 3> tables_ {};
};
