#include "ImageTestUtil.h"
#include "imaging/ImageBuffer.h"
#include "imaging/colour/ColorLevelEffect.h"
#include "imaging/colour/ColorToneEffect.h"
#include "imaging/colour/ColourModel.h"
#include "imaging/colour/GrayScaleEffect.h"
#include "imaging/colour/HueSaturationEffect.h"
#include "imaging/colour/RgbValueEffect.h"
#include "tests/imaging/EffectTestUtil.h"

#include <gtest/gtest.h>

#include <climits>

using effecttest::ApplyPixelByPixel;
using effecttest::RandomImage;
using effecttest::SamePixels;
using testutil::Bgra;
using testutil::MakeImage;
using testutil::PixelAt;

namespace {

Bgra Unpack(uint32_t packed)
{
    return { uint8_t(packed), uint8_t(packed >> 8), uint8_t(packed >> 16), uint8_t(packed >> 24) };
}

template <class Effect> Bgra AppliedTo(Bgra colour, Effect&& effect)
{
    ImageBuffer image = MakeImage(1, 1, 32, [&](int, int) { return colour; });
    image.ApplyEffect(effect);
    return PixelAt(image, 0, 0);
}

// Hue/saturation read plainly, through the two conversions, for one pixel.
Bgra PlainHueSaturation(Bgra c, int hue, int saturation)
{
    Hsl hsl = RgbToHsl(c.b, c.g, c.r);
    if (hue != 100)
        hsl.h = hue * hsl.h * 0.01;
    if (saturation != 100)
        hsl.s = saturation * hsl.s * 0.01;
    const Bgra out = Unpack(HslToRgb(hsl.h, hsl.l, hsl.s));
    return { out.b, out.g, out.r, c.a };
}

} // namespace

TEST(ColourModel, PrimariesAndTheirSextants)
{
    // Pure red, green and blue sit at 0, 1/3 and 2/3 of the hue circle with full saturation, lightness 1/2.
    const Hsl red = RgbToHsl(0, 0, 255), green = RgbToHsl(0, 255, 0), blue = RgbToHsl(255, 0, 0);
    EXPECT_DOUBLE_EQ(red.h, 0);
    EXPECT_DOUBLE_EQ(green.h, 1.0 / 3);
    EXPECT_DOUBLE_EQ(blue.h, 2.0 / 3);
    EXPECT_DOUBLE_EQ(red.s, 1);
    EXPECT_DOUBLE_EQ(red.l, 0.5);
    // Magenta: red is the maximum and green - blue is negative, so the hue wraps to 5/6.
    EXPECT_DOUBLE_EQ(RgbToHsl(255, 0, 255).h, 5.0 / 6);
    // Dark and light halves use the two saturation formulas: (0, 0, 51) is 0.2 / 0.2 = 1, and
    // (204, 204, 255) has d = 0.2 over 2 - 1 - 0.8.
    EXPECT_DOUBLE_EQ(RgbToHsl(0, 0, 51).s, 1);
    EXPECT_NEAR(RgbToHsl(204, 204, 255).s, 1.0, 1e-12);
    const Hsl grey = RgbToHsl(90, 90, 90);
    EXPECT_EQ(grey.h, 0);
    EXPECT_EQ(grey.s, 0);

    EXPECT_EQ(Unpack(HslToRgb(0, 0.5, 1)), (Bgra { 0, 0, 255, 255 }));
    EXPECT_EQ(Unpack(HslToRgb(1.0 / 3, 0.5, 1)), (Bgra { 0, 255, 0, 255 }));
    EXPECT_EQ(Unpack(HslToRgb(2.0 / 3, 0.5, 1)), (Bgra { 255, 0, 0, 255 }));
    // No saturation: every channel is trunc(L * 255); 100.5 gives 100.
    EXPECT_EQ(Unpack(HslToRgb(0.3, 201 / 510.0, 0)), (Bgra { 100, 100, 100, 255 }));
}

