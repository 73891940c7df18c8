#pragma once

typedef struct _XImage XImage;

class X11Display;

// An image in a shared-memory segment that the X server writes into. The segment is removed on every
// path, also when attaching fails (a remote server cannot share memory).
class X11SharedImage {
public:
    // An image of the default visual and depth of the display's screen.
    X11SharedImage(const X11Display& display, int width, int height);
    ~X11SharedImage();
    X11SharedImage(const X11SharedImage&) = delete;
    X11SharedImage& operator=(const X11SharedImage&) = delete;

    // Null when the segment could not be made or attached.
    XImage* Get() const;
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    struct Segment;
    const X11Display& display_;
    XImage* image_ = nullptr;
    Segment* segment_;
    bool attached_ = false;
    int width_;
    int height_;
};
