#include "editor/objects/ShadowEffect.h"

#include "editor/objects/ExactDivider.h"
#include "editor/objects/RowBlender.h"
#include "imaging/BitmapTypes.h"
#include "imaging/ImageBuffer.h"
#include "imaging/ProgressSink.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Shadow pixels are written as one word: blue, green, red, alpha in memory order.
static_assert(std::endian::native == std::endian::little);

ImageRect Union(const ImageRect& a, const ImageRect& b)
{
    return { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom) };
}

// The box blur of the shadow plane. Every shadow pixel has the shadow colour (or is fully transparent),
// so the alpha-weighted colour average of any window is exactly that colour whenever the window holds
// any alpha, and 0 otherwise: only the alpha sums need to be kept. They are running sums: one per
// column over the window's rows, slid down a row at a time, then one along the row, slid right. Each row
// is only worked on between its first and last shadow pixel, as drawn objects are mostly empty.
class AlphaBoxBlur {
public:
    struct Span {
        int first = 0; // inclusive
        int last = 0; // exclusive
    };

    AlphaBoxBlur(const ImageBuffer& content, int contentX, int contentY, int size, int opacity)
        : content_(content)
        , contentX_(contentX)
        , contentY_(contentY)
        , size_(size)
        , before_(size / 2)
    {
        for (int alpha = 0; alpha < 256; ++alpha)
            shadowAlpha_[alpha] = uint32_t(alpha * opacity / 100);
        FindSpans();
    }

    // Writes the blurred shadow into image (zero-filled, 32 bpp). colour is blue | green << 8 | red << 16.
    void Run(ImageBuffer& image, uint32_t colour, ProgressSink* progress)
    {
        const int height = image.Height();
        // Column sums padded so that every window along a row stays inside the array.
        std::vector<uint32_t> padded(size_t(image.Width()) + size_t(size_), 0);
        const uint32_t area = uint32_t(size_) * uint32_t(size_);
        const bool fast = area <= ExactDivider::kMaxDivisor && uint64_t(area) * 255 <= ExactDivider::kMaxNumerator;
        const ExactDivider divider(fast ? area : 1);

        for (int row = -before_; row < size_ - 1 - before_; ++row)
            AddRow(padded.data(), row, +1);
        outputSpans_.assign(size_t(height), Span {});
        for (int y = 0; y < height; ++y) {
            AddRow(padded.data(), y - before_ + size_ - 1, +1);
            const Span span = WindowSpan(y, image.Width());
            outputSpans_[size_t(y)] = span;
            if (span.first < span.last) {
                uint32_t* out = reinterpret_cast<uint32_t*>(image.Row(y));
                if (fast)
                    WriteRow(out, padded.data(), span, colour, [&](uint32_t n) { return divider.Divide(n); });
                else
                    WriteRow(out, padded.data(), span, colour, [&](uint32_t n) { return n / area; });
            }
            AddRow(padded.data(), y - before_, -1);
            if (progress)
                progress->SetPosition(int(100 * int64_t(y + 1) / height));
        }
    }

    // Where each content row has any alpha.
    Span ContentSpan(int row) const { return spans_[size_t(row)]; }
    // Where each output row has any shadow (after Run).
    Span OutputSpan(int y) const { return outputSpans_[size_t(y)]; }

private:
    // The columns of each content row whose alpha is not 0.
    void FindSpans()
    {
        spans_.resize(size_t(content_.Height()));
        const int width = content_.Width();
        for (int row = 0; row < content_.Height(); ++row) {
            const uint8_t* alpha = content_.Row(row) + 3;
            int first = 0;
            while (first < width && alpha[first * 4] == 0)
                ++first;
            int last = width;
            while (last > first && alpha[(last - 1) * 4] == 0)
                --last;
            spans_[size_t(row)] = { first, last };
        }
    }

    // Adds (sign +1) or removes (-1) one row of the shadow plane to or from the column sums.
    void AddRow(uint32_t* padded, int row, int sign)
    {
        const int contentRow = row - contentY_;
        if (contentRow < 0 || contentRow >= content_.Height())
            return;
        const Span span = spans_[size_t(contentRow)];
        const uint8_t* alpha = content_.Row(contentRow) + 3;
        uint32_t* column = padded + before_ + contentX_;
        if (sign > 0) {
            for (int x = span.first; x < span.last; ++x)
                column[x] += shadowAlpha_[alpha[x * 4]];
        } else {
            for (int x = span.first; x < span.last; ++x)
                column[x] -= shadowAlpha_[alpha[x * 4]];
        }
    }