TEST(ColourModel, OutOfRangeHueIsCorrectedOnlyOnce)
{
    // Blue has H = 2/3. Doubled, 6H = 8: red's argument 10 becomes 4 (p), green's 8 becomes 2 (q), and
    // blue's 6 is not above 6 (p). So pure blue turns pure green.
    EXPECT_EQ(AppliedTo(Bgra { 255, 0, 0, 255 }, HueSaturationEffect(200, 100)), (Bgra { 0, 255, 0, 255 }));
    // Tripled, 6H = 12: the arguments 14, 12 and 10 are all still at least 4 after one correction, so
    // every channel is p = 0.
    EXPECT_EQ(AppliedTo(Bgra { 255, 0, 0, 255 }, HueSaturationEffect(300, 100)), (Bgra { 0, 0, 0, 255 }));
}

TEST(HueSaturation, SaturationZeroUsesLightnessNotTheWeightedGrey)
{
    // Red 201 alone: L = 201 / 510, L * 255 = 100.5, truncated to 100; the weighted grey would be 60.
    EXPECT_EQ(AppliedTo(Bgra { 0, 0, 201, 7 }, HueSaturationEffect(100, 0)), (Bgra { 100, 100, 100, 7 }));
    // Hue 0 sends every hue to red's sextant.
    EXPECT_EQ(AppliedTo(Bgra { 0, 255, 0, 255 }, HueSaturationEffect(0, 100)), (Bgra { 0, 0, 255, 255 }));
    // Worked through both conversions in double precision by hand (red 200, green 120, blue 40, hue 150,
    // saturation 80).
    EXPECT_EQ(AppliedTo(Bgra { 40, 120, 200, 255 }, HueSaturationEffect(150, 80)), (Bgra { 56, 151, 183, 255 }));
    EXPECT_EQ(HueSaturationEffect(-5, -1).HuePercent(), 0);
    EXPECT_EQ(HueSaturationEffect(-5, -1).SaturationPercent(), 0);
}

// The effect takes its divisions from tables and remembers results by colour; both must give what the
// plain conversions give, for a wide spread of colours seen once and again.
// Colours whose result a fused multiply-add changes: built for x86-64-v3 without -ffp-contract=off,
// 142,252 of all colours came out different at hue 150 and saturation 80. The exact bytes are the same
// on every target and for every choice of flags.
TEST(HueSaturation, GivesTheSameBytesWhateverTheTarget)
{
    struct Case {
        int hue, saturation;
        Bgra in, out;
    };
    const Case cases[] = {
        { 150, 80, { 46, 12, 0, 255 }, { 18, 4, 41, 255 } },
        { 150, 80, { 105, 224, 94, 255 }, { 211, 197, 107, 255 } },
        { 150, 80, { 219, 49, 163, 255 }, { 65, 202, 201, 255 } },
        { 150, 80, { 185, 235, 216, 255 }, { 192, 229, 190, 255 } },
        { 200, 200, { 125, 179, 161, 255 }, { 170, 206, 97, 255 } },
        { 200, 200, { 214, 82, 201, 255 }, { 255, 68, 15, 255 } },
        { 100, 100, { 104, 175, 159, 255 }, { 103, 175, 159, 255 } },
        { 37, 163, { 17, 250, 33, 255 }, { 0, 215, 255, 255 } },
    };
    for (const Case& c : cases) {
        // Wide enough for the vector rows and their tail.
        ImageBuffer image = MakeImage(9, 1, 32, [&](int, int) { return c.in; });
        HueSaturationEffect effect(c.hue, c.saturation);
        image.ApplyEffect(effect);
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(PixelAt(image, x, 0), c.out) << "hue " << c.hue << " saturation " << c.saturation << " from "
                                                   << testing::PrintToString(c.in) << " at " << x;
    }
}

