#include "editor/objects/StampPicture.h"

#include "editor/objects/ShadowEffect.h"
#include "editor/objects/StampObject.h"
#include "imaging/ImageBuffer.h"

#include <cstring>
#include <vector>

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

// Rows and columns of part of the bilinear resize, with the resize's own arithmetic.
void ResizePart(const ImageBuffer& source, int width, int height, const LongRect& part, ImageBuffer& out)
{
    const int64_t oldW = source.Width();
    const int64_t oldH = source.Height();
    const int bytes = source.BitCount() / 8;
    struct Column {
        size_t offset;
        bool whole;
        double fx;
    };
    std::vector<Column> columns;
    columns.reserve(size_t(part.Width()));
    for (int64_t i = part.left; i < part.right; ++i) {
        int64_t sx = i * oldW / width;
        int64_t rx = i * oldW % width;
        if (sx >= oldW - 1) {
            sx = oldW - 2;
            rx = width - 1;
        }
        columns.push_back({ size_t(sx) * bytes, rx == 0, double(rx) / width });
    }
    for (int64_t j = part.top; j < part.bottom; ++j) {
        int64_t sy = j * oldH / height;
        int64_t ry = j * oldH % height;
        if (sy >= oldH - 1) {
            sy = oldH - 2;
            ry = height - 1;
        }
        const uint8_t* top = source.Row(int(sy));
        const uint8_t* bottom = source.Row(int(sy + 1));
        const double fy = double(ry) / double(height);
        uint8_t* pixel = out.Row(int(j - part.top));
        for (const Column& c : columns) {
            const uint8_t* p00 = top + c.offset;
            if (c.whole && ry == 0) {
                std::memcpy(pixel, p00, size_t(bytes));
            } else {
                const uint32_t v = ImageBuffer::BilinearSample(
                    c.fx, fy, bytes == 4, p00, p00 + bytes, bottom + c.offset, bottom + c.offset + bytes);
                std::memcpy(pixel, &v, size_t(bytes));
            }
            pixel += bytes;
        }
    }
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
        if (!out.Create(int(part.Width()), int(part.Height()), source->BitCount()))
            return false;
        ResizePart(*source, width, height, part, out);
    }
    FinishPicture(out, stamp.shadow);
    return !out.IsEmpty();
}
