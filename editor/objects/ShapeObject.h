#pragma once

#include "editor/objects/ColourRef.h"
#include "editor/objects/RectObject.h"

// A rectangle or an ellipse, outlined and optionally filled.
class ShapeObject final : public RectObject {
public:
    static constexpr int32_t kRectangle = 0;
    static constexpr int32_t kEllipse = 1;
    static constexpr int32_t kFilledRectangle = 2;
    static constexpr int32_t kFilledEllipse = 3;

    ShapeObject();

    ColourRef borderColour = 0;
    ColourRef fillColour = 0x7B1700;
    int32_t shape = kRectangle;
    int32_t width = 2;
};
