#pragma once

#include <cstddef>
#include <cstdint>

// The numbers the C library's rand() gives after srand(seed) (glibc: the additive feedback generator
// r[i] = r[i - 3] + r[i - 31] that random_r runs for the default state), drawn without rand()'s lock and
// call, so that a filter can take millions of them per run.
class RandSequence {
public:
    // The range the noise and splash formulas are written for; glibc's own RAND_MAX is 2^31 - 1.
    static constexpr int kShortMax = 32767;

    explicit RandSequence(unsigned seed = 1) { Seed(seed); }

    void Seed(unsigned seed);

    // Seeds the C library generator with the current time, as the random effects do when they are made,
    // and returns that seed for their own copy of the sequence.
    static unsigned SeedFromClock();

    // The next value of rand(): 0 to 2^31 - 1.
    int32_t Next()
    {
        const uint32_t value = ring_[pos_] + ring_[pos_ < 3 ? pos_ + 28 : pos_ - 3];
        ring_[pos_] = value;
        pos_ = pos_ == kLag - 1 ? 0 : pos_ + 1;
        return int32_t(value >> 1);
    }

    // The next value reduced to 0..kShortMax by keeping its top 15 bits.
    int NextShort() { return Next() >> 16; }

    // Writes the next `count` NextShort() values.
    void FillShort(uint16_t* out, size_t count);

    // Moves on by `count` values at the cost of a few thousand: the same state as `count` calls of Next().
    // Lets rows far apart start where the sequence stands when a row-by-row run reaches them.
    void Discard(uint64_t count);

private:
    static constexpr int kLag = 31;

    // The last 31 values of the feedback sequence; ring_[pos_] is the oldest.
    uint32_t ring_[kLag];
    int pos_ = 0;
};
