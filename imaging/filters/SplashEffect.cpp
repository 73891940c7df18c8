#include "imaging/filters/SplashEffect.h"

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
    draws_.resize(size_t(image.Width()) * kDrawsPerPixel);
    start_ = random_;
}

void SplashEffect::End(ImageBuffer& image)
{
    ReleaseSourceSnapshot();
    random_ = start_;
    random_.Discard(uint64_t(image.Width()) * uint64_t(image.Height()) * kDrawsPerPixel);
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
        ProcessRowOf<4>(image.Row(y), image.Width(), image.Height(), y, random_, draws_.data());
    else if (source && !source->IsEmpty() && bpp == 24)
        ProcessRowOf<3>(image.Row(y), image.Width(), image.Height(), y, random_, draws_.data());
    else
        PixelEffectImpl::ProcessRow(image, y);
}

void SplashEffect::ProcessRows(ImageBuffer& image, int first, int end, int)
{
    const ImageBuffer* source = SourceSnapshot();
    if (!source || source->IsEmpty())
        return;
    RandSequence random = start_;
    random.Discard(uint64_t(first) * uint64_t(image.Width()) * kDrawsPerPixel);
    std::vector<uint16_t> draws(size_t(image.Width()) * kDrawsPerPixel);
    for (int y = first; y < end; ++y)
        WithPixelSize(image.BitCount(), [&](auto size) {
            ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), image.Height(), y, random, draws.data());
        });
}

template <int Step>
void SplashEffect::ProcessRowOf(uint8_t* row, int width, int height, int y, RandSequence& random, uint16_t* draws) const
{
    const ImageBuffer& source = *SourceSnapshot();
    random.FillShort(draws, size_t(width) * kDrawsPerPixel);
    const uint16_t* draw = draws;
    const int32_t* offsets = offsets_.data();
    const int64_t lastX = width - 1;
    const int64_t lastY = height - 1;
    for (int x = 0; x < width; ++x, row += Step, draw += 2) {
        const int64_t sx = std::clamp<int64_t>(int64_t(x) + offsets[draw[0]], 0, lastX);
        const int64_t sy = std::clamp<int64_t>(int64_t(y) + offsets[draw[1]], 0, lastY);
        std::memcpy(row, source.Row(int(sy)) + sx * Step, Step);
    }
}
