#include "editor/codecs/FreeImageCodec.h"
#include "editor/codecs/FreeImageDecoder.h"
#include "editor/codecs/PngDecoder.h"
#include "editor/codecs/SaveImageFile.h"
#include "tests/codecs/CodecTestUtil.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <filesystem>

using codectest::TempFolder;
using testutil::Bgra;
using testutil::PixelAt;

namespace {

// Fixtures are written with FreeImage itself where our writers do not make that kind of file.
FIBITMAP* PalettedBitmap(int width, int height, uint8_t index)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 8);
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    for (int i = 0; i < 256; ++i)
        palette[i] = { BYTE(i), BYTE(255 - i), BYTE(i / 2), 0 };
    for (int y = 0; y < height; ++y)
        std::memset(FreeImage_GetScanLine(bitmap, y), index, size_t(width));
    return bitmap;
}

void SetFrameTime(FIBITMAP* bitmap, uint32_t milliseconds)
{
    FITAG* tag = FreeImage_CreateTag();
    FreeImage_SetTagKey(tag, "FrameTime");
    FreeImage_SetTagType(tag, FIDT_LONG);
    FreeImage_SetTagCount(tag, 1);
    FreeImage_SetTagLength(tag, 4);
    FreeImage_SetTagValue(tag, &milliseconds);
    FreeImage_SetMetadata(FIMD_ANIMATION, bitmap, "FrameTime", tag);
    FreeImage_DeleteTag(tag);
}

void WriteMultiPage(
    FREE_IMAGE_FORMAT fif, const std::string& path, const std::vector<uint8_t>& indices, uint32_t frameTime)
{
    FIMULTIBITMAP* pages = FreeImage_OpenMultiBitmap(fif, path.c_str(), TRUE, FALSE, TRUE, 0);
    ASSERT_NE(pages, nullptr);
    for (uint8_t index : indices) {
        FIBITMAP* page = PalettedBitmap(4, 3, index);
        if (frameTime)
            SetFrameTime(page, frameTime);
        FreeImage_AppendPage(pages, page);
        FreeImage_Unload(page);
    }
    FreeImage_CloseMultiBitmap(pages, 0);
}

} // namespace

TEST(FreeImageCodecLoad, FormatComesFromTheContentOnceTheExtensionPickedTheCodec)
{
    TempFolder folder;
    const ImageBuffer image = testutil::MakeImage(6, 4, 24);
    ASSERT_TRUE(SaveImageFile(image, folder / "real.png"));
    std::filesystem::copy_file(folder / "real.png", folder / "x.jpg");
    std::filesystem::copy_file(folder / "real.png", folder / "photo.JPG");
    for (const char* name : { "real.png", "x.jpg", "photo.JPG" }) {
        ImageBuffer loaded;
        ASSERT_TRUE(loaded.Load(folder / name)) << name;
        EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image)) << name;
    }
    codectest::WriteBytes(folder / "junk.png", { 1, 2, 3, 4, 5 });
    ImageBuffer loaded;
    EXPECT_FALSE(loaded.Load(folder / "junk.png"));
    EXPECT_FALSE(loaded.Load(folder / "absent.png"));
    EXPECT_TRUE(loaded.IsEmpty());
}

TEST(FreeImageCodecLoad, AnimatedGifGivesItsFirstFrameWithFrameTime)
{
    TempFolder folder;
    WriteMultiPage(FIF_GIF, folder / "anim.gif", { 7, 99 }, 100);
    FreeImageCodec codec;
    ASSERT_TRUE(codec.LoadFile(folder / "anim.gif"));
    EXPECT_EQ(codec.DecodedImages().size(), 1u) << "only the first frame is decoded";

    ImageBuffer image;
    ASSERT_TRUE(image.Load(folder / "anim.gif"));
    EXPECT_EQ(image.Tag(), 100);
    EXPECT_EQ(image.Width(), 4);
    // Palette entry 7 is (b 7, g 248, r 3); the second frame used entry 99.
    EXPECT_EQ(codectest::Colours(image).front(), (Bgra { 7, 248, 3, 0 }));
}

TEST(FreeImageCodecLoad, MultiPageTiffGivesItsFirstPage)
{
    TempFolder folder;
    WriteMultiPage(FIF_TIFF, folder / "pages.tif", { 40, 50, 60 }, 0);
    ImageBuffer image;
    ASSERT_TRUE(image.Load(folder / "pages.tif"));
    EXPECT_EQ(image.Tag(), 0);
    EXPECT_EQ(image.BitCount(), 8);
    EXPECT_EQ(codectest::Colours(image).front(), (Bgra { 40, 215, 20, 0 }));
}

TEST(FreeImageCodecLoad, TransparencyTableBecomesAlpha)
{
    TempFolder folder;
    FIBITMAP* bitmap = PalettedBitmap(3, 2, 1);
    FreeImage_GetScanLine(bitmap, 1)[0] = 0; // top-left pixel: index 0
    FreeImage_GetScanLine(bitmap, 0)[2] = 5; // bottom-right pixel: index 5, past the table
    BYTE table[3] = { 0, 128, 255 };
    FreeImage_SetTransparencyTable(bitmap, table, 3);
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, bitmap, (folder / "t.png").c_str(), 0));
    FreeImage_Unload(bitmap);

    ImageBuffer image;
    ASSERT_TRUE(image.Load(folder / "t.png"));
    ASSERT_EQ(image.BitCount(), 32);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgra { 0, 255, 0, 0 }));
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgra { 1, 254, 0, 128 }));
    EXPECT_EQ(PixelAt(image, 2, 1), (Bgra { 5, 250, 2, 255 })) << "indices past the table stay opaque";
}

