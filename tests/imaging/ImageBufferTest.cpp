#include "imaging/ImageBuffer.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using testutil::Bgra;
using testutil::MakeImage;
using testutil::PixelAt;

namespace {

BitmapInfoHeader Header(int width, int height, int bpp, uint32_t compression = kBiRgb)
{
    BitmapInfoHeader h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = uint16_t(bpp);
    h.biCompression = compression;
    return h;
}

} // namespace

TEST(ImageBufferCreate, LaysOutRowsBottomUpWithPaddedStride)
{
    ImageBuffer image;
    ASSERT_TRUE(image.Create(3, 2, 24));
    EXPECT_EQ(image.Stride(), 12); // 9 bytes padded to 12
    EXPECT_EQ(image.Row(0), image.Pixels() + 12); // the top row is stored last
    EXPECT_EQ(image.Row(1), image.Pixels());
    EXPECT_EQ(image.Header().biSize, 40u);
    EXPECT_EQ(image.Header().biPlanes, 1);
    for (size_t i = 0; i < image.PixelBytes(); ++i)
        ASSERT_EQ(image.Pixels()[i], 0) << "new pixel memory must be zero";

    ImageBuffer mono;
    ASSERT_TRUE(mono.Create(33, 1, 1));
    EXPECT_EQ(mono.Stride(), 8);
}

TEST(ImageBufferCreate, GreyRampPaletteForEachLowDepth)
{
    for (auto [bpp, step] : { std::pair { 1, 255 }, { 4, 17 }, { 8, 1 } }) {
        ImageBuffer image;
        ASSERT_TRUE(image.Create(2, 2, bpp));
        const int entries = 1 << bpp;
        std::vector<RgbQuad> palette(static_cast<size_t>(entries));
        ASSERT_TRUE(image.GetPalette(0, entries, palette.data()));
        for (int i = 0; i < entries; ++i) {
            const auto v = uint8_t(i * step);
            EXPECT_EQ(palette[size_t(i)], (RgbQuad { v, v, v, 0 })) << "bpp " << bpp << " entry " << i;
        }
    }
}

TEST(ImageBufferCreate, RefusalsLeaveTheImageAsItWas)
{
    ImageBuffer image = MakeImage(3, 3, 24);
    const std::vector<uint8_t> before(image.Pixels(), image.Pixels() + image.PixelBytes());
    for (const BitmapInfoHeader& bad : { Header(3, -3, 24), Header(0, 3, 24), Header(3, 3, 24, 1), Header(3, 3, 2) })
        EXPECT_FALSE(image.CreateFromInfo(bad));
    ASSERT_EQ(image.Width(), 3);
    ASSERT_EQ(image.BitCount(), 24);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), image.Pixels()));
}

TEST(ImageBufferCreate, OversizedOrOverflowingBlocksFailAndLeaveTheImageEmpty)
{
    ImageBuffer image = MakeImage(2, 2, 32);
    EXPECT_FALSE(image.Create(65536, 65536, 32)); // 16 GiB
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_FALSE(image.Create(0x7FFFFFFF, 2, 32)); // width * 4 overflows 32 bits
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_FALSE(image.Create(1, 0x7FFFFFFF, 8));
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.Width(), 0);
}

TEST(ImageBufferCreate, PixelBlocksStopJustBelowTwoGibibytes)
{
    // At 2^31 bytes the stride or the offset of the last row no longer fits an int.
    struct Case {
        int width, height, bpp;
        bool accepted;
    };
    for (const Case c : { Case { 536870912, 1, 32, false }, Case { 536870911, 1, 32, true },
             Case { 65536, 8192, 32, false }, Case { 65536, 8191, 32, true }, Case { 1, 536870912, 24, false } }) {
        ImageBuffer image;
        ASSERT_EQ(image.Create(c.width, c.height, c.bpp), c.accepted) << c.width << " x " << c.height;
        if (!c.accepted)
            continue;
        EXPECT_GT(image.Stride(), 0);
        // The top row is the last one in the block; writing its last byte stays inside it.
        const size_t top = size_t(image.Row(0) - image.Pixels());
        EXPECT_EQ(top + size_t(image.Stride()), image.PixelBytes());
        image.Row(0)[image.Stride() - 1] = 1;
    }
}

TEST(ImageBufferCreate, LargeBlocksGivenBackComeOutAgainZeroFilled)
{
    // Large blocks are kept for reuse when an image goes; the next image must still start black.
    for (const int side : { 1024, 1000, 760 }) {
        ImageBuffer used;
        ASSERT_TRUE(used.Create(1024, 1024, 32));
        std::memset(used.Pixels(), 0xAB, used.PixelBytes());
        used.Destroy();
        ImageBuffer fresh;
        ASSERT_TRUE(fresh.Create(side, side, 32));
        const uint8_t* bytes = fresh.Pixels();
        EXPECT_TRUE(std::all_of(bytes, bytes + fresh.PixelBytes(), [](uint8_t b) { return b == 0; })) << side;
    }
}

