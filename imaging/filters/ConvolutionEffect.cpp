#include "imaging/filters/ConvolutionEffect.h"

#include "imaging/ImageBuffer.h"
#include "imaging/RowPool.h"
#include "imaging/filters/FilterMath.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <numeric>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// A 16-bit sum may not exceed this many times 255.
constexpr int64_t kMaxWeight16 = 32767 / 255;

} // namespace

ConvolutionEffect::ConvolutionEffect(std::vector<int32_t> kernel, int size, int divisor, int offset)
    : kernel_(std::move(kernel))
    , size_(size)
    , divisor_(std::max(divisor, 1))
    , offset_(offset)
{
    FindSeparableFactors();
}

ConvolutionEffect ConvolutionEffect::Blur()
{
    return ConvolutionEffect({ 1, 2, 1, 2, 4, 2, 1, 2, 1 }, 3, 16, 0);
}

bool ConvolutionEffect::CanApply(const ImageBuffer& image) const
{
    return PixelEffect::CanApply(image) && size_ >= 1 && kernel_.size() == size_t(size_) * size_t(size_);
}

void ConvolutionEffect::FindSeparableFactors()
{
    separable_ = false;
    const int k = size_;
    if (k < 1 || kernel_.size() != size_t(k) * size_t(k))
        return;
    auto weight = [&](int i, int j) { return int64_t(kernel_[size_t(i) * size_t(k) + size_t(j)]); };

    int64_t total = 0;
    for (int32_t w : kernel_)
        total += std::abs(int64_t(w));
    if (total > kMaxWeight16)
        return;

    // Row factors: the first non-zero kernel row over the gcd of its weights; column factors follow.
    std::vector<int64_t> rows(size_t(k), 0), columns(size_t(k), 0);
    const auto first = std::find_if(kernel_.begin(), kernel_.end(), [](int32_t w) { return w != 0; });
    if (first != kernel_.end()) {
        const int i0 = int((first - kernel_.begin()) / k);
        const int j0 = int((first - kernel_.begin()) % k);
        int64_t divisor = 0;
        for (int j = 0; j < k; ++j)
            divisor = std::gcd(divisor, weight(i0, j));
        for (int j = 0; j < k; ++j)
            rows[size_t(j)] = weight(i0, j) / divisor;
        for (int i = 0; i < k; ++i) {
            if (weight(i, j0) % rows[size_t(j0)] != 0)
                return;
            columns[size_t(i)] = weight(i, j0) / rows[size_t(j0)];
        }
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < k; ++j)
                if (columns[size_t(i)] * rows[size_t(j)] != weight(i, j))
                    return;
    }
    int64_t rowTotal = 0;
    for (int64_t r : rows)
        rowTotal += std::abs(r);
    if (rowTotal > kMaxWeight16)
        return;

    columnFactors_.assign(columns.begin(), columns.end());
    rowFactors_.assign(rows.begin(), rows.end());
    separable_ = true;
    const bool neverNegative = std::all_of(kernel_.begin(), kernel_.end(), [](int32_t w) { return w >= 0; });
    shift_ = -1;
    if (neverNegative && std::has_single_bit(unsigned(divisor_)))
        shift_ = std::countr_zero(unsigned(divisor_));
}

void ConvolutionEffect::Begin(ImageBuffer& image)
{
    step_ = image.BitCount() / 8;
    rowBytes_ = size_t(image.Width()) * size_t(step_);
    Ring ring;
    ring.rows.Create(image, size_ / 2, size_);
    if (separable_) {
        ring.horizontal.assign(size_t(size_), std::vector<int16_t>(rowBytes_));
        ring.sums.assign(rowBytes_, 0);
        ring.results.assign(rowBytes_, 0);
    }
    rings_.assign(size_t(std::max(1, RowPool::Shared().Threads())), ring);
    boundaryRows_.Clear();
}

void ConvolutionEffect::End(ImageBuffer&)
{
    rings_.clear();
    boundaryRows_.Clear();
}

void ConvolutionEffect::BeginBlocks(const ImageBuffer& image, int blockRows)
{
    boundaryRows_.Keep(image, blockRows, size_ / 2);
}

void ConvolutionEffect::ProcessRows(ImageBuffer& image, int first, int end, int worker)
{
    if (rings_.empty())
        return;
    Ring& ring = rings_[size_t(worker) % rings_.size()];
    ring.rows.StartBlock(first, end);
    for (int y = first; y < end; ++y)
        ProcessRowWith(ring, image, y);
}

