#include "editor/codecs/FreeImageCodec.h"
#include "editor/codecs/SaveImageFile.h"
#include "tests/codecs/CodecTestUtil.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

void PutBigEndian(std::vector<uint8_t>& b, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + size_t(i)] = uint8_t(value >> (8 * (bytes - 1 - i)));
}

void PutLittleEndian(std::vector<uint8_t>& b, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + size_t(i)] = uint8_t(value >> (8 * i));
}

uint32_t Crc32(const uint8_t* data, size_t length)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

size_t Find(const std::vector<uint8_t>& b, const std::vector<uint8_t>& pattern, size_t from = 0)
{
    const auto at = std::search(b.begin() + std::ptrdiff_t(from), b.end(), pattern.begin(), pattern.end());
    return at == b.end() ? std::string::npos : size_t(at - b.begin());
}

// The header fields that hold a picture's size, rewritten to claim another.
void ClaimPcx(std::vector<uint8_t>& b, uint32_t w, uint32_t h)
{
    PutLittleEndian(b, 8, w - 1, 2);
    PutLittleEndian(b, 10, h - 1, 2);
    PutLittleEndian(b, 66, (w + 1) & ~1u, 2); // bytes per line and plane
}

void ClaimPng(std::vector<uint8_t>& b, uint32_t w, uint32_t h)
{
    PutBigEndian(b, 16, w, 4);
    PutBigEndian(b, 20, h, 4);
    PutBigEndian(b, 29, Crc32(b.data() + 12, 17), 4); // the header chunk's checksum
}

void ClaimGif(std::vector<uint8_t>& b, uint32_t w, uint32_t h)
{
    PutLittleEndian(b, 6, w, 2);
    PutLittleEndian(b, 8, h, 2);
    const size_t frame = Find(b, { 0x2C, 0, 0, 0, 0, 16, 0, 16, 0 });
    ASSERT_NE(frame, std::string::npos);
    PutLittleEndian(b, frame + 5, w, 2);
    PutLittleEndian(b, frame + 7, h, 2);
}

void ClaimTiff(std::vector<uint8_t>& b, uint32_t w, uint32_t h)
{
    ASSERT_EQ(b[0], 'I') << "little-endian TIFF expected";
    const size_t ifd = codectest::U32(b, 4);
    const int entries = codectest::U16(b, ifd);
    for (int i = 0; i < entries; ++i) {
        const size_t entry = ifd + 2 + 12 * size_t(i);
        const uint16_t tag = codectest::U16(b, entry);
        if (tag == 256 || tag == 257) // ImageWidth, ImageLength
            PutLittleEndian(b, entry + 8, tag == 256 ? w : h, codectest::U16(b, entry + 2) == 3 ? 2 : 4);
    }
}

void ClaimJpeg(std::vector<uint8_t>& b, uint32_t w, uint32_t h)
{
    const size_t frame = Find(b, { 0xFF, 0xC0 });
    ASSERT_NE(frame, std::string::npos);
    PutBigEndian(b, frame + 5, h, 2);
    PutBigEndian(b, frame + 7, w, 2);
}

struct LyingFormat {
    const char* name;
    FREE_IMAGE_FORMAT fif;
    int bpp;
    std::function<void(std::vector<uint8_t>&, uint32_t, uint32_t)> claim;
};

// A 16 x 16 picture written by FreeImage itself, as bytes.
std::vector<uint8_t> SmallFile(const codectest::TempFolder& folder, const LyingFormat& format)
{
    FIBITMAP* bitmap = FreeImage_Allocate(16, 16, format.bpp);
    if (format.bpp == 8) {
        RGBQUAD* palette = FreeImage_GetPalette(bitmap);
        for (int i = 0; i < 256; ++i)
            palette[i] = { BYTE(i), BYTE(i), BYTE(i), 0 };
    }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16 * format.bpp / 8; ++x)
            FreeImage_GetScanLine(bitmap, y)[x] = uint8_t(x * 7 + y * 3);
    const std::string path = folder / (std::string("small.") + format.name);
    const bool saved = FreeImage_Save(format.fif, bitmap, path.c_str(), 0);
    FreeImage_Unload(bitmap);
    EXPECT_TRUE(saved) << format.name;
    return codectest::ReadBytes(path);
}

