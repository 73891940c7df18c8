#pragma once

#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// Decodes one input and reads back every pixel byte of what came out, so that the sanitizers see any
// row or size the decoder got wrong. Large results are sampled: a lying header may ask for gigabytes
// of zero pages that nothing ever touches.
template <typename Codec> int FuzzDecoder(const uint8_t* data, size_t size)
{
    Codec codec;
    if (!codec.Decode(data, size))
        return 0;
    const ImageBuffer& image = *codec.DecodedImages().front();
    const size_t rowBytes = (size_t(image.Width()) * size_t(image.BitCount()) + 7) / 8;
    // Reading every row of a large image (each may be a freshly zeroed page) would slow the search down.
    const int step = image.PixelBytes() > (size_t(1) << 20) ? std::max(1, image.Height() / 8) : 1;
    volatile unsigned sum = 0;
    for (int y = 0; y < image.Height(); y += step)
        for (size_t i = 0; i < rowBytes; ++i)
            sum = sum + image.Row(y)[i];
    return 0;
}
