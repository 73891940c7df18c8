#pragma once

#include "ColourRef.h"
#include "RectObject.h"

// A see-through coloured rectangle.
class HighlightObject final : public RectObject {
public:
    HighlightObject();

    ColourRef colour = 0x800000;
};
