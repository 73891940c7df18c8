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
#include "editor/objects/StampPicture.h"
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

// Draws what of a stamp can reach the target. The whole picture is made and kept once the stamp is
// drawn again at the same size (a move); a first draw at a size (one step of a resize) makes only the
// part the target shows.
void DrawStamp(
    const StampObject& stamp, const LongRect& area, const LongRect& placed, ImageBuffer& target, int strength)
{
    if (area.Width() > INT_MAX || area.Height() > INT_MAX)
        return;
    const int width = int(area.Width());
    const int height = int(area.Height());
    const LongRect part = VisiblePart(placed, target, stamp.shadow ? kShadowReach : 0);
    const auto inRange = [](int64_t v) { return v >= INT_MIN && v <= INT_MAX; };
    if (part.IsEmpty() || !inRange(placed.left + part.left) || !inRange(placed.top + part.top))
        return;
    const bool whole = part.Width() == width && part.Height() == height;
    const bool placeable = inRange(placed.left) && inRange(placed.top);
    if (placeable && (whole || stamp.WasDrawnAt(width, height, stamp.shadow))) {
        if (const auto picture = StampPicture::Whole(stamp, width, height))
            BlendImage(target, *picture, int(placed.left), int(placed.top), strength);
        return;
    }
    stamp.NoteDrawnAt(width, height, stamp.shadow);
    ImageBuffer picture;
    if (StampPicture::Part(stamp, width, height, part, picture))
        BlendImage(target, picture, int(placed.left + part.left), int(placed.top + part.top), strength);
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
    return WithShadow(object, layout->area);
}

LongRect ObjectRenderer::WithShadow(const AnnotationObject& object, const LongRect& drawn)
{
    const int64_t reach = object.shadow ? kShadowReach : 0;
    return { drawn.left - reach, drawn.top - reach, drawn.right + reach, drawn.bottom + reach };
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
        DrawStamp(*stamp, layout->area, placed, target, strength);
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
