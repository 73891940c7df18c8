#include "editor/codecs/TgaCodec.h"

#include "editor/codecs/AtomicFile.h"
#include "editor/codecs/ByteIo.h"

#include <algorithm>
#include <cstring>

using namespace byteio;

namespace {

constexpr uint8_t kTopLeftOrigin = 0x20;
constexpr int kPaletteEntries = 256;

struct TgaHeader {
    uint8_t idLength;
    uint8_t colourMapType;
    uint8_t imageType;
    uint16_t mapFirst;
    uint16_t mapLength;
    uint8_t mapEntrySize;
    uint16_t width;
    uint16_t height;
    uint8_t depth;
    uint8_t descriptor;
};

TgaHeader ParseHeader(const uint8_t* p)
{
    return { p[0], p[1], p[2], ReadU16(p + 3), ReadU16(p + 5), p[7], ReadU16(p + 12), ReadU16(p + 14), p[16], p[17] };
}

// Reads bytes in order and refuses to go past the end of what it was given.
class ByteCursor {
public:
    ByteCursor(const uint8_t* bytes, size_t length, size_t position)
        : bytes_(bytes)
        , length_(length)
        , position_(position)
    {
    }
    // The next size bytes, or null when fewer remain.
    const uint8_t* Take(size_t size)
    {
        if (position_ > length_ || size > length_ - position_)
            return nullptr;
        const uint8_t* p = bytes_ + position_;
        position_ += size;
        return p;
    }

private:
    const uint8_t* bytes_;
    size_t length_;
    size_t position_;
};

bool ReadPalette(const TgaHeader& header, ByteCursor& cursor, ImageBuffer& image)
{
    // Only 24- and 32-bit entries have a defined layout here; 15 and 16 are refused earlier.
    if (header.mapEntrySize != 24 && header.mapEntrySize != 32)
        return false;
    if (int(header.mapFirst) + header.mapLength > kPaletteEntries)
        return false;
    const size_t entryBytes = header.mapEntrySize / 8;
    const uint8_t* entries = cursor.Take(entryBytes * header.mapLength);
    if (!entries)
        return false;
    RgbQuad palette[kPaletteEntries] = {};
    for (int i = 0; i < header.mapLength; ++i, entries += entryBytes) {
        RgbQuad& entry = palette[header.mapFirst + i];
        entry = { entries[0], entries[1], entries[2], entryBytes == 4 ? entries[3] : uint8_t(0) };
    }
    image.SetPalette(0, kPaletteEntries, palette);
    return true;
}

// The image types we read (colour-mapped, true-colour and grey, raw or run-length) with a colour map we
// can take; type 0 holds no picture, and interleaved rows (the descriptor's top bits) are not read.
bool IsReadableLayout(const TgaHeader& header)
{
    const int type = header.imageType & ~8; // 9 to 11 are 1 to 3 run-length coded
    if (type < 1 || type > 3 || header.colourMapType > 1 || (type == 1 && header.colourMapType != 1))
        return false;
    if (header.mapEntrySize != 0 && header.mapEntrySize != 24 && header.mapEntrySize != 32)
        return false;
    return (header.descriptor & 0xC0) == 0;
}

uint8_t* DestinationRow(ImageBuffer& image, const TgaHeader& header, int r)
{
    return image.Row(header.descriptor & kTopLeftOrigin ? r : image.Height() - 1 - r);
}

bool ReadRawRows(const TgaHeader& header, ByteCursor& cursor, ImageBuffer& image)
{
    const size_t rowBytes = size_t(image.Width()) * size_t(image.BitCount() / 8);
    for (int r = 0; r < image.Height(); ++r) {
        const uint8_t* row = cursor.Take(rowBytes);
        if (!row)
            return false;
        std::memcpy(DestinationRow(image, header, r), row, rowBytes);
    }
    return true;
}

// Packets run on across row ends into the next row, and never past the last pixel of the image.
bool ReadRunLengthRows(const TgaHeader& header, ByteCursor& cursor, ImageBuffer& image)
{
    const size_t pixelBytes = size_t(image.BitCount() / 8);
    const int width = image.Width();
    int r = 0;
    int x = 0;
    uint8_t* row = DestinationRow(image, header, 0);
    while (r < image.Height()) {
        const uint8_t* packet = cursor.Take(1);
        if (!packet)
            return false;
        const bool repeated = *packet & 0x80;
        int count = (*packet & 0x7F) + 1;
        const uint8_t* source = cursor.Take(repeated ? pixelBytes : pixelBytes * size_t(count));
        if (!source)
            return false;
        while (count > 0 && r < image.Height()) {
            const int run = std::min(count, width - x);
            uint8_t* out = row + size_t(x) * pixelBytes;
            if (repeated) {
                for (int i = 0; i < run; ++i, out += pixelBytes)
                    std::memcpy(out, source, pixelBytes);
            } else {
                std::memcpy(out, source, size_t(run) * pixelBytes);
                source += size_t(run) * pixelBytes;
            }
            count -= run;
            x += run;
            if (x == width) {
                x = 0;
                if (++r < image.Height())
                    row = DestinationRow(image, header, r);
            }
        }
    }
    return true;
}

} // namespace

