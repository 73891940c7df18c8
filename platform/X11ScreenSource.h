#pragma once

#include "platform/ScreenSource.h"

#include <memory>

class X11Display;
class X11SharedImage;

// The live screen of an X server: the root window read through shared memory when the server offers it
// (XShm), else through the ordinary image request; the pointer image from XFixes; the primary screen
// from RandR. A picture read through shared memory is the segment itself, handed out without a copy; it
// must not outlive the display.
class X11ScreenSource final : public ScreenSource {
public:
    explicit X11ScreenSource(X11Display& display);
    ~X11ScreenSource() override;

    // Shared memory is tried by default; switching it off forces the ordinary request.
    void SetUseSharedMemory(bool use) { useShm_ = use; }

    int BitsPerPixel() const override;
    ScreenSize PrimaryScreenSize() const override;
    ImageRect PrimaryScreenRect() const override;
    std::vector<ImageRect> Monitors() const override;
    ImageRect DesktopRect() const override;
    bool ReadPixels(const ImageRect& rect, ImageBuffer& image) override;
    QImage ReadPicture(const ImageRect& rect) override;
    std::optional<CursorImage> Cursor() override;

private:
    bool ReadVisible(const ImageRect& visible, const ImageRect& rect, ImageBuffer& image);
    // The server's pixels of the rectangle in a shared segment; null when shared memory is not to be used
    // or the server would not write there.
    std::shared_ptr<X11SharedImage> ReadShared(const ImageRect& visible);

    X11Display& display_;
    bool useShm_ = true;
    // Kept for the next read of the same size (the scrolling capture makes many) unless a picture still
    // shows it.
    std::shared_ptr<X11SharedImage> shared_;
};
