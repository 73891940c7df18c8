// Hand-worked results of the artistic filters; each expected value says how it was found.
#include "ImageTestUtil.h"
#include "tests/imaging/FilterReference.h"

#include "imaging/filters/ColorNoiseEffect.h"
#include "imaging/filters/ConvolutionEffect.h"
#include "imaging/filters/EmbossEffect.h"
#include "imaging/filters/GridEffect.h"
#include "imaging/filters/HalftoneEffect.h"
#include "imaging/filters/MonoNoiseEffect.h"
#include "imaging/filters/MosaicEffect.h"
#include "imaging/filters/OilPaintEffect.h"
#include "imaging/filters/SplashEffect.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>

using testutil::Bgra;
using testutil::PixelAt;

namespace {

Bgra Grey(uint8_t v, uint8_t a = 255)
{
    return { v, v, v, a };
}

ImageBuffer Uniform(int width, int height, int bpp, Bgra colour)
{
    return testutil::MakeImage(width, height, bpp, [&](int, int) { return colour; });
}

} // namespace

TEST(Blur, SpreadsASingleWhitePixelAsTheKernelWeights)
{
    ImageBuffer image = Uniform(5, 5, 32, { 0, 0, 0, 200 });
    testutil::SetPixel(image, 2, 2, { 255, 255, 255, 200 });
    ConvolutionEffect blur = ConvolutionEffect::Blur();
    image.ApplyEffect(blur);
    // 255 * 4 / 16 = 63.75, 255 * 2 / 16 = 31.875 and 255 / 16 = 15.9, truncated by integer division.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const int dx = std::abs(x - 2), dy = std::abs(y - 2);
            const uint8_t v = dx > 1 || dy > 1 ? 0 : dx + dy == 0 ? 63 : dx + dy == 1 ? 31 : 15;
            EXPECT_EQ(PixelAt(image, x, y), Grey(v, 200)) << x << ", " << y;
        }
}

TEST(Blur, LeavesAUniformImageAndItsEdgesAlone)
{
    // The replicated border keeps edge sums at 16 times the colour, so nothing changes anywhere.
    ImageBuffer image = Uniform(4, 3, 24, { 10, 130, 250, 0 });
    const ImageBuffer before(image);
    ConvolutionEffect blur = ConvolutionEffect::Blur();
    image.ApplyEffect(blur);
    EXPECT_TRUE(filterref::SamePixels(image, before));
}

TEST(Halftone, WhiteStaysWhiteExceptWhereTheMatrixHolds63)
{
    ImageBuffer image = Uniform(16, 16, 32, Grey(255));
    HalftoneEffect halftone;
    image.ApplyEffect(halftone);
    // g = 25500 / 400 = 63; only the matrix's 63 at row 7, column 0 is not below it.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(PixelAt(image, x, y), Grey(x % 8 == 0 && y % 8 == 7 ? 0 : 255)) << x << ", " << y;

    ImageBuffer black = Uniform(9, 9, 24, Grey(0, 0));
    black.ApplyEffect(halftone);
    EXPECT_TRUE(filterref::SamePixels(black, Uniform(9, 9, 24, Grey(0, 0))));
}

TEST(Halftone, ThresholdIsStrictAtTheBoundary)
{
    // At (0, 0) the matrix holds 0. Grey 4: sum 4 * (30 + 59 + 11) = 400, g = 1 > 0, white. Grey 3: sum
    // 300, g = 0, not above 0, black.
    ImageBuffer image = Uniform(1, 1, 24, Grey(4));
    HalftoneEffect halftone;
    image.ApplyEffect(halftone);
    EXPECT_EQ(PixelAt(image, 0, 0), Grey(255, 0));
    image = Uniform(1, 1, 24, Grey(3));
    image.ApplyEffect(halftone);
    EXPECT_EQ(PixelAt(image, 0, 0), Grey(0, 0));
}

