#include "imaging/PixelEffect.h"

bool PixelEffect::CanApply(const ImageBuffer& image) const
{
    return !image.IsEmpty() && image.BitCount() >= 24;
}

bool PixelEffect::TakeSourceSnapshot(const ImageBuffer& image)
{
    auto copy = std::make_unique<ImageBuffer>(image);
    const bool ok = copy->IsEmpty() == image.IsEmpty();
    sourceSnapshot_ = std::move(copy);
    return ok;
}
