#include "imaging/colour/HueSaturationEffect.h"

#include "imaging/RowPool.h"
#include "imaging/colour/ColourModel.h"

#include <algorithm>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define LUMORA_HUESAT_AVX2 1
#endif

namespace {

// On photographs the conditions below change from pixel to pixel, and a mispredicted jump costs more than
// the arithmetic; so both sides are computed and one is picked by indexing a small array. Adding 0.0
// instead of nothing only turns -0.0 into 0.0, which no later step tells apart.

// HslToRgb's channel function with the result scaled to a byte.
inline uint8_t ChannelByte(double p, double q, double t)
{
    const double corrections[4] = { 0.0, -6.0, 6.0, 0.0 };
    t += corrections[int(t > 6) | int(t < 0) << 1];
    const double ramp[2] = { 4 - t, t };
    const double sloped = p + (q - p) * ramp[int(t < 1)];
    // Below 1 rising, below 3 flat at q, below 4 falling, then p.
    const double values[4] = { sloped, q, sloped, p };
    const double value = values[int(t >= 1) + int(t >= 3) + int(t >= 4)] * 255;
    return uint8_t(std::min(std::max(value, 0.0), 255.0));
}

#ifdef LUMORA_HUESAT_AVX2

bool HasAvx2()
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

// Adjust for four pixels in the lanes of a vector: the same double operations in the same order, with the
// divisions by 255 done rather than looked up (a division is exact, so the tables hold the same values).
// Lanes whose pixel is grey compute nonsense that the grey result replaces.
struct Scaling {
    double hue;
    double saturation;
    bool scaleHue;
    bool scaleSaturation;
};

[[gnu::target("avx2")]] inline __m128i ChannelBytes4(__m256d p, __m256d q, __m256d t)
{
    const __m256d six = _mm256_set1_pd(6.0), zero = _mm256_setzero_pd(), one = _mm256_set1_pd(1.0);
    const __m256d above = _mm256_cmp_pd(t, six, _CMP_GT_OQ);
    const __m256d below = _mm256_cmp_pd(t, zero, _CMP_LT_OQ);
    // Nothing to correct adds 0.0, as the scalar form does.
    t = _mm256_add_pd(t, _mm256_or_pd(_mm256_and_pd(above, _mm256_set1_pd(-6.0)), _mm256_and_pd(below, six)));
    const __m256d rising = _mm256_cmp_pd(t, one, _CMP_LT_OQ);
    const __m256d ramp = _mm256_blendv_pd(_mm256_sub_pd(_mm256_set1_pd(4.0), t), t, rising);
    const __m256d sloped = _mm256_add_pd(p, _mm256_mul_pd(_mm256_sub_pd(q, p), ramp));
    const __m256d flat = _mm256_cmp_pd(t, _mm256_set1_pd(3.0), _CMP_LT_OQ);
    const __m256d falling = _mm256_cmp_pd(t, _mm256_set1_pd(4.0), _CMP_LT_OQ);
    __m256d value = _mm256_blendv_pd(p, sloped, falling);
    value = _mm256_blendv_pd(value, q, _mm256_andnot_pd(rising, flat));
    value = _mm256_mul_pd(value, _mm256_set1_pd(255.0));
    value = _mm256_min_pd(_mm256_max_pd(value, zero), _mm256_set1_pd(255.0));
    return _mm256_cvttpd_epi32(value);
}

// blue, green and red of four pixels as int32 lanes; returns the adjusted channels packed as blue | green << 8
// | red << 16.
[[gnu::target("avx2")]] inline __m128i Adjust4(__m128i blue, __m128i green, __m128i red, const Scaling& scale)
{
    const __m128i max = _mm_max_epi32(_mm_max_epi32(blue, green), red);
    const __m128i min = _mm_min_epi32(_mm_min_epi32(blue, green), red);
    const __m256d byteScale = _mm256_set1_pd(255.0);
    const __m256d l = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm_add_epi32(max, min)), _mm256_set1_pd(0.00196078431372549));
    const __m256d bigM = _mm256_div_pd(_mm256_cvtepi32_pd(max), byteScale);
    const __m256d smallM = _mm256_div_pd(_mm256_cvtepi32_pd(min), byteScale);
    const __m256d d = _mm256_sub_pd(bigM, smallM);
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d dark = _mm256_cmp_pd(l, half, _CMP_LT_OQ);
    const __m256d denominator = _mm256_blendv_pd(
        _mm256_sub_pd(_mm256_sub_pd(_mm256_set1_pd(2.0), bigM), smallM), _mm256_add_pd(bigM, smallM), dark);
    __m256d s = _mm256_div_pd(d, denominator);

    const __m128i redTop = _mm_cmpeq_epi32(max, red);
    const __m128i greenTop = _mm_andnot_si128(redTop, _mm_cmpeq_epi32(max, green));
    const __m128i blueTop = _mm_andnot_si128(_mm_or_si128(redTop, greenTop), _mm_set1_epi32(-1));
    const __m128i difference = _mm_or_si128(_mm_or_si128(_mm_and_si128(redTop, _mm_sub_epi32(green, blue)),
                                                _mm_and_si128(greenTop, _mm_sub_epi32(blue, red))),
        _mm_and_si128(blueTop, _mm_sub_epi32(red, green)));
    const __m128i offset
        = _mm_or_si128(_mm_and_si128(greenTop, _mm_set1_epi32(2)), _mm_and_si128(blueTop, _mm_set1_epi32(4)));
    __m256d h = _mm256_div_pd(_mm256_div_pd(_mm256_cvtepi32_pd(difference), byteScale), d);
    h = _mm256_mul_pd(_mm256_add_pd(h, _mm256_cvtepi32_pd(offset)), _mm256_set1_pd(0.16666666666666666));
    h = _mm256_add_pd(h, _mm256_and_pd(_mm256_cmp_pd(h, _mm256_setzero_pd(), _CMP_LT_OQ), _mm256_set1_pd(1.0)));

    if (scale.scaleHue)
        h = _mm256_mul_pd(_mm256_mul_pd(_mm256_set1_pd(scale.hue), h), _mm256_set1_pd(0.01));
    if (scale.scaleSaturation)
        s = _mm256_mul_pd(_mm256_mul_pd(_mm256_set1_pd(scale.saturation), s), _mm256_set1_pd(0.01));

    const __m256d q = _mm256_blendv_pd(_mm256_sub_pd(_mm256_add_pd(l, s), _mm256_mul_pd(l, s)),
        _mm256_mul_pd(l, _mm256_add_pd(_mm256_set1_pd(1.0), s)), dark);
    const __m256d p = _mm256_sub_pd(_mm256_mul_pd(_mm256_set1_pd(2.0), l), q);
    const __m256d h6 = _mm256_mul_pd(_mm256_set1_pd(6.0), h);
    const __m256d two = _mm256_set1_pd(2.0);
    const __m128i outBlue = ChannelBytes4(p, q, _mm256_sub_pd(h6, two));
    const __m128i outGreen = ChannelBytes4(p, q, h6);
    const __m128i outRed = ChannelBytes4(p, q, _mm256_add_pd(h6, two));
    const __m128i coloured
        = _mm_or_si128(_mm_or_si128(outBlue, _mm_slli_epi32(outGreen, 8)), _mm_slli_epi32(outRed, 16));

    // Grey pixels, and those the saturation scaling leaves without colour: trunc(l * 255) in every channel.
    const __m128i greyValue = _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_mul_pd(l, byteScale), _mm256_set1_pd(255.0)));
    const __m128i grey
        = _mm_or_si128(_mm_or_si128(greyValue, _mm_slli_epi32(greyValue, 8)), _mm_slli_epi32(greyValue, 16));
    const __m256i faint = _mm256_castpd_si256(_mm256_cmp_pd(s, _mm256_set1_pd(1.1920929e-7), _CMP_LT_OQ));
    const __m128i faint32
        = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(faint, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
    const __m128i useGrey = _mm_or_si128(_mm_cmpeq_epi32(max, min), faint32);
    return _mm_blendv_epi8(coloured, grey, useGrey);
}

