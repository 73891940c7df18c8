#pragma once

#include "imaging/BitmapTypes.h"

#include <QPoint>

class AnnotationObject;

// Moving a grabbed handle of an object. The base is the object's geometry when the handle was
// grabbed; every move starts again from it, so rounding never accumulates.
class ObjectDrag {
public:
    // A rectangle-shaped object is never made narrower or lower than this, in image pixels.
    static constexpr int kMinimumSize = 20;

    struct Base {
        QPoint start;
        QPoint end;
        ImageRect rect;
    };

    static Base BaseOf(const AnnotationObject& object);
    // point is the mouse in image pixels, delta its way from the press.
    static void Apply(AnnotationObject& object, int handle, const Base& base, QPoint point, QPoint delta);
};
