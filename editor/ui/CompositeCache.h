#pragma once

#include "ImageBuffer.h"

#include <QRect>

class ObjectList;

// The picture a view shows: the document image with every annotation object rendered on top, kept
// between paints. A change of one object patches only the area it touched, so dragging an object over a
// large picture re-renders a few thousand pixels instead of copying the whole image.
class CompositeCache {
public:
    // The composite of image and objects, rebuilt first when it was invalidated. With no objects over a
    // 32-bpp image that image itself is returned, and nothing is copied.
    const ImageBuffer& Get(const ImageBuffer& image, const ObjectList& objects);
    // The next Get rebuilds the whole composite.
    void Invalidate() { dirty_ = true; }
    // Redraws area (image pixels) from image and objects; the rest is kept. A composite that is not held
    // yet, or no longer matches the image's size, is left to the next Get to rebuild whole.
    void Patch(const ImageBuffer& image, const ObjectList& objects, const QRect& area);

private:
    ImageBuffer composite_;
    bool isImage_ = false;
    bool dirty_ = true;
};
