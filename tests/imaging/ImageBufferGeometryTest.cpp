#include "ImageTestUtil.h"
#include "imaging/ImageBuffer.h"
#include "imaging/ProgressSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using testutil::Bgra;
using testutil::Distinct;
using testutil::MakeImage;
using testutil::PixelAt;

TEST(ImageBufferConvert, PaletteDepthsBecomeTheirColoursWithOpaqueAlpha)
{
    ImageBuffer indexed;
    indexed.Create(3, 1, 8);
    const RgbQuad colours[2] = { { 10, 20, 30, 99 }, { 40, 50, 60, 99 } };
    indexed.SetPalette(5, 2, colours);
    indexed.Row(0)[0] = 5;
    indexed.Row(0)[1] = 6;
    indexed.Row(0)[2] = 200;
    indexed.SetTag(40);
    ASSERT_TRUE(indexed.ConvertTo(32));
    EXPECT_EQ(indexed.BitCount(), 32);
    EXPECT_EQ(PixelAt(indexed, 0, 0), (Bgra { 10, 20, 30, 255 }));
    EXPECT_EQ(PixelAt(indexed, 1, 0), (Bgra { 40, 50, 60, 255 }));
    EXPECT_EQ(PixelAt(indexed, 2, 0), (Bgra { 200, 200, 200, 255 })) << "grey ramp entry";
    EXPECT_EQ(indexed.Tag(), 0) << "recreating resets the tag";

    ImageBuffer mono;
    mono.Create(9, 1, 1);
    mono.Row(0)[0] = 0x81; // pixels 0 and 7 set
    mono.Row(0)[1] = 0x80; // pixel 8 set
    ASSERT_TRUE(mono.ConvertTo(24));
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(PixelAt(mono, x, 0).g, (x == 0 || x == 7 || x == 8) ? 255 : 0) << x;

    ImageBuffer nibbles;
    nibbles.Create(2, 1, 4);
    nibbles.Row(0)[0] = 0x3C;
    ASSERT_TRUE(nibbles.ConvertTo(24));
    EXPECT_EQ(PixelAt(nibbles, 0, 0).r, 3 * 17);
    EXPECT_EQ(PixelAt(nibbles, 1, 0).r, 12 * 17);
}

TEST(ImageBufferConvert, SixteenBitChannelsKeepLowBitsZero)
{
    ImageBuffer word555;
    word555.Create(2, 1, 16);
    word555.Row(0)[0] = 0xFF; // 0x7FFF: all channels full
    word555.Row(0)[1] = 0x7F;
    word555.Row(0)[2] = 0x34; // 0x1234
    word555.Row(0)[3] = 0x12;
    ASSERT_TRUE(word555.ConvertTo(24));
    EXPECT_EQ(PixelAt(word555, 0, 0), (Bgra { 0xF8, 0xF8, 0xF8, 0 }));
    // 0x1234: red (v >> 7) & 0xF8 = 0x20, green (v >> 2) & 0xF8 = 0x88, blue (v << 3) & 0xF8 = 0xA0
    EXPECT_EQ(PixelAt(word555, 1, 0), (Bgra { 0xA0, 0x88, 0x20, 0 }));

    BitmapInfoHeader h;
    h.biWidth = 1;
    h.biHeight = 1;
    h.biPlanes = 1;
    h.biBitCount = 16;
    h.biCompression = kBiBitfields;
    const uint32_t masks[3] = { 0xF800, 0x07E0, 0x001F };
    ImageBuffer word565;
    ASSERT_TRUE(word565.CreateFromInfo(h, masks));
    word565.Row(0)[0] = 0x34;
    word565.Row(0)[1] = 0x12;
    ASSERT_TRUE(word565.ConvertTo(32));
    // red (v >> 8) & 0xF8 = 0x10, green (v >> 3) & 0xFC = 0x44, blue (v << 3) & 0xF8 = 0xA0
    EXPECT_EQ(PixelAt(word565, 0, 0), (Bgra { 0xA0, 0x44, 0x10, 255 }));
}

