#pragma once

#include "editor/objects/ColourRef.h"
#include "editor/objects/RectObject.h"

// A see-through coloured rectangle.
class HighlightObject final : public RectObject {
public:
    HighlightObject();

    ColourRef colour = 0x800000;
};
