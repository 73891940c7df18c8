#include "editor/objects/BlendImage.h"
#include "tests/objects/ObjectTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using objtest::Bgra;
using objtest::PixelAt;

namespace {

// The compositing rule read literally, one pixel at a time.
Bgra OracleBlend(Bgra s, Bgra d, int strength)
{
    strength = std::clamp(strength, 0, 100);
    const int a = strength == 100 ? s.a : strength * s.a / 100;
    const int da = d.a;
    if (da == 0 && a == 0)
        return { 255, 255, 255, 0 };
    if ((da == 0 && a > 0) || a == 255)
        return { s.b, s.g, s.r, uint8_t(a) };
    if (a == 0)
        return d;
    const int c = a * 255;
    const int e = da * 255;
    const int dd = a * da;
    const int f = c + e - dd;
    auto channel = [&](int sv, int dv) { return uint8_t((sv * c + dv * (e - dd)) / f); };
    return { channel(s.b, d.b), channel(s.g, d.g), channel(s.r, d.r), uint8_t(f / 255) };
}

Bgra RandomColour(std::mt19937& random, uint8_t alpha)
{
    return { uint8_t(random()), uint8_t(random()), uint8_t(random()), alpha };
}

} // namespace

TEST(BlendImageTest, MatchesTheIntegerFormulaForEveryPairOfAlphas)
{
    // Source alpha runs along x and target alpha along y, so every pair meets once per strength.
    std::mt19937 random(5);
    for (const int strength : { 100, 99, 73, 40, 1, 0, 150, -20 }) {
        ImageBuffer source
            = testutil::MakeImage(256, 256, 32, [&](int x, int) { return RandomColour(random, uint8_t(x)); });
        ImageBuffer target
            = testutil::MakeImage(256, 256, 32, [&](int, int y) { return RandomColour(random, uint8_t(y)); });
        const ImageBuffer before(target);
        BlendImage(target, source, 0, 0, strength);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const Bgra expected = OracleBlend(PixelAt(source, x, y), PixelAt(before, x, y), strength);
                ASSERT_EQ(PixelAt(target, x, y), expected) << "strength " << strength << " at " << x << ", " << y;
            }
    }
}

TEST(BlendImageTest, RunsOfClearAndOpaquePixelsMatchTheFormula)
{
    // Drawn pictures and targets come in runs of fully clear and fully opaque pixels, with partial ones
    // at the edges. Runs of 1 to 9 pixels at odd offsets mix them in every grouping.
    std::mt19937 random(9);
    auto runs = [&](uint32_t seed) {
        std::mt19937 pick(seed);
        return testutil::MakeImage(61, 23, 32, [&, run = 0, alpha = uint8_t(0)](int, int) mutable {
            if (run-- <= 0) {
                run = int(pick() % 9);
                const int kind = int(pick() % 3);
                alpha = kind == 0 ? 0 : kind == 1 ? 255 : uint8_t(pick());
            }
            return RandomColour(random, alpha);
        });
    };
    for (const int strength : { 100, 64 })
        for (const auto& [x, y] : { std::pair { 0, 0 }, { 3, 1 }, { -2, 5 }, { 1, -3 } }) {
            const ImageBuffer source = runs(uint32_t(strength + x));
            ImageBuffer target = runs(uint32_t(strength * 7 + y));
            const ImageBuffer before(target);
            BlendImage(target, source, x, y, strength);
            for (int ty = 0; ty < target.Height(); ++ty)
                for (int tx = 0; tx < target.Width(); ++tx) {
                    const int sx = tx - x;
                    const int sy = ty - y;
                    const bool covered = sx >= 0 && sy >= 0 && sx < source.Width() && sy < source.Height();
                    const Bgra expected = covered
                        ? OracleBlend(PixelAt(source, sx, sy), PixelAt(before, tx, ty), strength)
                        : PixelAt(before, tx, ty);
                    ASSERT_EQ(PixelAt(target, tx, ty), expected)
                        << "strength " << strength << " at " << tx << ", " << ty;
                }
        }
}

TEST(BlendImageTest, HighlightStrengthOverOpaqueWhite)
{
    // Strength 40 (transparency 60) turns source alpha 255 into a = 40 * 255 / 100 = 102. Over opaque
    // white each channel is (s * 102 + 255 * 153) / 255: blue 128 gives 52071 / 255 = 204, and 0 gives 153.
    ImageBuffer target = objtest::SolidImage(4, 4, objtest::kWhite);
    const ImageBuffer navy = objtest::SolidImage(2, 2, { 128, 0, 0, 255 });
    BlendImage(target, navy, 1, 1, 40);
    EXPECT_EQ(PixelAt(target, 1, 1), (Bgra { 204, 153, 153, 255 }));
    EXPECT_EQ(PixelAt(target, 2, 2), (Bgra { 204, 153, 153, 255 }));
    EXPECT_EQ(PixelAt(target, 0, 0), objtest::kWhite);
    EXPECT_EQ(PixelAt(target, 3, 3), objtest::kWhite);
}

TEST(BlendImageTest, InvisibleSourceOnTransparentTargetLeavesTransparentWhite)
{
    ImageBuffer target = objtest::SolidImage(3, 1, { 10, 20, 30, 0 });
    const ImageBuffer source = objtest::SolidImage(3, 1, { 1, 2, 3, 0 });
    BlendImage(target, source, 0, 0, 100);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(PixelAt(target, x, 0), (Bgra { 255, 255, 255, 0 }));
}

TEST(BlendImageTest, ClipsToTheTarget)
{
    // A 4x4 opaque red source at (-2, 3) on a 5x5 target covers columns 0..1 and rows 3..4 only.
    ImageBuffer target = objtest::SolidImage(5, 5, objtest::kWhite);
    const ImageBuffer red = objtest::SolidImage(4, 4, { 0, 0, 255, 255 });
    BlendImage(target, red, -2, 3, 100);
    EXPECT_EQ(objtest::ChangedBounds(target, objtest::kWhite), (ImageRect { 0, 3, 2, 5 }));
    EXPECT_EQ(PixelAt(target, 1, 4), (Bgra { 0, 0, 255, 255 }));

    const ImageBuffer before(target);
    BlendImage(target, red, 5, 0, 100);
    BlendImage(target, red, -4, -4, 100);
    BlendImage(target, red, INT32_MAX, INT32_MAX, 100);
    BlendImage(target, red, INT32_MIN, 0, 100);
    EXPECT_TRUE(objtest::SamePicture(target, before, "outside"));
}

TEST(BlendImageTest, OnlyBetweenThirtyTwoBitImages)
{
    const ImageBuffer red32 = objtest::SolidImage(2, 2, { 0, 0, 255, 255 });
    ImageBuffer target24 = objtest::SolidImage(2, 2, objtest::kWhite, 24);
    const ImageBuffer before24(target24);
    BlendImage(target24, red32, 0, 0, 100);
    EXPECT_TRUE(objtest::SamePicture(target24, before24, "24-bit target"));

    ImageBuffer target32 = objtest::SolidImage(2, 2, objtest::kWhite);
    const ImageBuffer before32(target32);
    BlendImage(target32, objtest::SolidImage(2, 2, { 0, 0, 255, 0 }, 24), 0, 0, 100);
    BlendImage(target32, ImageBuffer(), 0, 0, 100);
    EXPECT_TRUE(objtest::SamePicture(target32, before32, "24-bit source"));
}
