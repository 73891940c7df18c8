#pragma once

#include "editor/codecs/CodecRegistry.h"

// The reading registry: our own BMP and TGA decoders, FreeImage for PCX, JPEG, GIF, TIFF, PNG, PSD,
// ICO and XPM.
class DefaultCodecRegistry final : public CodecRegistry {
public:
    std::unique_ptr<ImageCodec> CreateCodec(ImageFormat format) const override;
};
