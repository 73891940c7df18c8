#include "editor/codecs/BmpCodec.h"
#include "editor/codecs/SaveImageFile.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

using codectest::ReadBytes;
using codectest::TempFolder;
using codectest::U16;
using codectest::U32;
using codectest::WriteBytes;

namespace {

bool DecodeBytes(BmpCodec& codec, const std::vector<uint8_t>& bytes)
{
    return codec.Decode(bytes.data(), bytes.size());
}

// A minimal 2 x 2 24-bpp file built by hand: 14 + 40 header bytes, then two rows of 6 bytes padded to 8.
std::vector<uint8_t> HandMadeBmp(int32_t height = 2)
{
    std::vector<uint8_t> b(54 + 16, 0);
    b[0] = 'B', b[1] = 'M';
    b[2] = uint8_t(b.size());
    b[10] = 54;
    b[14] = 40;
    b[18] = 2;
    std::memcpy(&b[22], &height, 4);
    b[26] = 1;
    b[28] = 24;
    for (size_t i = 54; i < b.size(); ++i)
        b[i] = uint8_t(i);
    return b;
}

} // namespace

TEST(BmpCodecSave, TwentyFourBitFileIsHeaderThenPixelBlock)
{
    TempFolder folder;
    const ImageBuffer image = testutil::MakeImage(5, 3, 24);
    ASSERT_TRUE(SaveImageFile(image, folder / "a.bmp"));
    const auto bytes = ReadBytes(folder / "a.bmp");
    // 14 + 40 header bytes, then 3 rows of 15 bytes padded to 16.
    ASSERT_EQ(bytes.size(), 54u + 48u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(U32(bytes, 2), 102u);
    EXPECT_EQ(U32(bytes, 6), 0u);
    EXPECT_EQ(U32(bytes, 10), 54u);
    EXPECT_EQ(U32(bytes, 14), 40u);
    EXPECT_EQ(U32(bytes, 18), 5u);
    EXPECT_EQ(U32(bytes, 22), 3u);
    EXPECT_EQ(U16(bytes, 28), 24);
    EXPECT_EQ(std::memcmp(bytes.data() + 54, image.Pixels(), 48), 0);
}

TEST(BmpCodecSave, PaletteAndBitfieldHeaderSizes)
{
    TempFolder folder;
    ASSERT_TRUE(SaveImageFile(codectest::MakePaletteImage(4, 2, 8), folder / "p8.bmp"));
    auto bytes = ReadBytes(folder / "p8.bmp");
    EXPECT_EQ(U32(bytes, 10), 14u + 40u + 1024u);
    EXPECT_EQ(bytes.size(), 14u + 40u + 1024u + 8u);

    ASSERT_TRUE(SaveImageFile(codectest::MakePaletteImage(4, 2, 1), folder / "p1.bmp"));
    EXPECT_EQ(U32(ReadBytes(folder / "p1.bmp"), 10), 14u + 40u + 8u);

    ImageBuffer rgb565;
    BitmapInfoHeader header;
    header.biWidth = 3;
    header.biHeight = 2;
    header.biPlanes = 1;
    header.biBitCount = 16;
    header.biCompression = kBiBitfields;
    const uint32_t masks[3] = { 0xF800, 0x07E0, 0x001F };
    ASSERT_TRUE(rgb565.CreateFromInfo(header, masks));
    ASSERT_TRUE(SaveImageFile(rgb565, folder / "565.bmp"));
    bytes = ReadBytes(folder / "565.bmp");
    EXPECT_EQ(U32(bytes, 10), 14u + 52u);
    EXPECT_EQ(U32(bytes, 54), 0xF800u);
    EXPECT_EQ(U32(bytes, 58), 0x07E0u);

    ImageBuffer rgb555;
    ASSERT_TRUE(rgb555.Create(3, 2, 16));
    ASSERT_TRUE(SaveImageFile(rgb555, folder / "555.bmp"));
    EXPECT_EQ(U32(ReadBytes(folder / "555.bmp"), 10), 54u);
}

TEST(BmpCodecRoundTrip, EveryDepthComesBackByteForByte)
{
    TempFolder folder;
    for (int bpp : { 1, 4, 8, 16, 24, 32 }) {
        const ImageBuffer image = codectest::MakeAnyDepth(7, 5, bpp);
        const std::string path = folder / ("d" + std::to_string(bpp) + ".bmp");
        ASSERT_TRUE(SaveImageFile(image, path)) << bpp;
        ImageBuffer loaded;
        ASSERT_TRUE(loaded.Load(path)) << bpp;
        EXPECT_TRUE(codectest::SamePixelBytes(image, loaded)) << bpp;
        EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image)) << bpp;
    }
}

