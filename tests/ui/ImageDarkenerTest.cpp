#include "editor/ui/ImageDarkener.h"

#include "ImageTestUtil.h"
#include "imaging/ImageBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

using testutil::Bgra;
using testutil::PixelAt;

TEST(ImageDarkenerTest, Darken_Should_HalveColourBytes_And_KeepAlpha_At32And24Bpp)
{
    for (int bpp : { 32, 24 }) {
        ImageBuffer image = testutil::MakeImage(5, 3, bpp, [](int x, int y) {
            return Bgra { uint8_t(255 - x), uint8_t(y * 41 + 1), uint8_t(x * 60 + 3), 77 };
        });
        const ImageBuffer before = image;
        ImageDarkener::Darken(image);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const Bgra was = PixelAt(before, x, y);
                const Bgra now = PixelAt(image, x, y);
                EXPECT_EQ(now, (Bgra { uint8_t(was.b >> 1), uint8_t(was.g >> 1), uint8_t(was.r >> 1), was.a }))
                    << bpp << " bpp at " << x << ", " << y;
            }
    }
}

TEST(ImageDarkenerTest, Darken_Should_HalveEachChannelOf16BppPixels)
{
    ImageBuffer image;
    ASSERT_TRUE(image.Create(2, 1, 16));
    // 5-5-5: 0x7FFF is 31, 31, 31 -> 15, 15, 15 = 0x3DEF; 0x4210 is 16, 16, 16 -> 8, 8, 8 = 0x2108.
    const uint16_t pixels[2] = { 0x7FFF, 0x4210 };
    std::memcpy(image.Row(0), pixels, sizeof pixels);
    ImageDarkener::Darken(image);
    uint16_t out[2];
    std::memcpy(out, image.Row(0), sizeof out);
    EXPECT_EQ(out[0], 0x3DEF);
    EXPECT_EQ(out[1], 0x2108);
}

TEST(ImageDarkenerTest, Darken_Should_HalveThePalette_And_LeaveIndicesAlone_At8Bpp)
{
    ImageBuffer image;
    ASSERT_TRUE(image.Create(3, 2, 8));
    const RgbQuad entry { 200, 101, 7, 0 };
    ASSERT_TRUE(image.SetPalette(5, 1, &entry));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.Row(y)[x] = uint8_t(5 + x);
    ImageDarkener::Darken(image);
    RgbQuad now;
    ASSERT_TRUE(image.GetPalette(5, 1, &now));
    EXPECT_EQ(now, (RgbQuad { 100, 50, 3, 0 }));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(image.Row(y)[x], 5 + x);
}
