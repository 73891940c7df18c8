#include "imaging/filters/RandSequence.h"

#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <ctime>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Polynomials in x of degree below 31, reduced by x^31 = x^28 + 1: the recurrence s[i + 31] = s[i + 28] + s[i].
using Poly = std::array<uint32_t, 31>;

Poly MultiplyMod(const Poly& a, const Poly& b)
{
    uint32_t product[61] = {};
    for (size_t i = 0; i < 31; ++i)
        for (size_t j = 0; j < 31; ++j)
            product[i + j] += a[i] * b[j];
    for (size_t d = 60; d >= 31; --d) {
        product[d - 31] += product[d];
        product[d - 3] += product[d];
    }
    Poly out;
    std::memcpy(out.data(), product, sizeof out);
    return out;
}

Poly TimesX(const Poly& a)
{
    Poly out;
    out[0] = a[30];
    for (size_t i = 1; i < 31; ++i)
        out[i] = a[i - 1];
    out[28] += a[30];
    return out;
}

} // namespace

void RandSequence::Seed(unsigned seed)
{
    if (seed == 0)
        seed = 1;
    int32_t state[kLag];
    state[0] = int32_t(seed);
    int32_t word = int32_t(seed);
    for (int i = 1; i < kLag; ++i) {
        // 16807 * word mod (2^31 - 1) by Schrage's method, exactly as srand computes it (also for the
        // negative words that seeds of 2^31 and above give).
        const long hi = word / 127773;
        const long lo = word % 127773;
        word = int32_t(16807 * lo - 2836 * hi);
        if (word < 0)
            word += 2147483647;
        state[i] = word;
    }
    // srand leaves the generator so that its first sum adds state[0] into state[3]: as a sequence, the
    // last 31 values are state[3..30] followed by state[0..2].
    for (int i = 0; i < kLag; ++i)
        ring_[i] = uint32_t(state[(i + 3) % kLag]);
    pos_ = 0;
    for (int i = 0; i < kLag * 10; ++i)
        Next();
}

void RandSequence::FillShort(uint16_t* out, size_t count)
{
    // Unroll the ring into a straight buffer so that the recurrence needs no index wrapping. Three values
    // at a time depend only on the three before them, which stay in a register: read back from memory,
    // each sum would wait for the store of the one before. The fourth lane's sum is overwritten.
    constexpr size_t kChunk = 1023;
    uint32_t buffer[kLag + kChunk + 1];
    for (int k = 0; k < kLag; ++k)
        buffer[k] = ring_[(pos_ + k) % kLag];
    buffer[kLag] = 0;
    while (count > 0) {
        const size_t n = count < kChunk ? count : kChunk;
        size_t i = 0;
#if defined(__SSE2__)
        __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + kLag - 3));
        for (; i + 3 <= n; i += 3) {
            last = _mm_add_epi32(last, _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + i)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i + kLag), last);
        }
#endif
        for (; i < n; ++i)
            buffer[i + kLag] = buffer[i] + buffer[i + kLag - 3];
        for (size_t k = 0; k < n; ++k)
            out[k] = uint16_t(buffer[k + kLag] >> 17);
        std::memmove(buffer, buffer + n, kLag * sizeof buffer[0]);
        out += n;
        count -= n;
    }
    std::memcpy(ring_, buffer, sizeof ring_);
    pos_ = 0;
}

unsigned RandSequence::SeedFromClock()
{
    const auto seed = unsigned(std::time(nullptr));
    std::srand(seed);
    return seed;
}

void RandSequence::Discard(uint64_t count)
{
    if (count < 4 * kLag) {
        for (uint64_t i = 0; i < count; ++i)
            Next();
        return;
    }
    // Value i + count is the combination of values i .. i + 30 given by the coefficients of x^count.
    Poly power {};
    power[0] = 1;
    for (int bit = 63 - std::countl_zero(count); bit >= 0; --bit) {
        power = MultiplyMod(power, power);
        if ((count >> bit) & 1)
            power = TimesX(power);
    }
    uint32_t values[2 * kLag - 1];
    for (int k = 0; k < kLag; ++k)
        values[k] = ring_[(pos_ + k) % kLag];
    for (int k = kLag; k < 2 * kLag - 1; ++k)
        values[k] = values[k - kLag] + values[k - 3];
    for (int i = 0; i < kLag; ++i) {
        uint32_t sum = 0;
        for (int j = 0; j < kLag; ++j)
            sum += power[size_t(j)] * values[i + j];
        ring_[i] = sum;
    }
    pos_ = 0;
}
