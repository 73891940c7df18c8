#include "ImageTestUtil.h"
#include "imaging/ImageBuffer.h"
#include "imaging/geometry/FlipHorizontalEffect.h"
#include "imaging/geometry/FlipVerticalEffect.h"
#include "imaging/geometry/Rotate270Effect.h"
#include "imaging/geometry/Rotate90Effect.h"
#include "tests/imaging/EffectTestUtil.h"

#include <gtest/gtest.h>

using effecttest::ApplyPixelByPixel;
using effecttest::RandomImage;
using effecttest::SamePixels;
using testutil::Bgra;
using testutil::Distinct;
using testutil::MakeImage;
using testutil::PixelAt;

namespace {

template <class Effect> ImageBuffer Applied(const ImageBuffer& image)
{
    ImageBuffer result = image;
    Effect effect;
    result.ApplyEffect(effect);
    return result;
}

// Pixel (x, y) of the mirror or turn, read straight from the source.
template <class Map> ImageBuffer Remapped(const ImageBuffer& source, int width, int height, Map map)
{
    ImageBuffer expected;
    expected.Create(width, height, source.BitCount());
    const int bytes = source.BitCount() / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto [sx, sy] = map(x, y);
            std::copy_n(source.PixelAddress(sx, sy), bytes, expected.PixelAddress(x, y));
        }
    return expected;
}

} // namespace

TEST(QuarterTurn, ThreeByTwoTurnsIntoTwoByThree)
{
    const ImageBuffer source = MakeImage(3, 2, 32);
    const ImageBuffer right = Applied<Rotate90Effect>(source);
    ASSERT_EQ(right.Width(), 2);
    ASSERT_EQ(right.Height(), 3);
    // Clockwise: the top row is the source's left column read from the bottom.
    EXPECT_EQ(PixelAt(right, 0, 0), PixelAt(source, 0, 1));
    EXPECT_EQ(PixelAt(right, 1, 0), PixelAt(source, 0, 0));
    EXPECT_EQ(PixelAt(right, 0, 2), PixelAt(source, 2, 1));

    const ImageBuffer left = Applied<Rotate270Effect>(source);
    ASSERT_EQ(left.Width(), 2);
    ASSERT_EQ(left.Height(), 3);
    // Anticlockwise: the top row is the source's right column read from the top.
    EXPECT_EQ(PixelAt(left, 0, 0), PixelAt(source, 2, 0));
    EXPECT_EQ(PixelAt(left, 1, 0), PixelAt(source, 2, 1));
    EXPECT_EQ(PixelAt(left, 1, 2), PixelAt(source, 0, 1));
}

TEST(QuarterTurn, EveryPixelComesFromItsSourceAtEveryDepth)
{
    // Sizes that leave partial bands of rows and odd row padding.
    for (const int bpp : { 8, 16, 24, 32 })
        for (const auto& [w, h] :
            { std::pair { 37, 19 }, std::pair { 1, 40 }, std::pair { 40, 1 }, std::pair { 1, 1 } }) {
            SCOPED_TRACE(testing::Message() << bpp << " bpp " << w << "x" << h);
            const ImageBuffer source = RandomImage(w, h, bpp, uint32_t(bpp * 1000 + w * 10 + h));
            EXPECT_TRUE(SamePixels(Applied<Rotate90Effect>(source), Remapped(source, h, w, [&](int x, int y) {
                return std::pair { y, h - 1 - x };
            })));
            EXPECT_TRUE(SamePixels(Applied<Rotate270Effect>(source), Remapped(source, h, w, [&](int x, int y) {
                return std::pair { w - 1 - y, x };
            })));

            ImageBuffer perPixel = source;
            Rotate90Effect effect;
            ApplyPixelByPixel(perPixel, effect);
            EXPECT_TRUE(SamePixels(perPixel, Applied<Rotate90Effect>(source)));
        }
}

TEST(QuarterTurn, FourTurnsGiveTheImageBack)
{
    const ImageBuffer source = RandomImage(53, 29, 32, 7);
    ImageBuffer clockwise = source;
    ImageBuffer anticlockwise = source;
    for (int i = 0; i < 4; ++i) {
        Rotate90Effect right;
        clockwise.ApplyEffect(right);
        Rotate270Effect left;
        anticlockwise.ApplyEffect(left);
    }
    EXPECT_TRUE(SamePixels(clockwise, source));
    EXPECT_TRUE(SamePixels(anticlockwise, source));
    EXPECT_TRUE(SamePixels(Applied<Rotate270Effect>(Applied<Rotate90Effect>(source)), source));
}

