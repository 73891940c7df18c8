#include "editor/objects/ArrowHead.h"

#include <gtest/gtest.h>

using Point = ArrowHead::Point;

// With W = 8 and an angle of 0.3 (tan 0.3 = 0.309336), the head reaches back 8 / 0.309336 = 25.86 pixels
// along the shaft and W / 2 = 4 pixels to each side.
TEST(ArrowHeadTest, HeadOfAHorizontalArrow)
{
    // base x = 100 - 25.86 = 74.14, truncated to 74.
    const auto head = ArrowHead::Compute({ 0, 0 }, { 100, 0 });
    ASSERT_TRUE(head);
    EXPECT_EQ(head->base, (Point { 74, 0 }));
    EXPECT_EQ(head->p1, (Point { 74, 4 }));
    EXPECT_EQ(head->p2, (Point { 74, -4 }));
}

TEST(ArrowHeadTest, HeadOfADownwardArrow)
{
    // base y = 50 - 25.86 = 24.14 -> 24; the sides are at x = -/+ 8 / (2 * 50) * 50 = -/+4.
    const auto head = ArrowHead::Compute({ 0, 0 }, { 0, 50 });
    ASSERT_TRUE(head);
    EXPECT_EQ(head->base, (Point { 0, 24 }));
    EXPECT_EQ(head->p1, (Point { -4, 24 }));
    EXPECT_EQ(head->p2, (Point { 4, 24 }));
}

TEST(ArrowHeadTest, ShortArrowTruncatesTowardZero)
{
    // A 5-pixel arrow: the head still reaches back 25.86, to x = 15 - 25.86 = -10.86, which truncates
    // to -10 (flooring would give -11). Sides: 8 / (2 * 5) * 5 = 4.
    const auto head = ArrowHead::Compute({ 10, 10 }, { 15, 10 });
    ASSERT_TRUE(head);
    EXPECT_EQ(head->base, (Point { -10, 10 }));
    EXPECT_EQ(head->p1, (Point { -10, 14 }));
    EXPECT_EQ(head->p2, (Point { -10, 6 }));
}

TEST(ArrowHeadTest, CoincidentPointsHaveNoHead)
{
    EXPECT_FALSE(ArrowHead::Compute({ 7, 7 }, { 7, 7 }));
}
