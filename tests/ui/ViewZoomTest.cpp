#include "editor/ui/ViewZoom.h"

#include <gtest/gtest.h>

TEST(ViewZoomTest, Factor_Should_FollowTheTable_And_BeZeroOutsideIt)
{
    const float expected[] = { 0.1f, 0.25f, 0.5f, 0.75f, 1.0f, 1.5f, 2.0f, 4.0f, 6.0f, 8.0f };
    for (int step = 0; step < ViewZoom::kStepCount; ++step)
        EXPECT_EQ(ViewZoom::Factor(step), expected[step]) << step;
    EXPECT_EQ(ViewZoom::Factor(-1), 0.0f);
    EXPECT_EQ(ViewZoom::Factor(10), 0.0f);
}

TEST(ViewZoomTest, Round_Should_AddAHalfAndTruncateTowardZero)
{
    EXPECT_EQ(ViewZoom::Round(2.49), 2);
    EXPECT_EQ(ViewZoom::Round(2.5), 3);
    EXPECT_EQ(ViewZoom::Round(0.0), 0);
    // Below zero the half is still added: -0.7 + 0.5 = -0.2 -> 0, -1.5 + 0.5 = -1.0 -> -1,
    // -1.6 + 0.5 = -1.1 -> -1 (not -2 as rounding away from zero would give).
    EXPECT_EQ(ViewZoom::Round(-0.7), 0);
    EXPECT_EQ(ViewZoom::Round(-1.5), -1);
    EXPECT_EQ(ViewZoom::Round(-1.6), -1);
}

TEST(ViewZoomTest, Conversions_Should_RoundEachWayAtSeveralZooms)
{
    // Image to canvas is R(i * z), canvas to image R(c / z):
    // 1003 * 0.1 = 100.3 -> 100; 3 * 0.75 = 2.25 -> 2; 5 * 0.75 = 3.75 -> 4; 21 * 1.5 = 31.5 -> 32;
    // 7 * 8 = 56.
    EXPECT_EQ(ViewZoom::ImageToCanvas(1003, 0.1f), 100);
    EXPECT_EQ(ViewZoom::ImageToCanvas(3, 0.75f), 2);
    EXPECT_EQ(ViewZoom::ImageToCanvas(5, 0.75f), 4);
    EXPECT_EQ(ViewZoom::ImageToCanvas(21, 1.5f), 32);
    EXPECT_EQ(ViewZoom::ImageToCanvas(7, 8.0f), 56);
    // 32 / 1.5 = 21.33 -> 21; 2 / 0.75 = 2.67 -> 3; 7 / 0.25 = 28; 13 / 2 = 6.5 -> 7; 3 / 4 = 0.75 -> 1;
    // 11 / 6 = 1.83 -> 2; 95 / 0.1 = 950.
    EXPECT_EQ(ViewZoom::CanvasToImage(32, 1.5f), 21);
    EXPECT_EQ(ViewZoom::CanvasToImage(2, 0.75f), 3);
    EXPECT_EQ(ViewZoom::CanvasToImage(7, 0.25f), 28);
    EXPECT_EQ(ViewZoom::CanvasToImage(13, 2.0f), 7);
    EXPECT_EQ(ViewZoom::CanvasToImage(3, 4.0f), 1);
    EXPECT_EQ(ViewZoom::CanvasToImage(11, 6.0f), 2);
    EXPECT_EQ(ViewZoom::CanvasToImage(95, 0.1f), 950);
    // Points left of or above the picture: -3 / 2 = -1.5 -> -1.0 -> -1; -1 / 4 = -0.25 -> 0.
    EXPECT_EQ(ViewZoom::CanvasToImage(QPoint(-3, -1), 2.0f), QPoint(-1, 0));
    EXPECT_EQ(ViewZoom::CanvasToImage(QPoint(-1, -1), 4.0f), QPoint(0, 0));
    EXPECT_EQ(ViewZoom::CanvasToImage(5, 0.0f), 0);
}

TEST(ViewZoomTest, Rectangles_Should_ConvertCornerByCorner)
{
    // 10 * 1.5 = 15, 21 * 1.5 = 31.5 -> 32.
    EXPECT_EQ(ViewZoom::ImageToCanvas(ImageRect { 10, 10, 21, 21 }, 1.5f), (ImageRect { 15, 15, 32, 32 }));
    // Back: 15 / 1.5 = 10, 32 / 1.5 = 21.33 -> 21.
    EXPECT_EQ(ViewZoom::CanvasToImage(ImageRect { 15, 15, 32, 32 }, 1.5f), (ImageRect { 10, 10, 21, 21 }));
    // 0.25: 3 -> 0.75 -> 1, 9 -> 2.25 -> 2, 10 -> 2.5 -> 3, 30 -> 7.5 -> 8.
    EXPECT_EQ(ViewZoom::ImageToCanvas(ImageRect { 3, 9, 10, 30 }, 0.25f), (ImageRect { 1, 2, 3, 8 }));
}

TEST(ViewZoomTest, ScrollExtent_Should_BeTheDisplayedSizePlusTheMargins)
{
    // 1003 at 10 %: 100.3 -> 100 wide, + 10; 57 at 10 %: 5.7 + 0.5 -> 6, + 10.
    EXPECT_EQ(ViewZoom::DisplayedSize(QSize(1003, 57), 0.1f), QSize(100, 6));
    EXPECT_EQ(ViewZoom::ScrollExtent(QSize(1003, 57), 0.1f), QSize(110, 16));
    // 0.75: 1003 -> 752.25 -> 752, 57 -> 42.75 -> 43.
    EXPECT_EQ(ViewZoom::ScrollExtent(QSize(1003, 57), 0.75f), QSize(762, 53));
    EXPECT_EQ(ViewZoom::ScrollExtent(QSize(1003, 57), 8.0f), QSize(8034, 466));
    EXPECT_EQ(ViewZoom::ScrollExtent(QSize(0, 0), 1.0f), QSize(10, 10));
}
