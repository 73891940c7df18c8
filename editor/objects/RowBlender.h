#pragma once

#include "editor/objects/ExactDivider.h"

#include <array>
#include <cstdint>

// Blends runs of 32-bpp source pixels onto 32-bpp target pixels with a strength percentage, by the exact
// integer rule of BlendImage. Keeps what it worked out for the last pixel, so one blender serves a whole
// image.
class RowBlender {
public:
    // strength is limited to 0..100.
    explicit RowBlender(int strength);

    void BlendRow(const uint8_t* source, uint8_t* target, int count);

private:
    void BlendPixel(const uint8_t* s, uint8_t* d);
    void BlendPartial(const uint8_t* s, uint8_t* d, uint32_t a, uint32_t da);

    int strength_;
    std::array<uint8_t, 256> alphaOf_;
    // The general case keeps one divider for the last (alpha, target alpha) pair: neighbouring pixels
    // mostly share it, and building a divider costs a 64-bit division.
    uint32_t key_ = UINT32_MAX;
    uint32_t c_ = 0;
    uint32_t keep_ = 0;
    uint32_t f_ = 1;
    ExactDivider divider_ { 1 };
};
