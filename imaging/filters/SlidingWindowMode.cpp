#include "imaging/filters/SlidingWindowMode.h"

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define LUMORA_SLIDING_X86 1
#endif

namespace {

alignas(16) const uint8_t kNoCounts[256] = {};

// The plain forms of the steps below, for processors without the vector ones.

int LastColumnOfPlain(const uint8_t* row, int window, uint8_t grey)
{
    for (int j = window - 1; j >= 0; --j)
        if (row[j] == grey)
            return j;
    return -1;
}

int SlidePlain(int16_t* counts, const uint8_t* entering, const uint8_t* leaving)
{
    int top = 0;
    for (int grey = 0; grey < 256; ++grey) {
        counts[grey] = int16_t(counts[grey] + int8_t(uint8_t(entering[grey] - leaving[grey])));
        top = std::max<int>(top, counts[grey]);
    }
    return top;
}

void TopGreysPlain(const int16_t* counts, int top, uint64_t* bits)
{
    for (int word = 0; word < 4; ++word) {
        uint64_t hits = 0;
        for (int i = 0; i < 64; ++i)
            hits |= uint64_t(counts[word * 64 + i] == top) << i;
        bits[word] = hits;
    }
}

#ifdef LUMORA_SLIDING_X86

__m128i Load(const void* from)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(from));
}

// The column of the last `grey` among the window bytes of a row; negative when there is none.
int LastColumnOf(const uint8_t* row, int window, uint8_t value)
{
    const __m128i grey = _mm_set1_epi8(char(value));
    for (int end = window; end > 0; end -= 16) {
        // A last hit before the window's first byte means none in it.
        const unsigned hits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(Load(row + end - 16), grey)));
        if (hits)
            return end - 16 + (31 - __builtin_clz(hits));
    }
    return -1;
}

// Adds entering - leaving to the 256 counts and returns the largest. Two columns' counts differ by the
// window height at most, so the bytes' difference wraps exactly.
int SlideNarrow(int16_t* counts, const uint8_t* entering, const uint8_t* leaving)
{
    __m128i top = _mm_setzero_si128();
    for (int grey = 0; grey < 256; grey += 16) {
        const __m128i change = _mm_sub_epi8(Load(entering + grey), Load(leaving + grey));
        auto* to = reinterpret_cast<__m128i*>(counts + grey);
        const __m128i low = _mm_add_epi16(_mm_load_si128(to), _mm_srai_epi16(_mm_unpacklo_epi8(change, change), 8));
        const __m128i high
            = _mm_add_epi16(_mm_load_si128(to + 1), _mm_srai_epi16(_mm_unpackhi_epi8(change, change), 8));
        _mm_store_si128(to, low);
        _mm_store_si128(to + 1, high);
        top = _mm_max_epi16(top, _mm_max_epi16(low, high));
    }
    top = _mm_max_epi16(top, _mm_shuffle_epi32(top, 0x4E));
    top = _mm_max_epi16(top, _mm_shuffle_epi32(top, 0xB1));
    top = _mm_max_epi16(top, _mm_shufflelo_epi16(top, 0xB1));
    return _mm_extract_epi16(top, 0);
}

// Each grey whose count is top as a bit of four words.
void TopGreysNarrow(const int16_t* counts, int top, uint64_t* bits)
{
    const __m128i wanted = _mm_set1_epi16(int16_t(top));
    for (int word = 0; word < 4; ++word) {
        uint64_t hits = 0;
        for (int part = 0; part < 4; ++part) {
            const auto* from = reinterpret_cast<const __m128i*>(counts + word * 64 + part * 16);
            const __m128i low = _mm_cmpeq_epi16(_mm_load_si128(from), wanted);
            const __m128i high = _mm_cmpeq_epi16(_mm_load_si128(from + 1), wanted);
            hits |= uint64_t(unsigned(_mm_movemask_epi8(_mm_packs_epi16(low, high)))) << (part * 16);
        }
        bits[word] = hits;
    }
}

[[gnu::target("avx2")]] int SlideWide(int16_t* counts, const uint8_t* entering, const uint8_t* leaving)
{
    __m256i top = _mm256_setzero_si256();
    for (int grey = 0; grey < 256; grey += 32) {
        const __m256i change = _mm256_sub_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(entering + grey)),
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(leaving + grey)));
        auto* to = reinterpret_cast<__m256i*>(counts + grey);
        const __m256i low
            = _mm256_add_epi16(_mm256_load_si256(to), _mm256_cvtepi8_epi16(_mm256_castsi256_si128(change)));
        const __m256i high
            = _mm256_add_epi16(_mm256_load_si256(to + 1), _mm256_cvtepi8_epi16(_mm256_extracti128_si256(change, 1)));
        _mm256_store_si256(to, low);
        _mm256_store_si256(to + 1, high);
        top = _mm256_max_epi16(top, _mm256_max_epi16(low, high));
    }
    __m128i half = _mm_max_epi16(_mm256_castsi256_si128(top), _mm256_extracti128_si256(top, 1));
    half = _mm_max_epi16(half, _mm_shuffle_epi32(half, 0x4E));
    half = _mm_max_epi16(half, _mm_shuffle_epi32(half, 0xB1));
    half = _mm_max_epi16(half, _mm_shufflelo_epi16(half, 0xB1));
    return _mm_extract_epi16(half, 0);
}

