#pragma once

#include <cstdint>

// Unsigned division by a divisor known only at run time, done as a multiply and a shift. It gives exactly
// n / divisor for every n up to kMaxNumerator and every divisor from 1 to kMaxDivisor: the magic number
// is 2^40 / divisor rounded up, whose error over such numerators stays below 1 / divisor and so never
// carries a quotient across an integer.
class ExactDivider {
public:
    static constexpr uint32_t kMaxNumerator = (1u << 24) - 1;
    static constexpr uint32_t kMaxDivisor = 1u << 16;

    explicit ExactDivider(uint32_t divisor)
        : magic_(((uint64_t(1) << kShift) + divisor - 1) / divisor)
    {
    }

    uint32_t Divide(uint32_t n) const { return uint32_t((uint64_t(n) * magic_) >> kShift); }

private:
    static constexpr int kShift = 40;
    uint64_t magic_;
};
