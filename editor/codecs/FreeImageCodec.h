#pragma once

#include "editor/codecs/ImageCodec.h"

#include <FreeImage.h>

// Reads every format that FreeImage decodes (JPEG, GIF, TIFF, PNG, PCX, PSD, ICO, XPM and more) from
// the file's bytes. FreeImage detects the real format from the content; every page of a TIFF and every
// frame of a GIF is decoded, once the header has passed FreeImageHeaderCheck.
class FreeImageCodec final : public ImageCodec {
public:
    FreeImageCodec();
    bool Decode(const uint8_t* bytes, size_t length) override;

    // One decoded FreeImage page as an image, or null when its pixel type has no image form (48- and
    // 64-bit colour, floating-point and complex pages are dropped).
    static std::unique_ptr<ImageBuffer> ConvertBitmap(FIBITMAP* bitmap);

private:
    bool LoadPages(FREE_IMAGE_FORMAT fif, FIMEMORY* memory);
    void AppendConverted(FIBITMAP* bitmap);
};
