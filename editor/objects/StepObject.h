#pragma once

#include "editor/objects/ColourRef.h"
#include "editor/objects/RectObject.h"

class ObjectList;

// A numbered marker for explaining steps: a filled circle (an ellipse once stretched) over its rectangle
// with its number in the middle, in black or white, whichever stands out from the fill.
class StepObject final : public RectObject {
public:
    static constexpr int32_t kMinSize = 16;
    static constexpr int32_t kMaxSize = 120;
    static constexpr int32_t kDefaultSize = 32;
    static constexpr int32_t kMaxNumber = 9999;

    StepObject();

    int32_t number = 1;
    ColourRef colour = 0x2828DC; // RGB (220, 40, 40)

    // The number a new marker takes: one after the highest in the list, 1 when there is none.
    static int32_t NextNumber(const ObjectList& objects);
    // Places the marker as a square of side size (limited to the sizes above) centred on (x, y).
    void Centre(int32_t x, int32_t y, int32_t size);
    // The side the property bar shows: the shorter one.
    int32_t Size() const;
};
