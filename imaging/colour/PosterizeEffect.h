#pragma once

#include "imaging/colour/LookupTableEffect.h"

// Reduces every channel to `levels` evenly spaced values.
class PosterizeEffect final : public LookupTableEffect {
public:
    // Fewer than 2 levels are stored as 2.
    explicit PosterizeEffect(int levels);

    int MapValue(int value) const override;
    int Levels() const { return levels_; }

private:
    int32_t levels_;
};
