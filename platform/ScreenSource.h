#pragma once

#include "BitmapTypes.h"
#include "CursorImage.h"

#include <optional>

class ImageBuffer;

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// Where screen pixels come from: the live X server, or a frozen copy of it (the selection overlay's, or a
// test's fake).
class ScreenSource {
public:
    virtual ~ScreenSource() = default;

    // Colour depth of the source; 8 or fewer bits cannot be captured.
    virtual int BitsPerPixel() const = 0;
    // Size of the primary screen, whose top-left corner is (0, 0).
    virtual ScreenSize PrimaryScreenSize() const = 0;
    // Fills image (already created at 24 bpp with the rectangle's size) with the rectangle's pixels.
    // Parts of the rectangle that lie off the screen stay black.
    virtual bool ReadPixels(const ImageRect& rect, ImageBuffer& image) = 0;
    // The pointer's image and position, when the source can tell.
    virtual std::optional<CursorImage> Cursor() = 0;
};