namespace {

// A 2 x 1 page of 16 bits a channel: red, green, blue (and alpha) from distinct high and low bytes.
FIBITMAP* DeepBitmap(FREE_IMAGE_TYPE type)
{
    FIBITMAP* bitmap = FreeImage_AllocateT(type, 2, 1);
    auto* values = reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(bitmap, 0));
    const int channels = type == FIT_RGBA16 ? 4 : 3;
    for (int i = 0; i < 2 * channels; ++i)
        values[i] = uint16_t((0x10 + 0x20 * i) << 8 | 0xEF);
    return bitmap;
}

} // namespace

TEST(FreeImageCodecLoad, SixteenBitColourAndGreyKeepTheirHighByte)
{
    TempFolder folder;
    const struct {
        const char* name;
        FREE_IMAGE_FORMAT format;
        FREE_IMAGE_TYPE type;
        std::vector<Bgra> expected;
    } cases[] = {
        { "rgb16.png", FIF_PNG, FIT_RGB16, { { 0x50, 0x30, 0x10, 0 }, { 0xB0, 0x90, 0x70, 0 } } },
        { "rgba16.png", FIF_PNG, FIT_RGBA16, { { 0x50, 0x30, 0x10, 0x70 }, { 0xD0, 0xB0, 0x90, 0xF0 } } },
        { "rgb16.tif", FIF_TIFF, FIT_RGB16, { { 0x50, 0x30, 0x10, 0 }, { 0xB0, 0x90, 0x70, 0 } } },
        { "rgba16.tif", FIF_TIFF, FIT_RGBA16, { { 0x50, 0x30, 0x10, 0x70 }, { 0xD0, 0xB0, 0x90, 0xF0 } } },
    };
    for (const auto& c : cases) {
        FIBITMAP* deep = DeepBitmap(c.type);
        ASSERT_TRUE(FreeImage_Save(c.format, deep, (folder / c.name).c_str(), 0)) << c.name;
        FreeImage_Unload(deep);
        ImageBuffer image;
        ASSERT_TRUE(image.Load(folder / c.name)) << c.name;
        EXPECT_EQ(image.BitCount(), c.type == FIT_RGBA16 ? 32 : 24) << c.name;
        EXPECT_EQ((std::vector<Bgra> { PixelAt(image, 0, 0), PixelAt(image, 1, 0) }), c.expected) << c.name;
    }

    // A page that uses only part of the range is shown as it is, not stretched to black and white.
    FIBITMAP* grey = FreeImage_AllocateT(FIT_UINT16, 4, 1);
    auto* row = reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(grey, 0));
    row[0] = 1000;
    row[1] = 1500;
    row[2] = 2000;
    row[3] = 0xFFFF;
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, grey, (folder / "grey16.png").c_str(), 0));
    FreeImage_Unload(grey);
    ImageBuffer image;
    ASSERT_TRUE(image.Load(folder / "grey16.png"));
    EXPECT_EQ(image.BitCount(), 8) << "not mistaken for 5-5-5 colour";
    EXPECT_EQ(codectest::Colours(image),
        (std::vector<Bgra> { { 3, 3, 3, 0 }, { 5, 5, 5, 0 }, { 7, 7, 7, 0 }, { 255, 255, 255, 0 } }));
}

namespace {

uint32_t Crc32(const uint8_t* bytes, size_t length)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

// The file with a gAMA chunk of gamma 1.0 after its header.
std::vector<uint8_t> WithGammaOne(std::vector<uint8_t> png)
{
    std::vector<uint8_t> chunk { 0, 0, 0, 4, 'g', 'A', 'M', 'A', 0, 1, 0x86, 0xA0 };
    const uint32_t crc = Crc32(chunk.data() + 4, 8);
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk.push_back(uint8_t(crc >> shift));
    png.insert(png.begin() + 33, chunk.begin(), chunk.end());
    return png;
}

} // namespace

// Plain colour PNGs are read by our own libpng reader, which must make the picture FreeImage makes.
TEST(FreeImageCodecLoad, PlainColourPngsReadAsFreeImageReadsThem)
{
    TempFolder folder;
    const auto saved = [&](int bpp, int flags) {
        FIBITMAP* bitmap = ToFreeImageBitmap(testutil::MakeImage(13, 9, bpp)).release();
        EXPECT_TRUE(FreeImage_Save(FIF_PNG, bitmap, (folder / "p.png").c_str(), flags));
        FreeImage_Unload(bitmap);
        return codectest::ReadBytes(folder / "p.png");
    };
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        { "rgb", saved(24, 0) },
        { "rgba", saved(32, 0) },
        { "rgb interlaced", saved(24, PNG_INTERLACED) },
        { "rgba interlaced", saved(32, PNG_INTERLACED) },
        { "rgb of gamma 1", WithGammaOne(saved(24, 0)) },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PngDecoder::Reads(c.bytes.data(), c.bytes.size())) << c.what;
        bool memoryShort = false;
        const auto ours = FreeImageDecoder::DecodeFirstPage(c.bytes.data(), c.bytes.size(), memoryShort);
        const FreeImageBitmap bitmap = FreeImageDecoder::LoadFirstPage(c.bytes.data(), c.bytes.size());
        const auto theirs = FreeImageDecoder::ConvertBitmap(bitmap.get(), memoryShort);
        ASSERT_TRUE(ours && theirs) << c.what;
        EXPECT_TRUE(codectest::SamePixelBytes(*ours, *theirs)) << c.what;
        // Cut inside its pixels, the file is refused rather than opened with the rest made up.
        const std::vector<uint8_t> cut(c.bytes.begin(), c.bytes.begin() + std::ptrdiff_t(c.bytes.size() - 20));
        EXPECT_EQ(FreeImageDecoder::DecodeFirstPage(cut.data(), cut.size(), memoryShort), nullptr) << c.what;
    }
}
