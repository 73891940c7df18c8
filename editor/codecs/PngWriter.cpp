#include "PngWriter.h"

#include "AlphaUse.h"
#include "ImageBuffer.h"

#include "RowPool.h"

#include <zlib.h>

#include <algorithm>
#include <new>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// Screenshots are flat colours, text and UI that repeat within zlib's window: unfiltered rows at level 3
// beat every filter on both time and size there. libdeflate was measured too and took as long at level 1
// on such pictures, so the gain comes from compressing pieces of the image on every core instead: each
// piece is a raw deflate stream primed with the 32 KiB before it and ended with a sync flush, so their
// concatenation is one zlib stream of about the size a single pass gives.
constexpr int kLevel = 3;
constexpr size_t kWindow = 32768;
// Pieces smaller than this are not worth a thread.
constexpr size_t kMinPiece = size_t(1) << 20;

enum PngColour : uint8_t { kRgb = 2, kPalette = 3, kRgba = 6 };

void PutBigEndian(std::vector<uint8_t>& out, uint32_t v)
{
    const uint8_t bytes[4] = { uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v) };
    out.insert(out.end(), bytes, bytes + 4);
}

bool WriteChunk(std::FILE* out, const char type[4], const std::vector<std::vector<uint8_t>>& parts)
{
    size_t size = 0;
    for (const auto& part : parts)
        size += part.size();
    if (size > 0x7FFFFFFFu)
        return false;
    std::vector<uint8_t> head;
    PutBigEndian(head, uint32_t(size));
    head.insert(head.end(), type, type + 4);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    bool ok = std::fwrite(head.data(), 1, head.size(), out) == head.size();
    for (const auto& part : parts) {
        if (part.empty())
            continue; // zlib reads a null buffer as a request for the initial value
        crc = crc32_z(crc, part.data(), part.size());
        ok = ok && std::fwrite(part.data(), 1, part.size(), out) == part.size();
    }
    std::vector<uint8_t> tail;
    PutBigEndian(tail, uint32_t(crc));
    return ok && std::fwrite(tail.data(), 1, tail.size(), out) == tail.size();
}

bool WriteChunk(std::FILE* out, const char type[4], std::vector<uint8_t> data)
{
    std::vector<std::vector<uint8_t>> parts;
    parts.push_back(std::move(data));
    return WriteChunk(out, type, parts);
}

size_t RowBytes(const ImageBuffer& image, PngColour colour)
{
    switch (colour) {
    case kRgb:
        return size_t(image.Width()) * 3;
    case kRgba:
        return size_t(image.Width()) * 4;
    default:
        return (size_t(image.Width()) * size_t(image.BitCount()) + 7) / 8;
    }
}