// Adjusts whole groups of four pixels from the start of a row; returns how many pixels it did.
template <int Bytes> [[gnu::target("avx2")]] int AdjustRowAvx2(uint8_t* pixel, int width, const Scaling& scale)
{
    const __m128i low = _mm_set1_epi32(0xFF);
    int x = 0;
    for (; x + 4 <= width; x += 4, pixel += 4 * Bytes) {
        __m128i packed;
        if constexpr (Bytes == 4) {
            packed = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixel));
        } else {
            uint32_t words[4];
            for (int i = 0; i < 4; ++i)
                words[i] = uint32_t(pixel[3 * i]) | uint32_t(pixel[3 * i + 1]) << 8 | uint32_t(pixel[3 * i + 2]) << 16;
            packed = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words));
        }
        const __m128i adjusted = Adjust4(_mm_and_si128(packed, low), _mm_and_si128(_mm_srli_epi32(packed, 8), low),
            _mm_and_si128(_mm_srli_epi32(packed, 16), low), scale);
        if constexpr (Bytes == 4) {
            const __m128i alpha = _mm_andnot_si128(_mm_set1_epi32(0xFFFFFF), packed);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pixel), _mm_or_si128(adjusted, alpha));
        } else {
            uint32_t words[4];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(words), adjusted);
            for (int i = 0; i < 4; ++i) {
                pixel[3 * i] = uint8_t(words[i]);
                pixel[3 * i + 1] = uint8_t(words[i] >> 8);
                pixel[3 * i + 2] = uint8_t(words[i] >> 16);
            }
        }
    }
    return x;
}

