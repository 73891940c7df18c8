#pragma once

#include "imaging/PixelEffect.h"
#include "imaging/colour/PixelMath.h"

#include <array>

// Turns the image into shades of the tone colour's hue: the weighted grey of each pixel picks the
// lightness, and the result is darkened once more by grey / 255, so black and white stay as they are.
class ColorToneEffect final : public PixelEffectImpl<ColorToneEffect> {
public:
    ColorToneEffect(uint8_t red, uint8_t green, uint8_t blue);

    bool RowsInAnyOrder() const override { return true; }
    void ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel) override
    {
        const auto grey = size_t(GreyValue(pixel[2], pixel[1], pixel[0]));
        pixel[0] = uint8_t(blue_[grey]);
        pixel[1] = uint8_t(green_[grey]);
        pixel[2] = uint8_t(red_[grey]);
    }

    int RedEntry(int grey) const { return red_[size_t(grey)]; }
    int GreenEntry(int grey) const { return green_[size_t(grey)]; }
    int BlueEntry(int grey) const { return blue_[size_t(grey)]; }

private:
    std::array<int32_t, 256> red_ {};
    std::array<int32_t, 256> green_ {};
    std::array<int32_t, 256> blue_ {};
};
