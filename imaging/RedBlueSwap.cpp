#include "imaging/RedBlueSwap.h"

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define LUMORA_SSSE3 1
#endif

namespace {

void SwapScalar(const uint8_t* in, int inStep, uint8_t* out, size_t pixels)
{
    for (size_t x = 0; x < pixels; ++x, in += inStep, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

#ifdef LUMORA_SSSE3
// A whole screen is swapped on every capture read and every PNG written; byte by byte that took longer than
// inflating the portal's picture. Each step shuffles one 16-byte load and stores 16 bytes, of which the
// next step overwrites the surplus, so both sides keep 16 bytes of room before the scalar tail.
__attribute__((target("ssse3"))) void SwapSsse3(const uint8_t* in, int inStep, uint8_t* out, size_t pixels)
{
    size_t x = 0;
    if (inStep == 3) {
        const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
        for (; x + 6 <= pixels; x += 5) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x * 3));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 3), _mm_shuffle_epi8(bytes, order));
        }
    } else {
        const __m128i order = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
        for (; x + 6 <= pixels; x += 4) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x * 4));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 3), _mm_shuffle_epi8(bytes, order));
        }
    }
    SwapScalar(in + x * size_t(inStep), inStep, out + x * 3, pixels - x);
}
#endif

} // namespace

void SwapRedBlue(const uint8_t* in, int inStep, uint8_t* out, size_t pixels)
{
#ifdef LUMORA_SSSE3
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3)
        return SwapSsse3(in, inStep, out, pixels);
#endif
    SwapScalar(in, inStep, out, pixels);
}