void ConvolutionEffect::LoadRows(Ring& ring, const ImageBuffer& image, int y) const
{
    ring.rows.Reach(image, boundaryRows_, y, size_, [&](int paddedRow) {
        if (separable_)
            FilterHorizontally(ring, paddedRow);
    });
}

void ConvolutionEffect::ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel)
{
    if (!rings_.empty())
        ProcessPixelWith(rings_.front(), image, x, y, pixel);
}

void ConvolutionEffect::ProcessPixelWith(Ring& ring, ImageBuffer& image, int x, int y, uint8_t* pixel) const
{
    if (x == 0)
        LoadRows(ring, image, y);
    const int k = size_;
    const size_t step = size_t(step_);
    int64_t sums[3] = { 0, 0, 0 };
    for (int i = 0; i < k; ++i) {
        const uint8_t* source = ring.rows.Row(y + i) + size_t(x) * step;
        for (int j = 0; j < k; ++j, source += step) {
            const int64_t w = kernel_[size_t(i) * size_t(k) + size_t(j)];
            for (int c = 0; c < 3; ++c)
                sums[c] += w * source[c];
        }
    }
    for (int c = 0; c < 3; ++c)
        pixel[c] = filtermath::ClampByte(sums[c] / divisor_ + offset_);
}

void ConvolutionEffect::ProcessRow(ImageBuffer& image, int y)
{
    if (!rings_.empty())
        ProcessRowWith(rings_.front(), image, y);
}

void ConvolutionEffect::ProcessRowWith(Ring& ring, ImageBuffer& image, int y) const
{
    const int bpp = image.BitCount();
    if (separable_ && bpp == 32) {
        ProcessRowSeparable<4>(ring, image, y);
    } else if (separable_ && bpp == 24) {
        ProcessRowSeparable<3>(ring, image, y);
    } else {
        uint8_t* pixel = image.Row(y);
        const size_t step = size_t(bpp / 8);
        for (int x = 0; x < image.Width(); ++x, pixel += step)
            ProcessPixelWith(ring, image, x, y, pixel);
    }
}

void ConvolutionEffect::FilterHorizontally(Ring& ring, int paddedRow) const
{
    int16_t* sums = ring.horizontal[size_t(paddedRow % size_)].data();
    const uint8_t* source = ring.rows.Row(paddedRow);
    const size_t bytes = rowBytes_;
    const size_t step = size_t(step_);
    if (size_ == 3) {
        const int16_t b0 = rowFactors_[0], b1 = rowFactors_[1], b2 = rowFactors_[2];
        const uint8_t* s1 = source + step;
        const uint8_t* s2 = source + 2 * step;
        for (size_t b = 0; b < bytes; ++b)
            sums[b] = int16_t(b0 * source[b] + b1 * s1[b] + b2 * s2[b]);
        return;
    }
    const int16_t first = rowFactors_[0];
    for (size_t b = 0; b < bytes; ++b)
        sums[b] = int16_t(first * source[b]);
    for (int j = 1; j < size_; ++j) {
        const int16_t w = rowFactors_[size_t(j)];
        const uint8_t* shifted = source + size_t(j) * step;
        for (size_t b = 0; b < bytes; ++b)
            sums[b] = int16_t(sums[b] + w * shifted[b]);
    }
}

