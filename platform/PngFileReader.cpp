#include "platform/PngFileReader.h"

#include "imaging/RedBlueSwap.h"

#include <libdeflate.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr uint8_t kSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
constexpr uint32_t kMaxSide = 1u << 20;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

uint32_t BigEndian(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

std::vector<uint8_t> ReadWhole(FILE* file)
{
    std::vector<uint8_t> bytes;
    if (std::fseek(file, 0, SEEK_END) != 0)
        return bytes;
    const long size = std::ftell(file);
    if (size <= 0 || std::fseek(file, 0, SEEK_SET) != 0)
        return bytes;
    bytes.resize(size_t(size));
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        bytes.clear();
    return bytes;
}

// ---- Whole-buffer path: what desktop portals write (8-bit RGB or RGBA, not interlaced) -----------------
// libpng inflates with zlib row by row; inflating the whole stream at once with libdeflate, then unfiltering
// each row in place and turning it into ours, takes well under half the time on a 4K desktop.

struct Header {
    uint32_t width = 0;
    uint32_t height = 0;
    int channels = 0; // 3 or 4; 0 when this path does not apply
};

// The header and the concatenated IDAT data; false when the layout is not one this path reads.
bool SplitChunks(const std::vector<uint8_t>& file, Header& header, std::vector<uint8_t>& stream)
{
    size_t at = sizeof kSignature;
    bool seenHeader = false;
    while (at + 12 <= file.size()) {
        const uint32_t length = BigEndian(&file[at]);
        const uint8_t* type = &file[at + 4];
        const uint8_t* data = &file[at + 8];
        if (length > file.size() - at - 12)
            return false;
        if (!seenHeader) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13)
                return false;
            seenHeader = true;
            header.width = BigEndian(data);
            header.height = BigEndian(data + 4);
            const uint8_t depth = data[8], colour = data[9], interlace = data[12];
            if (depth != 8 || (colour != 2 && colour != 6) || data[10] != 0 || data[11] != 0 || interlace != 0)
                return false;
            header.channels = colour == 2 ? 3 : 4;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            stream.insert(stream.end(), data, data + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            return !stream.empty();
        }
        at += 12 + size_t(length);
    }
    return false;
}

uint8_t Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Up, the filter desktop pictures use most, sixteen bytes at a time (the compiler's byte-by-byte loop is not
// vectorised at our optimisation level).
void AddPrior(uint8_t* row, const uint8_t* prior, size_t bytes)
{
    using Bytes16 = uint8_t __attribute__((vector_size(16)));
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        Bytes16 value, above;
        std::memcpy(&value, row + i, 16);
        std::memcpy(&above, prior + i, 16);
        value += above;
        std::memcpy(row + i, &value, 16);
    }
    for (; i < bytes; ++i)
        row[i] = uint8_t(row[i] + prior[i]);
}

// One row in place, in the file's byte order, so that the prior row is at hand as it was decoded. Null
// prior: the first row, whose prior is all zeros.
bool Unfilter(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t bytes, size_t pixelBytes)
{
    switch (filter) {
    case 0:
        return true;
    case 1:
        for (size_t i = pixelBytes; i < bytes; ++i)
            row[i] = uint8_t(row[i] + row[i - pixelBytes]);
        return true;
    case 2:
        if (prior)
            AddPrior(row, prior, bytes);
        return true;
    case 3:
        for (size_t i = 0; i < bytes; ++i) {
            const int left = i >= pixelBytes ? row[i - pixelBytes] : 0;
            row[i] = uint8_t(row[i] + ((left + (prior ? prior[i] : 0)) >> 1));
        }
        return true;
    case 4:
        for (size_t i = 0; i < bytes; ++i) {
            const bool inside = i >= pixelBytes;
            row[i] = uint8_t(row[i]
                + Paeth(inside ? row[i - pixelBytes] : 0, prior ? prior[i] : 0,
                    inside && prior ? prior[i - pixelBytes] : 0));
        }
        return true;
    default:
        return false;
    }
}

bool UnfilterRows(uint8_t* raw, const Header& header, ImageBuffer& image)
{
    const size_t bytes = size_t(header.width) * size_t(header.channels);
    const uint8_t* prior = nullptr;
    for (uint32_t y = 0; y < header.height; ++y, raw += bytes + 1) {
        uint8_t* row = raw + 1;
        if (!Unfilter(raw[0], row, prior, bytes, size_t(header.channels)))
            return false;
        SwapRedBlue(row, header.channels, image.Row(int(y)), header.width);
        prior = row;
    }
    return true;
}

// Empty when the file is not laid out for this path or is damaged.
ImageBuffer ReadWholeBuffer(const std::vector<uint8_t>& file)
{
    Header header;
    std::vector<uint8_t> stream;
    if (!SplitChunks(file, header, stream) || header.width == 0 || header.height == 0 || header.width > kMaxSide
        || header.height > kMaxSide)
        return {};
    const size_t line = size_t(header.width) * size_t(header.channels) + 1;
    ImageBuffer image;
    if (!image.Create(int(header.width), int(header.height), 24))
        return {};
    // Not zero-filled first: the inflater writes every byte or fails.
    const std::unique_ptr<uint8_t[]> raw(new (std::nothrow) uint8_t[line * header.height]);
    const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> inflater(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    // No size out-parameter: a stream that gives fewer bytes than the rows need is an error.
    if (!raw || !inflater
        || libdeflate_zlib_decompress(
               inflater.get(), stream.data(), stream.size(), raw.get(), line * header.height, nullptr)
            != LIBDEFLATE_SUCCESS)
        return {};
    return UnfilterRows(raw.get(), header, image) ? std::move(image) : ImageBuffer();
}

// ---- libpng: every other kind of PNG -----------------------------------------------------------------

struct ByteSource {
    const std::vector<uint8_t>& bytes;
    size_t at;
};

void ReadFromBytes(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<ByteSource*>(png_get_io_ptr(png));
    if (count > source->bytes.size() - source->at)
        png_error(png, "truncated");
    std::memcpy(out, source->bytes.data() + source->at, count);
    source->at += count;
}

// libpng reports errors by longjmp: nothing with a destructor lives in this frame's setjmp scope except
// the image, which belongs to the caller.
bool Decode(png_structp png, png_infop info, ByteSource& source, ImageBuffer& image)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &source, &ReadFromBytes);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_strip_alpha(png);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 3 || width > kMaxSide || height > kMaxSide
        || !image.Create(int(width), int(height), 24))
        return false;
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, image.Row(int(y)), nullptr);
    return true;
}

ImageBuffer ReadWithLibpng(const std::vector<uint8_t>& file)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    ByteSource source { file, sizeof kSignature };
    ImageBuffer image;
    const bool read = info && Decode(png, info, source, image);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return read ? std::move(image) : ImageBuffer();
}

} // namespace

ImageBuffer ReadPngFile(const std::string& path)
{
    const std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return {};
    const std::vector<uint8_t> bytes = ReadWhole(file.get());
    if (bytes.size() < sizeof kSignature || std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0)
        return {};
    ImageBuffer image = ReadWholeBuffer(bytes);
    return image.IsEmpty() ? ReadWithLibpng(bytes) : std::move(image);
}
