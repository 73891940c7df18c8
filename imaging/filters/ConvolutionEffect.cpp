#include "ConvolutionEffect.h"

#include "EdgePadding.h"
#include "FilterMath.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <numeric>

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
    padded_ = PadWithEdges(image, size_ / 2);
    nextHorizontal_ = 0;
    if (separable_) {
        const size_t bytes = size_t(image.Width()) * size_t(image.BitCount() / 8);
        horizontal_.assign(size_t(size_), std::vector<int16_t>(bytes));
        sums_.assign(bytes, 0);
        results_.assign(bytes, 0);
    }
}

void ConvolutionEffect::End(ImageBuffer&)
{
    padded_.Destroy();
    horizontal_.clear();
}

void ConvolutionEffect::ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel)
{
    if (padded_.IsEmpty())
        return;
    const int k = size_;
    const size_t step = size_t(image.BitCount() / 8);
    int64_t sums[3] = { 0, 0, 0 };
    for (int i = 0; i < k; ++i) {
        const uint8_t* source = padded_.Row(y + i) + size_t(x) * step;
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
    const int bpp = image.BitCount();
    if (separable_ && !padded_.IsEmpty() && bpp == 32)
        ProcessRowSeparable<4>(image.Row(y), image.Width(), y);
    else if (separable_ && !padded_.IsEmpty() && bpp == 24)
        ProcessRowSeparable<3>(image.Row(y), image.Width(), y);
    else
        PixelEffectImpl::ProcessRow(image, y);
}

const int16_t* ConvolutionEffect::HorizontalRow(int paddedRow, size_t bytes, int step)
{
    int16_t* sums = horizontal_[size_t(paddedRow % size_)].data();
    const uint8_t* source = padded_.Row(paddedRow);
    const int16_t first = rowFactors_[0];
    for (size_t b = 0; b < bytes; ++b)
        sums[b] = int16_t(first * source[b]);
    for (int j = 1; j < size_; ++j) {
        const int16_t w = rowFactors_[size_t(j)];
        const uint8_t* shifted = source + size_t(j) * size_t(step);
        for (size_t b = 0; b < bytes; ++b)
            sums[b] = int16_t(sums[b] + w * shifted[b]);
    }
    return sums;
}

template <int Step> void ConvolutionEffect::ProcessRowSeparable(uint8_t* row, int width, int y)
{
    const int k = size_;
    const size_t bytes = size_t(width) * Step;
    // Padded rows y .. y + k - 1; each is filtered horizontally once, when first needed.
    if (y < nextHorizontal_ - k || y > nextHorizontal_)
        nextHorizontal_ = y;
    for (; nextHorizontal_ < y + k; ++nextHorizontal_)
        HorizontalRow(nextHorizontal_, bytes, Step);

    int16_t* sums = sums_.data();
    const int16_t* top = horizontal_[size_t(y % k)].data();
    const int16_t a0 = columnFactors_[0];
    for (size_t b = 0; b < bytes; ++b)
        sums[b] = int16_t(a0 * top[b]);
    for (int i = 1; i < k; ++i) {
        const int16_t a = columnFactors_[size_t(i)];
        const int16_t* h = horizontal_[size_t((y + i) % k)].data();
        for (size_t b = 0; b < bytes; ++b)
            sums[b] = int16_t(sums[b] + a * h[b]);
    }

    // |sum| < 2^15, so an offset beyond 2^20 gives the same clamped result as 2^20.
    const int offset = std::clamp(offset_, -(1 << 20), 1 << 20);
    uint8_t* results = results_.data();
    if (shift_ >= 0) {
        const int shift = shift_;
        for (size_t b = 0; b < bytes; ++b) {
            const int value = (sums[b] >> shift) + offset;
            results[b] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    } else {
        const int divisor = divisor_;
        for (size_t b = 0; b < bytes; ++b) {
            const int value = sums[b] / divisor + offset;
            results[b] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    }
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
