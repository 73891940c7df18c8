#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdlib>
#include <functional>

// A width x height pixmap on drawable's screen showing pattern(x, y) (0xRRGGBB); the caller frees it.
inline Pixmap PatternPixmap(
    Display* dpy, Drawable drawable, int width, int height, const std::function<uint32_t(int, int)>& pattern)
{
    const int screen = DefaultScreen(dpy);
    const unsigned depth = unsigned(DefaultDepth(dpy, screen));
    const Pixmap pixmap = XCreatePixmap(dpy, drawable, unsigned(width), unsigned(height), depth);
    XImage* image = XCreateImage(
        dpy, DefaultVisual(dpy, screen), depth, ZPixmap, 0, nullptr, unsigned(width), unsigned(height), 32, 0);
    image->data = static_cast<char*>(std::malloc(size_t(image->bytes_per_line) * size_t(height)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            XPutPixel(image, x, y, pattern(x, y));
    const GC gc = XCreateGC(dpy, pixmap, 0, nullptr);
    XPutImage(dpy, pixmap, gc, image, 0, 0, 0, 0, unsigned(width), unsigned(height));
    XFreeGC(dpy, gc);
    XDestroyImage(image);
    return pixmap;
}
