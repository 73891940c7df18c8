#include "editor/objects/LineObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/ui/ObjectHandles.h"
#include "editor/ui/SelectionFrame.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kGround = 0xFF4080C0;

QImage Ground(int width = 60, int height = 50)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kGround);
    return image;
}

} // namespace

TEST(ObjectHandlesTest, Points_Should_BeTheTwoEndsOfALineOrArrow)
{
    LineObject arrow(ObjectKind::Arrow);
    arrow.startX = 3;
    arrow.startY = 40;
    arrow.endX = 25;
    arrow.endY = -2;
    EXPECT_EQ(ObjectHandles::Points(arrow), (std::vector<QPoint> { { 3, 40 }, { 25, -2 } }));
}

TEST(ObjectHandlesTest, Points_Should_BeCornersAndIntegerMidpoints_OfRectangleObjects)
{
    ShapeObject box;
    box.SetRect({ 10, 20, 17, 31 });
    // Midpoints: 10 + 7 / 2 = 13, 20 + 11 / 2 = 25.
    const std::vector<QPoint> expected { { 10, 20 }, { 13, 20 }, { 17, 20 }, { 17, 25 }, { 17, 31 }, { 13, 31 },
        { 10, 31 }, { 10, 25 } };
    EXPECT_EQ(ObjectHandles::Points(box), expected);

    // A rectangle dragged up and left: 30 + (21 - 30) / 2 = 30 - 4 = 26 (division toward zero).
    StampObject stamp;
    stamp.SetRect({ 30, 30, 21, 21 });
    EXPECT_EQ(ObjectHandles::Points(stamp)[1], QPoint(26, 30));
}

TEST(ObjectHandlesTest, Points_Should_MoveFivePixelsRightAndDown_WithShadow)
{
    ShapeObject plain;
    plain.SetRect({ 4, 6, 20, 18 });
    ShapeObject shadowed = plain;
    shadowed.shadow = true;
    const auto without = ObjectHandles::Points(plain);
    const auto with = ObjectHandles::Points(shadowed);
    ASSERT_EQ(with.size(), 8u);
    for (size_t i = 0; i < with.size(); ++i)
        EXPECT_EQ(with[i], without[i] + QPoint(5, 5)) << i;
}

TEST(ObjectHandlesTest, Draw_Should_PutWhiteCirclesWithBlackRims_OnTheHandlePoints)
{
    LineObject line;
    line.startX = 10;
    line.startY = 10;
    line.endX = 40;
    line.endY = 30;
    QImage image = Ground();
    {
        QPainter painter(&image);
        ObjectHandles::Draw(painter, line);
    }
    for (QPoint centre : { QPoint(10, 10), QPoint(40, 30) }) {
        EXPECT_EQ(image.pixel(centre), kWhite);
        // The rim lies 4 pixels from the centre; beyond 5 the picture is untouched.
        EXPECT_LT(qGray(image.pixel(centre + QPoint(4, 0))), 128);
        EXPECT_LT(qGray(image.pixel(centre - QPoint(0, 4))), 128);
        EXPECT_EQ(image.pixel(centre + QPoint(6, 0)), kGround);
        EXPECT_EQ(image.pixel(centre - QPoint(6, 0)), kGround);
    }
    EXPECT_EQ(image.pixel(25, 20), kGround);
}

TEST(SelectionFrameTest, Draw_Should_RefuseRectanglesUnderFourPixels_AndDrawNothing)
{
    QImage image = Ground();
    QPainter painter(&image);
    EXPECT_FALSE(SelectionFrame::Draw(painter, { 10, 10, 13, 30 }, true));
    EXPECT_FALSE(SelectionFrame::Draw(painter, { 10, 10, 30, 13 }, true));
    EXPECT_FALSE(SelectionFrame::Draw(painter, { 30, 30, 10, 10 }, true));
    painter.end();
    EXPECT_EQ(image, Ground());
    EXPECT_TRUE(SelectionFrame::IsValid({ 10, 10, 14, 14 }));
}

TEST(SelectionFrameTest, Draw_Should_DotTheEdges_AndSquareTheCorners)
{
    QImage image = Ground();
    {
        QPainter painter(&image);
        EXPECT_TRUE(SelectionFrame::Draw(painter, { 10, 8, 50, 40 }, true));
    }
    // Corner squares run from corner - 4 to corner + 3: black rim, white inside.
    EXPECT_EQ(image.pixel(6, 4), kBlack);
    EXPECT_EQ(image.pixel(13, 11), kBlack);
    EXPECT_EQ(image.pixel(8, 6), kWhite);
    EXPECT_EQ(image.pixel(53, 43), kBlack);
    EXPECT_EQ(image.pixel(52, 42), kWhite);
    EXPECT_EQ(image.pixel(54, 44), kGround);
    // Between the squares the top edge is dotted: some pixels black, the others untouched.
    int black = 0;
    int untouched = 0;
    for (int x = 15; x < 45; ++x) {
        black += image.pixel(x, 8) == kBlack;
        untouched += image.pixel(x, 8) == kGround;
    }
    EXPECT_EQ(black + untouched, 30);
    EXPECT_GE(black, 12);
    EXPECT_GE(untouched, 12);
    // Nothing is drawn inside the frame.
    EXPECT_EQ(image.pixel(30, 24), kGround);
}

TEST(SelectionFrameTest, Draw_Should_LeaveCornersPlain_WithoutHandles)
{
    QImage image = Ground();
    {
        QPainter painter(&image);
        SelectionFrame::Draw(painter, { 10, 8, 50, 40 }, false);
    }
    EXPECT_EQ(image.pixel(8, 6), kGround);
    EXPECT_EQ(image.pixel(6, 4), kGround);
}

TEST(SelectionFrameTest, DrawFocus_Should_InvertADottedFrameInsideTheRectangle_AndUndoItselfWhenRepeated)
{
    QImage image = Ground();
    const ImageRect rect { 5, 5, 25, 15 };
    {
        QPainter painter(&image);
        SelectionFrame::DrawFocus(painter, rect);
    }
    // The frame's first pixel is the rectangle's top-left, inverted; the right edge is column 24.
    EXPECT_EQ(image.pixel(5, 5), kGround ^ 0x00FFFFFFu);
    int inverted = 0;
    for (int y = 5; y < 15; ++y)
        inverted += image.pixel(24, y) != kGround;
    EXPECT_GE(inverted, 4);
    EXPECT_LE(inverted, 6);
    EXPECT_EQ(image.pixel(25, 10), kGround);
    EXPECT_EQ(image.pixel(15, 10), kGround);
    {
        QPainter painter(&image);
        SelectionFrame::DrawFocus(painter, rect);
    }
    EXPECT_EQ(image, Ground());
}
