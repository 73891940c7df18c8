#include "imaging/filters/WindowMode.h"

#include <algorithm>
#include <cstring>

namespace windowmode {
namespace {

// A window position's run is how many times the plain scan has met its grey once it gets there; the top
// count is the largest run, and the answer the first position whose run equals it. A grey at a given
// place in the image has the same run in every window that holds it at the same window column, so the
// runs are worked out once per place and column for a tile of several runs of pixels, then read by
// every window of the tile. Unsigned lanes: runs and positions stay below 256.
typedef uint8_t Bytes16 __attribute__((vector_size(16)));
typedef uint8_t Bytes32 __attribute__((vector_size(32)));

constexpr int kRuns = 8;
constexpr int kTileColumns = (kRuns + 1) * kMaxLanes;
typedef uint8_t TileRuns[kTileColumns];

// Through a reference: returning an AVX vector from a function built without AVX would change the ABI.
template <class V> [[gnu::always_inline]] inline const V& Load(V& to, const uint8_t* from)
{
    std::memcpy(&to, from, sizeof to);
    return to;
}

// runs[i * W + j][c]: the run of the grey at row i, column x0 + c, in the window holding it at column j.
// Equality masks are 0 or 0xFF, so subtracting one counts a match.
template <int W, class V>
[[gnu::always_inline]] inline void RunCounts(const uint8_t* const* rows, int x0, int columns, TileRuns* runs)
{
    constexpr int L = int(sizeof(V));
    constexpr int D = 2 * W - 1; // column offsets -(W - 1) .. W - 1 into the rows above
    for (int c = 0; c < columns; c += L) {
#pragma GCC unroll 7
        for (int i = 0; i < W; ++i) {
            const uint8_t* at = rows[i] + x0 + c;
            V grey;
            Load(grey, at);
            V other;
            // above[d]: matches in the rows above at offsets up to d - (W - 1).
            V above[D] = {};
            for (int k = 0; k < i; ++k)
#pragma GCC unroll 13
                for (int d = 0; d < D; ++d)
                    above[d] -= (V)(Load(other, rows[k] + x0 + c + d - (W - 1)) == grey);
#pragma GCC unroll 13
            for (int d = 1; d < D; ++d)
                above[d] += above[d - 1];
            // The window at column j spans offsets -j .. W - 1 - j; the same row adds offsets -j .. -1.
            V left = {};
#pragma GCC unroll 7
            for (int j = 0; j < W; ++j) {
                if (j > 0)
                    left -= (V)(Load(other, at - j) == grey);
                V run = left + 1 + above[D - 1 - j];
                if (j < W - 1)
                    run -= above[W - 2 - j];
                std::memcpy(runs[i * W + j] + c, &run, L);
            }
        }
    }
}

// positions[r * L ..] for the run r of the tile.
template <int W, class V> [[gnu::always_inline]] inline void Choose(const TileRuns* runs, int r, int8_t* positions)
{
    constexpr int L = int(sizeof(V));
    V top = {};
    V run;
#pragma GCC unroll 49
    for (int p = 0; p < W * W; ++p) {
        Load(run, runs[p] + r * L + p % W);
        top = run > top ? run : top;
    }
    // The first position holding the top count has the largest 255 - p.
    V best = {};
#pragma GCC unroll 49
    for (int p = 0; p < W * W; ++p) {
        const V hit = (V)(Load(run, runs[p] + r * L + p % W) == top) & uint8_t(255 - p);
        best = hit > best ? hit : best;
    }
    const V chosen = 255 - best;
    std::memcpy(positions + r * L, &chosen, L);
}

template <int W, class V>
[[gnu::always_inline]] inline void ChooseTiles(const uint8_t* const* rows, int width, int8_t* positions)
{
    constexpr int L = int(sizeof(V));
    alignas(32) TileRuns runs[W * W];
    for (int x0 = 0; x0 < width; x0 += kRuns * L) {
        // One more run of columns than of pixels: the windows reach W - 1 columns past their run.
        const int runCount = std::min(kRuns, (width - x0 + L - 1) / L);
        RunCounts<W, V>(rows, x0, (runCount + 1) * L, runs);
        for (int r = 0; r < runCount; ++r)
            Choose<W, V>(runs, r, positions + x0);
    }
}

template <int W> void ChooseTiles16(const uint8_t* const* rows, int width, int8_t* positions)
{
    ChooseTiles<W, Bytes16>(rows, width, positions);
}

#if defined(__GNUC__) && defined(__x86_64__)
#define LUMORA_WINDOWMODE_AVX2 1
template <int W> [[gnu::target("avx2")]] void ChooseTiles32(const uint8_t* const* rows, int width, int8_t* positions)
{
    ChooseTiles<W, Bytes32>(rows, width, positions);
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

void ChooseRow(const uint8_t* const* rows, int window, int width, int lanes, int8_t* positions)
{
#ifdef LUMORA_WINDOWMODE_AVX2
    if (lanes == 32 && WidestRun() == 32) {
        if (window == 3)
            ChooseTiles32<3>(rows, width, positions);
        else if (window == 5)
            ChooseTiles32<5>(rows, width, positions);
        else
            ChooseTiles32<7>(rows, width, positions);
        return;
    }
#endif
    if (window == 3)
        ChooseTiles16<3>(rows, width, positions);
    else if (window == 5)
        ChooseTiles16<5>(rows, width, positions);
    else
        ChooseTiles16<7>(rows, width, positions);
}

} // namespace windowmode
