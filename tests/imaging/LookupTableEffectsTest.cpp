#include "ImageTestUtil.h"
#include "imaging/ImageBuffer.h"
#include "imaging/colour/BrightnessEffect.h"
#include "imaging/colour/ContrastEffect.h"
#include "imaging/colour/InvertEffect.h"
#include "imaging/colour/LookupTableEffect.h"
#include "imaging/colour/PosterizeEffect.h"
#include "tests/imaging/EffectTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using effecttest::ApplyPixelByPixel;
using effecttest::RandomImage;
using effecttest::SamePixels;
using testutil::Bgra;
using testutil::PixelAt;

namespace {

// Runs the table over every value: returns what 0..255 become, read from an image of 256 grey pixels.
std::vector<int> Outputs(LookupTableEffect& effect)
{
    ImageBuffer image;
    image.Create(256, 1, 24);
    for (int v = 0; v < 256; ++v) {
        uint8_t* p = image.PixelAddress(v, 0);
        p[0] = p[1] = p[2] = uint8_t(v);
    }
    image.ApplyEffect(effect);
    std::vector<int> out;
    for (int v = 0; v < 256; ++v) {
        const uint8_t* p = image.PixelAddress(v, 0);
        EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << "channels differ at " << v;
        out.push_back(p[0]);
    }
    return out;
}

// A table whose entries do not fit a byte: only their low bytes land in the pixels.
class WrappingTable final : public LookupTableEffect {
public:
    using LookupTableEffect::LookupTableEffect;
    int MapValue(int value) const override { return value + 257; }
};

} // namespace

TEST(LookupTable, MapsOnlyTheChosenChannelsWithTheLowByte)
{
    // Mask bits: 1 red, 2 green, 4 blue; value + 257 has low byte value + 1 (255 wraps to 0).
    ImageBuffer image;
    image.Create(2, 1, 32);
    testutil::SetPixel(image, 0, 0, { 10, 20, 30, 40 });
    testutil::SetPixel(image, 1, 0, { 255, 255, 255, 255 });
    ImageBuffer perPixel = image;
    WrappingTable green(2);
    image.ApplyEffect(green);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgra { 10, 21, 30, 40 }));
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgra { 255, 0, 255, 255 }));
    EXPECT_EQ(green.TableEntry(255), 512);
    WrappingTable alsoGreen(2);
    ApplyPixelByPixel(perPixel, alsoGreen);
    EXPECT_TRUE(SamePixels(perPixel, image));

    ImageBuffer redBlue;
    redBlue.Create(1, 1, 24);
    testutil::SetPixel(redBlue, 0, 0, { 1, 2, 3, 0 });
    WrappingTable both(5);
    redBlue.ApplyEffect(both);
    EXPECT_EQ(PixelAt(redBlue, 0, 0), (Bgra { 2, 2, 4, 0 }));
}

TEST(LookupTable, RowPathEqualsPixelPathAndKeepsAlpha)
{
    for (const int bpp : { 24, 32 }) {
        const ImageBuffer source = RandomImage(31, 9, bpp, uint32_t(bpp));
        ImageBuffer fast = source;
        ImageBuffer slow = source;
        ContrastEffect one(170);
        ContrastEffect two(170);
        fast.ApplyEffect(one);
        ApplyPixelByPixel(slow, two);
        EXPECT_TRUE(SamePixels(fast, slow));
        for (int x = 0; bpp == 32 && x < 31; ++x)
            EXPECT_EQ(PixelAt(fast, x, 4).a, PixelAt(source, x, 4).a);
    }
}

TEST(Brightness, ScalesByPercentWithIntegerDivision)
{
    BrightnessEffect same(100);
    BrightnessEffect black(0);
    BrightnessEffect twice(200);
    BrightnessEffect oneAndHalf(150);
    const auto unchanged = Outputs(same), zero = Outputs(black), doubled = Outputs(twice), half = Outputs(oneAndHalf);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(unchanged[size_t(v)], v);
        EXPECT_EQ(zero[size_t(v)], 0);
        EXPECT_EQ(doubled[size_t(v)], std::min(255, 2 * v));
    }
    // 150 * 3 / 100 = 4.5, truncated to 4; 150 * 171 / 100 = 256.5 saturates.
    EXPECT_EQ(half[3], 4);
    EXPECT_EQ(half[170], 255);
    EXPECT_EQ(half[171], 255);
    EXPECT_EQ(BrightnessEffect(-20).Level(), 0);
    // A level beyond the trackbar must saturate, not overflow.
    BrightnessEffect huge(INT_MAX);
    const auto saturated = Outputs(huge);
    EXPECT_EQ(saturated[0], 0);
    EXPECT_EQ(saturated[1], 255);
    EXPECT_EQ(saturated[255], 255);
}