TEST(Mosaic, ThreeByThreeWithCellTwoAveragesEachClippedCell)
{
    ImageBuffer image;
    image.Create(3, 3, 32);
    // Top-left 2 x 2 cell fully transparent.
    testutil::SetPixel(image, 0, 0, { 90, 80, 70, 0 });
    testutil::SetPixel(image, 1, 0, { 1, 2, 3, 0 });
    testutil::SetPixel(image, 0, 1, { 200, 200, 200, 0 });
    testutil::SetPixel(image, 1, 1, { 50, 60, 70, 0 });
    // Right 1 x 2 cell, mixed alpha.
    testutil::SetPixel(image, 2, 0, { 100, 50, 10, 255 });
    testutil::SetPixel(image, 2, 1, { 200, 150, 30, 51 });
    // Bottom 2 x 1 cell, opaque.
    testutil::SetPixel(image, 0, 2, { 10, 20, 30, 255 });
    testutil::SetPixel(image, 1, 2, { 21, 40, 61, 255 });
    // Bottom-right 1 x 1 cell.
    testutil::SetPixel(image, 2, 2, { 7, 8, 9, 100 });

    MosaicEffect mosaic(2);
    image.ApplyEffect(mosaic);

    // Alpha sum 0: colour 0 and alpha 0 / 4 = 0.
    for (auto [x, y] : { std::pair { 0, 0 }, { 1, 0 }, { 0, 1 }, { 1, 1 } })
        EXPECT_EQ(PixelAt(image, x, y), (Bgra { 0, 0, 0, 0 }));
    // Alpha sum 306: blue (100 * 255 + 200 * 51) / 306 = 35700 / 306 = 116.7, green 20400 / 306 = 66.7,
    // red 4080 / 306 = 13.3, alpha 306 / 2 = 153.
    EXPECT_EQ(PixelAt(image, 2, 0), (Bgra { 116, 66, 13, 153 }));
    EXPECT_EQ(PixelAt(image, 2, 1), (Bgra { 116, 66, 13, 153 }));
    // Opaque: plain averages 31 / 2, 60 / 2, 91 / 2 truncated.
    EXPECT_EQ(PixelAt(image, 0, 2), (Bgra { 15, 30, 45, 255 }));
    EXPECT_EQ(PixelAt(image, 1, 2), (Bgra { 15, 30, 45, 255 }));
    // A cell of one pixel averages to itself: 7 * 100 / 100.
    EXPECT_EQ(PixelAt(image, 2, 2), (Bgra { 7, 8, 9, 100 }));
}

TEST(Mosaic, RunsOnlyOn32Bpp)
{
    const MosaicEffect mosaic(10);
    EXPECT_FALSE(mosaic.CanApply(testutil::MakeImage(4, 4, 24)));
    EXPECT_FALSE(mosaic.CanApply(ImageBuffer()));
    EXPECT_TRUE(mosaic.CanApply(testutil::MakeImage(4, 4, 32)));
    EXPECT_EQ(MosaicEffect(1).Cell(), 2);
}

TEST(Grid, BevelsEveryCellOfAGrey100Image)
{
    ImageBuffer image = Uniform(130, 130, 32, Grey(100));
    GridEffect grid(64, 50);
    image.ApplyEffect(grid);
    // Rule by rule with cell 64: row 1 darkens by 50, row 62 (62 + 2 = 64) lightens, column 1 lightens
    // and column 62 darkens; rows and columns 0 and 63 of a cell are cell lines the rules skip.
    for (int base : { 0, 64 }) {
        EXPECT_EQ(PixelAt(image, base + 5, 1), Grey(50));
        EXPECT_EQ(PixelAt(image, base + 5, 62), Grey(150));
        EXPECT_EQ(PixelAt(image, 1, base + 5), Grey(150));
        EXPECT_EQ(PixelAt(image, 62, base + 5), Grey(50));
        EXPECT_EQ(PixelAt(image, base + 5, 64 + 1), Grey(50));
        EXPECT_EQ(PixelAt(image, base + 30, 30), Grey(100));
        EXPECT_EQ(PixelAt(image, base + 0, 1), Grey(100)); // column 0 of the cell
        EXPECT_EQ(PixelAt(image, base + 63, 1), Grey(100)); // column 63: (63 + 1) mod 64 = 0
        EXPECT_EQ(PixelAt(image, 1, base + 0), Grey(100)); // row 0
        EXPECT_EQ(PixelAt(image, 1, base + 63), Grey(100)); // row 63
    }
    // Where row 1 meets column 1 the row rule wins: darkened, not lightened.
    EXPECT_EQ(PixelAt(image, 1, 1), Grey(50));
    EXPECT_EQ(PixelAt(image, 62, 62), Grey(150));
    // The last column (129 = 2 * 64 + 1) is a second column of a clipped cell.
    EXPECT_EQ(PixelAt(image, 129, 5), Grey(150));
}