[[gnu::target("avx2")]] void TopGreysWide(const int16_t* counts, int top, uint64_t* bits)
{
    const __m256i wanted = _mm256_set1_epi16(int16_t(top));
    for (int word = 0; word < 4; ++word) {
        uint64_t hits = 0;
        for (int part = 0; part < 2; ++part) {
            const auto* from = reinterpret_cast<const __m256i*>(counts + word * 64 + part * 32);
            const __m256i low = _mm256_cmpeq_epi16(_mm256_load_si256(from), wanted);
            const __m256i high = _mm256_cmpeq_epi16(_mm256_load_si256(from + 1), wanted);
            // Packing works within 128-bit halves; the permutation puts the greys back in order.
            const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi16(low, high), 0xD8);
            hits |= uint64_t(unsigned(_mm256_movemask_epi8(packed))) << (part * 32);
        }
        bits[word] = hits;
    }
}
#endif

} // namespace

SlidingWindowMode::Lanes SlidingWindowMode::Widest()
{
#ifdef LUMORA_SLIDING_X86
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? Lanes::ThirtyTwo : Lanes::Sixteen;
#else
    return Lanes::One;
#endif
}

SlidingWindowMode::SlidingWindowMode(Lanes lanes)
    : lanes_(std::min(lanes, Widest()))
{
}

void SlidingWindowMode::Recount(const uint8_t* const* rows, int columns, int window)
{
    columnCounts_.assign(size_t(columns) * 256, 0);
    for (int i = 0; i < window; ++i) {
        const uint8_t* row = rows[i];
        uint8_t* counts = columnCounts_.data();
        for (int c = 0; c < columns; ++c, counts += 256)
            ++counts[row[c]];
    }
}

int SlidingWindowMode::Slide(const uint8_t* entering, const uint8_t* leaving)
{
    switch (lanes_) {
#ifdef LUMORA_SLIDING_X86
    case Lanes::ThirtyTwo:
        return SlideWide(counts_, entering, leaving);
    case Lanes::Sixteen:
        return SlideNarrow(counts_, entering, leaving);
#endif
    default:
        return SlidePlain(counts_, entering, leaving);
    }
}

void SlidingWindowMode::TopGreys(int top, uint64_t* bits) const
{
    switch (lanes_) {
#ifdef LUMORA_SLIDING_X86
    case Lanes::ThirtyTwo:
        return TopGreysWide(counts_, top, bits);
    case Lanes::Sixteen:
        return TopGreysNarrow(counts_, top, bits);
#endif
    default:
        return TopGreysPlain(counts_, top, bits);
    }
}

int SlidingWindowMode::LastColumn(const uint8_t* row, uint8_t grey) const
{
#ifdef LUMORA_SLIDING_X86
    if (lanes_ != Lanes::One)
        return LastColumnOf(row, window_, grey);
#endif
    return LastColumnOfPlain(row, window_, grey);
}

void SlidingWindowMode::ChooseRow(
    const uint8_t* const* rows, int y, int width, int window, int32_t* chosenRows, int32_t* chosenColumns)
{
    const int columns = width + window - 1;
    const bool down = y == lastY_ + 1 && width == width_ && window == window_ && topRow_;
    const uint8_t* leaving = topRow_;
    const uint8_t* entering = rows[window - 1];
    if (!down)
        Recount(rows, columns, window);
    lastY_ = y;
    width_ = width;
    window_ = window;
    topRow_ = rows[0];

    uint8_t* columnCounts = columnCounts_.data();
    auto moveDown = [&](int c) {
        uint8_t* counts = columnCounts + size_t(c) * 256;
        --counts[leaving[c]];
        ++counts[entering[c]];
    };
    // Columns move down a little ahead of their use, so that their counts are not read back from stores
    // still in flight.
    constexpr int kAhead = 16;
    if (down)
        for (int c = 0; c < std::min(columns, window - 1 + kAhead); ++c)
            moveDown(c);
    std::fill(std::begin(counts_), std::end(counts_), int16_t(0));
    for (int c = 0; c < window - 1; ++c)
        Slide(columnCounts + size_t(c) * 256, kNoCounts);

    for (int x = 0; x < width; ++x) {
        if (down && x + window - 1 + kAhead < columns)
            moveDown(x + window - 1 + kAhead);
        const uint8_t* gone = x > 0 ? columnCounts + size_t(x - 1) * 256 : kNoCounts;
        const int top = Slide(columnCounts + size_t(x + window - 1) * 256, gone);
        // With every count 1 the scan reaches it at the first place.
        int bestRow = 0, bestColumn = 0;
        if (top > 1)
            EarliestLastPlace(rows, x, top, &bestRow, &bestColumn);
        chosenRows[x] = bestRow;
        chosenColumns[x] = bestColumn;
    }
}

void SlidingWindowMode::EarliestLastPlace(const uint8_t* const* rows, int x, int top, int* row, int* column) const
{
    // The scan first reaches the top count at the last place of some grey holding it; the earliest such
    // place wins.
    uint64_t bits[4];
    TopGreys(top, bits);
    *row = window_;
    for (int word = 0; word < 4; ++word)
        for (uint64_t left = bits[word]; left; left &= left - 1) {
            const auto grey = uint8_t(word * 64 + __builtin_ctzll(left));
            for (int i = window_ - 1; i >= 0; --i) {
                const int j = LastColumn(rows[i] + x, grey);
                if (j < 0)
                    continue;
                if (i < *row || (i == *row && j < *column)) {
                    *row = i;
                    *column = j;
                }
                break;
            }
        }
}
