#include "editor/objects/ShadowEffect.h"
#include "editor/objects/BlendImage.h"
#include "imaging/ProgressSink.h"
#include "tests/objects/ObjectTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

using objtest::Bgra;
using objtest::PixelAt;

namespace {

struct ShadowParams {
    int radius = 10;
    Bgra colour { 0, 0, 0, 255 };
    int opacity = 75;
    int offsetX = 5;
    int offsetY = 5;
};

// The shadow steps read literally: a padded copy and a full N x N window per pixel, with the
// alpha-weighted colour average of every channel.
ImageBuffer OracleShadow(const ImageBuffer& k, const ShadowParams& p)
{
    const int w = k.Width();
    const int h = k.Height();
    const int uLeft = std::min(0, p.offsetX - p.radius);
    const int uTop = std::min(0, p.offsetY - p.radius);
    const int uRight = std::max(w, w + p.offsetX + p.radius);
    const int uBottom = std::max(h, h + p.offsetY + p.radius);
    const int uw = uRight - uLeft;
    const int uh = uBottom - uTop;

    ImageBuffer plane;
    plane.Create(uw, uh, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Bgra c { p.colour.b, p.colour.g, p.colour.r, uint8_t(PixelAt(k, x, y).a * p.opacity / 100) };
            testutil::SetPixel(plane, x + p.offsetX - uLeft, y + p.offsetY - uTop, c);
        }

    const int n = p.radius;
    const int pad = n / 2;
    ImageBuffer padded;
    padded.Create(uw + 2 * pad, uh + 2 * pad, 32);
    padded.Paste(plane, pad, pad);

    ImageBuffer out;
    out.Create(uw, uh, 32);
    for (int y = 0; y < uh; ++y)
        for (int x = 0; x < uw; ++x) {
            long sb = 0, sg = 0, sr = 0, sa = 0;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    const int px = x + i;
                    const int py = y + j;
                    if (px >= padded.Width() || py >= padded.Height())
                        continue;
                    const Bgra c = PixelAt(padded, px, py);
                    sb += long(c.b) * c.a;
                    sg += long(c.g) * c.a;
                    sr += long(c.r) * c.a;
                    sa += c.a;
                }
            const Bgra value = sa == 0
                ? Bgra { 0, 0, 0, 0 }
                : Bgra { uint8_t(sb / sa), uint8_t(sg / sa), uint8_t(sr / sa), uint8_t(sa / (n * n)) };
            testutil::SetPixel(out, x, y, value);
        }
    BlendImage(out, k, -uLeft, -uTop, 100);
    out.SetOrigin(k.OriginX() + uLeft, k.OriginY() + uTop);
    return out;
}

ImageBuffer RandomContent(int w, int h, uint32_t seed)
{
    std::mt19937 random(seed);
    // Mostly clear or opaque, with some partial alpha, like drawn objects.
    return testutil::MakeImage(w, h, 32, [&](int, int) {
        const int pick = int(random() % 4);
        const uint8_t alpha = pick == 0 ? 0 : pick == 1 ? uint8_t(random()) : 255;
        return Bgra { uint8_t(random()), uint8_t(random()), uint8_t(random()), alpha };
    });
}

uint32_t Argb(Bgra c)
{
    return uint32_t(c.a) << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

class CountingProgress : public ProgressSink {
public:
    void SetPosition(int percent) override
    {
        positions.push_back(percent);
        ProgressSink::SetPosition(percent);
    }
    std::vector<int> positions;
};

} // namespace

TEST(ShadowEffectTest, DefaultShadowMatchesTheStepByStepResult)
{
    for (const auto& [w, h] : { std::pair { 1, 1 }, { 7, 3 }, { 23, 31 }, { 64, 9 } }) {
        ImageBuffer image = RandomContent(w, h, uint32_t(w * 100 + h));
        image.SetOrigin(30, -4);
        const ImageBuffer expected = OracleShadow(image, {});
        ShadowEffect shadow;
        image.ApplyEffect(shadow);
        ASSERT_TRUE(objtest::SamePicture(image, expected, "shadow")) << w << "x" << h;
        // The image grew by 5 on the top-left and 15 on the bottom-right; the origin follows.
        EXPECT_EQ(image.Width(), w + 20);
        EXPECT_EQ(image.Height(), h + 20);
        EXPECT_EQ(image.OriginX(), 25);
        EXPECT_EQ(image.OriginY(), -9);
    }
}