TEST(ImageBufferCreate, SixteenBitMasksDefaultOrComeFromTheHeader)
{
    ImageBuffer plain;
    ASSERT_TRUE(plain.CreateFromInfo(Header(2, 2, 16)));
    EXPECT_EQ(plain.RedMask(), 0x7C00u);
    EXPECT_EQ(plain.GreenMask(), 0x03E0u);
    EXPECT_EQ(plain.BlueMask(), 0x001Fu);

    const uint32_t masks565[3] = { 0xF800, 0x07E0, 0x001F };
    ImageBuffer fields;
    ASSERT_TRUE(fields.CreateFromInfo(Header(2, 2, 16, kBiBitfields), masks565));
    EXPECT_EQ(fields.Header().biCompression, kBiBitfields);
    EXPECT_EQ(fields.RedMask(), 0xF800u);
    EXPECT_EQ(fields.GreenMask(), 0x07E0u);

    // Bit fields on another depth are dropped.
    ImageBuffer deep;
    ASSERT_TRUE(deep.CreateFromInfo(Header(2, 2, 32, kBiBitfields), masks565));
    EXPECT_EQ(deep.Header().biCompression, kBiRgb);

    // The info block round-trips the masks.
    ImageBuffer copy;
    ASSERT_TRUE(copy.CreateFromInfo(fields.MakeBitmapInfo()));
    EXPECT_EQ(copy.GreenMask(), 0x07E0u);
}

TEST(ImageBufferCopy, DeepCopyKeepsOriginTagAndPalette)
{
    ImageBuffer source;
    ASSERT_TRUE(source.Create(5, 3, 8));
    RgbQuad red { 0, 0, 255, 0 };
    source.SetPalette(7, 1, &red);
    *source.PixelAddress(4, 2) = 7;
    source.SetOrigin(-3, 9);
    source.SetTag(120);

    ImageBuffer copy(source);
    ASSERT_EQ(copy.Width(), 5);
    EXPECT_EQ(copy.GetPixelValue(4, 2), 7u);
    EXPECT_EQ(copy.OriginX(), -3);
    EXPECT_EQ(copy.OriginY(), 9);
    EXPECT_EQ(copy.Tag(), 120);
    RgbQuad entry;
    copy.GetPalette(7, 1, &entry);
    EXPECT_EQ(entry, red);

    *source.PixelAddress(4, 2) = 1;
    EXPECT_EQ(copy.GetPixelValue(4, 2), 7u) << "copies must not share pixels";

    ImageBuffer empty;
    EXPECT_FALSE(copy.CopyFrom(empty));
    EXPECT_EQ(copy.Width(), 5) << "copying from an empty image does nothing";
}

TEST(ImageBufferInfo, BlockSizesAndContents)
{
    ImageBuffer rgb;
    rgb.Create(4, 4, 24);
    const auto info = rgb.MakeBitmapInfo();
    EXPECT_EQ(info.size(), 56u);
    BitmapInfoHeader header;
    std::memcpy(&header, info.data(), 40);
    EXPECT_EQ(header.biWidth, 4);
    EXPECT_EQ(header.biBitCount, 24);

    ImageBuffer indexed;
    indexed.Create(4, 4, 8);
    const auto indexedInfo = indexed.MakeBitmapInfo();
    EXPECT_EQ(indexedInfo.size(), 56u + 1024u);
    EXPECT_EQ(indexedInfo[40 + 4 * 200], 200) << "palette follows the header";
}

TEST(ImageBufferPixels, PixelValuesAtEveryDepth)
{
    ImageBuffer mono;
    mono.Create(10, 1, 1);
    mono.Row(0)[1] = 0x40; // pixel 9 is bit 6 of the second byte
    EXPECT_EQ(mono.GetPixelValue(9, 0), 1u);
    EXPECT_EQ(mono.GetPixelValue(8, 0), 0u);

    ImageBuffer nibbles;
    nibbles.Create(3, 1, 4);
    nibbles.Row(0)[0] = 0xA5;
    EXPECT_EQ(nibbles.GetPixelValue(0, 0), 0xAu);
    EXPECT_EQ(nibbles.GetPixelValue(1, 0), 0x5u);

    ImageBuffer words;
    words.Create(2, 1, 16);
    words.Row(0)[2] = 0x34;
    words.Row(0)[3] = 0x12;
    EXPECT_EQ(words.GetPixelValue(1, 0), 0x1234u);

    ImageBuffer rgb = MakeImage(2, 2, 24, [](int, int) { return Bgra { 1, 2, 3, 0 }; });
    EXPECT_EQ(rgb.GetPixelValue(1, 1), 0x030201u);
    ImageBuffer rgba = MakeImage(2, 2, 32, [](int, int) { return Bgra { 1, 2, 3, 4 }; });
    EXPECT_EQ(rgba.GetPixelValue(1, 1), 0x04030201u);

    for (auto [x, y] : { std::pair { -1, 0 }, { 0, -1 }, { 2, 0 }, { 0, 2 } })
        EXPECT_EQ(rgba.GetPixelValue(x, y), 0u);
    EXPECT_EQ(ImageBuffer().GetPixelValue(0, 0), 0u);
}

