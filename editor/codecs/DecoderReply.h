#pragma once

#include "imaging/ImageBuffer.h"

#include <memory>

// The picture that the sandboxed decoder hands back: a fixed header (the bitmap header, colour masks,
// frame time), the palette and the bottom-up pixel block, written into a memfd that the decoder seals.
// The reading side trusts nothing in it: every size is checked against our image limits and against the
// file's own length before a pixel block is made.
class DecoderReply {
public:
    // Writes image at the descriptor's current offset and seals the file against any later change.
    static bool Write(int fd, const ImageBuffer& image);
    // The image from a sealed reply, or null when the reply is malformed, unsealed or over our limits.
    static std::unique_ptr<ImageBuffer> Read(int fd);
};