bool TgaCodec::Decode(const uint8_t* bytes, size_t length)
{
    if (!bytes || length < kHeaderBytes)
        return false;
    const TgaHeader header = ParseHeader(bytes);
    if (!IsReadableLayout(header))
        return false;
    const int depth = header.depth == 15 ? 16 : header.depth;
    // Packed depths below 8 have no pixel size to copy by; they are not a TGA layout.
    if (depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return false;

    auto image = std::make_unique<ImageBuffer>();
    if (!image->Create(header.width, header.height, depth))
        return false;
    ByteCursor cursor(bytes, length, kHeaderBytes + header.idLength);
    if (header.colourMapType == 1 && !ReadPalette(header, cursor, *image))
        return false;
    const bool runLength = header.imageType == 9 || header.imageType == 10 || header.imageType == 11;
    if (!(runLength ? ReadRunLengthRows(header, cursor, *image) : ReadRawRows(header, cursor, *image)))
        return false;
    AppendDecoded(std::move(image));
    return true;
}

bool TgaCodec::SaveFile(const std::string& path, int)
{
    const ImageBuffer* image = ImageToSave();
    if (!image)
        return false;
    const int bpp = image->BitCount();
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    if (image->Width() > 0xFFFF || image->Height() > 0xFFFF)
        return false;
    AtomicFile file(path);
    if (!file.Open())
        return false;

    uint8_t header[kHeaderBytes] = {};
    header[0] = uint8_t(kImageIdBytes);
    header[1] = bpp == 8 ? 1 : 0;
    header[2] = bpp == 8 ? 1 : 2;
    PutU16(header + 3, 0);
    PutU16(header + 5, kPaletteEntries);
    header[7] = 24;
    PutU16(header + 12, uint16_t(image->Width()));
    PutU16(header + 14, uint16_t(image->Height()));
    header[16] = uint8_t(bpp);
    header[17] = kTopLeftOrigin;

    std::FILE* out = file.Stream();
    if (!Write(out, header, sizeof header) || !Write(out, kImageId, kImageIdBytes))
        return false;
    if (bpp == 8) {
        RgbQuad palette[kPaletteEntries];
        image->GetPalette(0, kPaletteEntries, palette);
        uint8_t entries[kPaletteEntries * 3];
        for (int i = 0; i < kPaletteEntries; ++i) {
            entries[i * 3] = palette[i].blue;
            entries[i * 3 + 1] = palette[i].green;
            entries[i * 3 + 2] = palette[i].red;
        }
        if (!Write(out, entries, sizeof entries))
            return false;
    }
    const size_t rowBytes = size_t(image->Width()) * size_t(bpp / 8);
    for (int y = 0; y < image->Height(); ++y)
        if (!Write(out, image->Row(y), rowBytes))
            return false;
    return file.Commit();
}
