#include "editor/ui/CompositeCache.h"

#include "editor/objects/ObjectFingerprint.h"
#include "editor/objects/ObjectList.h"
#include "editor/objects/ObjectRenderer.h"
#include "editor/objects/RedactObject.h"

#include <algorithm>
#include <climits>
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

QRect ToQRect(const LongRect& rect)
{
    const auto clamp = [](int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN / 2, INT_MAX / 2)); };
    return QRect(QPoint(clamp(rect.left), clamp(rect.top)), QPoint(clamp(rect.right) - 1, clamp(rect.bottom) - 1));
}

} // namespace

std::vector<CompositeCache::Drawn> CompositeCache::Survey(const ObjectList& objects)
{
    std::vector<Drawn> drawn;
    for (const auto& object : objects)
        drawn.push_back({ object.get(), ObjectFingerprint::Of(*object), ObjectRenderer::Reach(*object) });
    return drawn;
}

QRect CompositeCache::ChangedArea(const std::vector<Drawn>& now, const AnnotationObject* grown) const
{
    // Compared place by place: an object added, removed or restacked changes every place after it.
    QRect area;
    const auto add = [&area](const Drawn& drawn) {
        if (drawn.reach)
            area |= ToQRect(*drawn.reach);
    };
    for (size_t i = 0; i < std::max(now.size(), drawn_.size()); ++i) {
        if (i < now.size() && i < drawn_.size() && now[i].fingerprint == drawn_[i].fingerprint)
            continue;
        if (grown && i < now.size() && i < drawn_.size() && now[i].object == grown && drawn_[i].object == grown)
            continue;
        if (i < now.size())
            add(now[i]);
        if (i < drawn_.size())
            add(drawn_[i]);
    }
    return area;
}

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
        current_.assign(size_t(composite_.Height()), Span { 0, composite_.Width() });
        return;
    }
    // A fresh block costs nothing until its rows are written.
    if (composite_.Width() != image.Width() || composite_.Height() != image.Height() || composite_.BitCount() != 32)
        composite_.Create(image.Width(), image.Height(), 32);
    current_.assign(size_t(composite_.Height()), Span {});
}

void CompositeCache::Redraw(const ImageBuffer& image, const ObjectList& objects, const QRect& wanted)
{
    const QRect part = CoverRedactions(objects, wanted, QRect(0, 0, image.Width(), image.Height()));
    ImageBuffer patch;
    if (!image.CopyRegion(&patch, { part.left(), part.top(), part.right() + 1, part.bottom() + 1 }))
        return;
    ObjectRenderer::RenderObjects(objects, patch, part.left(), part.top());
    const size_t bytes = size_t(part.width()) * 4;
    const Span drawn { part.left(), part.right() + 1 };
    for (int y = 0; y < part.height(); ++y) {
        std::memcpy(composite_.PixelAddress(part.left(), part.top() + y), patch.Row(y), bytes);
        // A span keeps one run of columns: columns drawn apart from it stay stale and are drawn again.
        Span& current = current_[size_t(part.top() + y)];
        if (current.IsEmpty())
            current = drawn;
        else if (drawn.left <= current.right && current.left <= drawn.right)
            current = { std::min(current.left, drawn.left), std::max(current.right, drawn.right) };
    }
}

CompositeCache::Span CompositeCache::Stale(int y, int left, int right) const
{
    const Span& current = current_[size_t(y)];
    if (current.IsEmpty())
        return { left, right };
    if (current.left <= left && current.right >= right)
        return {};
    return { std::min(current.left, left), std::max(current.right, right) };
}

void CompositeCache::Refresh(const ImageBuffer& image, const ObjectList& objects, const QRect& wanted)
{
    const QRect part = wanted & QRect(0, 0, image.Width(), image.Height());
    const int left = part.left();
    const int right = part.right() + 1;
    for (int y = part.top(); y <= part.bottom();) {
        const Span stale = Stale(y, left, right);
        if (stale.IsEmpty()) {
            ++y;
            continue;
        }
        int end = y + 1;
        while (end <= part.bottom() && Stale(end, left, right) == stale)
            ++end;
        Redraw(image, objects, QRect(stale.left, y, stale.right - stale.left, end - y));
        y = end;
    }
}

void CompositeCache::CatchUp(
    const ImageBuffer& image, const ObjectList& objects, QRect area, const AnnotationObject* grown)
{
    std::vector<Drawn> now = Survey(objects);
    if (!dirty_)
        area |= ChangedArea(now, grown);
    drawn_ = std::move(now);
    if (dirty_ || area.isEmpty())
        return;
    // The first object over the image itself, or a picture converted whole: made again.
    if (isImage_ || image.BitCount() != 32 || composite_.Width() != image.Width()
        || composite_.Height() != image.Height()) {
        if (!isImage_ || !objects.IsEmpty())
            dirty_ = true;
        return;
    }
    const QRect bounds(0, 0, image.Width(), image.Height());
    RedrawCurrent(image, objects, area & bounds);
}

void CompositeCache::RedrawCurrent(const ImageBuffer& image, const ObjectList& objects, const QRect& part)
{
    const auto shown = [&](int y) {
        const Span& current = current_[size_t(y)];
        return Span { std::max(current.left, part.left()), std::min(current.right, part.right() + 1) };
    };
    for (int y = part.top(); y <= part.bottom();) {
        const Span redraw = shown(y);
        if (redraw.IsEmpty()) {
            ++y;
            continue;
        }
        int end = y + 1;
        while (end <= part.bottom() && shown(end) == redraw)
            ++end;
        Redraw(image, objects, QRect(redraw.left, y, redraw.right - redraw.left, end - y));
        y = end;
    }
}

const ImageBuffer& CompositeCache::Get(const ImageBuffer& image, const ObjectList& objects, const QRect& part)
{
    CatchUp(image, objects, {}, nullptr);
    if (dirty_)
        Prepare(image, objects);
    if (isImage_)
        return image;
    if (composite_.Width() == image.Width() && composite_.Height() == image.Height())
        Refresh(image, objects, part);
    return composite_;
}

void CompositeCache::Patch(
    const ImageBuffer& image, const ObjectList& objects, const QRect& area, const AnnotationObject* grown)
{
    CatchUp(image, objects, area, grown);
}
