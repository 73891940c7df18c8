#include "BlendImage.h"

#include "ExactDivider.h"
#include "ImageBuffer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

// The general case keeps one divider for the last (alpha, target alpha) pair: neighbouring pixels
// mostly share it, and building a divider costs a 64-bit division.
class PartialBlend {
public:
    void Apply(const uint8_t* s, uint8_t* d, uint32_t a, uint32_t da)
    {
        const uint32_t key = a << 8 | da;
        if (key != key_) {
            key_ = key;
            c_ = a * 255;
            keep_ = da * 255 - a * da;
            f_ = c_ + keep_;
            divider_ = ExactDivider(f_);
        }
        // Numerators stay below 255 * f <= 255 * 65025 < 2^24, as the divider needs.
        d[0] = uint8_t(divider_.Divide(s[0] * c_ + d[0] * keep_));
        d[1] = uint8_t(divider_.Divide(s[1] * c_ + d[1] * keep_));
        d[2] = uint8_t(divider_.Divide(s[2] * c_ + d[2] * keep_));
        d[3] = uint8_t(f_ / 255);
    }

private:
    uint32_t key_ = UINT32_MAX;
    uint32_t c_ = 0;
    uint32_t keep_ = 0;
    uint32_t f_ = 1;
    ExactDivider divider_ { 1 };
};

void BlendPixel(const uint8_t* s, uint8_t* d, const std::array<uint8_t, 256>& alphaOf, PartialBlend& partial)
{
    const uint32_t a = alphaOf[s[3]];
    const uint32_t da = d[3];
    if (da == 0) {
        if (a == 0) {
            d[0] = d[1] = d[2] = 255;
            d[3] = 0;
        } else {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = uint8_t(a);
        }
    } else if (a == 255) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[3] = 255;
    } else if (a == 0) {
        return;
    } else if (da == 255) {
        // Over an opaque pixel f is 255 * 255, so the formula reduces to a division by 255.
        const uint32_t keep = 255 - a;
        d[0] = uint8_t((s[0] * a + d[0] * keep) / 255);
        d[1] = uint8_t((s[1] * a + d[1] * keep) / 255);
        d[2] = uint8_t((s[2] * a + d[2] * keep) / 255);
    } else {
        partial.Apply(s, d, a, da);
    }
}

// Four pixels as two 64-bit words.
struct Quad {
    uint64_t low;
    uint64_t high;

    static Quad Load(const uint8_t* p)
    {
        Quad q;
        std::memcpy(&q.low, p, 8);
        std::memcpy(&q.high, p + 8, 8);
        return q;
    }
};

constexpr uint64_t kAlphaBytes = 0xFF000000FF000000ull;

// Objects' pictures are mostly empty, and targets mostly opaque: groups of four pixels that are all clear
// in the source are settled by looking at their alpha bytes alone, and so are fully opaque source
// groups at full strength. Everything else goes pixel by pixel.
void BlendRow(const uint8_t* s, uint8_t* d, int count, int strength, const std::array<uint8_t, 256>& alphaOf,
    PartialBlend& partial)
{
    constexpr uint64_t kTransparentWhite = 0x00FFFFFF00FFFFFFull;
    int i = 0;
    for (; i + 4 <= count; i += 4, s += 16, d += 16) {
        const Quad source = Quad::Load(s);
        const uint64_t sourceAlpha = (source.low | source.high) & kAlphaBytes;
        if (sourceAlpha == 0) {
            const Quad target = Quad::Load(d);
            if ((target.low & target.high & kAlphaBytes) == kAlphaBytes)
                continue; // nothing over opaque pixels
            if (((target.low | target.high) & kAlphaBytes) == 0) {
                std::memcpy(d, &kTransparentWhite, 8);
                std::memcpy(d + 8, &kTransparentWhite, 8);
                continue;
            }
        } else if (strength == 100 && (source.low & source.high & kAlphaBytes) == kAlphaBytes) {
            std::memcpy(d, s, 16);
            continue;
        }
        for (int k = 0; k < 4; ++k)
            BlendPixel(s + 4 * k, d + 4 * k, alphaOf, partial);
    }
    for (; i < count; ++i, s += 4, d += 4)
        BlendPixel(s, d, alphaOf, partial);
}

} // namespace

void BlendImage(ImageBuffer& target, const ImageBuffer& source, int x, int y, int strength)
{
    if (target.IsEmpty() || source.IsEmpty() || target.BitCount() != 32 || source.BitCount() != 32)
        return;
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t(x) + source.Width(), target.Width());
    const int64_t bottom = std::min<int64_t>(int64_t(y) + source.Height(), target.Height());
    if (left >= right || top >= bottom)
        return;

    strength = std::clamp(strength, 0, 100);
    std::array<uint8_t, 256> alphaOf;
    for (int alpha = 0; alpha < 256; ++alpha)
        alphaOf[alpha] = uint8_t(strength == 100 ? alpha : strength * alpha / 100);

    PartialBlend partial;
    const int count = int(right - left);
    for (int64_t row = top; row < bottom; ++row) {
        const uint8_t* s = source.PixelAddress(int(left - x), int(row - y));
        uint8_t* d = target.PixelAddress(int(left), int(row));
        BlendRow(s, d, count, strength, alphaOf, partial);
    }
}
