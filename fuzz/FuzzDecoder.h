#pragma once

#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// Reads every byte of rows [0, height) in steps of step, so that the sanitizers see any row or size the
// decoder got wrong. Not a place to look for new paths: coverage would trace the comparison of every byte.
__attribute__((no_sanitize("coverage"))) inline unsigned ReadBack(const ImageBuffer& image, int step)
{
    const size_t rowBytes = (size_t(image.Width()) * size_t(image.BitCount()) + 7) / 8;
    unsigned sum = 0;
    for (int y = 0; y < image.Height(); y += step) {
        const uint8_t* row = image.Row(y);
        for (size_t i = 0; i < rowBytes; ++i)
            sum += row[i];
    }
    return sum;
}

// Decodes one input and reads back what came out. Large results are sampled: a lying header may ask for
// gigabytes of zero pages that nothing ever touches.
template <typename Codec> int FuzzDecoder(const uint8_t* data, size_t size)
{
    Codec codec;
    if (!codec.Decode(data, size))
        return 0;
    const ImageBuffer& image = *codec.DecodedImages().front();
    // Reading every row of a large image (each may be a freshly zeroed page) would slow the search down.
    const int step = image.PixelBytes() > (size_t(1) << 20) ? std::max(1, image.Height() / 8) : 1;
    volatile unsigned sum = ReadBack(image, step);
    (void)sum;
    return 0;
}
