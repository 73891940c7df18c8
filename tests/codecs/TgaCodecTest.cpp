#include "editor/codecs/TgaCodec.h"
#include "editor/codecs/SaveImageFile.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

using codectest::ReadBytes;
using codectest::TempFolder;
using codectest::U16;
using testutil::Bgra;
using testutil::PixelAt;

namespace {

// An 18-byte header with no colour map and the given image type, size, depth and descriptor.
std::vector<uint8_t> Header(uint8_t type, uint16_t width, uint16_t height, uint8_t depth, uint8_t descriptor)
{
    std::vector<uint8_t> h(18, 0);
    h[2] = type;
    h[12] = uint8_t(width), h[13] = uint8_t(width >> 8);
    h[14] = uint8_t(height), h[15] = uint8_t(height >> 8);
    h[16] = depth;
    h[17] = descriptor;
    return h;
}

bool DecodeBytes(TgaCodec& codec, const std::vector<uint8_t>& bytes)
{
    return codec.Decode(bytes.data(), bytes.size());
}

} // namespace

TEST(TgaCodecSave, WritesTheFixedHeaderIdAndTopDownRows)
{
    TempFolder folder;
    const ImageBuffer image = testutil::MakeImage(3, 2, 24);
    ASSERT_TRUE(SaveImageFile(image, folder / "a.tga"));
    const auto b = ReadBytes(folder / "a.tga");
    // 18 header bytes, the 12-byte ID, then 2 rows of 3 x 3 bytes without padding.
    ASSERT_EQ(b.size(), 18u + 12u + 18u);
    EXPECT_EQ(b[0], 12);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[2], 2);
    EXPECT_EQ(U16(b, 3), 0);
    EXPECT_EQ(U16(b, 5), 256);
    EXPECT_EQ(b[7], 24);
    EXPECT_EQ(U16(b, 12), 3);
    EXPECT_EQ(U16(b, 14), 2);
    EXPECT_EQ(b[16], 24);
    EXPECT_EQ(b[17], 0x20);
    EXPECT_EQ(std::string(b.begin() + 18, b.begin() + 30), "Velum -- TGA");
    EXPECT_EQ(std::memcmp(&b[30], image.Row(0), 9), 0) << "top row first";
    EXPECT_EQ(std::memcmp(&b[39], image.Row(1), 9), 0);
}

TEST(TgaCodecSave, EightBitWritesAColourMappedFileWithBgrPalette)
{
    TempFolder folder;
    const ImageBuffer image = codectest::MakePaletteImage(5, 1, 8);
    ASSERT_TRUE(SaveImageFile(image, folder / "p.tga"));
    const auto b = ReadBytes(folder / "p.tga");
    ASSERT_EQ(b.size(), 18u + 12u + 768u + 5u);
    EXPECT_EQ(b[1], 1);
    EXPECT_EQ(b[2], 1);
    RgbQuad entry;
    image.GetPalette(7, 1, &entry);
    EXPECT_EQ(b[30 + 21], entry.blue);
    EXPECT_EQ(b[30 + 22], entry.green);
    EXPECT_EQ(b[30 + 23], entry.red);
}

TEST(TgaCodecSave, OneAndFourBitAndOversizeCannotBeSaved)
{
    TempFolder folder;
    EXPECT_FALSE(SaveImageFile(codectest::MakePaletteImage(4, 4, 1), folder / "a.tga"));
    EXPECT_FALSE(SaveImageFile(codectest::MakePaletteImage(4, 4, 4), folder / "b.tga"));
    ImageBuffer tooWide;
    ASSERT_TRUE(tooWide.Create(65536, 1, 8));
    EXPECT_FALSE(SaveImageFile(tooWide, folder / "c.tga")) << "the header holds the width in 16 bits";
    EXPECT_TRUE(folder.Names().empty()) << "nothing is left behind";
}

