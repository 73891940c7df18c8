#include "imaging/geometry/RotationPositions.h"

#include <algorithm>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {

void ComputeScalar(const RotationPositions::Row& row, const double* columnX, const double* columnY, int first,
    int count, int32_t* xs, int32_t* ys)
{
    for (int i = first; i < count; ++i) {
        xs[i] = RotationPositions::Round(columnX[i] + row.rowX) + row.offsetX;
        ys[i] = RotationPositions::Round(row.centreY - (row.rowY - columnY[i])) + row.offsetY;
    }
}

#if defined(__SSE2__)
// v + 0.5 for positive v, v + -0.5 (the same as v - 0.5) otherwise; for v = 0 either truncates to 0.
inline __m128d AwayFromZero(__m128d v)
{
    const __m128d sign = _mm_and_pd(v, _mm_set1_pd(-0.0));
    return _mm_add_pd(v, _mm_or_pd(_mm_set1_pd(0.5), sign));
}

int ComputeSse2(const RotationPositions::Row& row, const double* columnX, const double* columnY, int count, int32_t* xs,
    int32_t* ys)
{
    const __m128d rowX = _mm_set1_pd(row.rowX);
    const __m128d rowY = _mm_set1_pd(row.rowY);
    const __m128d centreY = _mm_set1_pd(row.centreY);
    const __m128i offsetX = _mm_set1_epi32(row.offsetX);
    const __m128i offsetY = _mm_set1_epi32(row.offsetY);
    int i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m128d sx = _mm_add_pd(_mm_loadu_pd(columnX + i), rowX);
        const __m128d sy = _mm_sub_pd(centreY, _mm_sub_pd(rowY, _mm_loadu_pd(columnY + i)));
        const __m128i x = _mm_add_epi32(_mm_cvttpd_epi32(AwayFromZero(sx)), offsetX);
        const __m128i y = _mm_add_epi32(_mm_cvttpd_epi32(AwayFromZero(sy)), offsetY);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(xs + i), x);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(ys + i), y);
    }
    return i;
}
#endif

#if defined(__GNUC__) && defined(__x86_64__)
#define LUMORA_ROTATION_AVX2 1
[[gnu::target("avx2")]] inline __m256d AwayFromZero4(__m256d v)
{
    const __m256d sign = _mm256_and_pd(v, _mm256_set1_pd(-0.0));
    return _mm256_add_pd(v, _mm256_or_pd(_mm256_set1_pd(0.5), sign));
}

[[gnu::target("avx2")]] int ComputeAvx2(const RotationPositions::Row& row, const double* columnX, const double* columnY,
    int count, int32_t* xs, int32_t* ys)
{
    const __m256d rowX = _mm256_set1_pd(row.rowX);
    const __m256d rowY = _mm256_set1_pd(row.rowY);
    const __m256d centreY = _mm256_set1_pd(row.centreY);
    const __m128i offsetX = _mm_set1_epi32(row.offsetX);
    const __m128i offsetY = _mm_set1_epi32(row.offsetY);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m256d sx = _mm256_add_pd(_mm256_loadu_pd(columnX + i), rowX);
        const __m256d sy = _mm256_sub_pd(centreY, _mm256_sub_pd(rowY, _mm256_loadu_pd(columnY + i)));
        const __m128i x = _mm_add_epi32(_mm256_cvttpd_epi32(AwayFromZero4(sx)), offsetX);
        const __m128i y = _mm_add_epi32(_mm256_cvttpd_epi32(AwayFromZero4(sy)), offsetY);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(xs + i), x);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(ys + i), y);
    }
    return i;
}
#endif

} // namespace

RotationPositions::Lanes RotationPositions::Widest()
{
#if defined(LUMORA_ROTATION_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return Lanes::Four;
#endif
#if defined(__SSE2__)
    return Lanes::Two;
#else
    return Lanes::One;
#endif
}

void RotationPositions::Compute(
    Lanes lanes, const Row& row, const double* columnX, const double* columnY, int count, int32_t* xs, int32_t* ys)
{
    lanes = std::min(lanes, Widest());
    int done = 0;
#if defined(LUMORA_ROTATION_AVX2)
    if (lanes == Lanes::Four)
        done = ComputeAvx2(row, columnX, columnY, count, xs, ys);
#endif
#if defined(__SSE2__)
    if (lanes == Lanes::Two)
        done = ComputeSse2(row, columnX, columnY, count, xs, ys);
#endif
    ComputeScalar(row, columnX, columnY, done, count, xs, ys);
}
