#include "editor/objects/ObjectRenderer.h"

#include "editor/objects/BlendImage.h"
#include "editor/objects/DrawingSurface.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/ObjectList.h"
#include "editor/objects/ObjectPainter.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/RedactRenderer.h"
#include "editor/objects/RowBlender.h"
#include "editor/objects/ShadowEffect.h"
#include "editor/objects/StampObject.h"
#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// How far beyond a picture its shadow reads and writes: the offset plus the radius, with room to spare.
constexpr int64_t kShadowReach = 2 * ShadowEffect::kDefaultRadius;

bool CanRenderOnto(const ImageBuffer& target)
{
    return !target.IsEmpty() && target.BitCount() == 32;
}

// The part of area, in area's own coordinates, whose pixels can reach the target. Only that part is
// drawn: a picture's pixel lands at most `reach` pixels away from where it was drawn, so everything the
// target shows is the same as with the whole picture, while a huge or far-off object costs no more than
// the target's size.
LongRect VisiblePart(const LongRect& area, const ImageBuffer& target, int64_t reach)
{
    return { std::max<int64_t>(0, -area.left - reach), std::max<int64_t>(0, -area.top - reach),
        std::min<int64_t>(area.Width(), target.Width() - area.left + reach),
        std::min<int64_t>(area.Height(), target.Height() - area.top + reach) };
}

bool MakeSolidPicture(ImageBuffer& picture, int64_t width, int64_t height, uint32_t argb)
{
    if (!picture.Create(int(width), int(height), 32))
        return false;
    const uint8_t pixel[4] = { uint8_t(argb), uint8_t(argb >> 8), uint8_t(argb >> 16), uint8_t(argb >> 24) };
    uint8_t* first = picture.Row(0);
    for (int x = 0; x < picture.Width(); ++x)
        std::memcpy(first + x * 4, pixel, 4);
    for (int y = 1; y < picture.Height(); ++y)
        std::memcpy(picture.Row(y), first, size_t(picture.Width()) * 4);
    return true;
}

// The stamp's picture as drawn: resized to its rectangle, shadowed when asked, at 32 bpp. Made whole once
// and kept by the object, so that each later draw blends only the part a target shows.
std::shared_ptr<const ImageBuffer> DrawnStampPicture(const StampObject& stamp, const LongRect& area)
{
    if (area.Width() > INT_MAX || area.Height() > INT_MAX)
        return nullptr;
    const int width = int(area.Width());
    const int height = int(area.Height());
    if (auto kept = stamp.KeptPicture(width, height, stamp.shadow))
        return kept;
    auto picture = std::make_shared<ImageBuffer>(stamp.Image());
    // The resize only runs on 24 and 32 bpp; a paletted or 16-bit picture would otherwise be drawn at its
    // own size instead of filling the stamp's rectangle. At 24 bpp it still gets no shadow.
    if (picture->BitCount() < 24)
        picture->ConvertTo(24);
    picture->ResizeBilinear(width, height);
    if (picture->IsEmpty())
        return nullptr;
    if (stamp.shadow) {
        ShadowEffect shadow;
        picture->ApplyEffect(shadow);
    }
    picture->ConvertTo(32);
    stamp.KeepPicture(width, height, stamp.shadow, picture);
    return picture;
}

bool Reaches(const LongRect& reach, const ImageBuffer& target, int left, int top)
{
    return reach.right > left && reach.bottom > top && reach.left < int64_t(left) + target.Width()
        && reach.top < int64_t(top) + target.Height();
}

// Blends one colour over a part that lies inside the target, as a solid picture would be blended.
void BlendSolid(ImageBuffer& target, const LongRect& part, int x, int y, uint32_t argb, int strength)
{
    const int width = int(part.Width());
    std::vector<uint32_t> row(size_t(width), argb);
    RowBlender blender(strength);
    for (int r = 0; r < int(part.Height()); ++r)
        blender.BlendRow(reinterpret_cast<const uint8_t*>(row.data()), target.PixelAddress(x, y + r), width);
}