TEST(HueSaturation, MatchesThePlainConversionsOnManyColours)
{
    const int settings[][2] = { { 100, 100 }, { 0, 0 }, { 150, 80 }, { 200, 200 }, { 37, 163 }, { 1000, 5 } };
    ImageBuffer colours;
    colours.Create(4096, 64, 32);
    for (int i = 0; i < 4096 * 64; ++i) {
        // The first rows hold every channel value on a stride of 5, each combination once (too many to
        // remember); the last rows repeat 20000 of them in a shuffled order, so remembered results are
        // found, and slots are taken over by other colours.
        const int k = i < 4096 * 40 ? i % (52 * 52 * 52) : (i * 7919) % 20000 * 7;
        const int b = (k % 52) * 5, g = (k / 52 % 52) * 5, r = (k / 2704) * 5;
        testutil::SetPixel(colours, i % 4096, i / 4096, { uint8_t(b), uint8_t(g), uint8_t(r), uint8_t(i) });
    }
    for (const auto& [hue, saturation] : settings) {
        SCOPED_TRACE(testing::Message() << "hue " << hue << " saturation " << saturation);
        ImageBuffer adjusted = colours;
        HueSaturationEffect effect(hue, saturation);
        adjusted.ApplyEffect(effect);
        int wrong = 0;
        for (int y = 0; y < colours.Height() && wrong < 5; ++y)
            for (int x = 0; x < colours.Width() && wrong < 5; ++x) {
                const Bgra expected = PlainHueSaturation(PixelAt(colours, x, y), hue, saturation);
                if (PixelAt(adjusted, x, y) != expected) {
                    ++wrong;
                    ADD_FAILURE() << "at " << x << "," << y << " from "
                                  << testing::PrintToString(PixelAt(colours, x, y)) << ": "
                                  << testing::PrintToString(PixelAt(adjusted, x, y)) << " instead of "
                                  << testing::PrintToString(expected);
                }
            }
    }
    // A width that leaves pixels over after the groups the row loops take at once.
    for (int bpp : { 24, 32 }) {
        const ImageBuffer random = RandomImage(61, 47, bpp, 3);
        ImageBuffer fast = random;
        ImageBuffer slow = random;
        HueSaturationEffect one(120, 60);
        HueSaturationEffect two(120, 60);
        fast.ApplyEffect(one);
        ApplyPixelByPixel(slow, two);
        EXPECT_TRUE(SamePixels(fast, slow)) << bpp << " bpp";
    }
}

TEST(RgbValue, OffsetsSaturateAtBothEnds)
{
    EXPECT_EQ(AppliedTo(Bgra { 100, 100, 200, 9 }, RgbValueEffect(128, -128, 5)), (Bgra { 105, 0, 255, 9 }));
    EXPECT_EQ(AppliedTo(Bgra { 100, 100, 200, 9 }, RgbValueEffect(0, 0, 0)), (Bgra { 100, 100, 200, 9 }));
    // Offsets from the command line can be far outside the trackbar's range.
    EXPECT_EQ(AppliedTo(Bgra { 1, 2, 3, 9 }, RgbValueEffect(INT_MAX, INT_MIN, 0)), (Bgra { 1, 0, 255, 9 }));
}

TEST(ColorLevel, FullRangeKeepsAndEqualEndsThreshold)
{
    ImageBuffer ramp;
    ramp.Create(256, 1, 24);
    for (int v = 0; v < 256; ++v)
        testutil::SetPixel(ramp, v, 0, { uint8_t(v), uint8_t(v), uint8_t(v), 0 });
    ImageBuffer kept = ramp;
    ColorLevelEffect full(0, 255, 7);
    kept.ApplyEffect(full);
    EXPECT_TRUE(SamePixels(kept, ramp));

    ImageBuffer threshold = ramp;
    ColorLevelEffect hundred(100, 100, 7);
    threshold.ApplyEffect(hundred);
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(PixelAt(threshold, v, 0).g, v > 100 ? 255 : 0) << v;
}

