#include "editor/objects/RowBlender.h"

#include <algorithm>
#include <cstring>

namespace {

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
constexpr uint64_t kTransparentWhite = 0x00FFFFFF00FFFFFFull;

} // namespace

RowBlender::RowBlender(int strength)
    : strength_(std::clamp(strength, 0, 100))
{
    for (int alpha = 0; alpha < 256; ++alpha)
        alphaOf_[size_t(alpha)] = uint8_t(strength_ == 100 ? alpha : strength_ * alpha / 100);
}

// Objects' pictures are mostly empty, and targets mostly opaque: groups of four pixels that are all clear
// in the source are settled by looking at their alpha bytes alone, and so are fully opaque source groups
// at full strength. Everything else goes pixel by pixel.
void RowBlender::BlendRow(const uint8_t* s, uint8_t* d, int count)
{
    int i = 0;
    for (; i + 4 <= count; i += 4, s += 16, d += 16) {
        const Quad source = Quad::Load(s);
        if (((source.low | source.high) & kAlphaBytes) == 0) {
            const Quad target = Quad::Load(d);
            if ((target.low & target.high & kAlphaBytes) == kAlphaBytes)
                continue; // nothing over opaque pixels
            if (((target.low | target.high) & kAlphaBytes) == 0) {
                std::memcpy(d, &kTransparentWhite, 8);
                std::memcpy(d + 8, &kTransparentWhite, 8);
                continue;
            }
        } else if (strength_ == 100 && (source.low & source.high & kAlphaBytes) == kAlphaBytes) {
            std::memcpy(d, s, 16);
            continue;
        }
        for (int k = 0; k < 4; ++k)
            BlendPixel(s + 4 * k, d + 4 * k);
    }
    for (; i < count; ++i, s += 4, d += 4)
        BlendPixel(s, d);
}

void RowBlender::BlendPixel(const uint8_t* s, uint8_t* d)
{
    const uint32_t a = alphaOf_[s[3]];
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
        // Over an opaque pixel f is 255 * 255, so the rule reduces to a division by 255.
        const uint32_t keep = 255 - a;
        d[0] = uint8_t((s[0] * a + d[0] * keep) / 255);
        d[1] = uint8_t((s[1] * a + d[1] * keep) / 255);
        d[2] = uint8_t((s[2] * a + d[2] * keep) / 255);
    } else {
        BlendPartial(s, d, a, da);
    }
}

void RowBlender::BlendPartial(const uint8_t* s, uint8_t* d, uint32_t a, uint32_t da)
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