TEST(ShadowEffectTest, OtherParametersMatchTheStepByStepResult)
{
    // An odd window, a coloured shadow and an offset up and to the right.
    const ShadowParams params { 7, { 40, 90, 200, 255 }, 50, 3, -6 };
    ImageBuffer image = RandomContent(19, 12, 3);
    const ImageBuffer expected = OracleShadow(image, params);
    ShadowEffect shadow(params.radius, Argb(params.colour), params.opacity, params.offsetX, params.offsetY);
    image.ApplyEffect(shadow);
    EXPECT_TRUE(objtest::SamePicture(image, expected, "shadow"));
}

TEST(ShadowEffectTest, SparseContentMatchesTheStepByStepResult)
{
    // Drawn lines leave most of a picture empty: a diagonal, a few lone pixels of faint alpha and empty
    // rows, so that rows are worked on in parts.
    ImageBuffer image = testutil::MakeImage(90, 70, 32, [](int x, int y) {
        if (std::abs(x - y - 10) <= 1)
            return Bgra { 10, 200, 30, uint8_t(80 + x) };
        if ((x == 85 && y == 3) || (x == 2 && y == 60))
            return Bgra { 1, 2, 3, 1 };
        return Bgra { 9, 9, 9, 0 };
    });
    const ImageBuffer expected = OracleShadow(image, {});
    ShadowEffect shadow;
    image.ApplyEffect(shadow);
    EXPECT_TRUE(objtest::SamePicture(image, expected, "shadow"));
}

TEST(ShadowEffectTest, OpaqueSquareCastsAFadingShadow)
{
    // A 20x20 opaque white square: the shadow is black at 75% (alpha 191) under its middle and fades
    // over 10 pixels; the square stays at (5, 5) in the grown image.
    ImageBuffer image = objtest::SolidImage(20, 20, objtest::kWhite);
    ShadowEffect shadow;
    image.ApplyEffect(shadow);
    EXPECT_EQ(PixelAt(image, 5, 5), objtest::kWhite);
    EXPECT_EQ(PixelAt(image, 24, 24), objtest::kWhite);
    // Pixel (27, 20) is 2 past the square's right edge: its window covers shadow columns 22..31 of which
    // 22..29 (8 of 10) hold 191, and all 10 rows: 191 * 80 / 100 = 152.
    EXPECT_EQ(PixelAt(image, 27, 20), (Bgra { 0, 0, 0, 152 }));
    EXPECT_EQ(PixelAt(image, 39, 39), (Bgra { 0, 0, 0, 0 }));
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgra { 0, 0, 0, 0 }));
}

TEST(ShadowEffectTest, ClampsItsParameters)
{
    EXPECT_EQ(ShadowEffect(0).Radius(), 2);
    EXPECT_EQ(ShadowEffect(-5).Radius(), 2);
    EXPECT_EQ(ShadowEffect(10, 0xFF000000, 0).Opacity(), 1);
    EXPECT_EQ(ShadowEffect(10, 0xFF000000, 250).Opacity(), 100);
}

TEST(ShadowEffectTest, RunsOnlyOnThirtyTwoBitImages)
{
    ImageBuffer image = objtest::SolidImage(6, 4, objtest::kWhite, 24);
    const ImageBuffer before(image);
    ShadowEffect shadow;
    image.ApplyEffect(shadow);
    EXPECT_TRUE(objtest::SamePicture(image, before, "24-bit"));
    ImageBuffer empty;
    empty.ApplyEffect(shadow);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(ShadowEffectTest, ReportsProgressAfterEachRow)
{
    ImageBuffer image = objtest::SolidImage(5, 5, objtest::kWhite);
    CountingProgress progress;
    ShadowEffect shadow;
    image.ApplyEffect(shadow, &progress);
    ASSERT_EQ(progress.positions.size(), 25u); // one per row of the grown image
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
    EXPECT_EQ(progress.positions.front(), 4);
    EXPECT_EQ(progress.positions.back(), 100);
}