// The memory's first look at a 32-bpp row, eight pixels at a time: found colours are replaced at once, the
// others are listed (colour and column) and left as they are. Returns how many pixels it looked at.
[[gnu::target("avx2")]] int RecallRowAvx2(
    uint8_t* row, int width, const uint32_t* recent, int slotShift, uint32_t* missed, int32_t* missedAt, int& misses)
{
    const __m256i colourBits = _mm256_set1_epi32(0xFFFFFF);
    const __m256i tagBits = _mm256_set1_epi32(int(0xFF000000u));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        __m256i* at = reinterpret_cast<__m256i*>(row + size_t(x) * 4);
        const __m256i pixels = _mm256_loadu_si256(at);
        const __m256i colour = _mm256_and_si256(pixels, colourBits);
        const __m256i scrambled
            = _mm256_and_si256(_mm256_mullo_epi32(colour, _mm256_set1_epi32(int(0x9E3779B1u))), colourBits);
        const __m256i slot
            = _mm256_i32gather_epi32(reinterpret_cast<const int*>(recent), _mm256_srli_epi32(scrambled, slotShift), 4);
        const __m256i tag = _mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(scrambled, _mm256_set1_epi32(0x7F)), 24),
            _mm256_set1_epi32(int(0x80000000u)));
        const __m256i found = _mm256_cmpeq_epi32(_mm256_and_si256(slot, tagBits), tag);
        const __m256i adjusted
            = _mm256_or_si256(_mm256_and_si256(slot, colourBits), _mm256_andnot_si256(colourBits, pixels));
        _mm256_storeu_si256(at, _mm256_blendv_epi8(pixels, adjusted, found));
        for (unsigned lost = ~unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(found))) & 0xFFu; lost != 0;
             lost &= lost - 1) {
            const int lane = __builtin_ctz(lost);
            const uint8_t* pixel = row + size_t(x + lane) * 4;
            missed[misses] = uint32_t(pixel[0]) | uint32_t(pixel[1]) << 8 | uint32_t(pixel[2]) << 16;
            missedAt[misses++] = x + lane;
        }
    }
    return x;
}

#endif

} // namespace

HueSaturationEffect::HueSaturationEffect(int huePercent, int saturationPercent)
    : hue_(std::max(huePercent, 0))
    , saturation_(std::max(saturationPercent, 0))
    , memories_(1)
{
    for (int v = 0; v < 256; ++v)
        unit_[size_t(v)] = double(v) / 255;
    for (int v = 0; v < 511; ++v) {
        difference_[size_t(v)] = double(v - 255) / 255;
        lightness_[size_t(v)] = double(v) * 0.00196078431372549;
        grey_[size_t(v)] = uint8_t(HslToRgb(0, lightness_[size_t(v)], 0));
    }
}

// RgbToHsl, the two scalings and HslToRgb, with the divisions by 255 taken from tables. Every operation that reaches
// the result is the one of the plain conversions, in the same order.
uint32_t HueSaturationEffect::Adjust(uint32_t colour) const
{
    const int blue = int(colour & 0xFF), green = int(colour >> 8 & 0xFF), red = int(colour >> 16 & 0xFF);
    const int max = std::max({ blue, green, red });
    const int min = std::min({ blue, green, red });
    if (max == min) {
        // Hue and saturation are 0 and stay 0 whatever the scaling.
        const uint32_t grey = grey_[size_t(max + min)];
        return grey | grey << 8 | grey << 16;
    }
    const double l = lightness_[size_t(max + min)];
    const double bigM = unit_[size_t(max)];
    const double smallM = unit_[size_t(min)];
    const double d = bigM - smallM;
    const double denominators[2] = { 2 - bigM - smallM, bigM + smallM };
    double s = d / denominators[int(l < 0.5)];

    // The sextant of the largest channel, red first, then green.
    const int sextant = max == red ? 0 : max == green ? 1 : 2;
    const int differences[3] = { green - blue, blue - red, red - green };
    const double offsets[3] = { 0.0, 2.0, 4.0 };
    double h = (difference_[size_t(differences[sextant] + 255)] / d + offsets[sextant]) * 0.16666666666666666;
    const double wraps[2] = { 0.0, 1.0 };
    h += wraps[int(h < 0)];

    if (hue_ != 100)
        h = hue_ * h * 0.01;
    if (saturation_ != 100)
        s = saturation_ * s * 0.01;
    if (s < 1.1920929e-7) {
        const uint32_t grey = TruncateToByte(l * 255);
        return grey | grey << 8 | grey << 16;
    }
    const double tops[2] = { l + s - l * s, l * (1 + s) };
    const double q = tops[int(l < 0.5)];
    const double p = 2 * l - q;
    const double h6 = 6 * h;
    return uint32_t(ChannelByte(p, q, h6 - 2)) | uint32_t(ChannelByte(p, q, h6)) << 8
        | uint32_t(ChannelByte(p, q, h6 + 2)) << 16;
}

