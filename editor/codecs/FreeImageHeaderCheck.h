#pragma once

#include <FreeImage.h>

#include <cstddef>
#include <cstdint>

// What a file read through FreeImage promises, checked before any pixel is decoded. Every page must stay
// below our pixel-block limit, and the file must hold enough bytes to make that many pixels in its
// format's best compression: a header that lies about its size (a 200-byte PCX claiming 12000 x 12000)
// would otherwise cost gigabytes and open as a picture of padding.
class FreeImageHeaderCheck {
public:
    // True when every page of the file may be decoded.
    static bool Accepts(FREE_IMAGE_FORMAT fif, const uint8_t* bytes, size_t length);

    // The most pixels one byte of the file can become in fif's compression; 0 when there is no bound
    // we can rely on.
    static int64_t MaxPixelsPerByte(FREE_IMAGE_FORMAT fif, int bpp);

private:
    static bool AcceptsGif(const uint8_t* bytes, size_t length);
    static bool AcceptsPages(FREE_IMAGE_FORMAT fif, const uint8_t* bytes, size_t length);
    static bool AcceptsSize(int64_t width, int64_t height, int bpp);
};
