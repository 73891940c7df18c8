#include "imaging/filters/WindowMode.h"

#include <cstring>

namespace windowmode {
namespace {

// For window position p, run[p] counts the positions q <= p holding the same grey: the running count
// the plain scan reaches at p. The top count is the largest run, and the answer is the first position
// whose run equals it. Signed lanes: runs and positions stay below 128.
typedef int8_t Bytes16 __attribute__((vector_size(16)));
typedef int8_t Bytes32 __attribute__((vector_size(32)));

template <int W, class Bytes>
[[gnu::always_inline]] inline void Choose(const uint8_t* const* rows, int x, int8_t* positions)
{
    constexpr int Lanes = int(sizeof(Bytes));
    constexpr int count = W * W;
    Bytes greys[count];
    Bytes runs[count];
    for (int i = 0; i < W; ++i)
        for (int j = 0; j < W; ++j)
            std::memcpy(&greys[i * W + j], rows[i] + x + j, Lanes);
    const Bytes zero = {};
    const Bytes one = zero + 1;
    Bytes top = zero;
    for (int p = 0; p < count; ++p) {
        // Four sums keep the subtractions from waiting on each other.
        const Bytes grey = greys[p];
        Bytes run0 = one, run1 = zero, run2 = zero, run3 = zero;
        int q = 0;
        for (; q + 4 <= p; q += 4) {
            run0 -= (Bytes)(greys[q] == grey);
            run1 -= (Bytes)(greys[q + 1] == grey);
            run2 -= (Bytes)(greys[q + 2] == grey);
            run3 -= (Bytes)(greys[q + 3] == grey);
        }
        for (; q < p; ++q)
            run0 -= (Bytes)(greys[q] == grey);
        const Bytes run = (run0 + run1) + (run2 + run3);
        runs[p] = run;
        const Bytes higher = (Bytes)(run > top);
        top = (run & higher) | (top & ~higher);
    }
    Bytes chosen = zero;
    Bytes found = zero;
    for (int p = 0; p < count; ++p) {
        const Bytes hit = (Bytes)(runs[p] == top) & ~found;
        chosen |= hit & int8_t(p);
        found |= hit;
    }
    std::memcpy(positions, &chosen, Lanes);
}

template <int W> void Choose16(const uint8_t* const* rows, int x, int8_t* positions)
{
    Choose<W, Bytes16>(rows, x, positions);
}

#if defined(__GNUC__) && defined(__x86_64__)
#define LUMORA_WINDOWMODE_AVX2 1
template <int W> [[gnu::target("avx2")]] void Choose32(const uint8_t* const* rows, int x, int8_t* positions)
{
    Choose<W, Bytes32>(rows, x, positions);
}
#endif

} // namespace

int WidestRun()
{
#ifdef LUMORA_WINDOWMODE_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? 32 : 16;
#else
    return 16;
#endif
}

void FirstToTopCount(const uint8_t* const* rows, int window, int x, int lanes, int8_t* positions)
{
#ifdef LUMORA_WINDOWMODE_AVX2
    if (lanes == 32) {
        if (window == 3)
            Choose32<3>(rows, x, positions);
        else if (window == 5)
            Choose32<5>(rows, x, positions);
        else
            Choose32<7>(rows, x, positions);
        return;
    }
#endif
    for (int half = 0; half < lanes; half += 16) {
        if (window == 3)
            Choose16<3>(rows, x + half, positions + half);
        else if (window == 5)
            Choose16<5>(rows, x + half, positions + half);
        else
            Choose16<7>(rows, x + half, positions + half);
    }
}

} // namespace windowmode
