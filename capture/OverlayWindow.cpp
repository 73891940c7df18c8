#include "capture/OverlayWindow.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <cmath>

OverlayWindow::OverlayWindow(QScreen& screen, Painter paint, PointerHandler pointer)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint)
    // The toolkit keeps a screen's top-left corner in device pixels and scales only its size.
    , origin_(screen.geometry().topLeft())
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

ImageRect OverlayWindow::DeviceRect() const
{
    const double scale = Scale();
    return { origin_.x(), origin_.y(), origin_.x() + int(std::lround(width() * scale)),
        origin_.y() + int(std::lround(height() * scale)) };
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
