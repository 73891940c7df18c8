#include "editor/codecs/SaveCodecRegistry.h"

#include "editor/codecs/BmpCodec.h"
#include "editor/codecs/EncoderCodec.h"
#include "editor/codecs/TgaCodec.h"

std::unique_ptr<ImageCodec> SaveCodecRegistry::CreateCodec(ImageFormat format) const
{
    switch (format) {
    case kFormatBmp:
        return std::make_unique<BmpCodec>();
    case kFormatTga:
        return std::make_unique<TgaCodec>();
    case kFormatJpeg:
    case kFormatGif:
    case kFormatTiff:
    case kFormatPng:
        return std::make_unique<EncoderCodec>();
    default:
        return nullptr;
    }
}