TEST(ImageBufferConvert, BetweenTwentyFourAndThirtyTwoBits)
{
    ImageBuffer image = MakeImage(5, 3, 32, [](int x, int y) { return Bgra { uint8_t(x), uint8_t(y), 7, 3 }; });
    image.SetOrigin(4, 5);
    ASSERT_TRUE(image.ConvertTo(24));
    EXPECT_EQ(image.Stride(), 16);
    EXPECT_EQ(PixelAt(image, 4, 2), (Bgra { 4, 2, 7, 0 }));
    EXPECT_EQ(image.OriginX(), 4);
    ASSERT_TRUE(image.ConvertTo(32));
    EXPECT_EQ(PixelAt(image, 4, 2), (Bgra { 4, 2, 7, 255 }));

    EXPECT_FALSE(image.ConvertTo(32)) << "same depth";
    EXPECT_FALSE(image.ConvertTo(8)) << "only 24 and 32 are targets";
    ImageBuffer empty;
    EXPECT_FALSE(empty.ConvertTo(24));
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(ImageBufferExpand, ReplicatedMarginsRepeatTheNearestEdgePixel)
{
    const ImageBuffer content = MakeImage(3, 2, 24);
    ImageBuffer image(content);
    image.SetOrigin(10, 20);
    image.SetTag(5);
    ASSERT_TRUE(image.Expand(true, 1, 2, 3, 1));
    ASSERT_EQ(image.Width(), 7);
    ASSERT_EQ(image.Height(), 5);
    EXPECT_EQ(image.OriginX(), 9);
    EXPECT_EQ(image.OriginY(), 18);
    EXPECT_EQ(image.Tag(), 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(PixelAt(image, x, y), PixelAt(content, std::clamp(x - 1, 0, 2), std::clamp(y - 2, 0, 1)))
                << x << "," << y;
}

TEST(ImageBufferExpand, PlainMarginsAreTransparentBlack)
{
    ImageBuffer image = MakeImage(2, 2, 32);
    ASSERT_TRUE(image.Expand(false, 0, 1, 1, 0));
    EXPECT_EQ(PixelAt(image, 2, 0), (Bgra { 0, 0, 0, 0 }));
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgra { 0, 0, 0, 0 }));
    EXPECT_EQ(PixelAt(image, 1, 2), Distinct(1, 1));

    EXPECT_FALSE(image.Expand(true, 0, 0, 0, 0));
    EXPECT_FALSE(image.Expand(true, -1, 0, 0, 0));
    EXPECT_EQ(image.Width(), 3);
}

TEST(ImageBufferResize, NearestPicksTruncatedSourcePositions)
{
    // 4 x 1 to 3 x 2: columns 0*4/3 = 0, 1*4/3 = 1, 2*4/3 = 2; both rows come from row 0.
    ImageBuffer image = MakeImage(4, 1, 24);
    ASSERT_TRUE(image.ResizeNearest(3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(image, x, y), Distinct(x, 0));

    // 2 x 2 to 3 x 3: source index 0, 0, 1 on both axes.
    ImageBuffer grow = MakeImage(2, 2, 32);
    ASSERT_TRUE(grow.ResizeNearest(3, 3));
    const int map[3] = { 0, 0, 1 };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(grow, x, y), Distinct(map[x], map[y]));

    EXPECT_FALSE(grow.ResizeNearest(3, 3)) << "same size does nothing";
    EXPECT_FALSE(grow.ResizeNearest(0, 3));
}

TEST(ImageBufferResize, NearestKeepsThePaletteOfIndexedImages)
{
    ImageBuffer indexed;
    indexed.Create(2, 2, 8);
    const RgbQuad blue { 255, 0, 0, 0 };
    indexed.SetPalette(1, 1, &blue);
    *indexed.PixelAddress(1, 1) = 1;
    ASSERT_TRUE(indexed.ResizeNearest(4, 4));
    EXPECT_EQ(indexed.GetPixelValue(3, 3), 1u);
    RgbQuad entry;
    indexed.GetPalette(1, 1, &entry);
    EXPECT_EQ(entry, blue);
}

