#pragma once

#include "imaging/colour/LookupTableEffect.h"

// Stretches every channel about 128 by level percent: 100 keeps the image, 0 makes it uniform 128.
class ContrastEffect final : public LookupTableEffect {
public:
    // A negative level is stored as 0.
    explicit ContrastEffect(int level);

    int MapValue(int value) const override;
    int Level() const { return level_; }

private:
    int32_t level_;
};
