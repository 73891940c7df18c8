#include "SplashEffect.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

SplashEffect::SplashEffect(int size)
    : SplashEffect(size, RandSequence::SeedFromClock())
{
}

SplashEffect::SplashEffect(int size, unsigned seed)
    : size_(std::max(size, 3))
    , random_(seed)
{
}

void SplashEffect::Begin(ImageBuffer& image)
{
    TakeSourceSnapshot(image);
    offsets_.resize(RandSequence::kShortMax + 1);
    for (int r = 0; r <= RandSequence::kShortMax; ++r)
        offsets_[size_t(r)] = r % size_ - size_ / 2;
    draws_.resize(size_t(image.Width()) * 2);
}

void SplashEffect::End(ImageBuffer&)
{
    ReleaseSourceSnapshot();
}

void SplashEffect::ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel)
{
    const ImageBuffer* source = SourceSnapshot();
    if (!source || source->IsEmpty())
        return;
    const int64_t sx = int64_t(x) + random_.NextShort() % size_ - size_ / 2;
    const int64_t sy = int64_t(y) + random_.NextShort() % size_ - size_ / 2;
    const int cx = int(std::clamp<int64_t>(sx, 0, image.Width() - 1));
    const int cy = int(std::clamp<int64_t>(sy, 0, image.Height() - 1));
    std::memcpy(pixel, source->PixelAddress(cx, cy), size_t(image.BitCount() / 8));
}

void SplashEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    const ImageBuffer* source = SourceSnapshot();
    if (source && !source->IsEmpty() && bpp == 32)
        ProcessRowOf<4>(image.Row(y), image.Width(), image.Height(), y);
    else if (source && !source->IsEmpty() && bpp == 24)
        ProcessRowOf<3>(image.Row(y), image.Width(), image.Height(), y);
    else
        PixelEffectImpl::ProcessRow(image, y);
}

template <int Step> void SplashEffect::ProcessRowOf(uint8_t* row, int width, int height, int y)
{
    const ImageBuffer& source = *SourceSnapshot();
    random_.FillShort(draws_.data(), size_t(width) * 2);
    const uint16_t* draw = draws_.data();
    const int32_t* offsets = offsets_.data();
    const int64_t lastX = width - 1;
    const int64_t lastY = height - 1;
    for (int x = 0; x < width; ++x, row += Step, draw += 2) {
        const int64_t sx = std::clamp<int64_t>(int64_t(x) + offsets[draw[0]], 0, lastX);
        const int64_t sy = std::clamp<int64_t>(int64_t(y) + offsets[draw[1]], 0, lastY);
        std::memcpy(row, source.Row(int(sy)) + sx * Step, Step);
    }
}
