#pragma once

#include "editor/codecs/ImageCodec.h"

// Decodes a picture that another program handed over in memory (PNG, JPEG, GIF, TIFF, ...) through
// FreeImage in the sandboxed decoder process, first page only. The header is read on its own first, so a
// picture that claims absurd dimensions is refused before any pixels are decoded.
class MemoryImageCodec final : public ImageCodec {
public:
    bool Decode(const uint8_t* bytes, size_t length) override;
};
