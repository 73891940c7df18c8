#pragma once

#include "imaging/ImageBuffer.h"

#include <cstdlib>

// The 3840 x 2160 picture the pixel benchmarks run on: blocks of slowly changing colour with a little
// noise, like a screenshot of a busy desktop. At 32 bpp it is opaque, as every document image is.
inline constexpr int kBenchWidth = 3840;
inline constexpr int kBenchHeight = 2160;

inline ImageBuffer MakeScreenLikeImage(int bpp)
{
    ImageBuffer image;
    image.Create(kBenchWidth, kBenchHeight, bpp);
    std::srand(7);
    for (int y = 0; y < kBenchHeight; ++y) {
        uint8_t* row = image.Row(y);
        for (int i = 0; i < image.Stride(); ++i)
            row[i] = uint8_t((i / 97 + y / 31) * 37 + (std::rand() & 3));
    }
    image.SetAlpha(255);
    return image;
}

// The 32-bpp picture, made once per program.
inline const ImageBuffer& ScreenLikeImage()
{
    static const ImageBuffer screen = MakeScreenLikeImage(32);
    return screen;
}
