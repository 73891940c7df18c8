#include "imaging/filters/IntensityMapEffect.h"

#include "imaging/filters/FilterMath.h"

#include <cstring>
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
        for (int x = 0; x < width; ++x) {
            uint32_t p;
            std::memcpy(&p, from + size_t(x) * 4, 4);
            const auto sum = uint16_t(((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11);
            to[x] = uint8_t(sum / 100);
        }
    } else {
        for (int x = 0; x < width; ++x, from += 3)
            to[x] = uint8_t(uint16_t(from[2] * 30 + from[1] * 59 + from[0] * 11) / 100);
    }
}
