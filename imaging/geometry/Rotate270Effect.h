#pragma once

#include "imaging/geometry/QuarterTurnEffect.h"

// A quarter turn anticlockwise: the source's right column, read top to bottom, becomes the top row.
class Rotate270Effect final : public QuarterTurnEffect {
public:
    void ProcessPixel(ImageBuffer&, int x, int y, uint8_t* pixel) override { CopyFromSource(x, y, pixel); }

protected:
    void SourceOf(int x, int y, int& sx, int& sy) const override
    {
        sx = sourceWidth_ - 1 - y;
        sy = x;
    }
};
