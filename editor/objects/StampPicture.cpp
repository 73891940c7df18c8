#include "editor/objects/StampPicture.h"

#include "editor/objects/ShadowEffect.h"
#include "editor/objects/StampObject.h"
#include "imaging/ImageBuffer.h"

namespace {

// The picture the resize reads: the resize only runs on 24 and 32 bpp; a paletted or 16-bit picture
// would otherwise be drawn at its own size instead of filling the stamp's rectangle. At 24 bpp it still
// gets no shadow.
const ImageBuffer& ResizeSource(const ImageBuffer& picture, ImageBuffer& converted)
{
    if (picture.BitCount() >= 24)
        return picture;
    converted = picture;
    converted.ConvertTo(24);
    return converted;
}

void FinishPicture(ImageBuffer& picture, bool shadow)
{
    if (shadow) {
        ShadowEffect effect;
        picture.ApplyEffect(effect);
    }
    picture.ConvertTo(32);
}

} // namespace

std::shared_ptr<const ImageBuffer> StampPicture::Whole(const StampObject& stamp, int width, int height)
{
    if (auto kept = stamp.KeptPicture(width, height, stamp.shadow))
        return kept;
    ImageBuffer converted;
    auto picture = std::make_shared<ImageBuffer>(ResizeSource(stamp.Image(), converted));
    picture->ResizeBilinear(width, height);
    if (picture->IsEmpty())
        return nullptr;
    FinishPicture(*picture, stamp.shadow);
    stamp.KeepPicture(width, height, stamp.shadow, picture);
    return picture;
}

bool StampPicture::Part(const StampObject& stamp, int width, int height, const LongRect& part, ImageBuffer& out)
{
    ImageBuffer converted;
    const ImageBuffer* source = &ResizeSource(stamp.Image(), converted);
    if (source->IsEmpty() || part.IsEmpty())
        return false;
    const ImageRect cut { int(part.left), int(part.top), int(part.right), int(part.bottom) };
    if (source->BitCount() < 24 || (width == source->Width() && height == source->Height())) {
        // The resize leaves such a picture as it is.
        if (!source->CopyRegion(&out, cut))
            return false;
    } else {
        // As the resize does, a picture one pixel wide or high is widened by a copy of its edge first.
        ImageBuffer widened;
        if (source->Width() == 1 || source->Height() == 1) {
            widened = *source;
            if (!widened.Expand(true, 0, 0, source->Width() == 1 ? 1 : 0, source->Height() == 1 ? 1 : 0))
                return false;
            source = &widened;
        }
        if (!source->ResizeBilinearPart(width, height, cut, out))
            return false;
    }
    FinishPicture(out, stamp.shadow);
    return !out.IsEmpty();
}
