#include "editor/ui/CompositeCache.h"

#include "editor/objects/ObjectList.h"
#include "editor/objects/ObjectRenderer.h"
#include "editor/objects/RedactObject.h"

#include <algorithm>
#include <cstring>

namespace {

// A redaction computes its cells and its blur from the whole of its rectangle, so a part to redraw that
// cuts through one takes all of it in, and then any redaction that overlaps what it took in.
QRect CoverRedactions(const ObjectList& objects, QRect part, const QRect& bounds)
{
    for (bool grown = true; grown;) {
        grown = false;
        for (const auto& object : objects) {
            const auto* redact = dynamic_cast<const RedactObject*>(object.get());
            if (!redact)
                continue;
            const QRect rect
                = QRect(redact->left, redact->top, redact->right - redact->left, redact->bottom - redact->top) & bounds;
            if (!rect.isEmpty() && part.intersects(rect) && !part.contains(rect)) {
                part |= rect;
                grown = true;
            }
        }
    }
    return part;
}

} // namespace

void CompositeCache::Prepare(const ImageBuffer& image, const ObjectList& objects)
{
    dirty_ = false;
    isImage_ = image.BitCount() == 32 && objects.IsEmpty();
    if (isImage_ || image.IsEmpty()) {
        composite_.Destroy();
        current_.clear();
        return;
    }
    if (image.BitCount() != 32) {
        // Only a picture that is not yet 32 bpp is converted whole.
        composite_.Destroy();
        if (composite_.CopyFrom(image) && composite_.ConvertTo(32))
            ObjectRenderer::RenderObjects(objects, composite_);
        current_.assign(size_t(composite_.Height()), 1);
        return;
    }
    // A fresh block costs nothing until its rows are written.
    if (composite_.Width() != image.Width() || composite_.Height() != image.Height() || composite_.BitCount() != 32)
        composite_.Create(image.Width(), image.Height(), 32);
    current_.assign(size_t(composite_.Height()), 0);
}

void CompositeCache::Redraw(const ImageBuffer& image, const ObjectList& objects, const QRect& part)
{
    ImageBuffer patch;
    if (!image.CopyRegion(&patch, { part.left(), part.top(), part.right() + 1, part.bottom() + 1 }))
        return;
    ObjectRenderer::RenderObjects(objects, patch, part.left(), part.top());
    const size_t bytes = size_t(part.width()) * 4;
    for (int y = 0; y < part.height(); ++y)
        std::memcpy(composite_.PixelAddress(part.left(), part.top() + y), patch.Row(y), bytes);
}

void CompositeCache::RefreshRows(const ImageBuffer& image, const ObjectList& objects, int top, int bottom)
{
    top = std::max(top, 0);
    bottom = std::min(bottom, int(current_.size()));
    for (int y = top; y < bottom;) {
        if (current_[size_t(y)]) {
            ++y;
            continue;
        }
        int end = y;
        while (end < bottom && !current_[size_t(end)])
            ++end;
        const QRect band
            = CoverRedactions(objects, QRect(0, y, image.Width(), end - y), QRect(0, 0, image.Width(), image.Height()));
        std::fill(current_.begin() + band.top(), current_.begin() + band.bottom() + 1, uint8_t(1));
        Redraw(image, objects, band);
        y = std::max(end, band.bottom() + 1);
    }
}

const ImageBuffer& CompositeCache::Get(const ImageBuffer& image, const ObjectList& objects, int top, int bottom)
{
    if (dirty_)
        Prepare(image, objects);
    if (isImage_)
        return image;
    if (composite_.Width() == image.Width() && composite_.Height() == image.Height())
        RefreshRows(image, objects, top, bottom);
    return composite_;
}

void CompositeCache::Patch(const ImageBuffer& image, const ObjectList& objects, const QRect& area)
{
    // The first object over the image itself needs a composite, made a row at a time as it is read.
    if (isImage_ && !objects.IsEmpty())
        dirty_ = true;
    if (dirty_ || isImage_ || image.BitCount() != 32 || composite_.Width() != image.Width()
        || composite_.Height() != image.Height())
        return;
    const QRect bounds(0, 0, image.Width(), image.Height());
    const QRect part = CoverRedactions(objects, area & bounds, bounds);
    if (part.isEmpty())
        return;
    // Stale rows are drawn whole when read; only those already shown need the patch.
    bool anyCurrent = false;
    for (int y = part.top(); y <= part.bottom() && !anyCurrent; ++y)
        anyCurrent = current_[size_t(y)] != 0;
    if (anyCurrent)
        Redraw(image, objects, part);
}
