#include "imaging/filters/BoxBlurEffect.h"

#include "imaging/ImageBuffer.h"
#include "imaging/ProgressSink.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Sums are kept in 16 bits: a window's true sum fits, so differences and running updates that wrap
// around still give it exactly, and this multiply of two 16-bit values maps to one vector instruction.
inline uint16_t HighHalf(uint16_t sum, uint16_t multiplier)
{
    return uint16_t((uint32_t(sum) * uint32_t(multiplier)) >> 16);
}

// out[i] = the average of the window whose sum is later[i] - earlier[i].
void AverageDifferences(const uint16_t* later, const uint16_t* earlier, uint16_t m, uint8_t* out, size_t count)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i multiplier = _mm_set1_epi16(int16_t(m));
    for (; i + 8 <= count; i += 8) {
        const __m128i sums = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(later + i)),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(earlier + i)));
        const __m128i averages = _mm_mulhi_epu16(sums, multiplier);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(averages, averages));
    }
#endif
    for (; i < count; ++i)
        out[i] = uint8_t(HighHalf(uint16_t(later[i] - earlier[i]), m));
}

// out[i] = the average of sums[i], then the window slides: enter[i] comes in, leave[i] goes out.
void AverageAndSlide(uint16_t* sums, const uint8_t* enter, const uint8_t* leave, uint16_t m, uint8_t* out, size_t count)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i multiplier = _mm_set1_epi16(int16_t(m));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= count; i += 8) {
        auto* at = reinterpret_cast<__m128i*>(sums + i);
        const __m128i current = _mm_loadu_si128(at);
        const __m128i averages = _mm_mulhi_epu16(current, multiplier);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(averages, averages));
        const __m128i in = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(enter + i)), zero);
        const __m128i gone = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(leave + i)), zero);
        _mm_storeu_si128(at, _mm_add_epi16(_mm_sub_epi16(current, gone), in));
    }
#endif
    for (; i < count; ++i) {
        out[i] = uint8_t(HighHalf(sums[i], m));
        sums[i] = uint16_t(sums[i] + enter[i] - leave[i]);
    }
}

#if defined(__SSE2__)
// A row of 32-bit pixels, all four bytes of a pixel at once: the window's sums in four 16-bit lanes,
// slid one pixel at a time. padded holds the row with the window's reach on either side.
void SlidePixels(const uint8_t* padded, size_t windowPixels, uint16_t m, uint8_t* row, int width)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i multiplier = _mm_set1_epi16(int16_t(m));
    auto load = [&](const uint8_t* pixel) {
        int32_t value;
        std::memcpy(&value, pixel, 4);
        return _mm_unpacklo_epi8(_mm_cvtsi32_si128(value), zero);
    };
    __m128i sums = zero;
    for (size_t j = 0; j + 1 < windowPixels; ++j)
        sums = _mm_add_epi16(sums, load(padded + j * 4));
    const uint8_t* enter = padded + (windowPixels - 1) * 4;
    const uint8_t* leave = padded;
    for (int x = 0; x < width; ++x, enter += 4, leave += 4, row += 4) {
        sums = _mm_add_epi16(sums, load(enter));
        const __m128i averages = _mm_mulhi_epu16(sums, multiplier);
        const int32_t value = _mm_cvtsi128_si32(_mm_packus_epi16(averages, averages));
        std::memcpy(row, &value, 4);
        sums = _mm_sub_epi16(sums, load(leave));
    }
}
#endif

} // namespace

BoxBlurEffect::BoxBlurEffect(int radius, int passes)
    : radius_(std::clamp(radius, 1, kMaxRadius))
    , passes_(std::max(passes, 1))
{
    const uint32_t window = 2 * uint32_t(radius_) + 1;
    multiplier_ = (65536 + window - 1) / window;
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
    const ImageRect area = image.Clip(rect);
    if (area.IsEmpty())
        return;
    const size_t step = size_t(image.BitCount() / 8);
    const size_t bytes = size_t(area.Width()) * step;
    std::vector<uint8_t*> rows(size_t(area.Height()));
    for (int y = 0; y < area.Height(); ++y)
        rows[size_t(y)] = image.Row(area.top + y) + size_t(area.left) * step;
    for (int pass = 0; pass < passes_; ++pass) {
        for (uint8_t* row : rows)
            BlurRow(row, bytes, step);
        BlurColumns(rows.data(), area.Height(), bytes);
    }
}

void BoxBlurEffect::BlurRow(uint8_t* row, size_t bytes, size_t step)
{
    // The row with `radius` copies of its end pixels on either side, so every window is inside it, then
    // its prefix sums per channel: a window's sum is the difference of two of them.
    const size_t margin = size_t(radius_) * step;
    const size_t paddedBytes = bytes + 2 * margin;
    padded_.resize(paddedBytes);
    uint8_t* pad = padded_.data();
    for (size_t i = 0; i < margin; i += step) {
        std::memcpy(pad + i, row, step);
        std::memcpy(pad + margin + bytes + i, row + bytes - step, step);
    }
    std::memcpy(pad + margin, row, bytes);
#if defined(__SSE2__)
    if (step == 4) {
        SlidePixels(pad, 2 * size_t(radius_) + 1, uint16_t(multiplier_), row, int(bytes / 4));
        return;
    }
#endif
    prefix_.resize(paddedBytes + step);
    uint16_t* prefix = prefix_.data();
    std::fill(prefix, prefix + step, uint16_t(0));
    for (size_t i = 0; i < paddedBytes; ++i)
        prefix[i + step] = uint16_t(prefix[i] + pad[i]);
    const size_t window = 2 * margin + step;
    AverageDifferences(prefix + window, prefix, uint16_t(multiplier_), row, bytes);
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
    uint16_t* sums = sums_.data();
    int y = -1;
    // Row i as it was before this pass; rows up to y are overwritten already.
    auto input = [&](int i) -> const uint8_t* {
        i = std::clamp(i, 0, height - 1);
        return i <= y ? ring_[size_t(i) % ring_.size()].data() : rows[i];
    };
    for (int i = -r; i <= r; ++i) {
        const uint8_t* in = input(i);
        for (size_t b = 0; b < bytes; ++b)
            sums[b] = uint16_t(sums[b] + in[b]);
    }
    for (y = 0; y < height; ++y) {
        std::memcpy(ring_[size_t(y) % ring_.size()].data(), rows[y], bytes);
        // Both come from rows not yet overwritten or from the ring, never from row y itself.
        const uint8_t* enter = input(y + r + 1);
        const uint8_t* leave = input(y - r);
        AverageAndSlide(sums, enter, leave, uint16_t(multiplier_), rows[y], bytes);
    }
}
