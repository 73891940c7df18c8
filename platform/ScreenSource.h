#pragma once

#include "imaging/BitmapTypes.h"
#include "platform/CursorImage.h"

#include <QImage>

#include <optional>
#include <vector>

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
    // The primary monitor at its own place in the desktop, which need not be the top-left corner.
    virtual ImageRect PrimaryScreenRect() const
    {
        const ScreenSize size = PrimaryScreenSize();
        return { 0, 0, size.width, size.height };
    }
    // Every monitor, in the order `xrandr --listmonitors` lists them.
    virtual std::vector<ImageRect> Monitors() const { return { PrimaryScreenRect() }; }
    // The whole desktop: every monitor and whatever lies between them.
    virtual ImageRect DesktopRect() const { return PrimaryScreenRect(); }
    // Fills image (already created at 24 bpp with the rectangle's size) with the rectangle's pixels.
    // Parts of the rectangle that lie off the screen stay black.
    virtual bool ReadPixels(const ImageRect& rect, ImageBuffer& image) = 0;
    // The rectangle as a 32-bit picture (QImage::Format_RGB32, top row first) for painting 1:1; it may share
    // memory with the source, and its padding byte need not be 0xFF. Null on failure, as ReadPixels fails.
    virtual QImage ReadPicture(const ImageRect& rect);
    // The pointer's image and position, when the source can tell.
    virtual std::optional<CursorImage> Cursor() = 0;
};
