#include "imaging/colour/PosterizeEffect.h"

#include "imaging/colour/PixelMath.h"

#include <algorithm>

PosterizeEffect::PosterizeEffect(int levels)
    : LookupTableEffect(7)
    , levels_(std::max(levels, 2))
{
}

int PosterizeEffect::MapValue(int value) const
{
    const double step = 255.0 / (double(levels_) - 1);
    const double level = RoundHalfAwayFromZero(value / step);
    return TruncateToByte(RoundHalfAwayFromZero(step * level));
}
