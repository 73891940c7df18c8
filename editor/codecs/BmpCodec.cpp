#include "editor/codecs/BmpCodec.h"

#include "editor/codecs/AtomicFile.h"
#include "editor/codecs/ByteIo.h"

#include <algorithm>
#include <cstring>

using namespace byteio;

bool BmpCodec::Decode(const uint8_t* bytes, size_t length)
{
    if (!bytes || length <= kFileHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const uint32_t pixelOffset = ReadU32(bytes + 10);
    if (pixelOffset >= length)
        return false;

    // The bitmap header must be there in full, and be at least the 40-byte form that we read: an older
    // 12-byte header would be misread as sizes from its palette.
    const uint8_t* info = bytes + kFileHeaderBytes;
    const size_t infoAvailable = length - kFileHeaderBytes;
    if (infoAvailable < sizeof(BitmapInfoHeader))
        return false;
    const uint32_t headerSize = ReadU32(info);
    if (headerSize < sizeof(BitmapInfoHeader) || headerSize > infoAvailable)
        return false;
    const int32_t width = int32_t(ReadU32(info + 4));
    const int32_t height = int32_t(ReadU32(info + 8));
    if (width > kMaxSide || height > kMaxSide)
        return false;

    auto image = std::make_unique<ImageBuffer>();
    if (!image->CreateFromInfo(std::span(info, infoAvailable)))
        return false;

    if (image->BitCount() <= 8) {
        // The palette follows the header; only the entries that the bytes really hold are taken.
        const size_t paletteStart = kFileHeaderBytes + headerSize;
        const size_t available = (length - std::min(length, paletteStart)) / sizeof(RgbQuad);
        const size_t entries = std::min<size_t>(size_t(image->PaletteSize()), available);
        std::vector<RgbQuad> palette(entries);
        if (entries)
            std::memcpy(palette.data(), bytes + paletteStart, entries * sizeof(RgbQuad));
        image->SetPalette(0, int(entries), palette.data());
    }

    // Every row the header promises must be there; only the last row's padding may be left out.
    const size_t lastRowBytes = (size_t(image->Width()) * size_t(image->BitCount()) + 7) / 8;
    const size_t promised = image->PixelBytes() - size_t(image->Stride()) + lastRowBytes;
    if (length - pixelOffset < promised)
        return false;
    const size_t pixelBytes = std::min(length - pixelOffset, image->PixelBytes());
    std::memcpy(image->Pixels(), bytes + pixelOffset, pixelBytes);
    AppendDecoded(std::move(image));
    return true;
}

size_t BmpCodec::InfoBytesFor(const ImageBuffer& image)
{
    if (image.BitCount() <= 8)
        return sizeof(BitmapInfoHeader) + sizeof(RgbQuad) * (size_t(1) << image.BitCount());
    if (image.BitCount() == 16 && image.Header().biCompression == kBiBitfields)
        return sizeof(BitmapInfoHeader) + 3 * sizeof(uint32_t);
    return sizeof(BitmapInfoHeader);
}

bool BmpCodec::Write(const ImageBuffer& image, std::FILE* out)
{
    const std::vector<uint8_t> info = image.MakeBitmapInfo();
    const size_t infoBytes = InfoBytesFor(image);
    const size_t pixelBytes = image.PixelBytes();
    uint8_t header[kFileHeaderBytes] = { 'B', 'M' };
    PutU32(header + 2, uint32_t(kFileHeaderBytes + infoBytes + pixelBytes));
    PutU32(header + 10, uint32_t(kFileHeaderBytes + infoBytes));
    return byteio::Write(out, header, sizeof header)
        && byteio::Write(out, info.data(), std::min(infoBytes, info.size()))
        && byteio::Write(out, image.Pixels(), pixelBytes);
}

bool BmpCodec::SaveFile(const std::string& path, int)
{
    const ImageBuffer* image = ImageToSave();
    if (!image)
        return false;
    AtomicFile file(path);
    return file.Open() && Write(*image, file.Stream()) && file.Commit();
}
