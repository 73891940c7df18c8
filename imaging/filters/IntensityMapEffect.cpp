#include "imaging/filters/IntensityMapEffect.h"

#include "imaging/filters/FilterMath.h"

#include <utility>

bool IntensityMapEffect::CanApply(const ImageBuffer& image) const
{
    return !image.IsEmpty();
}

void IntensityMapEffect::Begin(ImageBuffer& image)
{
    const int originX = image.OriginX();
    const int originY = image.OriginY();
    source_ = std::move(image);
    if (source_.BitCount() <= 16)
        source_.ConvertTo(24);
    image.Create(source_.Width(), source_.Height(), 8);
    image.SetOrigin(originX, originY);
}

void IntensityMapEffect::ProcessPixel(ImageBuffer&, int x, int y, uint8_t* pixel)
{
    if (!source_.IsEmpty())
        *pixel = uint8_t(filtermath::Grey(source_.PixelAddress(x, y)));
}

void IntensityMapEffect::ProcessRow(ImageBuffer& image, int y)
{
    if (source_.IsEmpty() || image.BitCount() != 8) {
        PixelEffectImpl::ProcessRow(image, y);
        return;
    }
    GreyRow(source_.Row(y), source_.BitCount() / 8, image.Width(), image.Row(y));
}

void IntensityMapEffect::GreyRow(const uint8_t* pixels, int step, int width, uint8_t* greys)
{
    if (step == 4) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = pixels + size_t(x) * 4;
            greys[x] = uint8_t(uint16_t(p[2] * 30 + p[1] * 59 + p[0] * 11) / 100);
        }
    } else {
        for (int x = 0; x < width; ++x, pixels += 3)
            greys[x] = uint8_t(uint16_t(pixels[2] * 30 + pixels[1] * 59 + pixels[0] * 11) / 100);
    }
}