TEST(ColorLevel, StretchRoundsHalfAwayAndCanReverse)
{
    // Low 0, high 2: 1 / 2 * 255 = 127.5 rounds to 128.
    EXPECT_EQ(ColorLevelEffect::Level(1, 0, 2), 128);
    // Low 200, high 100: (150 - 200) / -100 * 255 = 127.5, again 128; the ends swap.
    EXPECT_EQ(ColorLevelEffect::Level(150, 200, 100), 128);
    EXPECT_EQ(ColorLevelEffect::Level(200, 200, 100), 0);
    EXPECT_EQ(ColorLevelEffect::Level(100, 200, 100), 255);
    EXPECT_EQ(ColorLevelEffect::Level(50, 200, 100), 255);
    // Low 30, high 220: (100 - 30) / 190 * 255 = 93.95, rounded to 94.
    EXPECT_EQ(ColorLevelEffect::Level(100, 30, 220), 94);

    // The radio's "R" (mask 1) leaves blue and green; the ends are clamped when the effect is made.
    const ColorLevelEffect clamped(-5, 300, 1);
    EXPECT_EQ(clamped.Low(ColorLevelEffect::Red), 0);
    EXPECT_EQ(clamped.High(ColorLevelEffect::Blue), 255);
    EXPECT_EQ(AppliedTo(Bgra { 100, 100, 100, 3 }, ColorLevelEffect(30, 220, 1)), (Bgra { 100, 100, 94, 3 }));
    EXPECT_EQ(AppliedTo(Bgra { 100, 100, 100, 3 }, ColorLevelEffect(30, 220, 6)), (Bgra { 94, 94, 100, 3 }));

    const ImageBuffer source = RandomImage(33, 5, 32, 8);
    ImageBuffer fast = source;
    ImageBuffer slow = source;
    ColorLevelEffect one(40, 180, 5);
    ColorLevelEffect two(40, 180, 5);
    fast.ApplyEffect(one);
    ApplyPixelByPixel(slow, two);
    EXPECT_TRUE(SamePixels(fast, slow));
}

TEST(AutoLevel, FlatChannelsCollapseToZero)
{
    // Red 77, green 0 and blue 255 everywhere: each search stops at (or never leaves) that value, so
    // low equals high and every value becomes (v - low) * 255 = 0.
    ImageBuffer image = MakeImage(10, 10, 32, [](int, int) { return Bgra { 255, 0, 77, 255 }; });
    ColorLevelEffect effect = ColorLevelEffect::Automatic();
    EXPECT_TRUE(effect.IsAutomatic());
    image.ApplyEffect(effect);
    EXPECT_EQ(effect.Low(ColorLevelEffect::Red), 77);
    EXPECT_EQ(effect.High(ColorLevelEffect::Red), 77);
    EXPECT_EQ(effect.Low(ColorLevelEffect::Green), 0);
    EXPECT_EQ(effect.High(ColorLevelEffect::Green), 0);
    EXPECT_EQ(effect.Low(ColorLevelEffect::Blue), 255);
    EXPECT_EQ(effect.High(ColorLevelEffect::Blue), 255);
    EXPECT_EQ(PixelAt(image, 4, 4), (Bgra { 0, 0, 0, 255 }));
}

TEST(AutoLevel, ClipsAboutSixPixelsInAThousandAtEachEnd)
{
    // 1000 pixels, 0.006 of them is 6. Five dark pixels at red 10: adding them moves the share from 0 to
    // 0.005, nearer 0.006, so the search goes on and stops only before the bulk at 100. Twenty dark
    // pixels (0.02) are farther from 0.006 than none, so it stops at 10. The bright end mirrors this.
    auto image = [](int dark, int bright) {
        return MakeImage(100, 10, 24, [=](int x, int y) {
            const int i = y * 100 + x;
            const uint8_t red = i < dark ? 10 : i >= 1000 - bright ? 250 : 100;
            return Bgra { uint8_t(i % 256), 50, red, 0 };
        });
    };
    ImageBuffer fewOutliers = image(5, 5);
    ColorLevelEffect first = ColorLevelEffect::Automatic();
    fewOutliers.ApplyEffect(first);
    EXPECT_EQ(first.Low(ColorLevelEffect::Red), 100);
    EXPECT_EQ(first.High(ColorLevelEffect::Red), 100);

    ImageBuffer manyOutliers = image(20, 20);
    ColorLevelEffect second = ColorLevelEffect::Automatic();
    manyOutliers.ApplyEffect(second);
    EXPECT_EQ(second.Low(ColorLevelEffect::Red), 10);
    EXPECT_EQ(second.High(ColorLevelEffect::Red), 250);
    // 100 on 10..250: 90 / 240 * 255 = 95.6, rounded to 96.
    EXPECT_EQ(PixelAt(manyOutliers, 50, 5).r, 96);
}