void DrawOnto(const AnnotationObject& object, const ObjectPainter::Layout& layout, const LongRect& part,
    ImageBuffer& target, int x, int y, int strength)
{
    DrawingSurface surface;
    if (!surface.Create(int(part.Width()), int(part.Height()), layout.background))
        return;
    surface.SetOrigin(double(part.left), double(part.top));
    ObjectPainter::Paint(object, layout.area, surface);
    surface.BlendOnto(target, x, y, strength);
}

bool MakeDrawnPicture(
    const AnnotationObject& object, const ObjectPainter::Layout& layout, const LongRect& part, ImageBuffer& picture)
{
    DrawingSurface surface;
    if (!surface.Create(int(part.Width()), int(part.Height()), layout.background))
        return false;
    surface.SetOrigin(double(part.left), double(part.top));
    ObjectPainter::Paint(object, layout.area, surface);
    return surface.CopyTo(picture);
}

} // namespace

void ObjectRenderer::RenderObjects(const ObjectList& objects, ImageBuffer& target, int left, int top)
{
    if (!CanRenderOnto(target))
        return;
    for (const auto& object : objects)
        RenderObject(*object, target, left, top);
}

std::optional<LongRect> ObjectRenderer::Reach(const AnnotationObject& object)
{
    if (const auto* redact = dynamic_cast<const RedactObject*>(&object))
        return LongRect { redact->left, redact->top, redact->right, redact->bottom };
    const auto layout = ObjectPainter::LayoutOf(object);
    if (!layout)
        return std::nullopt;
    const int64_t reach = object.shadow ? kShadowReach : 0;
    const LongRect& area = layout->area;
    return LongRect { area.left - reach, area.top - reach, area.right + reach, area.bottom + reach };
}

void ObjectRenderer::RenderObject(const AnnotationObject& object, ImageBuffer& target, int left, int top)
{
    if (!CanRenderOnto(target))
        return;
    // A redaction is no picture of its own: it changes what the objects before it left in the target.
    if (const auto* redact = dynamic_cast<const RedactObject*>(&object)) {
        RedactRenderer::Render(*redact, target, left, top);
        return;
    }
    const auto layout = ObjectPainter::LayoutOf(object);
    if (!layout)
        return;
    const int strength = 100 - std::clamp(object.transparency, 0, 100);
    // Where the picture lands on this target; the picture itself is drawn from the object's own place.
    const LongRect placed { layout->area.left - left, layout->area.top - top, layout->area.right - left,
        layout->area.bottom - top };

    int64_t x = placed.left;
    int64_t y = placed.top;
    if (const auto* stamp = dynamic_cast<const StampObject*>(&object)) {
        const auto reach = Reach(object);
        if (!reach || !Reaches(*reach, target, left, top) || x < INT_MIN || x > INT_MAX || y < INT_MIN || y > INT_MAX)
            return;
        if (const auto picture = DrawnStampPicture(*stamp, layout->area))
            BlendImage(target, *picture, int(x), int(y), strength);
        return;
    }
    const LongRect part = VisiblePart(placed, target, object.shadow ? kShadowReach : 0);
    if (part.IsEmpty())
        return;
    x += part.left;
    y += part.top;
    const bool highlight = dynamic_cast<const HighlightObject*>(&object) != nullptr;
    // Without a shadow the visible part lies inside the target and goes straight onto it.
    if (!object.shadow) {
        if (highlight)
            BlendSolid(target, part, int(x), int(y), layout->background, strength);
        else
            DrawOnto(object, *layout, part, target, int(x), int(y), strength);
        return;
    }
    ImageBuffer picture;
    const bool made = highlight ? MakeSolidPicture(picture, part.Width(), part.Height(), layout->background)
                                : MakeDrawnPicture(object, *layout, part, picture);
    if (!made || x < INT_MIN || x > INT_MAX || y < INT_MIN || y > INT_MAX)
        return;
    ShadowEffect shadow;
    picture.ApplyEffect(shadow);
    picture.ConvertTo(32);
    BlendImage(target, picture, int(x), int(y), strength);
}
