#pragma once

#include "imaging/ImageBuffer.h"
#include "imaging/RowPool.h"

#include <cstdlib>

// BENCH_THREADS=1 keeps the row pool on the calling thread, for one-thread figures (0 or unset: every core).
inline const bool kBenchThreadsSet = [] {
    if (const char* threads = std::getenv("BENCH_THREADS"))
        RowPool::Shared().SetThreads(std::atoi(threads));
    return true;
}();

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
