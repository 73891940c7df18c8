#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The frames a GIF file holds, found by walking its blocks without decoding anything: FreeImage cannot
// read a GIF's header alone.
struct GifFrame {
    int width = 0;
    int height = 0;
    // Bytes of compressed data in the frame's sub-blocks.
    size_t dataBytes = 0;
    // The LZW minimum code size that starts the data.
    int codeSize = 0;
};

// Nothing when the bytes are not a GIF or a frame's data is cut off by the end of the file.
std::optional<std::vector<GifFrame>> ScanGifFrames(const uint8_t* bytes, size_t length);
