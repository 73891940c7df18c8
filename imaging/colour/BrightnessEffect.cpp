#include "imaging/colour/BrightnessEffect.h"

#include <algorithm>

BrightnessEffect::BrightnessEffect(int level)
    : LookupTableEffect(7)
    , level_(std::max(level, 0))
{
}

int BrightnessEffect::MapValue(int value) const
{
    // Widened so that a level from the command line cannot overflow the product.
    return int(std::min<int64_t>(255, int64_t(level_) * value / 100));
}
