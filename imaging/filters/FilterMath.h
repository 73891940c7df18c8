#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Arithmetic shared by the filters: results are clamped to a byte, floating values rounded half away
// from zero.
namespace filtermath {

inline uint8_t ClampByte(int64_t value)
{
    return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
}

inline int64_t RoundHalfAway(double value)
{
    return int64_t(value < 0 ? value - 0.5 : value + 0.5);
}

// (red * 30 + green * 59 + blue * 11) / 100 of a blue, green, red pixel.
inline int Grey(const uint8_t* pixel)
{
    return (pixel[2] * 30 + pixel[1] * 59 + pixel[0] * 11) / 100;
}

// A change of -255..255 to a byte, packed as the rise in the low byte and the fall in the high byte, so that
// adding it is two saturating byte operations.
inline uint16_t PackedChange(int change)
{
    const int rise = change > 0 ? (change < 255 ? change : 255) : 0;
    const int fall = change < 0 ? (change > -255 ? -change : 255) : 0;
    return uint16_t(rise | fall << 8);
}

// bytes[i] moved by changes[i] (see PackedChange) and clamped to 0..255.
inline void AddPackedChanges(uint8_t* bytes, const uint16_t* changes, size_t count)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi16(0xFF);
    for (; i + 16 <= count; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(changes + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(changes + i + 8));
        const __m128i rise = _mm_packus_epi16(_mm_and_si128(a, low), _mm_and_si128(b, low));
        const __m128i fall = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
        __m128i* at = reinterpret_cast<__m128i*>(bytes + i);
        _mm_storeu_si128(at, _mm_subs_epu8(_mm_adds_epu8(_mm_loadu_si128(at), rise), fall));
    }
#endif
    for (; i < count; ++i) {
        const int value = bytes[i] + (changes[i] & 0xFF) - (changes[i] >> 8);
        bytes[i] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
    }
}

} // namespace filtermath