TEST(BmpCodecDecode, RefusesTopDownAndForeignFiles)
{
    BmpCodec codec;
    EXPECT_TRUE(DecodeBytes(codec, HandMadeBmp()));
    EXPECT_FALSE(DecodeBytes(codec, HandMadeBmp(-2))) << "top-down rows are refused";
    auto png = HandMadeBmp();
    png[0] = 0x89, png[1] = 'P';
    EXPECT_FALSE(DecodeBytes(codec, png));
    EXPECT_EQ(codec.DecodedImages().size(), 1u);
}

TEST(BmpCodecDecode, LyingOrTruncatedHeadersFailCleanly)
{
    BmpCodec codec;
    const auto good = HandMadeBmp();

    auto offsetPastEnd = good;
    offsetPastEnd[10] = uint8_t(good.size());
    EXPECT_FALSE(DecodeBytes(codec, offsetPastEnd));

    EXPECT_FALSE(DecodeBytes(codec, std::vector<uint8_t>(good.begin(), good.begin() + 14)));
    EXPECT_FALSE(DecodeBytes(codec, std::vector<uint8_t>(good.begin(), good.begin() + 40)))
        << "bitmap header cut short";

    auto hugeHeader = good;
    hugeHeader[14] = 0xFF, hugeHeader[15] = 0xFF, hugeHeader[16] = 0xFF, hugeHeader[17] = 0x7F;
    EXPECT_FALSE(DecodeBytes(codec, hugeHeader)) << "header size beyond the file";

    auto coreHeader = good;
    coreHeader[14] = 12;
    EXPECT_FALSE(DecodeBytes(codec, coreHeader)) << "the old 12-byte header would be misread";

    auto absurd = good;
    absurd[18] = 0x00, absurd[19] = 0x00, absurd[20] = 0x01; // 65536 wide
    EXPECT_FALSE(DecodeBytes(codec, absurd));

    auto bitfieldsWithoutMasks = std::vector<uint8_t>(good.begin(), good.begin() + 56);
    bitfieldsWithoutMasks[28] = 16;
    bitfieldsWithoutMasks[30] = 3;
    bitfieldsWithoutMasks[10] = 54;
    EXPECT_FALSE(DecodeBytes(codec, bitfieldsWithoutMasks)) << "masks missing";
    EXPECT_TRUE(codec.DecodedImages().empty());
}

TEST(BmpCodecDecode, EveryPromisedRowMustBeThereAndThePaletteIsReadAsFarAsItGoes)
{
    // An 8-bpp 299 x 2 file (rows of 300 bytes with padding) whose palette, at the pixels' offset, is
    // cut by the end of the file.
    const auto file = [](size_t pixelBytes) {
        std::vector<uint8_t> b(54 + pixelBytes, 0);
        b[0] = 'B', b[1] = 'M';
        b[10] = 54;
        b[14] = 40;
        b[18] = 0x2B, b[19] = 0x01; // 299
        b[22] = 2;
        b[26] = 1;
        b[28] = 8;
        for (size_t i = 54; i < b.size(); ++i)
            b[i] = uint8_t(200 + i % 50);
        return b;
    };
    // A header with no pixels behind it once opened as a picture of zeros.
    for (const auto& [pixelBytes, opens] : { std::pair { size_t(0), false }, std::pair { size_t(40), false },
             std::pair { size_t(598), false }, std::pair { size_t(599), true }, std::pair { size_t(600), true } }) {
        const auto b = file(pixelBytes);
        BmpCodec codec;
        EXPECT_EQ(codec.Decode(b.data(), b.size()), opens) << pixelBytes << " pixel bytes";
    }
    const auto b = file(599); // only the last row's padding left out
    BmpCodec codec;
    ASSERT_TRUE(codec.Decode(b.data(), b.size()));
    const ImageBuffer& image = *codec.DecodedImages().front();
    RgbQuad palette[256];
    ASSERT_TRUE(image.GetPalette(0, 256, palette));
    EXPECT_EQ(palette[148], (RgbQuad { b[646], b[647], b[648], b[649] }));
    // Entries past the end of the bytes keep the grey ramp that a new image starts with.
    EXPECT_EQ(palette[149], (RgbQuad { 149, 149, 149, 0 }));
    EXPECT_EQ(image.Row(1)[0], b[54]);
    EXPECT_EQ(image.Row(0)[298], b[652]);
}

TEST(BmpCodecLoad, PngNamedBmpDoesNotLoadAndLeavesTheImage)
{
    TempFolder folder;
    ASSERT_TRUE(SaveImageFile(testutil::MakeImage(3, 3, 24), folder / "real.png"));
    std::filesystem::copy_file(folder / "real.png", folder / "x.bmp");
    ImageBuffer image = testutil::MakeImage(2, 2, 32);
    const ImageBuffer before(image);
    EXPECT_FALSE(image.Load(folder / "x.bmp"));
    EXPECT_TRUE(codectest::SamePixelBytes(image, before));
    EXPECT_FALSE(image.Load(folder / "missing.bmp"));
    WriteBytes(folder / "empty.bmp", {});
    EXPECT_FALSE(image.Load(folder / "empty.bmp"));
    EXPECT_EQ(image.Width(), 2);
}
