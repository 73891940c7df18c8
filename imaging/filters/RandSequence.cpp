#include "RandSequence.h"

#include <cstdlib>
#include <ctime>

#include <cstring>

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
    // Unroll the ring into a straight buffer so that the recurrence needs no index wrapping.
    constexpr size_t kChunk = 1024;
    uint32_t buffer[kLag + kChunk];
    for (int k = 0; k < kLag; ++k)
        buffer[k] = ring_[(pos_ + k) % kLag];
    while (count > 0) {
        const size_t n = count < kChunk ? count : kChunk;
        for (size_t i = 0; i < n; ++i) {
            const uint32_t value = buffer[i] + buffer[i + kLag - 3];
            buffer[i + kLag] = value;
            out[i] = uint16_t(value >> 17);
        }
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
