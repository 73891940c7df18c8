#pragma once

#include "imaging/ImageBuffer.h"

#include <cstdint>
#include <functional>
#include <ostream>

// Small helpers shared by the image tests.
namespace testutil {

struct Bgra {
    uint8_t b, g, r, a;
    friend bool operator==(const Bgra&, const Bgra&) = default;
};

inline Bgra PixelAt(const ImageBuffer& image, int x, int y)
{
    const uint8_t* p = image.PixelAddress(x, y);
    return { p[0], p[1], p[2], image.BitCount() == 32 ? p[3] : uint8_t(0) };
}

inline void SetPixel(ImageBuffer& image, int x, int y, Bgra c)
{
    uint8_t* p = image.PixelAddress(x, y);
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
    if (image.BitCount() == 32)
        p[3] = c.a;
}

// Fills a 24- or 32-bpp image from a function of the position.
inline void Fill(ImageBuffer& image, const std::function<Bgra(int, int)>& colour)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            SetPixel(image, x, y, colour(x, y));
}

// A colour that differs at every position of a small image.
inline Bgra Distinct(int x, int y)
{
    return { uint8_t(10 + x * 20 + y), uint8_t(100 + y * 7), uint8_t(x * 3 + y * 50), 0 };
}

inline ImageBuffer MakeImage(int width, int height, int bpp, const std::function<Bgra(int, int)>& colour = Distinct)
{
    ImageBuffer image;
    image.Create(width, height, bpp);
    Fill(image, colour);
    return image;
}

} // namespace testutil

inline std::ostream& operator<<(std::ostream& out, const testutil::Bgra& c)
{
    return out << "(b " << int(c.b) << ", g " << int(c.g) << ", r " << int(c.r) << ", a " << int(c.a) << ")";
}
