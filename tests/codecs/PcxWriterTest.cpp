#include "editor/codecs/SaveImageFile.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

using codectest::ReadBytes;
using codectest::TempFolder;
using testutil::Bgra;

namespace {

// Colours with long runs (longer than one 63-byte packet) and bytes of 0xC0 and above, which the
// run-length form must always code as runs.
Bgra RunsAndHighBytes(int x, int y)
{
    if (x < 70)
        return { 0xC1, 0xFF, uint8_t(y), 255 };
    return { uint8_t(x * 7), uint8_t(0xC0 + x % 3), uint8_t(x * y), 255 };
}

} // namespace

TEST(PcxWriter, FreeImageReadsBackEveryDepthToTheSamePixels)
{
    TempFolder folder;
    // FreeImage refuses PCX files one pixel wide or high, so the smallest size here is 2 x 3.
    for (int width : { 2, 75, 131 }) {
        for (int bpp : { 1, 4, 8, 16, 24, 32 }) {
            const ImageBuffer image = codectest::MakeAnyDepth(width, 3, bpp, RunsAndHighBytes);
            const std::string path = folder / ("w" + std::to_string(width) + "d" + std::to_string(bpp) + ".pcx");
            ASSERT_TRUE(SaveImageFile(image, path)) << width << " " << bpp;
            ImageBuffer loaded;
            ASSERT_TRUE(loaded.Load(path)) << width << " " << bpp;
            EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image)) << width << " " << bpp;
            if (bpp <= 8) {
                EXPECT_LE(loaded.BitCount(), 8) << "palette images stay palette images";
            }
        }
    }
}

TEST(PcxWriter, BlackAndWhiteStaysOneBit)
{
    TempFolder folder;
    ImageBuffer image = codectest::MakePaletteImage(19, 4, 1);
    const RgbQuad blackWhite[2] = { { 0, 0, 0, 0 }, { 255, 255, 255, 0 } };
    image.SetPalette(0, 2, blackWhite);
    ASSERT_TRUE(SaveImageFile(image, folder / "bw.pcx"));
    const auto b = ReadBytes(folder / "bw.pcx");
    EXPECT_EQ(b[3], 1);
    EXPECT_EQ(b[65], 1);
    EXPECT_EQ(codectest::U16(b, 66), 4) << "19 bits need 3 bytes, made even";
    ImageBuffer loaded;
    ASSERT_TRUE(loaded.Load(folder / "bw.pcx"));
    EXPECT_EQ(loaded.BitCount(), 1);
    EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image));
}

TEST(PcxWriter, HeaderDescribesThePlanes)
{
    TempFolder folder;
    ASSERT_TRUE(SaveImageFile(testutil::MakeImage(5, 2, 24), folder / "a.pcx"));
    const auto b = ReadBytes(folder / "a.pcx");
    ASSERT_GT(b.size(), 128u);
    EXPECT_EQ(b[0], 0x0A);
    EXPECT_EQ(b[2], 1) << "run-length coded";
    EXPECT_EQ(b[3], 8);
    EXPECT_EQ(codectest::U16(b, 8), 4) << "right edge is width - 1";
    EXPECT_EQ(codectest::U16(b, 10), 1);
    EXPECT_EQ(b[65], 3);
    EXPECT_EQ(codectest::U16(b, 66), 6) << "bytes per plane line are even";
    EXPECT_EQ(codectest::U16(b, 12), 96) << "no resolution: a screen's";

    // 11811 pixels per metre is 300 dpi (11811 * 0.0254 = 299.9994, rounded).
    BitmapInfoHeader header;
    header.biWidth = 4;
    header.biHeight = 2;
    header.biBitCount = 24;
    header.biXPelsPerMeter = 11811;
    header.biYPelsPerMeter = 11811;
    ImageBuffer print;
    ASSERT_TRUE(print.CreateFromInfo(header));
    ASSERT_TRUE(SaveImageFile(print, folder / "print.pcx"));
    EXPECT_EQ(codectest::U16(ReadBytes(folder / "print.pcx"), 12), 300);
    ImageBuffer loaded;
    ASSERT_TRUE(loaded.Load(folder / "print.pcx"));
    EXPECT_EQ(loaded.Header().biXPelsPerMeter, 11811);

    ASSERT_TRUE(SaveImageFile(codectest::MakePaletteImage(3, 3, 8), folder / "p.pcx"));
    const auto p = ReadBytes(folder / "p.pcx");
    ASSERT_GT(p.size(), 769u);
    EXPECT_EQ(p[p.size() - 769], 0x0C) << "256-colour palette marker";
}

TEST(PcxWriter, AnyLetterCaseExportsAndNothingElseIsLeftBehind)
{
    TempFolder folder;
    const ImageBuffer image = testutil::MakeImage(4, 4, 32);
    for (const char* name : { "a.pcx", "b.Pcx", "c.PCX", "d.pCx" })
        EXPECT_TRUE(SaveImageFile(image, folder / name)) << name;
    EXPECT_FALSE(SaveImageFile(ImageBuffer(), folder / "e.pcx")) << "an empty image has nothing to save";
    ImageBuffer tooWide;
    ASSERT_TRUE(tooWide.Create(65536, 1, 8));
    EXPECT_FALSE(SaveImageFile(tooWide, folder / "f.pcx")) << "65536 bytes per line do not fit the header";
    EXPECT_EQ(folder.Names(), (std::vector<std::string> { "a.pcx", "b.Pcx", "c.PCX", "d.pCx" }));
    ImageBuffer loaded;
    ASSERT_TRUE(loaded.Load(folder / "c.PCX"));
    EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image));
}
