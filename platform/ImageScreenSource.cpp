#include "platform/ImageScreenSource.h"

#include <algorithm>
#include <cstring>

ImageScreenSource::ImageScreenSource(ImageBuffer image, int bitsPerPixel)
    : image_(std::move(image))
    , bitsPerPixel_(bitsPerPixel)
{
}

void ImageScreenSource::SetImage(ImageBuffer image)
{
    image_ = std::move(image);
    picture_ = QImage();
}

void ImageScreenSource::SetPicture(QImage picture)
{
    picture_ = picture.format() == QImage::Format_RGB32 ? std::move(picture) : QImage();
    image_.Destroy();
}

bool ImageScreenSource::ReadPixels(const ImageRect& rect, ImageBuffer& image)
{
    ++reads_;
    if (image.BitCount() != 24)
        return false;
    if (!picture_.isNull())
        return ReadFromPicture(rect, image);
    if (image_.IsEmpty())
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

bool ImageScreenSource::ReadFromPicture(const ImageRect& rect, ImageBuffer& image) const
{
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, picture_.width());
    const int top = std::max(rect.top, 0);
    const int bottom = std::min(rect.bottom, picture_.height());
    for (int y = top; y < bottom && left < right; ++y) {
        const uint8_t* from = picture_.constScanLine(y) + size_t(left) * 4;
        uint8_t* to = image.Row(y - rect.top) + (left - rect.left) * 3;
        // Blue, green and red of each word; its padding byte is dropped.
        for (int x = left; x < right; ++x, from += 4, to += 3)
            std::memcpy(to, from, 3);
    }
    return true;
}

QImage ImageScreenSource::ReadPicture(const ImageRect& rect)
{
    // The whole picture is handed out as it is: the overlay paints from it without a copy.
    if (!picture_.isNull() && rect == DesktopRect())
        return picture_;
    return ScreenSource::ReadPicture(rect);
}