TEST(Grid, CellsOfOneOrTwoChangeNothingAndLargeDepthsClamp)
{
    for (int cell : { 1, 2 }) {
        ImageBuffer image = Uniform(9, 9, 24, Grey(100, 0));
        GridEffect grid(cell, 50);
        image.ApplyEffect(grid);
        EXPECT_TRUE(filterref::SamePixels(image, Uniform(9, 9, 24, Grey(100, 0)))) << cell;
    }
    ImageBuffer image = Uniform(10, 10, 24, Grey(100, 0));
    GridEffect deep(10, 1000);
    image.ApplyEffect(deep);
    EXPECT_EQ(PixelAt(image, 5, 1), Grey(0, 0)); // 100 - 1000
    EXPECT_EQ(PixelAt(image, 5, 8), Grey(255, 0)); // 100 + 1000
}

TEST(OilPaint, AllDifferentGreysTakeTheFirstPixelCounted)
{
    // Nine greys 0, 25, ... 200 with red = green = blue; the centre's window is the whole image, every
    // count is 1, and the first pixel counted (top-left) set the best.
    ImageBuffer image = testutil::MakeImage(3, 3, 32, [](int x, int y) { return Grey(uint8_t(25 * (3 * y + x))); });
    OilPaintEffect oil(1);
    image.ApplyEffect(oil);
    EXPECT_EQ(PixelAt(image, 1, 1), Grey(0));
}

TEST(OilPaint, TieGoesToTheGreyFirstReachingTheTopCountWithThatPixelsColour)
{
    // Window of the centre pixel in scan order 0..8. Grey 30 comes twice from two colours: red 100
    // (100 * 30 / 100 = 30) at position 3 and green 51 (51 * 59 / 100 = 30.09) at position 5. Grey 10
    // (blue 91: 91 * 11 / 100 = 10.01, and red 34: 34 * 30 / 100 = 10.2) comes at positions 0 and 8.
    // Both reach 2, grey 30 first (at position 5), so the centre takes position 5's colour.
    const Bgra redGrey { 0, 0, 100, 255 }, greenGrey { 0, 51, 0, 255 }, blueTen { 91, 0, 0, 255 },
        redTen { 0, 0, 34, 255 };
    const Bgra layout[9]
        = { blueTen, Grey(200), Grey(201), redGrey, Grey(202), greenGrey, Grey(203), Grey(204), redTen };
    ImageBuffer image = testutil::MakeImage(3, 3, 32, [&](int x, int y) { return layout[3 * y + x]; });
    OilPaintEffect oil(1);
    image.ApplyEffect(oil);
    EXPECT_EQ(PixelAt(image, 1, 1), greenGrey);
}

TEST(OilPaint, KeepsAlphaAndRaisesTheRadiusToOne)
{
    ImageBuffer image = Uniform(4, 4, 32, { 9, 8, 7, 33 });
    OilPaintEffect oil(0);
    EXPECT_EQ(oil.Radius(), 1);
    EXPECT_EQ(oil.Window(), 3);
    image.ApplyEffect(oil);
    EXPECT_EQ(PixelAt(image, 2, 2), (Bgra { 9, 8, 7, 33 }));
}

TEST(OilPaint, ARadiusTooLargeToPadLeavesTheImageAlone)
{
    const ImageBuffer input = testutil::MakeImage(4, 4, 32);
    ImageBuffer image(input);
    OilPaintEffect oil(2147483647);
    EXPECT_EQ(oil.Radius(), 2147483647);
    image.ApplyEffect(oil);
    EXPECT_TRUE(filterref::SamePixels(image, input));
}

