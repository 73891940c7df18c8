#include "platform/X11SharedImage.h"

#include "platform/X11Display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

struct X11SharedImage::Segment {
    XShmSegmentInfo info { 0, -1, nullptr, False };
};

X11SharedImage::X11SharedImage(const X11Display& display, int width, int height)
    : display_(display)
    , segment_(new Segment)
    , width_(width)
    , height_(height)
{
    XShmSegmentInfo& info = segment_->info;
    Display* server = display.Get();
    const int screen = DefaultScreen(server);
    image_ = XShmCreateImage(server, DefaultVisual(server, screen), unsigned(DefaultDepth(server, screen)), ZPixmap,
        nullptr, &info, unsigned(width), unsigned(height));
    if (!image_)
        return;
    const size_t bytes = size_t(image_->bytes_per_line) * size_t(height);
    info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (info.shmid < 0)
        return;
    info.shmaddr = image_->data = static_cast<char*>(shmat(info.shmid, nullptr, 0));
    if (info.shmaddr == reinterpret_cast<char*>(-1)) {
        info.shmaddr = image_->data = nullptr;
        return;
    }
    // Fault the whole segment in with one call: page by page, the first read of a screen pays a fault
    // for every 4 KiB on each side. Kernels before 5.14 refuse the advice, which changes nothing.
    madvise(info.shmaddr, bytes, MADV_POPULATE_WRITE);
    info.readOnly = False;
    const X11Display::ErrorTrap trap(display);
    XShmAttach(display.Get(), &info);
    attached_ = !trap.Failed();
    // Once both sides are attached the segment can be marked for removal: it goes when the last user
    // detaches, even if this process dies first.
    shmctl(info.shmid, IPC_RMID, nullptr);
}

X11SharedImage::~X11SharedImage()
{
    XShmSegmentInfo& info = segment_->info;
    if (attached_)
        XShmDetach(display_.Get(), &info);
    if (image_) {
        image_->data = nullptr;
        XDestroyImage(image_);
    }
    if (info.shmaddr)
        shmdt(info.shmaddr);
    if (info.shmid >= 0)
        shmctl(info.shmid, IPC_RMID, nullptr);
    delete segment_;
}

XImage* X11SharedImage::Get() const
{
    return attached_ ? image_ : nullptr;
}