TEST(GrayScale, WeightsTheChannelsAndTruncates)
{
    // 255 * 30 / 100 = 76.5, truncated.
    EXPECT_EQ(AppliedTo(Bgra { 0, 0, 255, 1 }, GrayScaleEffect()), (Bgra { 76, 76, 76, 1 }));
    // 59 % of 255 is 150.45 and 11 % is 28.05.
    EXPECT_EQ(AppliedTo(Bgra { 0, 255, 0, 1 }, GrayScaleEffect()), (Bgra { 150, 150, 150, 1 }));
    EXPECT_EQ(AppliedTo(Bgra { 255, 0, 0, 1 }, GrayScaleEffect()), (Bgra { 28, 28, 28, 1 }));
    EXPECT_EQ(AppliedTo(Bgra { 255, 255, 255, 1 }, GrayScaleEffect()), (Bgra { 255, 255, 255, 1 }));
}

TEST(ColorTone, KeepsBlackAndWhiteAndDarkensTheMiddle)
{
    // Pure red has S = 1 and H = 0, so lightness 1 gives q = p = 1 exactly.
    EXPECT_EQ(AppliedTo(Bgra { 0, 0, 0, 5 }, ColorToneEffect(255, 0, 0)), (Bgra { 0, 0, 0, 5 }));
    EXPECT_EQ(AppliedTo(Bgra { 255, 255, 255, 5 }, ColorToneEffect(255, 0, 0)), (Bgra { 255, 255, 255, 5 }));
    // The default tone (red 254, green 168, blue 33), worked in double precision: H 0.1018, S 0.9910;
    // at lightness 128 / 255 the conversion gives red 253, green 155, blue 2, and the tables scale them
    // by 128 / 255 to 126, 77 and 1.
    const ColorToneEffect tone(254, 168, 33);
    EXPECT_EQ(AppliedTo(Bgra { 128, 128, 128, 5 }, ColorToneEffect(254, 168, 33)), (Bgra { 1, 77, 126, 5 }));
    // At lightness 1 its q is a hair under 1: red and green end at 254, not 255.
    EXPECT_EQ(tone.RedEntry(255), 254);
    EXPECT_EQ(tone.BlueEntry(255), 255);
    EXPECT_EQ(tone.GreenEntry(0), 0);
    // The grey of the pixel picks the entry: red 255 alone is grey 76.
    EXPECT_EQ(AppliedTo(Bgra { 0, 0, 255, 5 }, ColorToneEffect(254, 168, 33)),
        (Bgra { uint8_t(tone.BlueEntry(76)), uint8_t(tone.GreenEntry(76)), uint8_t(tone.RedEntry(76)), 5 }));
}

TEST(ColourEffects, RefuseImagesBelowTwentyFourBits)
{
    ImageBuffer indexed = RandomImage(4, 4, 8, 2);
    const ImageBuffer before = indexed;
    GrayScaleEffect grey;
    ColorToneEffect tone(1, 2, 3);
    ColorLevelEffect level = ColorLevelEffect::Automatic();
    HueSaturationEffect hue(50, 50);
    RgbValueEffect rgb(10, 10, 10);
    for (ImageEffect* effect : std::initializer_list<ImageEffect*> { &grey, &tone, &level, &hue, &rgb }) {
        EXPECT_FALSE(effect->CanApply(indexed));
        indexed.ApplyEffect(*effect);
    }
    EXPECT_TRUE(SamePixels(indexed, before));
    EXPECT_FALSE(grey.CanApply(ImageBuffer()));
}
