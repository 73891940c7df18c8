#pragma once

class AnnotationObject;
class ImageBuffer;
class ObjectList;

// Composites annotation objects onto a 32-bpp image: each object is drawn into a temporary transparent
// picture, optionally given a drop shadow, and blended on with its transparency. Other targets receive
// nothing. A redaction pixelates or blurs what the target holds under it.
class ObjectRenderer {
public:
    // Every object, first to last, so later objects cover earlier ones.
    static void RenderObjects(const ObjectList& objects, ImageBuffer& target);
    static void RenderObject(const AnnotationObject& object, ImageBuffer& target);
};
