#pragma once

#include "editor/objects/AnnotationObject.h"
#include "imaging/BitmapTypes.h"

// The kinds placed by a rectangle: text, box, highlight and stamp.
class RectObject : public AnnotationObject {
public:
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    ImageRect Rect() const { return { left, top, right, bottom }; }
    void SetRect(const ImageRect& rect)
    {
        left = rect.left;
        top = rect.top;
        right = rect.right;
        bottom = rect.bottom;
    }

protected:
    using AnnotationObject::AnnotationObject;
};