TEST(TgaCodecRoundTrip, EachWritableDepthComesBack)
{
    TempFolder folder;
    for (int bpp : { 8, 16, 24, 32 }) {
        ImageBuffer image = codectest::MakeAnyDepth(7, 3, bpp);
        if (bpp == 32)
            testutil::SetPixel(image, 1, 1, { 1, 2, 3, 77 });
        const std::string path = folder / ("d" + std::to_string(bpp) + ".tga");
        ASSERT_TRUE(SaveImageFile(image, path));
        ImageBuffer loaded;
        ASSERT_TRUE(loaded.Load(path)) << bpp;
        EXPECT_TRUE(codectest::SamePixelBytes(image, loaded)) << bpp;
        EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image)) << bpp;
    }
}

TEST(TgaCodecDecode, BottomUpRowsAndRunLengthPacketsAcrossRows)
{
    // 3 x 2, 24 bpp, bottom-left origin, run-length: a run of 4 red pixels spills from the first file
    // row (the bottom image row) into the second; then 2 literal pixels.
    auto b = Header(10, 3, 2, 24, 0);
    const std::vector<uint8_t> packets = { 0x83, 0, 0, 255, 0x01, 1, 2, 3, 4, 5, 6 };
    b.insert(b.end(), packets.begin(), packets.end());
    TgaCodec codec;
    ASSERT_TRUE(DecodeBytes(codec, b));
    const ImageBuffer& image = *codec.DecodedImages().front();
    const Bgra red { 0, 0, 255, 0 };
    EXPECT_EQ(PixelAt(image, 0, 1), red);
    EXPECT_EQ(PixelAt(image, 2, 1), red);
    EXPECT_EQ(PixelAt(image, 0, 0), red) << "the run continues on the next file row";
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgra { 1, 2, 3, 0 }));
    EXPECT_EQ(PixelAt(image, 2, 0), (Bgra { 4, 5, 6, 0 }));
}

TEST(TgaCodecDecode, RunPastTheLastPixelIsClipped)
{
    auto b = Header(10, 2, 1, 32, 0x20);
    const std::vector<uint8_t> packets = { 0xFF, 9, 8, 7, 6 }; // 128 pixels for an image of 2
    b.insert(b.end(), packets.begin(), packets.end());
    TgaCodec codec;
    ASSERT_TRUE(DecodeBytes(codec, b));
    EXPECT_EQ(PixelAt(*codec.DecodedImages().front(), 1, 0), (Bgra { 9, 8, 7, 6 }));
}

TEST(TgaCodecDecode, TruncatedOrLyingFilesFail)
{
    TgaCodec codec;
    EXPECT_FALSE(DecodeBytes(codec, std::vector<uint8_t>(17, 0)));

    auto raw = Header(2, 4, 4, 24, 0);
    raw.resize(raw.size() + 4 * 4 * 3 - 1);
    EXPECT_FALSE(DecodeBytes(codec, raw)) << "one byte short of the last row";
    raw.push_back(0);
    EXPECT_TRUE(DecodeBytes(codec, raw));

    auto rle = Header(10, 4, 4, 24, 0);
    rle.push_back(0x8F); // 16 pixels claimed, colour missing
    EXPECT_FALSE(DecodeBytes(codec, rle));
    auto literal = Header(10, 4, 4, 24, 0);
    literal.insert(literal.end(), { 0x05, 1, 2, 3 }); // 6 literal pixels, one given
    EXPECT_FALSE(DecodeBytes(codec, literal));

    auto idPastEnd = Header(2, 1, 1, 8, 0);
    idPastEnd[0] = 200;
    idPastEnd.push_back(0);
    EXPECT_FALSE(DecodeBytes(codec, idPastEnd));

    auto mapTooLong = Header(1, 1, 1, 8, 0);
    mapTooLong[1] = 1;
    mapTooLong[3] = 200; // first 200 + length 100 > 256
    mapTooLong[5] = 100;
    mapTooLong[7] = 24;
    mapTooLong.resize(mapTooLong.size() + 300 + 1);
    EXPECT_FALSE(DecodeBytes(codec, mapTooLong));

    auto mapShort = Header(1, 1, 1, 8, 0);
    mapShort[1] = 1;
    mapShort[5] = 255, mapShort[6] = 0;
    mapShort[7] = 24;
    mapShort.resize(mapShort.size() + 100);
    EXPECT_FALSE(DecodeBytes(codec, mapShort)) << "palette claims more bytes than the file holds";

    for (uint8_t entrySize : { 15, 16, 8 }) {
        auto map = Header(1, 1, 1, 8, 0);
        map[1] = 1, map[5] = 1, map[7] = entrySize;
        map.resize(map.size() + 8);
        EXPECT_FALSE(DecodeBytes(codec, map)) << int(entrySize);
    }
    for (uint8_t depth : { 0, 1, 4, 7, 48 }) {
        auto odd = Header(2, 2, 2, depth, 0);
        odd.resize(odd.size() + 64);
        EXPECT_FALSE(DecodeBytes(codec, odd)) << int(depth);
    }
    auto noWidth = Header(2, 0, 2, 24, 0);
    EXPECT_FALSE(DecodeBytes(codec, noWidth));
    EXPECT_EQ(codec.DecodedImages().size(), 1u);
}