TEST(ImageBufferPixels, PaletteAccessRules)
{
    ImageBuffer image;
    image.Create(2, 2, 4);
    RgbQuad entries[20] = {};
    EXPECT_TRUE(image.GetPalette(10, 20, entries)) << "indices past the palette are skipped";
    EXPECT_EQ(entries[5], (RgbQuad { 255, 255, 255, 0 }));
    EXPECT_FALSE(image.GetPalette(-1, 1, entries));
    EXPECT_FALSE(image.SetPalette(0, 1, nullptr));

    ImageBuffer deep;
    deep.Create(2, 2, 24);
    EXPECT_FALSE(deep.GetPalette(0, 1, entries));
    EXPECT_FALSE(ImageBuffer().SetPalette(0, 1, entries));
}

TEST(ImageBufferPixels, SetAlphaOnlyTouchesThirtyTwoBits)
{
    ImageBuffer rgba = MakeImage(3, 2, 32);
    rgba.SetAlpha(17);
    EXPECT_EQ(PixelAt(rgba, 2, 1).a, 17);
    EXPECT_EQ(PixelAt(rgba, 2, 1).b, testutil::Distinct(2, 1).b);

    ImageBuffer rgb = MakeImage(3, 2, 24);
    const ImageBuffer before(rgb);
    rgb.SetAlpha(17);
    EXPECT_EQ(0, std::memcmp(rgb.Pixels(), before.Pixels(), rgb.PixelBytes()));
}

TEST(ImageBufferPixels, PasteClipsAndRefusesMixedDepths)
{
    ImageBuffer target = MakeImage(4, 4, 24, [](int, int) { return Bgra { 0, 0, 0, 0 }; });
    const ImageBuffer patch = MakeImage(3, 3, 24);
    ASSERT_TRUE(target.Paste(patch, -1, 2));
    EXPECT_EQ(PixelAt(target, 0, 2), testutil::Distinct(1, 0));
    EXPECT_EQ(PixelAt(target, 1, 3), testutil::Distinct(2, 1));
    EXPECT_EQ(PixelAt(target, 2, 2), (Bgra { 0, 0, 0, 0 }));
    EXPECT_EQ(PixelAt(target, 0, 1), (Bgra { 0, 0, 0, 0 }));

    EXPECT_FALSE(target.Paste(patch, 4, 0)) << "no overlap";
    EXPECT_FALSE(target.Paste(MakeImage(2, 2, 32), 0, 0)) << "different depths";
}

TEST(ImageBufferPixels, FillRectClipsToTheImage)
{
    ImageBuffer image = MakeImage(4, 3, 32, [](int, int) { return Bgra { 0, 0, 0, 0 }; });
    const uint8_t colour[4] = { 9, 8, 7, 6 };
    image.FillRect({ 2, -5, 10, 2 }, colour);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelAt(image, x, y), (x >= 2 && y < 2 ? Bgra { 9, 8, 7, 6 } : Bgra { 0, 0, 0, 0 }))
                << x << "," << y;
}

TEST(ImageBufferPixels, CopyRegionClipsAndSetsOrigin)
{
    const ImageBuffer image = MakeImage(4, 4, 24);
    ImageBuffer part;
    ASSERT_TRUE(image.CopyRegion(&part, { -2, 1, 3, 10 }));
    EXPECT_EQ(part.Width(), 3);
    EXPECT_EQ(part.Height(), 3);
    EXPECT_EQ(part.OriginX(), 0);
    EXPECT_EQ(part.OriginY(), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(part, x, y), testutil::Distinct(x, y + 1));

    EXPECT_FALSE(image.CopyRegion(&part, { 4, 0, 6, 2 })) << "rectangle misses the image";
    EXPECT_FALSE(image.CopyRegion(nullptr, { 0, 0, 1, 1 }));
    ImageBuffer self(image);
    EXPECT_FALSE(self.CopyRegion(&self, { 0, 0, 1, 1 }));
    ImageBuffer mono;
    mono.Create(8, 8, 4);
    EXPECT_FALSE(mono.CopyRegion(&part, { 0, 0, 2, 2 }));
}

TEST(ImageBufferPixels, CopyRegionCarriesThePalette)
{
    ImageBuffer indexed;
    indexed.Create(4, 4, 8);
    const RgbQuad green { 0, 200, 0, 0 };
    indexed.SetPalette(3, 1, &green);
    *indexed.PixelAddress(2, 2) = 3;
    ImageBuffer part;
    ASSERT_TRUE(indexed.CopyRegion(&part, { 2, 2, 4, 4 }));
    part.ConvertTo(24);
    EXPECT_EQ(PixelAt(part, 0, 0), (Bgra { 0, 200, 0, 0 }));
}

TEST(ImageBufferMove, MovedFromImageIsEmptyAndUsable)
{
    ImageBuffer image = MakeImage(3, 3, 32);
    ImageBuffer moved(std::move(image));
    EXPECT_EQ(moved.Width(), 3);
    EXPECT_TRUE(image.IsEmpty()); // NOLINT(bugprone-use-after-move): documented state
    EXPECT_TRUE(image.Create(1, 1, 24));
}