TEST(Splash, SizeThreeMovesByAtMostOneAndNeverLeavesTheImage)
{
    // Every colour is unique, so each result names the pixel it came from.
    auto colour = [](int x, int y) { return Bgra { uint8_t(x), uint8_t(y), 7, 255 }; };
    for (unsigned seed : { 1u, 2u, 3u }) {
        ImageBuffer image = testutil::MakeImage(20, 15, 32, colour);
        SplashEffect splash(3, seed);
        image.ApplyEffect(splash);
        std::set<int> moves;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 20; ++x) {
                const Bgra p = PixelAt(image, x, y);
                ASSERT_LT(p.b, 20);
                ASSERT_LT(p.g, 15);
                EXPECT_LE(std::abs(p.b - x), 1);
                EXPECT_LE(std::abs(p.g - y), 1);
                moves.insert((p.b - x + 1) * 3 + (p.g - y + 1));
            }
        // All nine moves turn up over 300 pixels.
        EXPECT_EQ(moves.size(), 9u);
    }
    // A square far larger than the image only picks pixels of the image.
    ImageBuffer image = testutil::MakeImage(5, 4, 24, colour);
    SplashEffect wide(64, 9u);
    image.ApplyEffect(wide);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_LT(PixelAt(image, x, y).b, 5);
            EXPECT_LT(PixelAt(image, x, y).g, 4);
        }
    EXPECT_EQ(SplashEffect(1, 1u).Size(), 3);
}

TEST(MonoNoise, MovesTheThreeChannelsAlike)
{
    // Amount 20 moves a channel by at most 3.4641 * 20 * 1.27 = 88, so 100..140 never clamps.
    ImageBuffer image = Uniform(40, 30, 32, { 100, 120, 140, 255 });
    MonoNoiseEffect noise(20, 31u);
    image.ApplyEffect(noise);
    int moved = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const Bgra p = PixelAt(image, x, y);
            const int delta = p.b - 100;
            EXPECT_EQ(p.g - 120, delta);
            EXPECT_EQ(p.r - 140, delta);
            EXPECT_LE(std::abs(delta), 88);
            EXPECT_EQ(p.a, 255);
            moved += delta != 0;
        }
    EXPECT_GT(moved, 1000);
    EXPECT_EQ(MonoNoiseEffect(500, 1u).Amount(), 100);
    EXPECT_EQ(MonoNoiseEffect(-5, 1u).Amount(), 0);
}

TEST(Noise, SeedsDecideTheResultAndAmountZeroChangesNothing)
{
    const ImageBuffer input = Uniform(30, 20, 24, Grey(128, 0));
    ImageBuffer a(input), b(input), c(input);
    ColorNoiseEffect first(100, 1u), same(100, 1u), other(100, 2u);
    a.ApplyEffect(first);
    b.ApplyEffect(same);
    c.ApplyEffect(other);
    EXPECT_TRUE(filterref::SamePixels(a, b));
    EXPECT_FALSE(filterref::SamePixels(a, c));

    ImageBuffer still(input);
    ColorNoiseEffect none(0, 5u);
    still.ApplyEffect(none);
    EXPECT_TRUE(filterref::SamePixels(still, input));
}

TEST(Noise, ColourNoiseStaysWithinHalfTheAmount)
{
    // (r / 32767 - 0.5) * 100 lies in -50..50 for r in 0..32767; rounding keeps it there.
    ImageBuffer image = Uniform(50, 50, 32, Grey(128));
    ColorNoiseEffect noise(100, 8u);
    image.ApplyEffect(noise);
    int low = 255, high = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            for (uint8_t v : { PixelAt(image, x, y).b, PixelAt(image, x, y).g, PixelAt(image, x, y).r }) {
                low = std::min<int>(low, v);
                high = std::max<int>(high, v);
            }
    EXPECT_GE(low, 78);
    EXPECT_LE(high, 178);
    EXPECT_LT(low, 88); // 7500 draws reach near both ends
    EXPECT_GT(high, 168);
}