// One row in PNG's byte order.
void PackRow(const uint8_t* in, uint8_t* out, int width, int bpp, PngColour colour, size_t rowBytes)
{
    if (colour == kPalette) {
        std::memcpy(out, in, rowBytes);
        return;
    }
    if (colour == kRgba) {
        for (int x = 0; x < width; ++x, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = in[3];
        }
        return;
    }
    const int step = bpp / 8;
    for (int x = 0; x < width; ++x, in += step, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

struct RawImage {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
};

// Each row as its filter byte (none) and its bytes, top row first; rows are packed on every core.
RawImage RawRows(const ImageBuffer& image, PngColour colour)
{
    const size_t rowBytes = RowBytes(image, colour);
    RawImage raw;
    raw.size = (rowBytes + 1) * size_t(image.Height());
    raw.bytes.reset(new (std::nothrow) uint8_t[raw.size]);
    if (!raw.bytes)
        return {};
    uint8_t* bytes = raw.bytes.get();
    RowPool::Shared().Run(image.Height(), 64, [&](int first, int end, int) {
        for (int y = first; y < end; ++y) {
            uint8_t* out = bytes + size_t(y) * (rowBytes + 1);
            out[0] = 0;
            PackRow(image.Row(y), out + 1, image.Width(), image.BitCount(), colour, rowBytes);
        }
    });
    return raw;
}

// Raw deflate of [begin, end) of the image bytes, primed with the window before begin, ended with a sync
// flush unless it is the last piece. Empty on failure.
std::vector<uint8_t> DeflatePiece(const RawImage& raw, size_t begin, size_t end, bool last)
{
    z_stream stream {};
    if (deflateInit2(&stream, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    const size_t primed = std::min(begin, kWindow);
    if (primed > 0)
        deflateSetDictionary(&stream, raw.bytes.get() + begin - primed, uInt(primed));
    std::vector<uint8_t> out(deflateBound(&stream, uLong(end - begin)) + 16);
    stream.next_in = raw.bytes.get() + begin;
    stream.avail_in = uInt(end - begin);
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool ok = last ? result == Z_STREAM_END : result == Z_OK && stream.avail_in == 0;
    out.resize(ok ? stream.total_out : 0);
    deflateEnd(&stream);
    return out;
}

// The zlib stream of the raw image: header, the pieces, then the Adler-32 of all raw bytes.
std::vector<std::vector<uint8_t>> Compress(const RawImage& raw)
{
    const int threads = RowPool::Shared().Threads();
    const size_t pieces = std::clamp<size_t>(raw.size / kMinPiece, 1, size_t(threads));
    const size_t pieceSize = (raw.size + pieces - 1) / pieces;
    std::vector<std::vector<uint8_t>> parts(pieces + 2);
    std::vector<uLong> checks(pieces, 0);
    bool ok = true;
    RowPool::Shared().Run(int(pieces), 1, [&](int first, int end, int) {
        for (int i = first; i < end; ++i) {
            const size_t begin = size_t(i) * pieceSize;
            const size_t stop = std::min(raw.size, begin + pieceSize);
            parts[size_t(i) + 1] = DeflatePiece(raw, begin, stop, size_t(i) + 1 == pieces);
            checks[size_t(i)] = adler32_z(1, raw.bytes.get() + begin, stop - begin);
        }
    });
    uLong check = 1;
    for (size_t i = 0; i < pieces; ++i) {
        ok = ok && !parts[i + 1].empty();
        const size_t begin = i * pieceSize;
        check = adler32_combine(check, checks[i], z_off_t(std::min(raw.size, begin + pieceSize) - begin));
    }
    if (!ok)
        return {};
    parts.front() = { 0x78, 0x5E }; // deflate, 32 KiB window, a fast level
    PutBigEndian(parts.back(), uint32_t(check));
    return parts;
}

bool WriteImage(const ImageBuffer& image, PngColour colour, std::FILE* out)
{
    static const uint8_t kSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    const int bitDepth = colour == kPalette ? image.BitCount() : 8;
    std::vector<uint8_t> header;
    PutBigEndian(header, uint32_t(image.Width()));
    PutBigEndian(header, uint32_t(image.Height()));
    header.insert(header.end(), { uint8_t(bitDepth), colour, 0, 0, 0 });
    if (std::fwrite(kSignature, 1, sizeof kSignature, out) != sizeof kSignature
        || !WriteChunk(out, "IHDR", std::move(header)))
        return false;

    const BitmapInfoHeader& info = image.Header();
    if (info.biXPelsPerMeter > 0 && info.biYPelsPerMeter > 0) {
        std::vector<uint8_t> phys;
        PutBigEndian(phys, uint32_t(info.biXPelsPerMeter));
        PutBigEndian(phys, uint32_t(info.biYPelsPerMeter));
        phys.push_back(1); // metres
        if (!WriteChunk(out, "pHYs", std::move(phys)))
            return false;
    }
    if (colour == kPalette) {
        RgbQuad entries[256];
        const int count = image.PaletteSize();
        image.GetPalette(0, count, entries);
        std::vector<uint8_t> palette;
        for (int i = 0; i < count; ++i)
            palette.insert(palette.end(), { entries[i].red, entries[i].green, entries[i].blue });
        if (!WriteChunk(out, "PLTE", std::move(palette)))
            return false;
    }
    const RawImage raw = RawRows(image, colour);
    if (!raw.bytes)
        return false;
    const std::vector<std::vector<uint8_t>> stream = Compress(raw);
    return !stream.empty() && WriteChunk(out, "IDAT", stream) && WriteChunk(out, "IEND", std::vector<uint8_t> {});
}

} // namespace

bool WritePng(const ImageBuffer& image, std::FILE* out)
{
    if (image.IsEmpty() || !out)
        return false;
    switch (image.BitCount()) {
    case 1:
    case 4:
    case 8:
        return WriteImage(image, kPalette, out);
    case 16: {
        ImageBuffer rgb(image);
        return rgb.ConvertTo(24) && WritePng(rgb, out);
    }
    case 24:
        return WriteImage(image, kRgb, out);
    case 32:
        return WriteImage(image, HasMeaningfulAlpha(image) ? kRgba : kRgb, out);
    default:
        return false;
    }
}