TEST(ImageBufferResize, BilinearOnOneRowExpandsFirstAndClampsTheLastColumn)
{
    // 2 x 1 grows a replicated second row. Widening to 3: column 1 has sx = 0, rx = 2; column 2 has
    // sx = 4/3 = 1 >= oldW - 1, so sx = 0 and rx = newW - 1 = 2. Both interpolate at 2/3:
    // 0 + (100 - 0) * 2/3 = 66.67, truncated to 66.
    ImageBuffer image = MakeImage(2, 1, 24, [](int x, int) {
        return x == 0 ? Bgra { 0, 0, 0, 0 } : Bgra { 100, 100, 100, 0 };
    });
    ASSERT_TRUE(image.ResizeBilinear(3, 1));
    ASSERT_EQ(image.Width(), 3);
    ASSERT_EQ(image.Height(), 1);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgra { 0, 0, 0, 0 }));
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgra { 66, 66, 66, 0 }));
    EXPECT_EQ(PixelAt(image, 2, 0), (Bgra { 66, 66, 66, 0 }));
}

TEST(ImageBufferResize, BilinearWeightsColoursByAlphaWhenAnyCornerIsTranslucent)
{
    // Opaque (200, 100, 0) beside fully transparent black, 2 x 1 to 4 x 1.
    // Column 1: fx = 2/4. A = trunc(127.5) = 127; blue = trunc(51000 * 0.5) / 127 = 200,
    // green = 12750 / 127 = 100. Columns 2 and 3 clamp to fx = 3/4: A = trunc(63.75) = 63,
    // blue = 12750 / 63 = 202, green = 6375 / 63 = 101.
    ImageBuffer image = MakeImage(2, 1, 32, [](int x, int) {
        return x == 0 ? Bgra { 200, 100, 0, 255 } : Bgra { 0, 0, 0, 0 };
    });
    ASSERT_TRUE(image.ResizeBilinear(4, 1));
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgra { 200, 100, 0, 255 }));
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgra { 200, 100, 0, 127 }));
    EXPECT_EQ(PixelAt(image, 2, 0), (Bgra { 202, 101, 0, 63 }));
    EXPECT_EQ(PixelAt(image, 3, 0), (Bgra { 202, 101, 0, 63 }));
}

TEST(ImageBufferResize, BilinearSampleShortcutsAndBounds)
{
    const uint8_t a[4] = { 10, 20, 30, 0 }, b[4] = { 50, 60, 70, 0 };
    // Every corner transparent: white, transparent.
    EXPECT_EQ(ImageBuffer::BilinearSample(0.5, 0.5, true, a, b, a, b), 0x00FFFFFFu);
    // Below the threshold on both axes the first corner is returned as it is.
    EXPECT_EQ(ImageBuffer::BilinearSample(1e-8, 1e-8, true, a, b, b, b), 0x001E140Au);
    // Equal corners are returned as they are, alpha included.
    EXPECT_EQ(ImageBuffer::BilinearSample(0.5, 0.5, true, a, a, a, a), 0x001E140Au);
    // Opaque path: plain interpolation, alpha 255; 24 bpp reads three bytes only.
    // (10 + 50) / 2 = 30, (20 + 60) / 2 = 40, (30 + 70) / 2 = 50.
    EXPECT_EQ(ImageBuffer::BilinearSample(0.5, 0.0, false, a, b, a, b), 0xFF32281Eu);
    // Weighted sum and alpha truncated apart can overshoot; the result stays a byte.
    const uint8_t dim1[4] = { 255, 255, 255, 2 }, dim2[4] = { 255, 255, 255, 1 };
    EXPECT_EQ(ImageBuffer::BilinearSample(0.5, 0.0, true, dim1, dim2, dim1, dim2), 0x01FFFFFFu);
}

TEST(ImageBufferResize, BilinearReportsRowProgressAndSkipsNoOps)
{
    class Recorder : public ProgressSink {
    public:
        void SetPosition(int percent) override
        {
            seen.push_back(percent);
            ProgressSink::SetPosition(percent);
        }
        std::vector<int> seen;
    } progress;
    ImageBuffer image = MakeImage(4, 4, 32);
    ASSERT_TRUE(image.ResizeBilinear(2, 3, &progress));
    EXPECT_EQ(progress.seen, (std::vector<int> { 0, 33, 66 }));

    EXPECT_FALSE(image.ResizeBilinear(2, 3, nullptr)) << "same size does nothing";
    ImageBuffer indexed;
    indexed.Create(4, 4, 8);
    EXPECT_FALSE(indexed.ResizeBilinear(2, 2));
}

