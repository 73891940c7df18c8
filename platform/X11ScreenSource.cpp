#include "platform/X11ScreenSource.h"

#include "imaging/ImageBuffer.h"
#include "platform/X11Display.h"
#include "platform/X11Monitors.h"
#include "platform/X11SharedImage.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

bool IsPlainBgrx(const XImage& image)
{
    return image.bits_per_pixel == 32 && image.byte_order == LSBFirst && image.red_mask == 0xFF0000
        && image.green_mask == 0xFF00 && image.blue_mask == 0xFF;
}

// One channel of a pixel scaled to 8 bits.
uint8_t Channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const unsigned long value = (pixel & mask) >> shift;
    return bits >= 8 ? uint8_t(value >> (bits - 8)) : uint8_t(value * 255 / ((1ul << bits) - 1));
}

// Copies the server's image into the 24-bpp buffer with its top-left pixel at (x, y).
void CopyInto(XImage& source, ImageBuffer& image, int x, int y)
{
    if (IsPlainBgrx(source) && source.width > 0) {
        // Rows in the order of the buffer's memory (bottom-up); each pixel is one word copied onto the next
        // pixel's place, whose first byte the next copy overwrites, so only the last is copied bytewise.
        for (int row = source.height - 1; row >= 0; --row) {
            const uint8_t* from = reinterpret_cast<const uint8_t*>(source.data) + size_t(row) * source.bytes_per_line;
            uint8_t* to = image.Row(y + row) + x * 3;
            for (int column = 1; column < source.width; ++column, from += 4, to += 3)
                std::memcpy(to, from, 4);
            std::memcpy(to, from, 3);
        }
        return;
    }
    for (int row = 0; row < source.height; ++row) {
        uint8_t* to = image.Row(y + row) + x * 3;
        for (int column = 0; column < source.width; ++column, to += 3) {
            const unsigned long pixel = XGetPixel(&source, column, row);
            to[0] = Channel(pixel, source.blue_mask);
            to[1] = Channel(pixel, source.green_mask);
            to[2] = Channel(pixel, source.red_mask);
        }
    }
}

} // namespace

X11ScreenSource::X11ScreenSource(X11Display& display)
    : display_(display)
{
}

X11ScreenSource::~X11ScreenSource() = default;

int X11ScreenSource::BitsPerPixel() const
{
    return DefaultDepth(display_.Get(), DefaultScreen(display_.Get()));
}

ScreenSize X11ScreenSource::PrimaryScreenSize() const
{
    Display* display = display_.Get();
    const Window root = display_.Root();
    ScreenSize size { DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display)) };
    int eventBase = 0;
    int errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase))
        return size;
    const RROutput primary = XRRGetOutputPrimary(display, root);
    XRRScreenResources* resources = primary ? XRRGetScreenResourcesCurrent(display, root) : nullptr;
    if (!resources)
        return size;
    if (XRROutputInfo* output = XRRGetOutputInfo(display, resources, primary)) {
        if (output->crtc) {
            if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, output->crtc)) {
                if (crtc->width > 0 && crtc->height > 0)
                    size = { int(crtc->width), int(crtc->height) };
                XRRFreeCrtcInfo(crtc);
            }
        }
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    return size;
}

bool X11ScreenSource::ReadPixels(const ImageRect& rect, ImageBuffer& image)
{
    // The server refuses reads beyond the root window, so only the visible part is read.
    const ImageRect desktop = DesktopRect();
    const ImageRect visible { std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, desktop.right),
        std::min(rect.bottom, desktop.bottom) };
    if (visible.IsEmpty())
        return true;
    return ReadVisible(visible, rect, image);
}

bool X11ScreenSource::ReadVisible(const ImageRect& visible, const ImageRect& rect, ImageBuffer& image)
{
    const int x = visible.left - rect.left;
    const int y = visible.top - rect.top;
    if (const std::shared_ptr<X11SharedImage> shared = ReadShared(visible)) {
        CopyInto(*shared->Get(), image, x, y);
        return true;
    }
    const X11Display::ErrorTrap trap(display_);
    XImage* ximage = XGetImage(display_.Get(), display_.Root(), visible.left, visible.top, unsigned(visible.Width()),
        unsigned(visible.Height()), AllPlanes, ZPixmap);
    if (!ximage || trap.Failed()) {
        if (ximage)
            XDestroyImage(ximage);
        return false;
    }
    CopyInto(*ximage, image, x, y);
    XDestroyImage(ximage);
    return true;
}

