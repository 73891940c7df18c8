#include "editor/objects/DrawingSurface.h"
#include "editor/objects/BlendImage.h"
#include "tests/objects/ObjectTestUtil.h"

#include <gtest/gtest.h>

using objtest::Bgra;
using objtest::PixelAt;

TEST(DrawingSurfaceTest, HandsOverStraightColoursAtEveryCoverage)
{
    // An antialiased diagonal leaves partly covered pixels: they must carry the pen's own colour with a
    // partial alpha (not the colour darkened by its coverage), and untouched pixels the transparent fill.
    DrawingSurface surface;
    ASSERT_TRUE(surface.Create(40, 40, 0x00FFFFFF));
    surface.SetSmoothing(true);
    surface.DrawLine(QPointF(3, 5), QPointF(35, 30), { 0xFFC86432, 1.5, DashStyle::Solid });
    ImageBuffer picture;
    ASSERT_TRUE(surface.CopyTo(picture));
    ASSERT_EQ(picture.BitCount(), 32);
    int partial = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const Bgra p = PixelAt(picture, x, y);
            if (p.a == 0) {
                ASSERT_EQ(p, (Bgra { 255, 255, 255, 0 })) << x << ", " << y;
                continue;
            }
            // Unpremultiplying a rounded value is off by at most 255 / alpha.
            const int slack = 255 / p.a + 1;
            ASSERT_NEAR(p.r, 0xC8, slack) << x << ", " << y << " alpha " << int(p.a);
            ASSERT_NEAR(p.g, 0x64, slack) << x << ", " << y;
            ASSERT_NEAR(p.b, 0x32, slack) << x << ", " << y;
            partial += p.a < 255 ? 1 : 0;
        }
    EXPECT_GT(partial, 20);
}

TEST(DrawingSurfaceTest, OriginAndPixelCentres)
{
    // With the origin at (100, 200), the point (110, 205) is pixel (10, 5); a filled 3x2 rectangle there
    // covers exactly its pixels, smoothed or not.
    for (const bool smooth : { false, true }) {
        DrawingSurface surface;
        ASSERT_TRUE(surface.Create(20, 10, 0));
        surface.SetOrigin(100, 200);
        surface.SetSmoothing(smooth);
        surface.FillRectangle(QRectF(110, 205, 3, 2), 0xFF0000FF);
        ImageBuffer picture;
        ASSERT_TRUE(surface.CopyTo(picture));
        EXPECT_EQ(objtest::ChangedBounds(picture, Bgra { 0, 0, 0, 0 }), (ImageRect { 10, 5, 13, 7 }));
        EXPECT_EQ(PixelAt(picture, 12, 6), (Bgra { 255, 0, 0, 255 }));
    }
}

TEST(DrawingSurfaceTest, BlendingStraightOntoATargetEqualsCopyingThenBlending)
{
    auto draw = [](DrawingSurface& surface) {
        ASSERT_TRUE(surface.Create(30, 20, 0x00FFFFFF));
        surface.SetSmoothing(true);
        surface.FillEllipse(QRectF(2, 2, 25, 15), 0xC0206080);
        surface.DrawLine(QPointF(0, 19), QPointF(29, 0), { 0xFF000000, 2.0, DashStyle::Dash });
    };
    const ImageBuffer checker = testutil::MakeImage(50, 40, 32, [](int x, int y) {
        return ((x + y) & 1) ? Bgra { 250, 240, 230, 255 } : Bgra { 5, 90, 60, (x > 30) ? uint8_t(0) : uint8_t(140) };
    });
    ImageBuffer expected(checker);
    DrawingSurface copied;
    draw(copied);
    ImageBuffer picture;
    ASSERT_TRUE(copied.CopyTo(picture));
    BlendImage(expected, picture, 17, 9, 70);

    ImageBuffer actual(checker);
    DrawingSurface direct;
    draw(direct);
    ASSERT_TRUE(direct.BlendOnto(actual, 17, 9, 70));
    EXPECT_TRUE(objtest::SamePicture(actual, expected, "blend onto"));

    // A surface reaching past the target is refused.
    DrawingSurface outside;
    draw(outside);
    EXPECT_FALSE(outside.BlendOnto(actual, 21, 0, 100));
    EXPECT_TRUE(objtest::SamePicture(actual, expected, "refused"));
}

TEST(DrawingSurfaceTest, NothingToHandOverWithoutASurface)
{
    DrawingSurface surface;
    EXPECT_FALSE(surface.Create(0, 5, 0));
    surface.DrawLine(QPointF(0, 0), QPointF(4, 4), {});
    ImageBuffer picture;
    EXPECT_FALSE(surface.CopyTo(picture));
    EXPECT_TRUE(picture.IsEmpty());
}
