#pragma once

#include "editor/codecs/ImageCodec.h"

// Reads every format that FreeImage decodes (JPEG, GIF, TIFF, PNG, PCX, PSD, ICO, XPM) from the file's
// bytes, in the sandboxed decoder process: the first page of a TIFF, the first frame of a GIF.
class FreeImageCodec final : public ImageCodec {
public:
    bool Decode(const uint8_t* bytes, size_t length) override;
};
