#pragma once

#include "imaging/geometry/QuarterTurnEffect.h"

// A quarter turn clockwise: the source's left column, read bottom to top, becomes the top row.
class Rotate90Effect final : public QuarterTurnEffect {
public:
    void ProcessPixel(ImageBuffer&, int x, int y, uint8_t* pixel) override { CopyFromSource(x, y, pixel); }

protected:
    void SourceOf(int x, int y, int& sx, int& sy) const override
    {
        sx = y;
        sy = sourceHeight_ - 1 - x;
    }
};
