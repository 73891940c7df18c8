#pragma once

#include "imaging/colour/PixelMath.h"

#include <algorithm>
#include <cstdint>

// The hue, saturation and lightness model of the colour commands. Inline because hue/saturation calls both
// for every pixel; the arithmetic is kept in the exact order that gives the stored results.

struct Hsl {
    double h = 0; // 0..1
    double s = 0; // 0..1
    double l = 0; // 0..1
};

inline Hsl RgbToHsl(int blue, int green, int red)
{
    const int max = std::max({ blue, green, red });
    const int min = std::min({ blue, green, red });
    Hsl out;
    out.l = double(max + min) * 0.00196078431372549;
    if (max == min)
        return out;
    const double bigM = double(max) / 255;
    const double smallM = double(min) / 255;
    const double d = bigM - smallM;
    out.s = out.l < 0.5 ? d / (bigM + smallM) : d / (2 - bigM - smallM);
    double h;
    if (max == red)
        h = double(green - blue) / 255 / d;
    else if (max == green)
        h = double(blue - red) / 255 / d + 2;
    else
        h = double(red - green) / 255 / d + 4;
    out.h = h * 0.16666666666666666;
    if (out.h < 0)
        out.h += 1;
    return out;
}

namespace colourmodel_detail {

// One channel of the sextant form. The argument is brought into range once only, so values that stay
// above 6 after one correction fall to p.
inline double Channel(double p, double q, double t)
{
    if (t > 6)
        t -= 6;
    else if (t < 0)
        t += 6;
    if (t < 1)
        return p + (q - p) * t;
    if (t < 3)
        return q;
    if (t < 4)
        return p + (q - p) * (4 - t);
    return p;
}

} // namespace colourmodel_detail

// Packed as blue | green << 8 | red << 16 | 255 << 24.
inline uint32_t HslToRgb(double h, double l, double s)
{
    if (s < 1.1920929e-7) {
        const uint32_t v = TruncateToByte(l * 255);
        return v | v << 8 | v << 16 | 0xFF000000u;
    }
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    const double h6 = 6 * h;
    const uint32_t red = TruncateToByte(colourmodel_detail::Channel(p, q, h6 + 2) * 255);
    const uint32_t green = TruncateToByte(colourmodel_detail::Channel(p, q, h6) * 255);
    const uint32_t blue = TruncateToByte(colourmodel_detail::Channel(p, q, h6 - 2) * 255);
    return blue | green << 8 | red << 16 | 0xFF000000u;
}
