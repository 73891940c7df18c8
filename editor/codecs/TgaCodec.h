#pragma once

#include "editor/codecs/ImageCodec.h"

// Our own TGA reader and writer. The writer makes uncompressed, top-left-origin files with the 12-byte
// image ID "Velum -- TGA"; the reader also takes run-length files and bottom-up rows.
class TgaCodec final : public ImageCodec {
public:
    bool Decode(const uint8_t* bytes, size_t length) override;
    bool SaveFile(const std::string& path, int option) override;

    static constexpr size_t kHeaderBytes = 18;
    static constexpr char kImageId[] = "Velum -- TGA";
    static constexpr size_t kImageIdBytes = sizeof kImageId - 1;
};
