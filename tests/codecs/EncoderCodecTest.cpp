#include "editor/codecs/EncoderCodec.h"
#include "editor/codecs/SaveImageFile.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

using codectest::ReadBytes;
using codectest::TempFolder;
using testutil::Bgra;
using testutil::PixelAt;

namespace {

// The colour type byte of a PNG's header chunk: 2 RGB, 3 palette, 6 RGBA.
int PngColourType(const std::string& path)
{
    const auto b = ReadBytes(path);
    return b.size() > 25 ? b[25] : -1;
}

int PngBitDepth(const std::string& path)
{
    const auto b = ReadBytes(path);
    return b.size() > 24 ? b[24] : -1;
}

} // namespace

TEST(EncoderCodecPng, OpaqueThirtyTwoBitIsWrittenAsRgbAndReadsBack)
{
    TempFolder folder;
    ImageBuffer image = testutil::MakeImage(9, 4, 32);
    image.SetAlpha(255);
    ASSERT_TRUE(SaveImageFile(image, folder / "a.png"));
    EXPECT_EQ(PngColourType(folder / "a.png"), 2);
    ImageBuffer loaded;
    ASSERT_TRUE(loaded.Load(folder / "a.png"));
    EXPECT_EQ(loaded.BitCount(), 24);
    EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image));

    // Alpha never set (all zero), as in a 32-bpp BMP, carries no transparency either.
    image.SetAlpha(0);
    ASSERT_TRUE(SaveImageFile(image, folder / "zero.png"));
    EXPECT_EQ(PngColourType(folder / "zero.png"), 2);
}

TEST(EncoderCodecPng, RealTransparencyKeepsItsAlpha)
{
    TempFolder folder;
    ImageBuffer image = testutil::MakeImage(5, 3, 32, [](int x, int y) {
        return Bgra { uint8_t(x * 40), uint8_t(y * 60), 7, uint8_t(x * 50 + y) };
    });
    ASSERT_TRUE(SaveImageFile(image, folder / "alpha.png"));
    EXPECT_EQ(PngColourType(folder / "alpha.png"), 6);
    ImageBuffer loaded;
    ASSERT_TRUE(loaded.Load(folder / "alpha.png"));
    ASSERT_EQ(loaded.BitCount(), 32);
    EXPECT_TRUE(codectest::SamePixelBytes(loaded, image));
}

TEST(EncoderCodecPng, PaletteAndSixteenBitDepths)
{
    TempFolder folder;
    for (int bpp : { 1, 4, 8 }) {
        const ImageBuffer image = codectest::MakePaletteImage(11, 3, bpp);
        const std::string path = folder / ("p" + std::to_string(bpp) + ".png");
        ASSERT_TRUE(SaveImageFile(image, path));
        EXPECT_EQ(PngColourType(path), 3);
        EXPECT_EQ(PngBitDepth(path), bpp);
        ImageBuffer loaded;
        ASSERT_TRUE(loaded.Load(path));
        EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image)) << bpp;
    }
    ImageBuffer rgb555;
    ASSERT_TRUE(rgb555.Create(2, 1, 16));
    rgb555.Row(0)[0] = 0x1F; // pure blue in 5-5-5
    rgb555.Row(0)[3] = 0x7C; // pure red
    ASSERT_TRUE(SaveImageFile(rgb555, folder / "555.png"));
    ImageBuffer loaded;
    ASSERT_TRUE(loaded.Load(folder / "555.png"));
    // 5-bit channels expand with zero low bits: 31 << 3 = 248.
    EXPECT_EQ(codectest::Colours(loaded), (std::vector<Bgra> { { 248, 0, 0, 0 }, { 0, 0, 248, 0 } }));
}

// Large enough (3.6 MB of rows) to be deflated in several pieces that must join into one stream.
TEST(EncoderCodecPng, LargeImageKeepsEveryByteAndItsResolution)
{
    TempFolder folder;
    BitmapInfoHeader header {};
    header.biWidth = 1201;
    header.biHeight = 1003;
    header.biBitCount = 24;
    header.biXPelsPerMeter = 3780;
    header.biYPelsPerMeter = 2835;
    ImageBuffer image;
    ASSERT_TRUE(image.CreateFromInfo(header));
    std::srand(3);
    for (int y = 0; y < image.Height(); ++y)
        for (int i = 0; i < image.Width() * 3; ++i)
            image.Row(y)[i] = uint8_t(y % 7 == 0 ? std::rand() : i / 9 + y);
    ASSERT_TRUE(SaveImageFile(image, folder / "big.png"));
    ImageBuffer loaded;
    ASSERT_TRUE(loaded.Load(folder / "big.png"));
    EXPECT_TRUE(codectest::SamePixelBytes(loaded, image));

    const auto bytes = ReadBytes(folder / "big.png");
    const std::string text(bytes.begin(), bytes.end());
    const size_t at = text.find("pHYs");
    ASSERT_NE(at, std::string::npos);
    auto bigEndian = [&](size_t i) {
        return uint32_t(bytes[i]) << 24 | uint32_t(bytes[i + 1]) << 16 | uint32_t(bytes[i + 2]) << 8 | bytes[i + 3];
    };
    EXPECT_EQ(bigEndian(at + 4), 3780u);
    EXPECT_EQ(bigEndian(at + 8), 2835u);
    EXPECT_EQ(bytes[at + 12], 1) << "unit: metre";
}

