#pragma once

#include "editor/codecs/ImageFormat.h"

#include <cstddef>
#include <cstdint>

// What a file for FreeImage promises, read from its own header fields before any decoder (FreeImage's
// header-only load included) sees it: the format by its signature, the sides and depth of every
// picture, and whether the bytes can hold what the header claims in that format's best compression.
// Only the bytes are read, so a fault here cannot be one of the decoder's.
class FormatHeaderCheck {
public:
    // The format the content is among those FreeImage reads for us (PCX, JPEG, GIF, TIFF, PNG, PSD, ICO,
    // XPM), by its signature; kFormatNone for anything else, whatever name the file has.
    static ImageFormat ContentFormat(const uint8_t* bytes, size_t length);

    // True when the content is one of those formats and its header fields promise nothing a decoder
    // should not be given.
    static bool Accepts(const uint8_t* bytes, size_t length);
};
