#pragma once

#include "editor/codecs/ImageCodec.h"

// Writes JPEG, GIF, TIFF and PNG files with each encoder's default settings: PNG through libpng and
// JPEG through libjpeg-turbo directly, GIF and TIFF through FreeImage's writers. The image goes out at
// its own depth where the format has one; GIF is quantised to 8 bits.
class EncoderCodec final : public ImageCodec {
public:
    bool SaveFile(const std::string& path, int option) override;
};
