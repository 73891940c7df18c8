#pragma once

#include "editor/codecs/CodecRegistry.h"

// The writing registry: our own BMP and TGA writers and the encoder codec for JPEG, GIF, TIFF and PNG.
// PCX has no codec here; SaveImageFile writes it itself.
class SaveCodecRegistry final : public CodecRegistry {
public:
    std::unique_ptr<ImageCodec> CreateCodec(ImageFormat format) const override;
};
