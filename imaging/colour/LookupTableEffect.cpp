#include "LookupTableEffect.h"

#include <cstring>

namespace {

void FillBytes(std::array<uint8_t, 256>& bytes, const std::array<int32_t, 256>& table, bool mapped)
{
    for (size_t v = 0; v < 256; ++v)
        bytes[v] = mapped ? uint8_t(table[v]) : uint8_t(v);
}

void MapRow24(uint8_t* pixel, int width, const uint8_t* blue, const uint8_t* green, const uint8_t* red)
{
    for (int x = 0; x < width; ++x, pixel += 3) {
        pixel[0] = blue[pixel[0]];
        pixel[1] = green[pixel[1]];
        pixel[2] = red[pixel[2]];
    }
}

// A whole pixel is read and written as one word; alpha passes through.
void MapRow32(uint8_t* pixel, int width, const uint8_t* blue, const uint8_t* green, const uint8_t* red)
{
    for (int x = 0; x < width; ++x, pixel += 4) {
        uint32_t v;
        std::memcpy(&v, pixel, 4);
        v = (v & 0xFF000000u) | uint32_t(blue[v & 0xFF]) | uint32_t(green[(v >> 8) & 0xFF]) << 8
            | uint32_t(red[(v >> 16) & 0xFF]) << 16;
        std::memcpy(pixel, &v, 4);
    }
}

} // namespace

LookupTableEffect::LookupTableEffect(int channelMask)
    : red_(channelMask & 1)
    , green_(channelMask & 2)
    , blue_(channelMask & 4)
{
}

void LookupTableEffect::Begin(ImageBuffer&)
{
    for (int v = 0; v < 256; ++v)
        table_[size_t(v)] = MapValue(v);
    FillBytes(blueBytes_, table_, blue_ != 0);
    FillBytes(greenBytes_, table_, green_ != 0);
    FillBytes(redBytes_, table_, red_ != 0);
}

void LookupTableEffect::ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel)
{
    if (blue_)
        pixel[0] = uint8_t(table_[pixel[0]]);
    if (green_)
        pixel[1] = uint8_t(table_[pixel[1]]);
    if (red_)
        pixel[2] = uint8_t(table_[pixel[2]]);
}

void LookupTableEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    if (bpp == 32)
        MapRow32(image.Row(y), image.Width(), blueBytes_.data(), greenBytes_.data(), redBytes_.data());
    else if (bpp == 24)
        MapRow24(image.Row(y), image.Width(), blueBytes_.data(), greenBytes_.data(), redBytes_.data());
    else
        PixelEffect::ProcessRow(image, y);
}
