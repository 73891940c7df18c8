#include "capture/OverlayWindow.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <cmath>

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

ImageRect OverlayWindow::ToolkitDeviceRect(const QScreen& screen)
{
    const QRect g = screen.geometry();
    const double scale = screen.devicePixelRatio();
    return { g.x(), g.y(), g.x() + int(std::lround(g.width() * scale)), g.y() + int(std::lround(g.height() * scale)) };
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
