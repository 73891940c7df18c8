#pragma once

#include <cstdint>

// A colour as the objects store it: 0x00BBGGRR, red in the low byte.
using ColourRef = uint32_t;

// The 0xAARRGGBB value a stored colour is drawn with; the alpha comes from the caller (opaque by default).
constexpr uint32_t ArgbFromColourRef(ColourRef colour, uint8_t alpha = 255)
{
    const uint32_t red = colour & 0xFF;
    const uint32_t green = (colour >> 8) & 0xFF;
    const uint32_t blue = (colour >> 16) & 0xFF;
    return uint32_t(alpha) << 24 | red << 16 | green << 8 | blue;
}