TEST(Noise, ClockSeededEffectsSeedTheCLibraryWithTheTime)
{
    // The clock may tick between the reads, so the seed is one of the two times around construction.
    auto firstRandAfter = [](unsigned seed) {
        std::srand(seed);
        return std::rand();
    };
    const auto before = unsigned(std::time(nullptr));
    MonoNoiseEffect noise(40);
    const int drawn = std::rand();
    const auto after = unsigned(std::time(nullptr));
    EXPECT_TRUE(drawn == firstRandAfter(before) || drawn == firstRandAfter(after));

    const ImageBuffer input = Uniform(8, 8, 24, Grey(128, 0));
    ImageBuffer image(input);
    image.ApplyEffect(noise);
    ImageBuffer early(input), late(input);
    filterref::MonoNoise(early, 40, before);
    filterref::MonoNoise(late, 40, after);
    EXPECT_TRUE(filterref::SamePixels(image, early) || filterref::SamePixels(image, late));
}

TEST(Emboss, UniformIsGrey128AndDifferencesTruncateTowardZero)
{
    ImageBuffer uniform = Uniform(6, 2, 32, { 10, 200, 30, 77 });
    EmbossEffect emboss(2);
    uniform.ApplyEffect(emboss);
    EXPECT_TRUE(filterref::SamePixels(uniform, Uniform(6, 2, 32, Grey(128, 77))));

    // Sums 3, 4, 5, 300, 0 along the row, depth 2: (3 - 4) * 2 / 3 = -2 / 3 = 0 -> 128; (4 - 5) likewise;
    // (5 - 300) * 2 / 3 = -196 -> -68 -> 0; (300 - 0) * 2 / 3 = 200 -> 328 -> 255; the last column 128.
    ImageBuffer row = Uniform(5, 1, 24, Grey(0, 0));
    testutil::SetPixel(row, 0, 0, { 1, 1, 1, 0 });
    testutil::SetPixel(row, 1, 0, { 2, 2, 0, 0 });
    testutil::SetPixel(row, 2, 0, { 2, 2, 1, 0 });
    testutil::SetPixel(row, 3, 0, { 100, 100, 100, 0 });
    row.ApplyEffect(emboss);
    EXPECT_EQ(PixelAt(row, 0, 0), Grey(128, 0));
    EXPECT_EQ(PixelAt(row, 1, 0), Grey(128, 0));
    EXPECT_EQ(PixelAt(row, 2, 0), Grey(0, 0));
    EXPECT_EQ(PixelAt(row, 3, 0), Grey(255, 0));
    EXPECT_EQ(PixelAt(row, 4, 0), Grey(128, 0));

    // Sums 3 and 5: -4 / 3 truncates to -1, giving 127 (flooring would give 126).
    ImageBuffer pair = Uniform(2, 1, 24, Grey(1, 0));
    testutil::SetPixel(pair, 1, 0, { 2, 2, 1, 0 });
    pair.ApplyEffect(emboss);
    EXPECT_EQ(PixelAt(pair, 0, 0), Grey(127, 0));
}

TEST(Mosaic, LargeCellsOfWhiteStayWhite)
{
    // A 200 x 200 white cell sums 40000 * 255 * 255 = 2.6e9 for each colour: beyond 32 bits signed,
    // the average must still be 255.
    ImageBuffer image = Uniform(250, 210, 32, Grey(255));
    MosaicEffect mosaic(200);
    image.ApplyEffect(mosaic);
    EXPECT_TRUE(filterref::SamePixels(image, Uniform(250, 210, 32, Grey(255))));
}

TEST(Convolution, RefusesAKernelThatDoesNotMatchItsSize)
{
    const ImageBuffer image = testutil::MakeImage(4, 4, 32);
    EXPECT_FALSE(ConvolutionEffect({ 1, 2, 3 }, 2, 1, 0).CanApply(image));
    EXPECT_FALSE(ConvolutionEffect({}, 0, 1, 0).CanApply(image));
    EXPECT_TRUE(ConvolutionEffect({ 1, 2, 3, 4 }, 2, 1, 0).CanApply(image));
    ImageBuffer highColour;
    highColour.Create(4, 4, 16);
    EXPECT_FALSE(ConvolutionEffect::Blur().CanApply(highColour));
    EXPECT_EQ(ConvolutionEffect({ 1 }, 1, -3, 0).Divisor(), 1);
}
