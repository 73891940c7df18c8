#pragma once

#include "imaging/colour/LookupTableEffect.h"

// 255 - v on the channels of the mask (1 red, 2 green, 4 blue).
class InvertEffect final : public LookupTableEffect {
public:
    explicit InvertEffect(int channelMask = 7);

    int MapValue(int value) const override;
};
