#pragma once

#include "platform/ScreenSource.h"

#include <memory>

class X11Display;
class X11SharedImage;

// The live screen of an X server: the root window read through shared memory when the server offers it
// (XShm), else through the ordinary image request; the pointer image from XFixes; the primary screen
// from RandR.
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
    std::optional<CursorImage> Cursor() override;

private:
    bool ReadVisible(const ImageRect& visible, const ImageRect& rect, ImageBuffer& image);

    X11Display& display_;
    bool useShm_ = true;
    std::unique_ptr<X11SharedImage> shared_;
};
