#pragma once

#include "editor/codecs/ImageCodec.h"

#include <cstdio>

// Our own BMP reader and writer: the file is the 14-byte file header, the bitmap header with its palette
// or masks, and the pixel block exactly as the image holds it.
class BmpCodec final : public ImageCodec {
public:
    bool Decode(const uint8_t* bytes, size_t length) override;
    bool SaveFile(const std::string& path, int option) override;

    static constexpr size_t kFileHeaderBytes = 14;
    // Our decoders refuse sides beyond this, as an allocation failure would.
    static constexpr int kMaxSide = 65535;

    // The bytes of the bitmap header block written to a file: 40, plus the palette at 8 bpp and below,
    // or plus the three masks for a bit-field 16-bpp image.
    static size_t InfoBytesFor(const ImageBuffer& image);
    // The whole file into an open stream.
    static bool Write(const ImageBuffer& image, std::FILE* out);
};
