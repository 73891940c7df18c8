#include "editor/codecs/FormatHeaderCheck.h"
#include "editor/codecs/FreeImageCodec.h"
#include "editor/codecs/FreeImageLibrary.h"
#include "tests/codecs/CodecTestUtil.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct Written {
    const char* name;
    FREE_IMAGE_FORMAT fif;
    int bpp;
    int flags;
    ImageFormat format;
};

// A 32 x 32 picture of noise (icons take no other sizes) (noise keeps every compression honest), written by FreeImage
// itself.
std::vector<uint8_t> WrittenFile(const codectest::TempFolder& folder, const Written& w)
{
    FIBITMAP* bitmap = FreeImage_Allocate(32, 32, w.bpp);
    if (w.bpp <= 8) {
        RGBQUAD* palette = FreeImage_GetPalette(bitmap);
        for (int i = 0; i < (1 << w.bpp); ++i)
            palette[i] = { BYTE(i * 3), BYTE(i), BYTE(255 - i), 0 };
    }
    uint32_t seed = 7;
    for (int y = 0; y < 32; ++y)
        for (unsigned x = 0; x < FreeImage_GetLine(bitmap); ++x) {
            seed = seed * 1664525u + 1013904223u;
            FreeImage_GetScanLine(bitmap, y)[x] = uint8_t(seed >> 24);
        }
    const std::string path = folder / (std::string("w") + std::to_string(w.bpp) + "." + w.name);
    const bool saved = FreeImage_Save(w.fif, bitmap, path.c_str(), w.flags);
    FreeImage_Unload(bitmap);
    EXPECT_TRUE(saved) << w.name << " " << w.bpp;
    return codectest::ReadBytes(path);
}

const Written kWritten[] = {
    { "png", FIF_PNG, 1, 0, kFormatPng },
    { "png", FIF_PNG, 8, 0, kFormatPng },
    { "png", FIF_PNG, 32, 0, kFormatPng },
    { "jpg", FIF_JPEG, 8, 0, kFormatJpeg },
    { "jpg", FIF_JPEG, 24, JPEG_PROGRESSIVE, kFormatJpeg },
    { "gif", FIF_GIF, 8, 0, kFormatGif },
    { "tif", FIF_TIFF, 1, TIFF_CCITTFAX4, kFormatTiff },
    { "tif", FIF_TIFF, 1, TIFF_NONE, kFormatTiff },
    { "tif", FIF_TIFF, 8, TIFF_PACKBITS, kFormatTiff },
    { "tif", FIF_TIFF, 24, TIFF_LZW, kFormatTiff },
    { "tif", FIF_TIFF, 32, TIFF_ADOBE_DEFLATE, kFormatTiff },
    { "tif", FIF_TIFF, 24, TIFF_JPEG, kFormatTiff },
    { "ico", FIF_ICO, 4, 0, kFormatIco },
    { "ico", FIF_ICO, 8, 0, kFormatIco },
    { "ico", FIF_ICO, 24, 0, kFormatIco },
    { "ico", FIF_ICO, 32, 0, kFormatIco },
    { "xpm", FIF_XPM, 8, 0, kFormatXpm },
    { "xpm", FIF_XPM, 24, 0, kFormatXpm },
};

const Written& Find(const char* name, int bpp)
{
    for (const Written& w : kWritten)
        if (std::string(w.name) == name && w.bpp == bpp)
            return w;
    throw std::logic_error("no such written file");
}

// A 32 x 32 RGB PSD with raw rows (FreeImage's own PSD writer leaks a block with every file).
std::vector<uint8_t> HandMadePsd()
{
    std::vector<uint8_t> b = { '8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 32, 0, 0, 0, 32, 0, 8, 0, 3 };
    b.resize(b.size() + 3 * 4 + 2, 0); // three empty sections, compression 0
    for (int i = 0; i < 32 * 32 * 3; ++i)
        b.push_back(uint8_t(i * 7));
    return b;
}

size_t BigEndian32(const std::vector<uint8_t>& b, size_t at)
{
    return size_t(b[at]) << 24 | size_t(b[at + 1]) << 16 | size_t(b[at + 2]) << 8 | b[at + 3];
}

// Past the three sections of their own lengths that follow the header.
size_t PsdCompressionAt(const std::vector<uint8_t>& b)
{
    size_t at = 26;
    for (int section = 0; section < 3; ++section)
        at += 4 + BigEndian32(b, at);
    return at;
}

// The first frame's LZW code size, past the colour tables and the extensions before the frame.
size_t GifCodeSizeAt(const std::vector<uint8_t>& b)
{
    const auto table = [&](uint8_t flags) { return flags & 0x80 ? size_t(3) << ((flags & 7) + 1) : 0; };
    size_t at = 13 + table(b[10]);
    while (b[at] == 0x21) {
        for (at += 2; b[at] != 0; at += size_t(b[at]) + 1) { }
        ++at;
    }
    return at + 10 + table(b[at + 9]);
}

} // namespace

