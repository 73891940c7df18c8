#pragma once

#include <cmath>
#include <cstdint>

// Rounding and clamping shared by the effects. Every effect rounds the same way, so that a table built
// ahead of time and the per-pixel arithmetic agree to the bit.

// Adds 0.5 to a positive value and subtracts it from any other, then truncates toward zero.
inline double RoundHalfAwayFromZero(double value)
{
    return std::trunc(value > 0 ? value + 0.5 : value - 0.5);
}

// Truncates toward zero and clamps to 0..255; safe for values far outside the int range.
inline uint8_t TruncateToByte(double value)
{
    if (!(value > 0))
        return 0;
    if (value >= 255)
        return 255;
    return uint8_t(value);
}

inline uint8_t ClampToByte(int64_t value)
{
    return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
}

// The weighted grey of the image commands, with integer division.
inline int GreyValue(int red, int green, int blue)
{
    return (red * 30 + green * 59 + blue * 11) / 100;
}
