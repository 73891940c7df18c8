#include "editor/codecs/PcxWriter.h"

#include "editor/codecs/ByteIo.h"
#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace byteio;

namespace {

constexpr size_t kHeaderBytes = 128;
constexpr uint8_t kPaletteMarker = 0x0C;
constexpr int kMaxRun = 63;

// Appends one plane line in PCX run-length form: a byte with both top bits set is always coded as a run.
void EncodeLine(const uint8_t* line, size_t size, std::vector<uint8_t>& out)
{
    size_t i = 0;
    while (i < size) {
        const uint8_t value = line[i];
        size_t run = 1;
        while (i + run < size && run < kMaxRun && line[i + run] == value)
            ++run;
        if (run > 1 || value >= 0xC0)
            out.push_back(uint8_t(0xC0 | run));
        out.push_back(value);
        i += run;
    }
}

// The file's resolution; an image without one is taken as a 96-dpi screen.
uint16_t DotsPerInch(int32_t pelsPerMeter)
{
    if (pelsPerMeter <= 0)
        return 96;
    return uint16_t(std::min<int64_t>(int64_t(pelsPerMeter * 0.0254 + 0.5), 0xFFFF));
}

void PutHeader(const ImageBuffer& image, int bitsPerPlane, int planes, size_t bytesPerLine, uint8_t* header)
{
    header[0] = 0x0A;
    header[1] = 5;
    header[2] = 1;
    header[3] = uint8_t(bitsPerPlane);
    PutU16(header + 8, uint16_t(image.Width() - 1));
    PutU16(header + 10, uint16_t(image.Height() - 1));
    PutU16(header + 12, DotsPerInch(image.Header().biXPelsPerMeter));
    PutU16(header + 14, DotsPerInch(image.Header().biYPelsPerMeter));
    if (image.BitCount() <= 4) {
        RgbQuad palette[16];
        image.GetPalette(0, image.PaletteSize(), palette);
        for (int i = 0; i < image.PaletteSize(); ++i) {
            header[16 + i * 3] = palette[i].red;
            header[17 + i * 3] = palette[i].green;
            header[18 + i * 3] = palette[i].blue;
        }
    }
    header[65] = uint8_t(planes);
    PutU16(header + 66, uint16_t(bytesPerLine));
    PutU16(header + 68, 1);
}

bool WritePlanar(const ImageBuffer& image, std::FILE* out)
{
    const int width = image.Width();
    const size_t bytesPerLine = (size_t(width) + 1) & ~size_t(1);
    if (bytesPerLine > 0xFFFF)
        return false;
    uint8_t header[kHeaderBytes] = {};
    PutHeader(image, 8, 3, bytesPerLine, header);
    if (!Write(out, header, sizeof header))
        return false;
    const int pixelBytes = image.BitCount() / 8;
    std::vector<uint8_t> planes(bytesPerLine * 3, 0);
    std::vector<uint8_t> encoded;
    encoded.reserve(bytesPerLine * 4);
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* p = image.Row(y);
        uint8_t* red = planes.data();
        uint8_t* green = red + bytesPerLine;
        uint8_t* blue = green + bytesPerLine;
        for (int x = 0; x < width; ++x, p += pixelBytes) {
            blue[x] = p[0];
            green[x] = p[1];
            red[x] = p[2];
        }
        encoded.clear();
        for (int plane = 0; plane < 3; ++plane)
            EncodeLine(planes.data() + plane * bytesPerLine, bytesPerLine, encoded);
        if (!Write(out, encoded.data(), encoded.size()))
            return false;
    }
    return true;
}

bool WritePaletted(const ImageBuffer& image, std::FILE* out)
{
    const int bpp = image.BitCount();
    const size_t usedBytes = (size_t(image.Width()) * size_t(bpp) + 7) / 8;
    const size_t bytesPerLine = (usedBytes + 1) & ~size_t(1);
    if (bytesPerLine > 0xFFFF)
        return false;
    uint8_t header[kHeaderBytes] = {};
    PutHeader(image, bpp, 1, bytesPerLine, header);
    if (!Write(out, header, sizeof header))
        return false;
    std::vector<uint8_t> line(bytesPerLine, 0);
    std::vector<uint8_t> encoded;
    for (int y = 0; y < image.Height(); ++y) {
        // Bits past the last pixel of a row are zero in the file.
        std::memcpy(line.data(), image.Row(y), usedBytes);
        const int spareBits = int(usedBytes * 8 - size_t(image.Width()) * size_t(bpp));
        if (spareBits)
            line[usedBytes - 1] &= uint8_t(0xFF << spareBits);
        encoded.clear();
        EncodeLine(line.data(), bytesPerLine, encoded);
        if (!Write(out, encoded.data(), encoded.size()))
            return false;
    }
    if (bpp != 8)
        return true;
    RgbQuad palette[256];
    image.GetPalette(0, 256, palette);
    uint8_t trailer[1 + 256 * 3];
    trailer[0] = kPaletteMarker;
    for (int i = 0; i < 256; ++i) {
        trailer[1 + i * 3] = palette[i].red;
        trailer[2 + i * 3] = palette[i].green;
        trailer[3 + i * 3] = palette[i].blue;
    }
    return Write(out, trailer, sizeof trailer);
}

bool IsBlackAndWhite(const ImageBuffer& image)
{
    RgbQuad palette[2];
    image.GetPalette(0, 2, palette);
    return palette[0] == RgbQuad { 0, 0, 0, palette[0].reserved }
    && palette[1] == RgbQuad { 255, 255, 255, palette[1].reserved };
}

// The same pixels as one byte per index, with the same palette entries first.
ImageBuffer ToEightBit(const ImageBuffer& image)
{
    ImageBuffer expanded;
    if (!expanded.Create(image.Width(), image.Height(), 8))
        return expanded;
    RgbQuad palette[256] = {};
    image.GetPalette(0, image.PaletteSize(), palette);
    expanded.SetPalette(0, 256, palette);
    for (int y = 0; y < image.Height(); ++y) {
        uint8_t* out = expanded.Row(y);
        for (int x = 0; x < image.Width(); ++x)
            out[x] = uint8_t(image.GetPixelValue(x, y));
    }
    return expanded;
}

} // namespace

bool WritePcx(const ImageBuffer& image, std::FILE* out)
{
    // The header holds the right and bottom edges, and the bytes of a plane line, in 16 bits.
    if (image.IsEmpty() || !out || image.Width() > 0x10000 || image.Height() > 0x10000)
        return false;
    switch (image.BitCount()) {
    case 1:
        if (IsBlackAndWhite(image))
            return WritePaletted(image, out);
        [[fallthrough]];
    case 4: {
        // Readers take one-bit files as black and white, and sixteen-colour files as four bit planes
        // that some of them cut short at odd widths: the 256-colour form keeps every colour for all.
        const ImageBuffer expanded = ToEightBit(image);
        return !expanded.IsEmpty() && WritePaletted(expanded, out);
    }
    case 8:
        return WritePaletted(image, out);
    case 24:
    case 32:
        return WritePlanar(image, out);
    case 16: {
        ImageBuffer rgb(image);
        return rgb.ConvertTo(24) && WritePlanar(rgb, out);
    }
    default:
        return false;
    }
}
