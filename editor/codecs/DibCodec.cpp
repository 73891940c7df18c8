#include "editor/codecs/DibCodec.h"

#include "editor/codecs/BmpCodec.h"
#include "editor/codecs/ByteIo.h"

#include <cstring>

using namespace byteio;

namespace {

// Bytes between the start of the bitmap header and the first pixel row of a packed DIB.
size_t PackedPixelOffset(const BitmapInfoHeader& header)
{
    size_t offset = header.biSize;
    if (header.biBitCount <= 8) {
        const uint32_t full = 1u << header.biBitCount;
        // A shorter table is declared by the colour count; more entries than the depth can index are not.
        const uint32_t entries = header.biClrUsed > 0 && header.biClrUsed < full ? header.biClrUsed : full;
        offset += size_t(entries) * sizeof(RgbQuad);
    }
    if (header.biSize == sizeof(BitmapInfoHeader) && header.biCompression == kBiBitfields)
        offset += 3 * sizeof(uint32_t);
    return offset;
}

} // namespace

bool DibCodec::Decode(const uint8_t* bytes, size_t length)
{
    return DecodeAt(bytes, length, 0);
}

bool DibCodec::DecodeBmpFile(const uint8_t* bytes, size_t length)
{
    constexpr size_t kFileHeader = BmpCodec::kFileHeaderBytes;
    if (!bytes || length <= kFileHeader || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const uint32_t pixelOffset = ReadU32(bytes + 10);
    if (pixelOffset <= kFileHeader)
        return false;
    return DecodeAt(bytes + kFileHeader, length - kFileHeader, pixelOffset - kFileHeader);
}

bool DibCodec::DecodeAt(const uint8_t* dib, size_t length, size_t pixelOffset)
{
    if (!dib || length < sizeof(BitmapInfoHeader))
        return false;
    BitmapInfoHeader header;
    std::memcpy(&header, dib, sizeof header);
    if (header.biSize < sizeof header || header.biSize > length || header.biWidth <= 0 || header.biHeight <= 0
        || header.biWidth > kMaxSide || header.biHeight > kMaxSide)
        return false;
    const size_t packedOffset = PackedPixelOffset(header);
    if (pixelOffset == 0)
        pixelOffset = packedOffset;
    // The palette or masks may not overlap the rows, and the rows must all be there.
    // Checked before allocating, so a lying header costs nothing.
    const int64_t pixelBytes = ImageBuffer::StrideFor(header.biWidth, header.biBitCount) * header.biHeight;
    if (pixelOffset < packedOffset || pixelOffset > length || uint64_t(pixelBytes) > length - pixelOffset)
        return false;

    auto image = std::make_unique<ImageBuffer>();
    if (!image->CreateFromInfo(std::span(dib, length)))
        return false;
    if (image->BitCount() <= 8) {
        const size_t entries = (packedOffset - header.biSize) / sizeof(RgbQuad);
        std::vector<RgbQuad> palette(entries);
        std::memcpy(palette.data(), dib + header.biSize, entries * sizeof(RgbQuad));
        image->SetPalette(0, int(entries), palette.data());
    }
    std::memcpy(image->Pixels(), dib + pixelOffset, image->PixelBytes());

    if (image->BitCount() != 32) {
        if (!image->ConvertTo(32))
            return false;
    } else if (header.biCompression == kBiBitfields) {
        image->SetAlpha(255);
    }
    AppendDecoded(std::move(image));
    return true;
}
