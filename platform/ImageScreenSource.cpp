#include "platform/ImageScreenSource.h"

#include <algorithm>
#include <cstring>

ImageScreenSource::ImageScreenSource(ImageBuffer image, int bitsPerPixel)
    : image_(std::move(image))
    , bitsPerPixel_(bitsPerPixel)
{
}

bool ImageScreenSource::ReadPixels(const ImageRect& rect, ImageBuffer& image)
{
    ++reads_;
    if (image_.IsEmpty() || image.BitCount() != 24)
        return false;
    ImageBuffer source24;
    const ImageBuffer* source = &image_;
    if (image_.BitCount() != 24) {
        source24.CopyFrom(image_);
        source24.ConvertTo(24);
        source = &source24;
    }
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, source->Width());
    const int top = std::max(rect.top, 0);
    const int bottom = std::min(rect.bottom, source->Height());
    if (right <= left)
        return true;
    for (int y = top; y < bottom; ++y)
        std::memcpy(
            image.Row(y - rect.top) + (left - rect.left) * 3, source->Row(y) + left * 3, size_t(right - left) * 3);
    return true;
}
