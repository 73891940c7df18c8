#include "editor/codecs/PngDecoder.h"

#include "editor/codecs/FormatHeaderCheck.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace {

// The display gamma FreeImage corrects a file's gamma to.
constexpr double kScreenGamma = 2.2;

uint32_t U32At(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

struct Source {
    const uint8_t* bytes = nullptr;
    size_t length = 0;
    size_t at = 0;
};

void ReadFromSource(png_structp png, png_bytep out, size_t count)
{
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->length - source->at)
        png_error(png, "cut short");
    std::memcpy(out, source->bytes + source->at, count);
    source->at += count;
}

[[noreturn]] void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp)
{
}

BitmapInfoHeader HeaderOf(png_structp png, png_infop info, int bpp)
{
    BitmapInfoHeader header;
    header.biWidth = int32_t(png_get_image_width(png, info));
    header.biHeight = int32_t(png_get_image_height(png, info));
    header.biPlanes = 1;
    header.biBitCount = uint16_t(bpp);
    png_uint_32 x = 0;
    png_uint_32 y = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER && x <= INT32_MAX && y <= INT32_MAX) {
        header.biXPelsPerMeter = int32_t(x);
        header.biYPelsPerMeter = int32_t(y);
    }
    return header;
}

// libpng reports errors by longjmp: nothing with a destructor lives in this frame, and make has returned
// before libpng is called again.
bool ReadRows(png_structp png, png_infop info, const PngDecoder::MakeImage& make, ImageBuffer& image, bool& memoryShort)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    const int colour = png_get_color_type(png, info);
    if ((colour != PNG_COLOR_TYPE_RGB && colour != PNG_COLOR_TYPE_RGB_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS))
        return false;
    png_set_strip_16(png);
    png_set_bgr(png);
    double gamma = 0;
    if (png_get_gAMA(png, info, &gamma))
        png_set_gamma(png, kScreenGamma, gamma);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int bpp = colour == PNG_COLOR_TYPE_RGB ? 24 : 32;
    const BitmapInfoHeader header = HeaderOf(png, info, bpp);
    if (header.biWidth <= 0 || header.biHeight <= 0
        || png_get_rowbytes(png, info) != size_t(header.biWidth) * size_t(bpp / 8))
        return false;
    if (!make(header, image)) {
        memoryShort = true;
        return false;
    }
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < header.biHeight; ++y)
            png_read_row(png, image.Row(y), nullptr);
    // The chunks after the pixels too: a file cut short there is refused as FreeImage refuses it.
    png_read_end(png, nullptr);
    return true;
}

} // namespace

bool PngDecoder::Reads(const uint8_t* bytes, size_t length)
{
    if (!bytes || length < 33 || png_sig_cmp(bytes, 0, 8) != 0 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return false;
    const int depth = bytes[24];
    const int colour = bytes[25];
    if ((colour != PNG_COLOR_TYPE_RGB && colour != PNG_COLOR_TYPE_RGB_ALPHA) || (depth != 8 && depth != 16))
        return false;
    for (size_t at = 8; length - at >= 8;) {
        const uint8_t* type = bytes + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0)
            return true;
        if (std::memcmp(type, "tRNS", 4) == 0)
            return false;
        const size_t chunk = size_t(U32At(bytes + at)) + 12;
        if (chunk > length - at)
            return false;
        at += chunk;
    }
    return false;
}

bool PngDecoder::Decode(
    const uint8_t* bytes, size_t length, const MakeImage& make, ImageBuffer& image, bool& memoryShort)
{
    memoryShort = false;
    if (!Reads(bytes, length) || !FormatHeaderCheck::Accepts(bytes, length))
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    Source source { bytes, length, 0 };
    bool read = false;
    if (info) {
        png_set_read_fn(png, &source, ReadFromSource);
        // Every chunk's CRC already covers the compressed pixels; checking the inflated ones again costs a
        // tenth of the decoding.
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
        read = ReadRows(png, info, make, image, memoryShort);
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!read && !memoryShort)
        image.Destroy();
    return read;
}
