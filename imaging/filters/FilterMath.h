#pragma once

#include <cstdint>

// Arithmetic shared by the filters: results are clamped to a byte, floating values rounded half away
// from zero.
namespace filtermath {

inline uint8_t ClampByte(int64_t value)
{
    return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
}

inline int64_t RoundHalfAway(double value)
{
    return int64_t(value < 0 ? value - 0.5 : value + 0.5);
}

// (red * 30 + green * 59 + blue * 11) / 100 of a blue, green, red pixel.
inline int Grey(const uint8_t* pixel)
{
    return (pixel[2] * 30 + pixel[1] * 59 + pixel[0] * 11) / 100;
}

} // namespace filtermath