TEST(FormatHeaderCheck, WhatFreeImageWritesPassesAndOpens)
{
    codectest::TempFolder folder;
    for (const Written& w : kWritten) {
        const auto bytes = WrittenFile(folder, w);
        EXPECT_EQ(FormatHeaderCheck::ContentFormat(bytes.data(), bytes.size()), w.format) << w.name << " " << w.bpp;
        EXPECT_TRUE(FormatHeaderCheck::Accepts(bytes.data(), bytes.size())) << w.name << " " << w.bpp;
        FreeImageCodec codec;
        EXPECT_TRUE(codec.Decode(bytes.data(), bytes.size())) << w.name << " " << w.bpp;
    }
    const auto psd = HandMadePsd();
    EXPECT_EQ(FormatHeaderCheck::ContentFormat(psd.data(), psd.size()), kFormatPsd);
    EXPECT_TRUE(FormatHeaderCheck::Accepts(psd.data(), psd.size()));
    FreeImageCodec codec;
    EXPECT_TRUE(codec.Decode(psd.data(), psd.size()));
}

TEST(FormatHeaderCheck, OneLyingFieldIsEnough)
{
    EnsureFreeImage(); // as the codecs do: set up once, and released at exit
    codectest::TempFolder folder;
    using Edit = std::function<void(std::vector<uint8_t>&)>;
    const auto at = [](size_t offset, std::vector<uint8_t> value) -> Edit {
        return
            [=](std::vector<uint8_t>& b) { std::copy(value.begin(), value.end(), b.begin() + std::ptrdiff_t(offset)); };
    };
    const auto written = [&](const char* name, int bpp) {
        return [&folder, name, bpp] { return WrittenFile(folder, Find(name, bpp)); };
    };
    const struct {
        const char* what;
        std::function<std::vector<uint8_t>()> file;
        Edit edit;
    } lies[] = {
        { "psd with no channels", HandMadePsd, at(12, { 0, 0 }) },
        { "psd of 16-bit depth 127", HandMadePsd, at(22, { 0, 127 }) },
        { "psd zip-compressed", HandMadePsd, [](auto& b) { b[PsdCompressionAt(b) + 1] = 2; } },
        { "psd cut short", HandMadePsd, [](auto& b) { b.resize(b.size() - 1); } },
        { "ico bitmap 0 wide", written("ico", 24), at(22 + 4, { 0, 0, 0, 0 }) },
        { "ico bitmap depth 33", written("ico", 24), at(22 + 14, { 33, 0 }) },
        { "ico second image past the end", written("ico", 24), [](auto& b) { b[4] = 2; } },
        { "png 16-bit palette", written("png", 32), [](auto& b) { b[24] = 16, b[25] = 3; } },
        { "png interlace 2", written("png", 8), [](auto& b) { b[28] = 2; } },
        { "gif code size 12", written("gif", 8), [](auto& b) { b[GifCodeSizeAt(b)] = 12; } },
        { "xpm colour name of 200 letters", written("xpm", 8),
            [](auto& b) {
                const auto c = std::search(b.begin(), b.end(), std::begin(" c #"), std::end(" c #") - 1);
                b.insert(c + 3, 200, 'a');
            } },
        { "tif cut inside its strips", written("tif", 24), [](auto& b) { b.resize(b.size() / 2); } },
        { "tif 1-bit raw of 60000 rows", written("tif", 1),
            [](auto& b) {
                const size_t ifd = codectest::U32(b, 4);
                for (int i = 0; i < codectest::U16(b, ifd); ++i)
                    if (codectest::U16(b, ifd + 2 + 12 * size_t(i)) == 257)
                        b[ifd + 2 + 12 * size_t(i) + 8] = 0x60, b[ifd + 2 + 12 * size_t(i) + 9] = 0xEA;
            } },
    };
    for (const auto& lie : lies) {
        std::vector<uint8_t> bytes = lie.file();
        ASSERT_TRUE(FormatHeaderCheck::Accepts(bytes.data(), bytes.size())) << lie.what;
        lie.edit(bytes);
        EXPECT_FALSE(FormatHeaderCheck::Accepts(bytes.data(), bytes.size())) << lie.what;
    }
    // Formats FreeImage reads but we do not list are refused whatever their name.
    for (const std::string& head : { std::string("DDS |"), std::string("BM"), std::string("\x76\x2F\x31\x01", 4) }) {
        std::vector<uint8_t> bytes(head.begin(), head.end());
        bytes.resize(512, 0);
        EXPECT_EQ(FormatHeaderCheck::ContentFormat(bytes.data(), bytes.size()), kFormatNone) << head;
        EXPECT_FALSE(FormatHeaderCheck::Accepts(bytes.data(), bytes.size())) << head;
    }
}