namespace {

// sum / divisor + offset, clamped, for every byte; shift >= 0 stands for a power-of-two divisor of sums
// that are never negative.
void StoreResults(const int16_t* sums, uint8_t* results, size_t bytes, int shift, int divisor, int offset)
{
    // |sum| < 2^15, so an offset beyond 2^20 gives the same clamped result as 2^20.
    offset = std::clamp(offset, -(1 << 20), 1 << 20);
    if (shift >= 0) {
        for (size_t b = 0; b < bytes; ++b) {
            const int value = (sums[b] >> shift) + offset;
            results[b] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    } else {
        for (size_t b = 0; b < bytes; ++b) {
            const int value = sums[b] / divisor + offset;
            results[b] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    }
}

#if defined(__SSE2__)
// The three-row vertical pass, the shift, the offset, the clamp and (at 32 bpp) keeping alpha, 16 bytes at
// a time in one pass: the same 16-bit sums as the plain loops, and saturation where they clamp. Returns
// the number of bytes done.
template <int Step>
size_t CombineThreeRows(
    const int16_t* const h[3], const int16_t a[3], int shift, int offset, uint8_t* row, size_t bytes)
{
    const __m128i a0 = _mm_set1_epi16(a[0]), a1 = _mm_set1_epi16(a[1]), a2 = _mm_set1_epi16(a[2]);
    const __m128i count = _mm_cvtsi32_si128(shift);
    // Past the 16-bit range the clamped result is the same.
    const __m128i add = _mm_set1_epi16(int16_t(std::clamp(offset, -32768, 32767)));
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    auto sums = [&](size_t b) {
        const __m128i s = _mm_add_epi16(
            _mm_add_epi16(_mm_mullo_epi16(a0, _mm_loadu_si128(reinterpret_cast<const __m128i*>(h[0] + b))),
                _mm_mullo_epi16(a1, _mm_loadu_si128(reinterpret_cast<const __m128i*>(h[1] + b)))),
            _mm_mullo_epi16(a2, _mm_loadu_si128(reinterpret_cast<const __m128i*>(h[2] + b))));
        return _mm_adds_epi16(_mm_srl_epi16(s, count), add);
    };
    size_t b = 0;
    for (; b + 16 <= bytes; b += 16) {
        __m128i result = _mm_packus_epi16(sums(b), sums(b + 8));
        auto* out = reinterpret_cast<__m128i*>(row + b);
        if (Step == 4)
            result = _mm_or_si128(_mm_and_si128(result, colour), _mm_andnot_si128(colour, _mm_loadu_si128(out)));
        _mm_storeu_si128(out, result);
    }
    return b;
}
#endif

} // namespace

template <int Step> void ConvolutionEffect::ProcessRowSeparable(Ring& ring, ImageBuffer& image, int y) const
{
    LoadRows(ring, image, y);
#if defined(__SSE2__)
    if (size_ == 3 && shift_ >= 0) {
        const int16_t* h[3] = { ring.horizontal[size_t(y % 3)].data(), ring.horizontal[size_t((y + 1) % 3)].data(),
            ring.horizontal[size_t((y + 2) % 3)].data() };
        const size_t bytes = size_t(image.Width()) * Step;
        uint8_t* row = image.Row(y);
        const int offset = std::clamp(offset_, -(1 << 20), 1 << 20);
        const size_t done = CombineThreeRows<Step>(h, columnFactors_.data(), shift_, offset, row, bytes);
        // The last bytes, short of 16.
        for (size_t b = done; b < bytes; ++b) {
            if (Step == 4 && b % 4 == 3)
                continue;
            const int sum
                = int16_t(columnFactors_[0] * h[0][b] + columnFactors_[1] * h[1][b] + columnFactors_[2] * h[2][b]);
            const int value = (sum >> shift_) + offset;
            row[b] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
        }
        return;
    }
#endif
    uint8_t* row = image.Row(y);
    const int width = image.Width();
    const int k = size_;
    const size_t bytes = size_t(width) * Step;
    int16_t* sums = ring.sums.data();
    const int16_t* top = ring.horizontal[size_t(y % k)].data();
    const int16_t a0 = columnFactors_[0];
    if (k == 3) {
        const int16_t* middle = ring.horizontal[size_t((y + 1) % k)].data();
        const int16_t* bottom = ring.horizontal[size_t((y + 2) % k)].data();
        const int16_t a1 = columnFactors_[1], a2 = columnFactors_[2];
        for (size_t b = 0; b < bytes; ++b)
            sums[b] = int16_t(a0 * top[b] + a1 * middle[b] + a2 * bottom[b]);
    } else {
        for (size_t b = 0; b < bytes; ++b)
            sums[b] = int16_t(a0 * top[b]);
        for (int i = 1; i < k; ++i) {
            const int16_t a = columnFactors_[size_t(i)];
            const int16_t* h = ring.horizontal[size_t((y + i) % k)].data();
            for (size_t b = 0; b < bytes; ++b)
                sums[b] = int16_t(sums[b] + a * h[b]);
        }
    }
    uint8_t* results = ring.results.data();
    StoreResults(sums, results, bytes, shift_, divisor_, offset_);
    if constexpr (Step == 4) {
        // Keep each pixel's alpha.
        for (int x = 0; x < width; ++x) {
            uint32_t pixel, result;
            std::memcpy(&pixel, row + size_t(x) * 4, 4);
            std::memcpy(&result, results + size_t(x) * 4, 4);
            pixel = (pixel & 0xFF000000u) | (result & 0x00FFFFFFu);
            std::memcpy(row + size_t(x) * 4, &pixel, 4);
        }
    } else {
        std::memcpy(row, results, bytes);
    }
}
