#pragma once

#include "editor/codecs/ImageCodec.h"

// Reads a packed device-independent bitmap, the clipboard's form of a picture: the bitmap header, its
// palette or masks, then the rows. The result is always 32 bpp. Every size and offset is checked against
// the bytes given, so a header that claims more than is there fails instead of being read past.
class DibCodec final : public ImageCodec {
public:
    // The pixels follow the header and its palette or masks.
    bool Decode(const uint8_t* bytes, size_t length) override;
    // A BMP file as other programs offer it on the clipboard: the file header, then a DIB whose pixels
    // start where the file header says.
    bool DecodeBmpFile(const uint8_t* bytes, size_t length);

    static constexpr int kMaxSide = 65535;

private:
    // pixelOffset is counted from the bitmap header; 0 means right after the palette or masks.
    bool DecodeAt(const uint8_t* dib, size_t length, size_t pixelOffset);
};
