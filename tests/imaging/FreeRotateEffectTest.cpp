#include "imaging/geometry/FreeRotateEffect.h"
#include "ImageTestUtil.h"
#include "imaging/ImageBuffer.h"
#include "imaging/geometry/Rotate90Effect.h"
#include "tests/imaging/EffectTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using effecttest::ApplyPixelByPixel;
using effecttest::RandomImage;
using effecttest::SamePixels;
using testutil::Bgra;
using testutil::MakeImage;
using testutil::PixelAt;

namespace {

ImageBuffer Rotated(const ImageBuffer& image, int degrees)
{
    ImageBuffer result = image;
    FreeRotateEffect effect(degrees);
    result.ApplyEffect(effect);
    return result;
}

// The rotation read plainly: every destination pixel mapped back on its own and sampled, no tables.
ImageBuffer ReferenceRotation(const ImageBuffer& source, int degrees)
{
    int a = degrees % 360;
    if (a < 0)
        a += 360;
    const double forward = a * 0.017453292519943295;
    const double inverse = (360 - a) * 0.017453292519943295;
    auto round = [](double v) { return int(v > 0 ? v + 0.5 : v - 0.5); };
    auto rotate = [&](int x, int y, double cx, double cy, double angle) {
        const double u = x - cx, v = cy - y;
        return std::pair { round(cx + u * std::cos(angle) + v * std::sin(angle)),
            round(cy - (v * std::cos(angle) - u * std::sin(angle))) };
    };
    const int w = source.Width(), h = source.Height();
    int minX = 1 << 30, maxX = -(1 << 30), minY = 1 << 30, maxY = -(1 << 30);
    for (const auto& [x, y] : { std::pair { 0, 0 }, std::pair { w, 0 }, std::pair { 0, h }, std::pair { w, h } }) {
        const auto [rx, ry] = rotate(x, y, w * 0.5, h * 0.5, forward);
        minX = std::min(minX, rx);
        maxX = std::max(maxX, rx);
        minY = std::min(minY, ry);
        maxY = std::max(maxY, ry);
    }
    ImageBuffer out;
    out.Create(maxX - minX, maxY - minY, source.BitCount());
    const int bytes = source.BitCount() / 8;
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) {
            const auto [px, py] = rotate(x, y, (out.Width() - 1) * 0.5, (out.Height() - 1) * 0.5, inverse);
            double sx = px - (out.Width() - w) * 0.5;
            double sy = py - (out.Height() - h) * 0.5;
            if (sx < 0 || sx > w - 1 || sy < 0 || sy > h - 1)
                continue;
            sx = std::min(sx, w - 1.1);
            sy = std::min(sy, h - 1.1);
            const int x0 = int(sx), y0 = int(sy);
            const uint32_t v = ImageBuffer::BilinearSample(sx - x0, sy - y0, bytes == 4, source.PixelAddress(x0, y0),
                source.PixelAddress(x0 + 1, y0), source.PixelAddress(x0, y0 + 1), source.PixelAddress(x0 + 1, y0 + 1));
            std::memcpy(out.PixelAddress(x, y), &v, size_t(bytes));
        }
    return out;
}

} // namespace

TEST(FreeRotate, RotatePointTurnsClockwiseOnScreenAndRoundsHalfAwayFromZero)
{
    const double quarter = 90 * 0.017453292519943295;
    const double half = 180 * 0.017453292519943295;
    // A point right of the centre goes below it (y grows downward).
    EXPECT_EQ(FreeRotateEffect::RotatePoint(10, 0, 0, 0, quarter), (FreeRotateEffect::Point { 0, 10 }));
    // Half a turn about x = 0.25 maps x to 0.5 - x: 1 gives -0.5, which rounds to -1; 0 gives 0.5, which
    // rounds to 1.
    EXPECT_EQ(FreeRotateEffect::RotatePoint(1, 0, 0.25, 0, half), (FreeRotateEffect::Point { -1, 0 }));
    EXPECT_EQ(FreeRotateEffect::RotatePoint(0, 0, 0.25, 0, half), (FreeRotateEffect::Point { 1, 0 }));
}

TEST(FreeRotate, AngleIsReducedToOneTurn)
{
    const double perDegree = 0.017453292519943295;
    EXPECT_DOUBLE_EQ(FreeRotateEffect(450).Angle(), 90 * perDegree);
    EXPECT_DOUBLE_EQ(FreeRotateEffect(-90).Angle(), 270 * perDegree);
    EXPECT_DOUBLE_EQ(FreeRotateEffect(-90).InverseAngle(), 90 * perDegree);
    EXPECT_DOUBLE_EQ(FreeRotateEffect(0).InverseAngle(), 360 * perDegree);
}

TEST(FreeRotate, ZeroKeepsEverythingButTheInterpolatedLastColumnAndRow)
{
    // Columns 0..3 hold blue 10, 20, 30, 37; rows differ in green by 7.
    ImageBuffer image = MakeImage(4, 3, 32, [](int x, int y) {
        return Bgra { uint8_t(x == 3 ? 37 : 10 * (x + 1)), uint8_t(50 + 7 * y), 0, 255 };
    });
    const ImageBuffer turned = Rotated(image, 0);
    ASSERT_EQ(turned.Width(), 4);
    ASSERT_EQ(turned.Height(), 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(turned, x, y), PixelAt(image, x, y)) << x << "," << y;
    // The last column is sampled at x = 4 - 1.1 = 2.9: 30 + 0.9 * 7 = 36.3, truncated to 36.
    EXPECT_EQ(PixelAt(turned, 3, 0), (Bgra { 36, 50, 0, 255 }));
    // The last row is sampled at y = 1.9: green 57 + 0.9 * 7 = 63.3, truncated to 63.
    EXPECT_EQ(PixelAt(turned, 0, 2), (Bgra { 10, 63, 0, 255 }));
    EXPECT_EQ(PixelAt(turned, 3, 2), (Bgra { 36, 63, 0, 255 }));

    EXPECT_TRUE(SamePixels(Rotated(image, 360), turned));
    EXPECT_TRUE(SamePixels(Rotated(image, -720), turned));
}