TEST(EncoderCodecJpeg, WritesAJpegCloseToTheImage)
{
    TempFolder folder;
    for (int bpp : { 8, 24, 32 }) {
        const ImageBuffer image
            = bpp == 8 ? codectest::MakePaletteImage(16, 16, 8) : testutil::MakeImage(16, 16, bpp, [](int, int) {
                  return Bgra { 40, 120, 200, 255 };
              });
        const std::string path = folder / ("a" + std::to_string(bpp) + ".jpeg");
        ASSERT_TRUE(SaveImageFile(image, path));
        const auto bytes = ReadBytes(path);
        ASSERT_GE(bytes.size(), 4u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xD8);
        ImageBuffer loaded;
        ASSERT_TRUE(loaded.Load(path));
        EXPECT_EQ(loaded.Width(), 16);
        if (bpp != 8) {
            const Bgra c = PixelAt(loaded, 8, 8);
            EXPECT_LE(std::abs(c.b - 40), 4);
            EXPECT_LE(std::abs(c.g - 120), 4);
            EXPECT_LE(std::abs(c.r - 200), 4);
        }
    }
}

TEST(EncoderCodecGif, TrueColourIsQuantisedToEightBits)
{
    TempFolder folder;
    // Four flat colours: a quantiser keeps them exactly.
    const ImageBuffer image = testutil::MakeImage(8, 8, 32, [](int x, int y) {
        return (x < 4) == (y < 4) ? Bgra { 0, 0, 255, 255 } : Bgra { 255, 255, 255, 255 };
    });
    ASSERT_TRUE(SaveImageFile(image, folder / "a.gif"));
    ImageBuffer loaded;
    ASSERT_TRUE(loaded.Load(folder / "a.gif"));
    EXPECT_EQ(loaded.BitCount(), 8);
    EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image));

    const ImageBuffer paletted = codectest::MakePaletteImage(5, 5, 8);
    ASSERT_TRUE(SaveImageFile(paletted, folder / "p.gif"));
    ASSERT_TRUE(loaded.Load(folder / "p.gif"));
    EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(paletted));
}

TEST(EncoderCodecTiff, KeepsDepthAndAlpha)
{
    TempFolder folder;
    const ImageBuffer rgb = testutil::MakeImage(6, 5, 24);
    ASSERT_TRUE(SaveImageFile(rgb, folder / "a.tif"));
    ImageBuffer loaded;
    ASSERT_TRUE(loaded.Load(folder / "a.tif"));
    EXPECT_TRUE(codectest::SamePixelBytes(loaded, rgb));

    ImageBuffer alpha = testutil::MakeImage(6, 5, 32, [](int x, int y) {
        return Bgra { uint8_t(x), uint8_t(y), 9, uint8_t(x * 40) };
    });
    ASSERT_TRUE(SaveImageFile(alpha, folder / "b.tiff"));
    ASSERT_TRUE(loaded.Load(folder / "b.tiff"));
    EXPECT_TRUE(codectest::SamePixelBytes(loaded, alpha));

    for (int bpp : { 1, 4, 8, 16 }) {
        const ImageBuffer image = codectest::MakeAnyDepth(9, 4, bpp);
        const std::string path = folder / ("d" + std::to_string(bpp) + ".tif");
        ASSERT_TRUE(SaveImageFile(image, path)) << bpp;
        ASSERT_TRUE(loaded.Load(path)) << bpp;
        EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image)) << bpp;
    }
}

TEST(EncoderCodec, RefusesFormatsItDoesNotWriteAndEmptyImages)
{
    TempFolder folder;
    const ImageBuffer image = testutil::MakeImage(2, 2, 24);
    EncoderCodec codec;
    codec.AddImage(&image);
    EXPECT_FALSE(codec.SaveFile(folder / "a.psd", -1));
    EXPECT_FALSE(codec.SaveFile(folder / "a.bmp", -1));
    EncoderCodec empty;
    EXPECT_FALSE(empty.SaveFile(folder / "a.png", -1));
    const ImageBuffer nothing;
    EXPECT_FALSE(SaveImageFile(nothing, folder / "n.png"));
    EXPECT_FALSE(SaveImageFile(image, folder / "noextension"));
    EXPECT_FALSE(SaveImageFile(image, folder / "a.ico")) << "readable, but not writable";
    EXPECT_TRUE(folder.Names().empty());
}
