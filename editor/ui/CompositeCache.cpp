#include "CompositeCache.h"

#include "ObjectList.h"
#include "ObjectRenderer.h"

#include <cstring>

const ImageBuffer& CompositeCache::Get(const ImageBuffer& image, const ObjectList& objects)
{
    if (dirty_) {
        dirty_ = false;
        isImage_ = image.BitCount() == 32 && objects.IsEmpty();
        composite_.Destroy();
        if (!isImage_ && composite_.CopyFrom(image) && (composite_.BitCount() == 32 || composite_.ConvertTo(32)))
            ObjectRenderer::RenderObjects(objects, composite_);
    }
    return isImage_ ? image : composite_;
}

void CompositeCache::Patch(const ImageBuffer& image, const ObjectList& objects, const QRect& area)
{
    // The image itself stands in for the composite until there is an object to draw over it.
    if (dirty_ || isImage_ || composite_.Width() != image.Width() || composite_.Height() != image.Height()
        || image.BitCount() != 32) {
        dirty_ = true;
        return;
    }
    const QRect part = area & QRect(0, 0, image.Width(), image.Height());
    if (part.isEmpty())
        return;
    ImageBuffer patch;
    if (!image.CopyRegion(&patch, { part.left(), part.top(), part.right() + 1, part.bottom() + 1 })) {
        dirty_ = true;
        return;
    }
    ObjectRenderer::RenderObjects(objects, patch, part.left(), part.top());
    const size_t bytes = size_t(part.width()) * 4;
    for (int y = 0; y < part.height(); ++y)
        std::memcpy(composite_.PixelAddress(part.left(), part.top() + y), patch.Row(y), bytes);
}
