#pragma once

#include "editor/objects/RectObject.h"
#include "imaging/ImageBuffer.h"

// A picture stretched over its rectangle. The object owns its own copy of the picture.
class StampObject final : public RectObject {
public:
    StampObject();

    // The property bar's stamp choice: list index + 1, 0 for none.
    int32_t stampIndex = 0;
    ImageBuffer image;
};
