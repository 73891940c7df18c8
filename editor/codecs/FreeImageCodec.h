#pragma once

#include "editor/codecs/ImageCodec.h"
#include "editor/codecs/SandboxedDecoder.h"

#include <optional>

// Reads every format that FreeImage decodes (JPEG, GIF, TIFF, PNG, PCX, PSD, ICO, XPM) from the file's
// bytes, in the sandboxed decoder process: the first page of a TIFF, the first frame of a GIF.
class FreeImageCodec final : public ImageCodec {
public:
    // Without limits the decoder gets SandboxedDecoder's defaults for each input.
    explicit FreeImageCodec(std::optional<SandboxedDecoder::Limits> limits = std::nullopt)
        : limits_(limits)
    {
    }

    bool Decode(const uint8_t* bytes, size_t length) override;

private:
    std::optional<SandboxedDecoder::Limits> limits_;
};
