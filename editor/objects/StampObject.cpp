#include "editor/objects/StampObject.h"

#include <atomic>
#include <utility>

namespace {

std::atomic<uint64_t> lastPictureId { 0 };

} // namespace

StampObject::StampObject()
    : RectObject(ObjectKind::Stamp)
{
}

void StampObject::SetImage(ImageBuffer image)
{
    image_ = std::move(image);
    Renew();
}

ImageBuffer& StampObject::EditImage()
{
    Renew();
    return image_;
}

void StampObject::Renew()
{
    pictureId_ = ++lastPictureId;
    kept_ = {};
}

std::shared_ptr<const ImageBuffer> StampObject::KeptPicture(int width, int height, bool withShadow) const
{
    return WasDrawnAt(width, height, withShadow) ? kept_.picture : nullptr;
}

bool StampObject::WasDrawnAt(int width, int height, bool withShadow) const
{
    return kept_.width == width && kept_.height == height && kept_.withShadow == withShadow;
}

void StampObject::KeepPicture(int width, int height, bool withShadow, std::shared_ptr<const ImageBuffer> picture) const
{
    kept_ = { width, height, withShadow, std::move(picture) };
}
