#pragma once

#include "imaging/colour/LookupTableEffect.h"

// Scales every channel by level percent: 100 keeps the image, 0 makes it black, 200 doubles it.
class BrightnessEffect final : public LookupTableEffect {
public:
    // A negative level is stored as 0.
    explicit BrightnessEffect(int level);

    int MapValue(int value) const override;
    int Level() const { return level_; }

private:
    int32_t level_;
};
