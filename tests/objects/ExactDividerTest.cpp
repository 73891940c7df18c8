#include "editor/objects/ExactDivider.h"

#include <gtest/gtest.h>

#include <random>

TEST(ExactDividerTest, EveryNumeratorForTheDivisorsTheBlendingUses)
{
    // 100 (blur window), 255 and 255 * 255 (opaque blending), the extremes, and awkward odd divisors.
    for (const uint32_t divisor : { 1u, 2u, 3u, 7u, 100u, 255u, 641u, 65025u, 65535u, 65536u }) {
        const ExactDivider divider(divisor);
        for (uint32_t n = 0; n <= ExactDivider::kMaxNumerator; ++n)
            if (divider.Divide(n) != n / divisor)
                FAIL() << n << " / " << divisor << " gave " << divider.Divide(n);
    }
}

TEST(ExactDividerTest, EveryDivisorAroundItsMultiples)
{
    std::mt19937 random(11);
    for (uint32_t divisor = 1; divisor <= ExactDivider::kMaxDivisor; ++divisor) {
        const ExactDivider divider(divisor);
        // Quotients change exactly at multiples, where a rounding error would show first.
        const uint32_t top = ExactDivider::kMaxNumerator / divisor * divisor;
        for (const uint32_t n : { 0u, divisor - 1, divisor, top - 1, top, ExactDivider::kMaxNumerator,
                 uint32_t(random() % (ExactDivider::kMaxNumerator + 1)) })
            ASSERT_EQ(divider.Divide(n), n / divisor) << n << " / " << divisor;
    }
}