    // The output pixels of row y whose window holds any shadow: the union of the spans of the window's
    // rows, widened by the window.
    Span WindowSpan(int y, int width) const
    {
        int first = INT32_MAX;
        int last = INT32_MIN;
        const int top = std::max(y - before_ - contentY_, 0);
        const int bottom = std::min(y - before_ + size_ - contentY_, content_.Height());
        for (int row = top; row < bottom; ++row) {
            const Span span = spans_[size_t(row)];
            if (span.first < span.last) {
                first = std::min(first, span.first);
                last = std::max(last, span.last);
            }
        }
        if (first >= last)
            return {};
        return { std::max(contentX_ + first - (size_ - 1 - before_), 0), std::min(contentX_ + last + before_, width) };
    }

    // padded[x .. x + size - 1] are the column sums of output pixel x's window.
    template <class Divide>
    void WriteRow(uint32_t* out, const uint32_t* padded, Span span, uint32_t colour, Divide divide) const
    {
        uint32_t sum = 0;
        for (int i = 0; i < size_ - 1; ++i)
            sum += padded[span.first + i];
        for (int x = span.first; x < span.last; ++x) {
            sum += padded[x + size_ - 1];
            if (sum != 0)
                out[x] = colour | divide(sum) << 24;
            sum -= padded[x];
        }
    }

    const ImageBuffer& content_;
    int contentX_;
    int contentY_;
    int size_;
    int before_;
    std::array<uint32_t, 256> shadowAlpha_ {};
    std::vector<Span> spans_;
    std::vector<Span> outputSpans_;
};

// Lays the content over the blurred shadow, as BlendImage at full strength would. Where neither the
// content nor the shadow has any alpha the result is known without looking: transparent white.
void LayContentOver(ImageBuffer& image, const ImageBuffer& content, int x, int y, const AlphaBoxBlur& blur)
{
    constexpr uint32_t kTransparentWhite = 0x00FFFFFF;
    RowBlender blender(100);
    for (int row = 0; row < content.Height(); ++row) {
        const AlphaBoxBlur::Span own = blur.ContentSpan(row);
        const AlphaBoxBlur::Span shadow = blur.OutputSpan(row + y);
        // Both spans in content columns; blend over their hull, fill the rest.
        int first = content.Width();
        int last = 0;
        if (own.first < own.last) {
            first = own.first;
            last = own.last;
        }
        if (shadow.first < shadow.last) {
            first = std::min(first, std::max(shadow.first - x, 0));
            last = std::max(last, std::min(shadow.last - x, content.Width()));
        }
        uint32_t* out = reinterpret_cast<uint32_t*>(image.Row(row + y)) + x;
        if (first >= last) {
            std::fill(out, out + content.Width(), kTransparentWhite);
            continue;
        }
        std::fill(out, out + first, kTransparentWhite);
        blender.BlendRow(content.Row(row) + first * 4, reinterpret_cast<uint8_t*>(out + first), last - first);
        std::fill(out + last, out + content.Width(), kTransparentWhite);
    }
}

} // namespace

ShadowEffect::ShadowEffect(int radius, uint32_t colour, int opacity, int offsetX, int offsetY)
    : radius_(std::max(radius, 2))
    , colour_(colour)
    , opacity_(std::clamp(opacity, 1, 100))
    , offsetX_(offsetX)
    , offsetY_(offsetY)
{
}

bool ShadowEffect::CanApply(const ImageBuffer& image) const
{
    return !image.IsEmpty() && image.BitCount() == 32;
}

void ShadowEffect::ProcessImage(ImageBuffer& image, ProgressSink* progress)
{
    if (!CanApply(image))
        return;
    // The grown image must stay addressable with int coordinates.
    const int64_t reachX = int64_t(radius_) + std::abs(int64_t(offsetX_));
    const int64_t reachY = int64_t(radius_) + std::abs(int64_t(offsetY_));
    if (image.Width() + 2 * reachX > INT32_MAX || image.Height() + 2 * reachY > INT32_MAX)
        return;
    const int originX = image.OriginX();
    const int originY = image.OriginY();
    const ImageBuffer content = std::move(image);

    const ImageRect own { 0, 0, content.Width(), content.Height() };
    const ImageRect shadow { offsetX_, offsetY_, own.right + offsetX_, own.bottom + offsetY_ };
    const ImageRect reach { shadow.left - radius_, shadow.top - radius_, shadow.right + radius_,
        shadow.bottom + radius_ };
    const ImageRect all = Union(own, reach);
    if (!image.Create(all.Width(), all.Height(), 32))
        return;

    AlphaBoxBlur blur(content, shadow.left - all.left, shadow.top - all.top, radius_, opacity_);
    blur.Run(image, colour_ & 0x00FFFFFF, progress);

    LayContentOver(image, content, own.left - all.left, own.top - all.top, blur);
    image.SetOrigin(originX + all.left - own.left, originY + all.top - own.top);
}