TEST(FreeRotate, QuarterTurnSwapsTheSides)
{
    for (const auto& [w, h] : { std::pair { 6, 4 }, std::pair { 3, 7 }, std::pair { 9, 9 } }) {
        const ImageBuffer turned = Rotated(RandomImage(w, h, 24, 5), 90);
        EXPECT_EQ(turned.Width(), h) << w << "x" << h;
        EXPECT_EQ(turned.Height(), w) << w << "x" << h;
    }
    // When the sides differ by an odd number the turned corners land on halves: for 7 x 4 about (3.5, 2)
    // their y are -1.5 and 5.5, which round away from zero to -2 and 6, so the box is 8 rows high.
    const ImageBuffer odd = Rotated(RandomImage(7, 4, 24, 5), 90);
    EXPECT_EQ(odd.Width(), 4);
    EXPECT_EQ(odd.Height(), 8);
    // When the sides differ by an even number the centres line up on whole pixels, and the turn equals the
    // exact quarter turn except where the 1.1 limit blends: the last row and the first column.
    const ImageBuffer source = RandomImage(6, 4, 32, 11, true);
    const ImageBuffer free = Rotated(source, 90);
    ImageBuffer exact = source;
    Rotate90Effect quarter;
    exact.ApplyEffect(quarter);
    for (int y = 0; y < 5; ++y)
        for (int x = 1; x < 4; ++x)
            EXPECT_EQ(PixelAt(free, x, y), PixelAt(exact, x, y)) << x << "," << y;
}

TEST(FreeRotate, CornersOutsideTheSourceStayZero)
{
    ImageBuffer image = MakeImage(40, 20, 32, [](int, int) { return Bgra { 200, 200, 200, 255 }; });
    const ImageBuffer turned = Rotated(image, 45);
    EXPECT_GT(turned.Width(), 40);
    EXPECT_GT(turned.Height(), 20);
    EXPECT_EQ(PixelAt(turned, 0, 0), (Bgra { 0, 0, 0, 0 }));
    EXPECT_EQ(PixelAt(turned, turned.Width() - 1, turned.Height() - 1), (Bgra { 0, 0, 0, 0 }));
    EXPECT_EQ(PixelAt(turned, turned.Width() / 2, turned.Height() / 2), (Bgra { 200, 200, 200, 255 }));
}

TEST(FreeRotate, RefusesImagesWithoutTwoRowsAndColumns)
{
    for (const auto& [w, h, bpp] : { std::tuple { 1, 5, 32 }, std::tuple { 5, 1, 32 }, std::tuple { 5, 5, 16 } }) {
        ImageBuffer image = RandomImage(w, h, bpp, 1);
        const ImageBuffer before = image;
        FreeRotateEffect effect(30);
        EXPECT_FALSE(effect.CanApply(image));
        image.ApplyEffect(effect);
        EXPECT_TRUE(SamePixels(image, before));
    }
}

// The row loop works on doubled whole numbers and exact averages; the plain reading must agree to the byte,
// including translucent pixels and the clamped last column and row.
TEST(FreeRotate, MatchesThePlainReadingAtEveryAngle)
{
    // Sides that differ by an odd number put quarter turns on half pixels: in x for 23 x 16, 40 x 7, 7 x 4 and
    // 12 x 7, in y for 4 x 7, 8 x 11 and 9 x 10.
    const ImageBuffer sources[] = { RandomImage(23, 17, 32, 1), RandomImage(23, 16, 32, 2, true),
        RandomImage(16, 31, 24, 3), RandomImage(2, 2, 32, 4, true), RandomImage(40, 7, 32, 5, true),
        RandomImage(7, 4, 24, 6), RandomImage(12, 7, 32, 8), RandomImage(4, 7, 32, 9), RandomImage(8, 11, 24, 10),
        RandomImage(9, 10, 32, 11, true),
        RandomImage(150, 70, 24, 7) }; // the last is wider than one tile of the row loop
    std::vector<int> angles { 90, 270, -90 };
    for (int degrees = -30; degrees <= 370; degrees += 11)
        angles.push_back(degrees);
    for (const ImageBuffer& source : sources)
        for (const int degrees : angles) {
            SCOPED_TRACE(testing::Message() << source.Width() << "x" << source.Height() << " by " << degrees);
            const ImageBuffer expected = ReferenceRotation(source, degrees);
            EXPECT_TRUE(SamePixels(Rotated(source, degrees), expected));
            ImageBuffer perPixel = source;
            FreeRotateEffect effect(degrees);
            ApplyPixelByPixel(perPixel, effect);
            EXPECT_TRUE(SamePixels(perPixel, expected));
        }
}

TEST(FreeRotate, MapPointAgreesWithTheSampledPixels)
{
    ImageBuffer image = RandomImage(12, 8, 32, 9, true);
    FreeRotateEffect effect(45);
    image.ApplyEffect(effect);
    int inside = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            double sx, sy;
            const bool mapped = effect.MapPoint(x, y, sx, sy);
            inside += mapped;
            // Opaque sources give opaque samples; untouched pixels keep alpha 0.
            EXPECT_EQ(PixelAt(image, x, y).a, mapped ? 255 : 0) << x << "," << y;
        }
    EXPECT_GT(inside, 12 * 8 / 2);
}
