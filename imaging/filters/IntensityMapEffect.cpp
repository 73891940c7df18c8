#include "IntensityMapEffect.h"

#include "FilterMath.h"

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
    const int width = image.Width();
    const int step = source_.BitCount() / 8;
    const uint8_t* from = source_.Row(y);
    uint8_t* to = image.Row(y);
    if (step == 4) {
        for (int x = 0; x < width; ++x, from += 4)
            to[x] = uint8_t((from[2] * 30u + from[1] * 59u + from[0] * 11u) / 100u);
    } else {
        for (int x = 0; x < width; ++x, from += 3)
            to[x] = uint8_t((from[2] * 30u + from[1] * 59u + from[0] * 11u) / 100u);
    }
}
