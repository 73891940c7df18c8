#include "imaging/colour/LookupTableEffect.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The k with bytes[v] == v ^ k for every v, or -1.
int XorConstant(const std::array<uint8_t, 256>& bytes)
{
    const int k = bytes[0];
    for (int v = 0; v < 256; ++v)
        if (bytes[size_t(v)] != (v ^ k))
            return -1;
    return k;
}

void XorRow32(uint8_t* row, int width, uint32_t mask)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i masks = _mm_set1_epi32(int(mask));
    for (; x + 4 <= width; x += 4, row += 16) {
        auto* p = reinterpret_cast<__m128i*>(row);
        _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), masks));
    }
#endif
    for (; x < width; ++x, row += 4) {
        uint32_t v;
        std::memcpy(&v, row, 4);
        v ^= mask;
        std::memcpy(row, &v, 4);
    }
}

// Four pixels are three words whose byte pattern repeats; the rest byte by byte.
void XorRow24(uint8_t* row, int width, const uint8_t* pattern)
{
    uint32_t words[3];
    for (int i = 0; i < 12; ++i)
        reinterpret_cast<uint8_t*>(words)[i] = pattern[i % 3];
    int x = 0;
    for (; x + 4 <= width; x += 4, row += 12) {
        uint32_t v[3];
        std::memcpy(v, row, 12);
        v[0] ^= words[0];
        v[1] ^= words[1];
        v[2] ^= words[2];
        std::memcpy(row, v, 12);
    }
    for (; x < width; ++x, row += 3)
        for (int c = 0; c < 3; ++c)
            row[c] ^= pattern[c];
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
    const int keys[3] = { XorConstant(blueBytes_), XorConstant(greenBytes_), XorConstant(redBytes_) };
    xorOnly_ = keys[0] >= 0 && keys[1] >= 0 && keys[2] >= 0;
    for (int c = 0; c < 3; ++c)
        xorBytes_[c] = uint8_t(keys[c]);
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
    if (xorOnly_ && bpp == 32)
        XorRow32(image.Row(y), image.Width(), uint32_t(xorBytes_[0] | xorBytes_[1] << 8 | xorBytes_[2] << 16));
    else if (xorOnly_ && bpp == 24)
        XorRow24(image.Row(y), image.Width(), xorBytes_);
    else if (bpp == 32)
        MapRow32(image.Row(y), image.Width(), blueBytes_.data(), greenBytes_.data(), redBytes_.data());
    else if (bpp == 24)
        MapRow24(image.Row(y), image.Width(), blueBytes_.data(), greenBytes_.data(), redBytes_.data());
    else
        PixelEffect::ProcessRow(image, y);
}
