#pragma once

#include "ImageTestUtil.h"
#include "imaging/ImageBuffer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace codectest {

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path()
            / (std::string("lumora-codecs-") + info->test_suite_name() + "-" + info->name() + "-"
                + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

inline uint16_t U16(const std::vector<uint8_t>& b, size_t at)
{
    return uint16_t(b[at] | b[at + 1] << 8);
}

// A palette image whose pixel value at (x, y) is (x * 3 + y * 5) modulo the palette size, with a
// palette that is not the grey ramp.
inline ImageBuffer MakePaletteImage(int width, int height, int bpp)
{
    ImageBuffer image;
    image.Create(width, height, bpp);
    const int entries = 1 << bpp;
    std::vector<RgbQuad> palette(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i)
        palette[size_t(i)] = { uint8_t(i * 37), uint8_t(255 - i * 11), uint8_t(i * 101), 0 };
    image.SetPalette(0, entries, palette.data());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int v = (x * 3 + y * 5) % entries;
            uint8_t* p = image.PixelAddress(x, y);
            if (bpp == 8)
                *p = uint8_t(v);
            else if (bpp == 4)
                *p = uint8_t(x % 2 == 0 ? (*p & 0x0F) | v << 4 : (*p & 0xF0) | v);
            else
                *p = uint8_t(v ? *p | 0x80 >> (x % 8) : *p & ~(0x80 >> (x % 8)));
        }
    return image;
}

// A test image of any writable depth: palette images from MakePaletteImage, 16 bpp with every byte
// different (5-5-5 words), 24 and 32 bpp from colour.
inline ImageBuffer MakeAnyDepth(
    int width, int height, int bpp, const std::function<testutil::Bgra(int, int)>& colour = testutil::Distinct)
{
    if (bpp <= 8)
        return MakePaletteImage(width, height, bpp);
    if (bpp != 16)
        return testutil::MakeImage(width, height, bpp, colour);
    ImageBuffer image;
    image.Create(width, height, 16);
    for (size_t i = 0; i < image.PixelBytes(); ++i)
        image.Pixels()[i] = uint8_t(i * 13 + 1);
    return image;
}

// The colour of every pixel, read through the palette for palette images: depth-independent pixels.
inline std::vector<testutil::Bgra> Colours(const ImageBuffer& image)
{
    ImageBuffer rgb(image);
    if (rgb.BitCount() != 24)
        rgb.ConvertTo(24);
    std::vector<testutil::Bgra> colours;
    for (int y = 0; y < rgb.Height(); ++y)
        for (int x = 0; x < rgb.Width(); ++x)
            colours.push_back(testutil::PixelAt(rgb, x, y));
    return colours;
}

// Every byte of every row that belongs to a pixel (row padding excluded).
inline bool SamePixelBytes(const ImageBuffer& a, const ImageBuffer& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitCount() != b.BitCount())
        return false;
    const size_t bits = size_t(a.Width()) * size_t(a.BitCount());
    for (int y = 0; y < a.Height(); ++y) {
        if (std::memcmp(a.Row(y), b.Row(y), bits / 8) != 0)
            return false;
        if (bits % 8) {
            const uint8_t mask = uint8_t(0xFF << (8 - bits % 8));
            if ((a.Row(y)[bits / 8] & mask) != (b.Row(y)[bits / 8] & mask))
                return false;
        }
    }
    return true;
}

} // namespace codectest
