#include "BoxBlurEffect.h"

#include "ImageBuffer.h"
#include "ProgressSink.h"

#include <algorithm>
#include <cstring>

BoxBlurEffect::BoxBlurEffect(int radius, int passes)
    : radius_(std::clamp(radius, 1, kMaxRadius))
    , passes_(std::max(passes, 1))
{
    const uint64_t window = 2 * uint64_t(radius_) + 1;
    reciprocal_ = ((uint64_t(1) << 32) + window - 1) / window;
}

bool BoxBlurEffect::CanApply(const ImageBuffer& image) const
{
    return !image.IsEmpty() && (image.BitCount() == 32 || image.BitCount() == 24);
}

void BoxBlurEffect::ProcessImage(ImageBuffer& image, ProgressSink* progress)
{
    BlurRect(image, { 0, 0, image.Width(), image.Height() });
    if (progress)
        progress->SetPosition(100);
}

void BoxBlurEffect::BlurRect(ImageBuffer& image, const ImageRect& rect)
{
    if (!CanApply(image))
        return;
    const ImageRect area { std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, image.Width()),
        std::min(rect.bottom, image.Height()) };
    if (area.IsEmpty())
        return;
    const int step = image.BitCount() / 8;
    std::vector<uint8_t*> rows(size_t(area.Height()));
    for (int y = 0; y < area.Height(); ++y)
        rows[size_t(y)] = image.Row(area.top + y) + size_t(area.left) * size_t(step);
    for (int pass = 0; pass < passes_; ++pass) {
        for (uint8_t* row : rows)
            BlurRows(row, area.Width(), step);
        BlurColumns(rows.data(), area.Height(), size_t(area.Width()) * size_t(step));
    }
}

void BoxBlurEffect::BlurRows(uint8_t* row, int width, int step)
{
    // The row with `radius` copies of its end pixels on either side, so every window is inside it.
    const size_t r = size_t(radius_);
    const size_t s = size_t(step);
    const size_t bytes = size_t(width) * s;
    padded_.resize(bytes + 2 * r * s);
    uint8_t* pad = padded_.data();
    for (size_t i = 0; i < r; ++i) {
        std::memcpy(pad + i * s, row, s);
        std::memcpy(pad + (r + i) * s + bytes, row + bytes - s, s);
    }
    std::memcpy(pad + r * s, row, bytes);
    const uint64_t reciprocal = reciprocal_;
    for (size_t c = 0; c < s; ++c) {
        uint32_t sum = 0;
        for (size_t j = 0; j < 2 * r; ++j)
            sum += pad[j * s + c];
        const uint8_t* enter = pad + 2 * r * s + c;
        const uint8_t* leave = pad + c;
        uint8_t* out = row + c;
        for (int x = 0; x < width; ++x, enter += s, leave += s, out += s) {
            sum += *enter;
            *out = uint8_t((sum * reciprocal) >> 32);
            sum -= *leave;
        }
    }
}

void BoxBlurEffect::BlurColumns(uint8_t* const* rows, int height, size_t bytes)
{
    // In place, top to bottom: each row is kept in a ring before it is overwritten, as the window still
    // needs it for up to `radius` rows further down.
    const int r = radius_;
    ring_.resize(size_t(r) + 1);
    for (auto& saved : ring_)
        saved.resize(bytes);
    sums_.assign(bytes, 0);
    uint32_t* sums = sums_.data();
    int y = 0;
    // Row i as it was before this pass; rows up to y are overwritten already.
    auto input = [&](int i) -> const uint8_t* {
        i = std::clamp(i, 0, height - 1);
        return i <= y ? ring_[size_t(i) % ring_.size()].data() : rows[i];
    };
    y = -1;
    for (int i = -r; i <= r; ++i) {
        const uint8_t* in = input(i);
        for (size_t b = 0; b < bytes; ++b)
            sums[b] += in[b];
    }
    const uint64_t reciprocal = reciprocal_;
    for (y = 0; y < height; ++y) {
        std::memcpy(ring_[size_t(y) % ring_.size()].data(), rows[y], bytes);
        uint8_t* out = rows[y];
        for (size_t b = 0; b < bytes; ++b)
            out[b] = uint8_t((sums[b] * reciprocal) >> 32);
        const uint8_t* enter = input(y + r + 1);
        const uint8_t* leave = input(y - r);
        for (size_t b = 0; b < bytes; ++b)
            sums[b] += uint32_t(enter[b]) - leave[b];
    }
}
