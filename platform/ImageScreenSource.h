#pragma once

#include "imaging/ImageBuffer.h"
#include "platform/ScreenSource.h"

// A screen made of one image: the frozen copy of the desktop that overlay captures read from, and the
// fake screen of tests. The image's top-left pixel is desktop point (0, 0); the monitors, when set, say
// which parts of it a monitor shows. The image is either a 24-bpp buffer or a 32-bit picture, which the
// overlay paints as it is.
class ImageScreenSource final : public ScreenSource {
public:
    ImageScreenSource() = default;
    explicit ImageScreenSource(ImageBuffer image, int bitsPerPixel = 24);

    void SetImage(ImageBuffer image);
    // A picture of QImage::Format_RGB32 in place of the buffer.
    void SetPicture(QImage picture);
    // The buffer; empty while a picture is set.
    const ImageBuffer& Image() const { return image_; }
    void SetBitsPerPixel(int bpp) { bitsPerPixel_ = bpp; }
    void SetCursor(std::optional<CursorImage> cursor) { cursor_ = std::move(cursor); }
    void SetMonitors(std::vector<ImageRect> monitors) { monitors_ = std::move(monitors); }
    int ReadCount() const { return reads_; }

    int BitsPerPixel() const override { return bitsPerPixel_; }
    ScreenSize PrimaryScreenSize() const override { return { Width(), Height() }; }
    ImageRect DesktopRect() const override { return { 0, 0, Width(), Height() }; }
    std::vector<ImageRect> Monitors() const override
    {
        return monitors_.empty() ? std::vector<ImageRect> { DesktopRect() } : monitors_;
    }
    bool ReadPixels(const ImageRect& rect, ImageBuffer& image) override;
    QImage ReadPicture(const ImageRect& rect) override;
    std::optional<CursorImage> Cursor() override { return cursor_; }

private:
    int Width() const { return picture_.isNull() ? image_.Width() : picture_.width(); }
    int Height() const { return picture_.isNull() ? image_.Height() : picture_.height(); }
    bool ReadFromPicture(const ImageRect& rect, ImageBuffer& image) const;

    ImageBuffer image_;
    QImage picture_;
    int bitsPerPixel_ = 24;
    std::optional<CursorImage> cursor_;
    std::vector<ImageRect> monitors_;
    int reads_ = 0;
};
