#include "editor/codecs/DefaultCodecRegistry.h"

#include "editor/codecs/BmpCodec.h"
#include "editor/codecs/FreeImageCodec.h"
#include "editor/codecs/TgaCodec.h"

std::unique_ptr<ImageCodec> DefaultCodecRegistry::CreateCodec(ImageFormat format) const
{
    switch (format) {
    case kFormatBmp:
        return std::make_unique<BmpCodec>();
    case kFormatTga:
        return std::make_unique<TgaCodec>();
    case kFormatPcx:
    case kFormatJpeg:
    case kFormatGif:
    case kFormatTiff:
    case kFormatPng:
    case kFormatPsd:
    case kFormatIco:
    case kFormatXpm:
        return std::make_unique<FreeImageCodec>();
    default:
        return nullptr;
    }
}