void HueSaturationEffect::Begin(ImageBuffer&)
{
    memories_.resize(size_t(std::max(RowPool::Shared().Threads(), 1)));
    for (Memory& memory : memories_)
        memory.rowsWithoutMemory = 0;
}

void HueSaturationEffect::ProcessRow(ImageBuffer& image, int y)
{
    ProcessRowOn(image, y, memories_[0]);
}

void HueSaturationEffect::ProcessRows(ImageBuffer& image, int first, int end, int worker)
{
    Memory& memory = memories_[size_t(worker) < memories_.size() ? size_t(worker) : 0];
    for (int y = first; y < end; ++y)
        ProcessRowOn(image, y, memory);
}

void HueSaturationEffect::ProcessRowOn(ImageBuffer& image, int y, Memory& memory) const
{
    if (image.BitCount() == 32)
        ProcessRowOf<4>(image.Row(y), image.Width(), memory);
    else if (image.BitCount() == 24)
        ProcessRowOf<3>(image.Row(y), image.Width(), memory);
}

template <int Bytes> void HueSaturationEffect::AdjustEach(uint8_t* pixel, int width) const
{
    int x = 0;
#ifdef LUMORA_HUESAT_AVX2
    if (HasAvx2()) {
        const Scaling scale { double(hue_), double(saturation_), hue_ != 100, saturation_ != 100 };
        x = AdjustRowAvx2<Bytes>(pixel, width, scale);
        pixel += size_t(x) * Bytes;
    }
#endif
    for (; x < width; ++x, pixel += Bytes)
        Store(Adjust(Load(pixel)), pixel);
}

template <int Bytes> void HueSaturationEffect::ProcessRowOf(uint8_t* row, int width, Memory& memory) const
{
    if (memory.rowsWithoutMemory > 0) {
        --memory.rowsWithoutMemory;
        AdjustEach<Bytes>(row, width);
        return;
    }
    // Remembered colours are written at once; the others are collected and computed together, several at a
    // time, then remembered. No branch on the outcome: screens mix the two at random.
    memory.missed.resize(size_t(width));
    memory.results.resize(size_t(width));
    memory.missedAt.resize(size_t(width));
    uint32_t* missed = memory.missed.data();
    int32_t* missedAt = memory.missedAt.data();
    int misses = 0;
    int x = 0;
#ifdef LUMORA_HUESAT_AVX2
    if (Bytes == 4 && HasAvx2())
        x = RecallRowAvx2(row, width, memory.recent.data(), 24 - kRecentBits, missed, missedAt, misses);
#endif
    uint8_t* pixel = row + size_t(x) * Bytes;
    for (; x < width; ++x, pixel += Bytes) {
        const uint32_t colour = Load(pixel);
        const uint32_t scrambled = Scramble(colour);
        const uint32_t slot = memory.recent[Slot(scrambled)];
        missed[misses] = colour;
        missedAt[misses] = x;
        misses += int(!Holds(slot, scrambled));
        Store(slot, pixel);
    }
    uint32_t* results = memory.results.data();
    std::copy(missed, missed + misses, results);
    AdjustEach<4>(reinterpret_cast<uint8_t*>(results), misses);
    for (int k = 0; k < misses; ++k) {
        Store(results[k], row + size_t(missedAt[k]) * Bytes);
        const uint32_t scrambled = Scramble(missed[k]);
        memory.recent[Slot(scrambled)] = Tag(scrambled) | results[k];
    }
    // A row whose colours were mostly new is a photograph or noise: looking results up there costs more
    // than it saves, so the next rows are computed directly until the next look.
    if (width - misses < width / 4)
        memory.rowsWithoutMemory = kRowsWithoutMemory;
}
