#include "capture/OverlayWindow.h"

#include "platform/DesktopScreens.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

OverlayWindow::OverlayWindow(QScreen& screen, const ImageRect& shows, Painter paint, PointerHandler pointer)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint)
    , shows_(shows)
    , origin_(shows.left, shows.top)
    // Showing its monitor's own device pixels, the toolkit's scale is exact; else the picture's to the screen's.
    , scale_(shows.Width() == ToolkitDeviceRect(screen).Width() || screen.geometry().width() <= 0
              ? screen.devicePixelRatio()
              : double(shows.Width()) / screen.geometry().width())
    , paint_(std::move(paint))
    , pointer_(std::move(pointer))
{
    // Every pixel is painted from the frozen copy: nothing is erased first, so nothing flickers.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    winId();
    windowHandle()->setScreen(&screen);
    setGeometry(screen.geometry());
}

OverlayWindow::~OverlayWindow()
{
    WaitForPrefault();
}

void OverlayWindow::PrefaultBackingStore()
{
    // Only the X11 store is a plain image before its first paint; Wayland's has no buffer yet.
    QBackingStore* store = backingStore();
    if (!store || prefault_.joinable() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    // The size the first paint gives it, so that the paint keeps this memory; a store that shows no image
    // (not a raster one) is left alone.
    store->resize(size());
    auto* image = dynamic_cast<QImage*>(store->paintDevice());
    if (!image || image->isNull())
        return;
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t begin = uintptr_t(image->constBits()) & ~(page - 1);
    const uintptr_t end = uintptr_t(image->constBits()) + uintptr_t(image->sizeInBytes());
    // Faulting the pages in changes none of their contents; kernels before 5.14 refuse, which changes nothing.
    prefault_
        = std::thread([begin, end] { madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE); });
}

void OverlayWindow::WaitForPrefault()
{
    if (prefault_.joinable())
        prefault_.join();
}

void OverlayWindow::UpdateDesktop(const QRegion& desktopPixels)
{
    const ImageRect device = DeviceRect();
    const QRegion here = desktopPixels & QRect(device.left, device.top, device.Width(), device.Height());
    const double scale = Scale();
    for (const QRect& rect : here) {
        const QRectF local((rect.x() - origin_.x()) / scale, (rect.y() - origin_.y()) / scale, rect.width() / scale,
            rect.height() / scale);
        update(local.toAlignedRect());
    }
}

void OverlayWindow::paintEvent(QPaintEvent* event)
{
    WaitForPrefault();
    const double scale = Scale();
    QRegion desktop;
    for (const QRect& rect : event->region()) {
        const QRectF device(rect.x() * scale + origin_.x(), rect.y() * scale + origin_.y(), rect.width() * scale,
            rect.height() * scale);
        desktop += device.toAlignedRect();
    }
    QPainter painter(this);
    // One unit of the painter is one device pixel of the desktop.
    painter.scale(1 / scale, 1 / scale);
    painter.translate(-origin_.x(), -origin_.y());
    paint_(painter, desktop);
}

void OverlayWindow::Forward(QMouseEvent* event)
{
    // Used only where the device position cannot be read from the server: exact at whole scales.
    const double scale = Scale();
    const QPointF at = event->position();
    pointer_(*event, origin_.x() + int(std::lround(at.x() * scale)), origin_.y() + int(std::lround(at.y() * scale)));
}

void OverlayWindow::mouseMoveEvent(QMouseEvent* event)
{
    Forward(event);
}

void OverlayWindow::mousePressEvent(QMouseEvent* event)
{
    Forward(event);
}

void OverlayWindow::mouseReleaseEvent(QMouseEvent* event)
{
    Forward(event);
}