TEST(Contrast, StretchesAboutTheMiddleTruncatingTowardZero)
{
    ContrastEffect same(100);
    ContrastEffect flat(0);
    ContrastEffect steep(200);
    const auto unchanged = Outputs(same), grey = Outputs(flat), doubled = Outputs(steep);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(unchanged[size_t(v)], v);
        EXPECT_EQ(grey[size_t(v)], 128);
    }
    // (127 - 128) * 2 = -2 and (129 - 128) * 2 = 2 around 128; the ends saturate.
    EXPECT_EQ(doubled[127], 126);
    EXPECT_EQ(doubled[129], 130);
    EXPECT_EQ(doubled[0], 0);
    EXPECT_EQ(doubled[255], 255);
    // (100 - 128) * 150 / 100 = -42 exactly, while (101 - 128) * 150 / 100 = -40.5 truncates to -40.
    ContrastEffect oneAndHalf(150);
    const auto some = Outputs(oneAndHalf);
    EXPECT_EQ(some[100], 86);
    EXPECT_EQ(some[101], 88);
    EXPECT_EQ(ContrastEffect(-1).Level(), 0);
    ContrastEffect huge(INT_MAX);
    const auto stepped = Outputs(huge);
    EXPECT_EQ(stepped[127], 0);
    EXPECT_EQ(stepped[128], 128);
    EXPECT_EQ(stepped[129], 255);
}

TEST(Invert, TwiceRestoresAndMaskLimitsTheChannels)
{
    InvertEffect all;
    const auto inverted = Outputs(all);
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(inverted[size_t(v)], 255 - v);

    const ImageBuffer source = RandomImage(13, 7, 32, 5);
    ImageBuffer image = source;
    InvertEffect first;
    InvertEffect second;
    image.ApplyEffect(first);
    image.ApplyEffect(second);
    EXPECT_TRUE(SamePixels(image, source));

    InvertEffect redOnly(1);
    image.ApplyEffect(redOnly);
    const Bgra before = PixelAt(source, 3, 3), after = PixelAt(image, 3, 3);
    EXPECT_EQ(after, (Bgra { before.b, before.g, uint8_t(255 - before.r), before.a }));
}

TEST(Posterize, TwoAndThreeLevels)
{
    PosterizeEffect two(2);
    PosterizeEffect three(3);
    const auto halves = Outputs(two), thirds = Outputs(three);
    for (int v = 0; v < 256; ++v) {
        // Two levels: step 255, v / 255 rounds up from 127.5.
        EXPECT_EQ(halves[size_t(v)], v < 128 ? 0 : 255) << v;
        // Three levels: step 127.5; v / 127.5 reaches 0.5 at 63.75 and 1.5 at 191.25; 127.5 rounds up.
        EXPECT_EQ(thirds[size_t(v)], v < 64 ? 0 : v < 192 ? 128 : 255) << v;
    }
    EXPECT_EQ(PosterizeEffect(1).Levels(), 2);
    EXPECT_EQ(PosterizeEffect(-7).Levels(), 2);
    // Far more levels than values change nothing (and must not overflow).
    PosterizeEffect many(INT_MAX);
    const auto kept = Outputs(many);
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(kept[size_t(v)], v);
}

TEST(Posterize, FiveLevelsRoundTheStepProduct)
{
    // Step 63.75: 32 / 63.75 = 0.502 rounds to 1, giving 63.75, which rounds to 64; 223 / 63.75 = 3.498
    // rounds to 3, giving 191.25, which rounds to 191.
    PosterizeEffect five(5);
    const auto out = Outputs(five);
    EXPECT_EQ(out[31], 0);
    EXPECT_EQ(out[32], 64);
    EXPECT_EQ(out[96], 128);
    EXPECT_EQ(out[223], 191);
    EXPECT_EQ(out[224], 255);
}
