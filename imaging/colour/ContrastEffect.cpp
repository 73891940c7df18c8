#include "imaging/colour/ContrastEffect.h"

#include "imaging/colour/PixelMath.h"

#include <algorithm>

ContrastEffect::ContrastEffect(int level)
    : LookupTableEffect(7)
    , level_(std::max(level, 0))
{
}

int ContrastEffect::MapValue(int value) const
{
    // Integer division truncates toward zero, so 127 and 129 move by different amounts at level 200.
    return ClampToByte(int64_t(value - 128) * level_ / 100 + 128);
}