std::shared_ptr<X11SharedImage> X11ScreenSource::ReadShared(const ImageRect& visible)
{
    Display* display = display_.Get();
    if (!useShm_ || !XShmQueryExtension(display))
        return nullptr;
    if (!shared_ || shared_.use_count() > 1 || shared_->Width() != visible.Width()
        || shared_->Height() != visible.Height()) {
        shared_.reset();
        shared_ = std::make_shared<X11SharedImage>(display_, visible.Width(), visible.Height());
    }
    XImage* ximage = shared_->Get();
    if (!ximage)
        return nullptr;
    const X11Display::ErrorTrap trap(display_);
    if (!XShmGetImage(display, display_.Root(), ximage, visible.left, visible.top, AllPlanes) || trap.Failed())
        return nullptr;
    return shared_;
}

QImage X11ScreenSource::ReadPicture(const ImageRect& rect)
{
    const ImageRect desktop = DesktopRect();
    const bool onScreen = rect.left >= desktop.left && rect.top >= desktop.top && rect.right <= desktop.right
        && rect.bottom <= desktop.bottom && !rect.IsEmpty();
    std::shared_ptr<X11SharedImage> shared = onScreen ? ReadShared(rect) : nullptr;
    if (!shared || !IsPlainBgrx(*shared->Get())) {
        shared.reset();
        return ScreenSource::ReadPicture(rect);
    }
    // The picture keeps the segment: until it goes, the next read takes another one.
    XImage& ximage = *shared->Get();
    auto* keep = new std::shared_ptr<X11SharedImage>(shared);
    return QImage(
        reinterpret_cast<uchar*>(ximage.data), ximage.width, ximage.height, ximage.bytes_per_line, QImage::Format_RGB32,
        [](void* kept) { delete static_cast<std::shared_ptr<X11SharedImage>*>(kept); }, keep);
}

std::optional<CursorImage> X11ScreenSource::Cursor()
{
    Display* display = display_.Get();
    int eventBase = 0;
    int errorBase = 0;
    int major = 2;
    int minor = 0;
    if (!XFixesQueryExtension(display, &eventBase, &errorBase) || !XFixesQueryVersion(display, &major, &minor))
        return std::nullopt;
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image)
        return std::nullopt;
    CursorImage cursor { image->x, image->y, image->xhot, image->yhot, image->width, image->height, {} };
    const size_t count = size_t(image->width) * image->height;
    cursor.pixels.resize(count);
    // Xlib hands the 32-bit pixels over in longs.
    for (size_t i = 0; i < count; ++i)
        cursor.pixels[i] = uint32_t(image->pixels[i]);
    XFree(image);
    return cursor;
}

ImageRect X11ScreenSource::DesktopRect() const
{
    // Asked of the server each time: the size Xlib keeps goes stale when monitors are added or moved.
    Display* display = display_.Get();
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, display_.Root(), &root, &x, &y, &width, &height, &border, &depth)) {
        const int screen = DefaultScreen(display);
        return { 0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen) };
    }
    return { 0, 0, int(width), int(height) };
}

ImageRect X11ScreenSource::PrimaryScreenRect() const
{
    const std::vector<MonitorArea> monitors = ListX11Monitors(display_);
    if (monitors.empty()) {
        const ScreenSize size = PrimaryScreenSize();
        return { 0, 0, size.width, size.height };
    }
    return PrimaryMonitorRect(monitors, DesktopRect());
}

std::vector<ImageRect> X11ScreenSource::Monitors() const
{
    std::vector<ImageRect> rects;
    for (const MonitorArea& monitor : ListX11Monitors(display_))
        rects.push_back(monitor.rect);
    if (rects.empty())
        rects.push_back(PrimaryScreenRect());
    return rects;
}