TEST(TgaCodecDecode, OnlyTheLayoutsWeReadOpen)
{
    struct Case {
        uint8_t type, mapType, entrySize, descriptor;
        bool opens;
    };
    const Case cases[] = {
        { 2, 0, 0, 0, true }, { 3, 0, 0, 0x20, true },
        { 10, 0, 24, 0, true }, // our own writer fills in the map fields even without a map
        { 0, 0, 0, 0, false }, // "no image data"
        { 77, 0, 0, 0, false }, { 4, 0, 0, 0, false }, { 8, 0, 0, 0, false },
        { 1, 0, 0, 0, false }, // colour-mapped without a map
        { 2, 2, 0, 0, false }, { 2, 0, 242, 0, false }, { 2, 0, 0, 0x40, false }, // interleaved rows
    };
    for (const Case& c : cases) {
        auto b = Header(c.type, 1, 1, 8, c.descriptor);
        b[1] = c.mapType, b[7] = c.entrySize;
        b.insert(b.end(), { 0x00, 7 }); // one pixel, raw or as a run-length packet
        TgaCodec codec;
        EXPECT_EQ(DecodeBytes(codec, b), c.opens) << int(c.type) << " " << int(c.mapType) << " " << int(c.entrySize);
    }
}

TEST(TgaCodecDecode, PaletteEntriesLandAtTheirIndexAndFifteenBitReadsAsSixteen)
{
    auto b = Header(1, 2, 1, 8, 0x20);
    b[1] = 1;
    b[3] = 4; // entries 4 and 5, 32 bits each
    b[5] = 2;
    b[7] = 32;
    b.insert(b.end(), { 10, 20, 30, 40, 50, 60, 70, 80, 4, 5 });
    TgaCodec codec;
    ASSERT_TRUE(DecodeBytes(codec, b));
    const ImageBuffer& image = *codec.DecodedImages().front();
    RgbQuad palette[6];
    image.GetPalette(0, 6, palette);
    EXPECT_EQ(palette[0], (RgbQuad { 0, 0, 0, 0 })) << "unread entries are zero";
    EXPECT_EQ(palette[4], (RgbQuad { 10, 20, 30, 40 }));
    EXPECT_EQ(palette[5], (RgbQuad { 50, 60, 70, 80 }));
    EXPECT_EQ(image.GetPixelValue(1, 0), 5u);

    auto fifteen = Header(2, 1, 1, 15, 0);
    fifteen.insert(fifteen.end(), { 0x1F, 0x7C });
    ASSERT_TRUE(DecodeBytes(codec, fifteen));
    EXPECT_EQ(codec.DecodedImages().back()->BitCount(), 16);
    EXPECT_EQ(codec.DecodedImages().back()->GetPixelValue(0, 0), 0x7C1Fu);
}