TEST(QuarterTurn, KeepsPaletteAndBitFieldMasks)
{
    ImageBuffer indexed = RandomImage(5, 3, 8, 3);
    const RgbQuad entry { 1, 2, 3, 0 };
    indexed.SetPalette(200, 1, &entry);
    const ImageBuffer turned = Applied<Rotate90Effect>(indexed);
    RgbQuad after;
    ASSERT_TRUE(turned.GetPalette(200, 1, &after));
    EXPECT_EQ(after, entry);

    // 5-6-5 words: losing the masks would reinterpret every colour as 5-5-5.
    BitmapInfoHeader header;
    header.biWidth = 4;
    header.biHeight = 2;
    header.biBitCount = 16;
    header.biCompression = kBiBitfields;
    const uint32_t masks[3] = { 0xF800, 0x07E0, 0x001F };
    ImageBuffer words;
    ASSERT_TRUE(words.CreateFromInfo(header, masks));
    const ImageBuffer turnedWords = Applied<Rotate270Effect>(words);
    EXPECT_EQ(turnedWords.Header().biCompression, kBiBitfields);
    EXPECT_EQ(turnedWords.GreenMask(), 0x07E0u);
}

TEST(QuarterTurn, KeepsTheOriginResetsTheTagAndHoldsTheSourceAsSnapshot)
{
    ImageBuffer image = RandomImage(6, 3, 32, 12);
    image.SetOrigin(3, -4);
    image.SetTag(90);
    const ImageBuffer source = image;
    Rotate270Effect turn;
    image.ApplyEffect(turn);
    EXPECT_EQ(image.OriginX(), 3);
    EXPECT_EQ(image.OriginY(), -4);
    EXPECT_EQ(image.Tag(), 0) << "recreating resets the tag";
    ASSERT_NE(turn.SourceSnapshot(), nullptr);
    EXPECT_TRUE(SamePixels(*turn.SourceSnapshot(), source));
}

TEST(QuarterTurn, RefusesPackedDepthsAndEmptyImages)
{
    ImageBuffer nibbles;
    nibbles.Create(6, 2, 4);
    nibbles.Row(0)[0] = 0x12;
    ImageBuffer copy = nibbles;
    Rotate90Effect turn;
    EXPECT_FALSE(turn.CanApply(nibbles));
    copy.ApplyEffect(turn);
    EXPECT_EQ(copy.Width(), 6);
    EXPECT_EQ(copy.Row(0)[0], 0x12);
    EXPECT_FALSE(Rotate270Effect().CanApply(ImageBuffer()));
    EXPECT_FALSE(FlipHorizontalEffect().CanApply(nibbles));
    EXPECT_FALSE(FlipVerticalEffect().CanApply(nibbles));
}

TEST(Flip, MirrorsEveryPixelAndKeepsTheMiddleOfAnOddSize)
{
    for (const int bpp : { 8, 16, 24, 32 }) {
        SCOPED_TRACE(testing::Message() << bpp << " bpp");
        const ImageBuffer source = RandomImage(7, 5, bpp, uint32_t(bpp));
        const ImageBuffer horizontal = Applied<FlipHorizontalEffect>(source);
        EXPECT_TRUE(SamePixels(horizontal, Remapped(source, 7, 5, [](int x, int y) {
            return std::pair { 6 - x, y };
        })));
        const ImageBuffer vertical = Applied<FlipVerticalEffect>(source);
        EXPECT_TRUE(SamePixels(vertical, Remapped(source, 7, 5, [](int x, int y) { return std::pair { x, 4 - y }; })));

        ImageBuffer perPixel = source;
        FlipHorizontalEffect mirror;
        ApplyPixelByPixel(perPixel, mirror);
        EXPECT_TRUE(SamePixels(perPixel, horizontal));
        perPixel = source;
        FlipVerticalEffect upsideDown;
        ApplyPixelByPixel(perPixel, upsideDown);
        EXPECT_TRUE(SamePixels(perPixel, vertical));
    }
}

TEST(Flip, TwiceRestoresTheImage)
{
    for (const auto& [w, h] : { std::pair { 8, 6 }, std::pair { 9, 7 }, std::pair { 1, 1 } }) {
        const ImageBuffer source = RandomImage(w, h, 24, uint32_t(w));
        EXPECT_TRUE(SamePixels(Applied<FlipHorizontalEffect>(Applied<FlipHorizontalEffect>(source)), source));
        EXPECT_TRUE(SamePixels(Applied<FlipVerticalEffect>(Applied<FlipVerticalEffect>(source)), source));
    }
}
