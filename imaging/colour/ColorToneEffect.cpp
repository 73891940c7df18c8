#include "imaging/colour/ColorToneEffect.h"

#include "imaging/colour/ColourModel.h"

ColorToneEffect::ColorToneEffect(uint8_t red, uint8_t green, uint8_t blue)
{
    // The tone colour's own lightness is not used: the pixel's grey takes its place.
    const Hsl tone = RgbToHsl(blue, green, red);
    for (int i = 0; i < 256; ++i) {
        const uint32_t rgb = HslToRgb(tone.h, i / 255.0, tone.s);
        const auto k = size_t(i);
        red_[k] = i * int((rgb >> 16) & 0xFF) / 255;
        green_[k] = i * int((rgb >> 8) & 0xFF) / 255;
        blue_[k] = i * int(rgb & 0xFF) / 255;
    }
}