TEST(ImageBufferResize, BilinearInterpolatesDownColumnsToo)
{
    // 2 x 2 to 2 x 4. Rows: j = 1 has fy = 2/4; j = 2 and 3 clamp to sy = 0, fy = 3/4. Column 1 clamps to
    // fx = 1/2. Left column 0 over 100: 50 at fy 1/2, 75 at 3/4. Right column blends 0|40 over 100|200:
    // top 20, bottom 150, so 20 at fy 0, 85 at 1/2 and trunc(117.5) = 117 at 3/4.
    ImageBuffer image = MakeImage(2, 2, 24, [](int x, int y) {
        const uint8_t v = uint8_t(y == 0 ? x * 40 : 100 + x * 100);
        return Bgra { v, v, v, 0 };
    });
    ASSERT_TRUE(image.ResizeBilinear(2, 4));
    const uint8_t expected[4][2] = { { 0, 20 }, { 50, 85 }, { 75, 117 }, { 75, 117 } };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x) {
            const uint8_t v = expected[y][x];
            EXPECT_EQ(PixelAt(image, x, y), (Bgra { v, v, v, 0 })) << x << ", " << y;
        }
}

TEST(ImageBufferResize, BilinearWholeNumberShrinkKeepsEveryKthPixel)
{
    // Rows and columns that land on whole pixels are copied, not blended; the widths leave odd tails.
    struct Case {
        int bpp, factor, width, height;
    };
    for (const Case c : { Case { 32, 2, 11, 3 }, Case { 32, 2, 8, 2 }, Case { 24, 2, 9, 2 }, Case { 32, 3, 5, 2 },
             Case { 24, 3, 6, 3 } }) {
        const int k = c.factor;
        ImageBuffer image = MakeImage(c.width * k, c.height * k, c.bpp);
        ASSERT_TRUE(image.ResizeBilinear(c.width, c.height));
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                EXPECT_EQ(PixelAt(image, x, y), Distinct(x * k, y * k))
                    << c.bpp << " bpp, factor " << k << ", at " << x << "," << y;
    }
}

TEST(ImageBufferResize, BilinearFromOnePixelFillsTheWholeImage)
{
    ImageBuffer image = MakeImage(1, 1, 32, [](int, int) { return Bgra { 10, 20, 30, 255 }; });
    ASSERT_TRUE(image.ResizeBilinear(3, 2));
    ASSERT_EQ(image.Width(), 3);
    ASSERT_EQ(image.Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(image, x, y), (Bgra { 10, 20, 30, 255 })) << x << ", " << y;
}

TEST(ImageBufferResize, SixteenBitImagesKeepTheirMasksThroughResizeAndExpand)
{
    BitmapInfoHeader h;
    h.biWidth = 2;
    h.biHeight = 1;
    h.biPlanes = 1;
    h.biBitCount = 16;
    h.biCompression = kBiBitfields;
    const uint32_t masks[3] = { 0xF800, 0x07E0, 0x001F };
    const std::function<bool(ImageBuffer&)> operations[] = {
        [](ImageBuffer& image) { return image.ResizeNearest(4, 3); },
        [](ImageBuffer& image) { return image.Expand(true, 1, 1, 1, 1); },
        [](ImageBuffer& image) { return image.Expand(false, 0, 2, 0, 0); },
    };
    for (const auto& operation : operations) {
        ImageBuffer word565;
        ASSERT_TRUE(word565.CreateFromInfo(h, masks));
        word565.Row(0)[0] = 0x34; // 0x1234 in 5-6-5: red 0x10, green 0x44, blue 0xA0
        word565.Row(0)[1] = 0x12;
        word565.Row(0)[2] = 0x34;
        word565.Row(0)[3] = 0x12;
        ASSERT_TRUE(operation(word565));
        EXPECT_EQ(word565.RedMask(), 0xF800u);
        EXPECT_EQ(word565.GreenMask(), 0x07E0u);
        EXPECT_EQ(word565.BlueMask(), 0x001Fu);
        ASSERT_TRUE(word565.ConvertTo(24));
        EXPECT_EQ(PixelAt(word565, word565.Width() - 1, word565.Height() - 1), (Bgra { 0xA0, 0x44, 0x10, 0 }));
    }
}