const LyingFormat kFormats[] = {
    { "pcx", FIF_PCX, 24, ClaimPcx },
    { "png", FIF_PNG, 24, ClaimPng },
    { "gif", FIF_GIF, 8, ClaimGif },
    { "tif", FIF_TIFF, 24, ClaimTiff },
    { "jpg", FIF_JPEG, 24, ClaimJpeg },
};

} // namespace

TEST(FreeImageHeaderCheck, HeadersClaimingMoreThanTheFileHoldsAreRefusedBeforeDecoding)
{
    codectest::TempFolder folder;
    // PCX cannot be written by FreeImage; its reader takes what our own writer makes.
    for (const LyingFormat& format : kFormats) {
        std::vector<uint8_t> bytes;
        if (format.fif == FIF_PCX) {
            ASSERT_TRUE(SaveImageFile(testutil::MakeImage(16, 16, 24), folder / "small.pcx"));
            bytes = codectest::ReadBytes(folder / "small.pcx");
        } else {
            bytes = SmallFile(folder, format);
        }
        ASSERT_FALSE(bytes.empty()) << format.name;
        FreeImageCodec honest;
        EXPECT_TRUE(honest.Decode(bytes.data(), bytes.size())) << format.name;
        // 12000 x 12000 stays below the pixel limit: only the file's size gives the lie away. 65534 x
        // 65534 is over the limit at any depth.
        for (const uint32_t side : { 12000u, 65534u }) {
            std::vector<uint8_t> lying = bytes;
            format.claim(lying, side, side);
            FreeImageCodec codec;
            EXPECT_FALSE(codec.Decode(lying.data(), lying.size())) << format.name << " claiming " << side;
            EXPECT_TRUE(codec.DecodedImages().empty());
        }
    }
}

TEST(FreeImageHeaderCheck, LargeWellCompressedPicturesStillOpen)
{
    codectest::TempFolder folder;
    // One colour over four million pixels: as much as these formats ever compress a real picture.
    for (const LyingFormat& format : kFormats) {
        if (format.fif == FIF_PCX)
            continue;
        FIBITMAP* bitmap = FreeImage_Allocate(2048, 2048, format.bpp);
        const std::string path = folder / (std::string("plain.") + format.name);
        ASSERT_TRUE(FreeImage_Save(format.fif, bitmap, path.c_str(), 0)) << format.name;
        FreeImage_Unload(bitmap);
        ImageBuffer image;
        ASSERT_TRUE(image.Load(path)) << format.name;
        EXPECT_EQ(image.Width(), 2048) << format.name;
    }
    ImageBuffer plain;
    ASSERT_TRUE(plain.Create(4000, 4000, 24));
    ASSERT_TRUE(SaveImageFile(plain, folder / "plain.pcx"));
    ImageBuffer loaded;
    EXPECT_TRUE(loaded.Load(folder / "plain.pcx"));
}

TEST(FreeImageHeaderCheck, FilesCutShortAreNotOpenedAsPadding)
{
    codectest::TempFolder folder;
    // Noise does not compress, so a cut removes real rows; the header still promises all of them.
    FIBITMAP* bitmap = FreeImage_Allocate(64, 64, 24);
    uint32_t seed = 1;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64 * 3; ++x) {
            seed = seed * 1664525u + 1013904223u;
            FreeImage_GetScanLine(bitmap, y)[x] = uint8_t(seed >> 24);
        }
    for (const auto& [fif, name, flags] :
        { std::tuple { FIF_JPEG, "noise.jpg", JPEG_QUALITYSUPERB }, std::tuple { FIF_TIFF, "noise.tif", TIFF_NONE } }) {
        const std::string path = folder / name;
        ASSERT_TRUE(FreeImage_Save(fif, bitmap, path.c_str(), flags)) << name;
        std::vector<uint8_t> bytes = codectest::ReadBytes(path);
        FreeImageCodec whole;
        EXPECT_TRUE(whole.Decode(bytes.data(), bytes.size())) << name;
        bytes.resize(bytes.size() * 6 / 10);
        FreeImageCodec cut;
        EXPECT_FALSE(cut.Decode(bytes.data(), bytes.size())) << name;
    }
    FreeImage_Unload(bitmap);
}
