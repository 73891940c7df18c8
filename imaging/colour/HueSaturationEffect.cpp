#include "HueSaturationEffect.h"

#include "ColourModel.h"

#include <algorithm>

namespace {

// HslToRgb's channel function with the result scaled to a byte. The callers' t is never below -6.
inline uint8_t ChannelByte(double p, double q, double t)
{
    if (t > 6)
        t -= 6;
    else if (t < 0)
        t += 6;
    if (t < 1)
        return TruncateToByte((p + (q - p) * t) * 255);
    if (t < 3)
        return TruncateToByte(q * 255);
    if (t < 4)
        return TruncateToByte((p + (q - p) * (4 - t)) * 255);
    return TruncateToByte(p * 255);
}

} // namespace

HueSaturationEffect::HueSaturationEffect(int huePercent, int saturationPercent)
    : hue_(std::max(huePercent, 0))
    , saturation_(std::max(saturationPercent, 0))
    , recent_(size_t(1) << kRecentBits, 0)
{
    for (int v = 0; v < 256; ++v)
        unit_[size_t(v)] = double(v) / 255;
    for (int v = 0; v < 511; ++v) {
        difference_[size_t(v)] = double(v - 255) / 255;
        lightness_[size_t(v)] = double(v) * 0.00196078431372549;
        grey_[size_t(v)] = uint8_t(HslToRgb(0, lightness_[size_t(v)], 0));
    }
}

// RgbToHsl, the two scalings and HslToRgb, with the divisions by 255 taken from tables and the sextant
// chosen without nested branches. Every operation that reaches the result is the one of the plain
// conversions, in the same order.
uint32_t HueSaturationEffect::Adjust(uint32_t colour) const
{
    const int blue = int(colour & 0xFF), green = int(colour >> 8 & 0xFF), red = int(colour >> 16 & 0xFF);
    const int max = std::max({ blue, green, red });
    const int min = std::min({ blue, green, red });
    if (max == min) {
        // Hue and saturation are 0 and stay 0 whatever the scaling.
        const uint32_t grey = grey_[size_t(max + min)];
        return grey | grey << 8 | grey << 16;
    }
    const double l = lightness_[size_t(max + min)];
    const double bigM = unit_[size_t(max)];
    const double smallM = unit_[size_t(min)];
    const double d = bigM - smallM;
    double s = d / (l < 0.5 ? bigM + smallM : 2 - bigM - smallM);

    const bool redMax = max == red;
    const bool greenMax = !redMax && max == green;
    const int difference = redMax ? green - blue : greenMax ? blue - red : red - green;
    const double offset = redMax ? 0.0 : greenMax ? 2.0 : 4.0;
    // Adding 0.0 leaves the red sextant's quotient as it is.
    double h = (difference_[size_t(difference + 255)] / d + offset) * 0.16666666666666666;
    if (h < 0)
        h += 1;

    if (hue_ != 100)
        h = hue_ * h * 0.01;
    if (saturation_ != 100)
        s = saturation_ * s * 0.01;
    if (s < 1.1920929e-7) {
        const uint32_t grey = TruncateToByte(l * 255);
        return grey | grey << 8 | grey << 16;
    }
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    const double h6 = 6 * h;
    return uint32_t(ChannelByte(p, q, h6 - 2)) | uint32_t(ChannelByte(p, q, h6)) << 8
        | uint32_t(ChannelByte(p, q, h6 + 2)) << 16;
}
