#pragma once

#include "editor/objects/ObjectPainter.h"

#include <optional>

class AnnotationObject;
class ImageBuffer;
class ObjectList;

// Composites annotation objects onto a 32-bpp image: each object is drawn into a temporary transparent
// picture, optionally given a drop shadow, and blended on with its transparency. Other targets receive
// nothing. A redaction pixelates or blurs what the target holds under it.
class ObjectRenderer {
public:
    // Every object, first to last, so later objects cover earlier ones. The target may be a part of
    // the picture: its pixel (0, 0) then shows the picture's point (left, top), and each pixel comes out
    // as it would on the whole picture, but for a few levels of antialiasing where the target's edge cuts
    // through a shape.
    static void RenderObjects(const ObjectList& objects, ImageBuffer& target, int left = 0, int top = 0);
    static void RenderObject(const AnnotationObject& object, ImageBuffer& target, int left = 0, int top = 0);
    // Every pixel the object can change, shadow included; none when it draws nothing.
    static std::optional<LongRect> Reach(const AnnotationObject& object);
    // Every pixel that drawing the object inside drawn can change: drawn with its shadow's reach.
    static LongRect WithShadow(const AnnotationObject& object, const LongRect& drawn);
};
