#include "ShadowEffect.h"

#include "BitmapTypes.h"
#include "BlendImage.h"
#include "ExactDivider.h"
#include "ImageBuffer.h"
#include "ProgressSink.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

ImageRect Union(const ImageRect& a, const ImageRect& b)
{
    return { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom) };
}

// The box blur of the shadow plane. Every shadow pixel has the shadow colour (or is fully transparent),
// so the alpha-weighted colour average of any window is exactly that colour whenever the window holds
// any alpha, and 0 otherwise: only the alpha sums need to be kept. They are running sums: one per
// column over the window's rows, slid down a row at a time, then one along the row, slid right.
class AlphaBoxBlur {
public:
    AlphaBoxBlur(const ImageBuffer& content, int contentX, int contentY, int size, int opacity)
        : content_(content)
        , contentX_(contentX)
        , contentY_(contentY)
        , size_(size)
        , before_(size / 2)
    {
        for (int alpha = 0; alpha < 256; ++alpha)
            shadowAlpha_[alpha] = uint32_t(alpha * opacity / 100);
    }

    // Writes the blurred shadow into image (zero-filled, 32 bpp). colour is blue, green, red.
    void Run(ImageBuffer& image, const uint8_t colour[3], ProgressSink* progress)
    {
        const int width = image.Width();
        const int height = image.Height();
        // Column sums padded so that every window along a row stays inside the array.
        std::vector<uint32_t> padded(size_t(width) + size_t(size_), 0);
        uint32_t* columns = padded.data() + before_;
        const uint32_t area = uint32_t(size_) * uint32_t(size_);
        const bool fast = area <= ExactDivider::kMaxDivisor && uint64_t(area) * 255 <= ExactDivider::kMaxNumerator;
        const ExactDivider divider(fast ? area : 1);

        for (int row = -before_; row < size_ - 1 - before_; ++row)
            AddRow(columns, row, +1);
        for (int y = 0; y < height; ++y) {
            AddRow(columns, y - before_ + size_ - 1, +1);
            if (rowsInWindow_ > 0) {
                if (fast)
                    WriteRow(image.Row(y), padded.data(), width, colour, [&](uint32_t n) { return divider.Divide(n); });
                else
                    WriteRow(image.Row(y), padded.data(), width, colour, [&](uint32_t n) { return n / area; });
            }
            AddRow(columns, y - before_, -1);
            if (progress)
                progress->SetPosition(int(100 * int64_t(y + 1) / height));
        }
    }

private:
    // Adds (sign +1) or removes (-1) one row of the shadow plane to or from the column sums.
    void AddRow(uint32_t* columns, int row, int sign)
    {
        const int contentRow = row - contentY_;
        if (contentRow < 0 || contentRow >= content_.Height())
            return;
        rowsInWindow_ += sign;
        const uint8_t* alpha = content_.Row(contentRow) + 3;
        uint32_t* column = columns + contentX_;
        const int width = content_.Width();
        if (sign > 0) {
            for (int x = 0; x < width; ++x)
                column[x] += shadowAlpha_[alpha[x * 4]];
        } else {
            for (int x = 0; x < width; ++x)
                column[x] -= shadowAlpha_[alpha[x * 4]];
        }
    }

    // padded[x .. x + size - 1] are the column sums of output pixel x's window.
    template <class Divide>
    void WriteRow(uint8_t* out, const uint32_t* padded, int width, const uint8_t colour[3], Divide divide) const
    {
        uint32_t sum = 0;
        for (int i = 0; i < size_ - 1; ++i)
            sum += padded[i];
        for (int x = 0; x < width; ++x, out += 4) {
            sum += padded[x + size_ - 1];
            if (sum != 0) {
                out[0] = colour[0];
                out[1] = colour[1];
                out[2] = colour[2];
                out[3] = uint8_t(divide(sum));
            }
            sum -= padded[x];
        }
    }

    const ImageBuffer& content_;
    int contentX_;
    int contentY_;
    int size_;
    int before_;
    int rowsInWindow_ = 0;
    std::array<uint32_t, 256> shadowAlpha_ {};
};

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

    const uint8_t colour[3] = { uint8_t(colour_), uint8_t(colour_ >> 8), uint8_t(colour_ >> 16) };
    AlphaBoxBlur blur(content, shadow.left - all.left, shadow.top - all.top, radius_, opacity_);
    blur.Run(image, colour, progress);

    BlendImage(image, content, own.left - all.left, own.top - all.top, 100);
    image.SetOrigin(originX + all.left - own.left, originY + all.top - own.top);
}
