#include "app/PinWindow.h"

#include "editor/ui/BufferPicture.h"
#include "platform/DesktopScreens.h"
#include "platform/X11WindowPlacement.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <cmath>
#include <cstdlib>

namespace {

ImageBuffer Opaque32(const ImageBuffer& picture)
{
    ImageBuffer copy(picture);
    copy.ConvertTo(32);
    return copy;
}

} // namespace

PinWindow::PinWindow(const ImageBuffer& picture, QPoint at, Actions actions)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , picture_(Opaque32(picture))
    , shown_(BufferPicture::Part(picture_, QRect(0, 0, picture_.Width(), std::abs(picture_.Height()))))
    , view_(picture_.Width(), std::abs(picture_.Height()), at.x(), at.y())
    , actions_(std::move(actions))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle("Lumora Pin");
    setCursor(Qt::SizeAllCursor);
    const ImageRect& rect = view_.Rect();
    QScreen* screen = ScreenAtDevice(rect.left, rect.top);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const double scale = screen ? screen->devicePixelRatio() : 1.0;
    // Close enough for the first map; the exact device rectangle follows once the window exists.
    setGeometry(QRect(LogicalOf(rect.left, rect.top),
        QSize(int(std::ceil(rect.Width() / scale)), int(std::ceil(rect.Height() / scale)))));
}

QPoint PinWindow::CentredOnPointer(const ImageBuffer& picture)
{
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const ImageRect device = ToolkitDeviceRect(*screen);
    return { device.left + (device.Width() - picture.Width()) / 2,
        device.top + (device.Height() - std::abs(picture.Height())) / 2 };
}

void PinWindow::ApplyView()
{
    const ImageRect& rect = view_.Rect();
    if (X11WindowPlacement::Place(WindowId(winId()), rect))
        return;
    // Elsewhere the compositor places the window: only its size is ours, and a fixed size keeps a tiling
    // compositor from stretching it.
    const double scale = devicePixelRatioF();
    setFixedSize(int(std::ceil(rect.Width() / scale)), int(std::ceil(rect.Height() / scale)));
}

void PinWindow::FollowWindow()
{
    if (const std::optional<ImageRect> rect = X11WindowPlacement::Rect(WindowId(winId())))
        view_.MoveTo(rect->left, rect->top);
}

QPoint PinWindow::DevicePosition(QPointF local) const
{
    const double scale = devicePixelRatioF();
    return { view_.Rect().left + int(std::lround(local.x() * scale)),
        view_.Rect().top + int(std::lround(local.y() * scale)) };
}

void PinWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ApplyView();
    // Again once mapped: a window manager may have placed the window by its own rules meanwhile.
    QTimer::singleShot(0, this, [this] {
        ApplyView();
        activateWindow();
    });
}

void PinWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double scale = devicePixelRatioF();
    // One unit of the painter is one device pixel.
    painter.scale(1 / scale, 1 / scale);
    // Shrunk pictures stay legible when smoothed; enlarged ones show their pixels.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, view_.Zoom() < 1.0);
    painter.drawImage(QRect(0, 0, view_.Rect().Width(), view_.Rect().Height()), shown_);
}

void PinWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        pressedAt_ = event->globalPosition().toPoint();
        dragOffset_ = event->position().toPoint();
    }
}

void PinWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!pressedAt_ || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint global = event->globalPosition().toPoint();
    if (!manualDrag_) {
        // A click or the first half of a double click moves nothing.
        if ((global - *pressedAt_).manhattanLength() < QApplication::startDragDistance())
            return;
        // The window manager moves the window best, on X11 and Wayland alike. It starts from where the
        // pointer is now (which may be past this event), so the way it went before that is made up first.
        FollowWindow();
        const double scale = devicePixelRatioF();
        const QPoint way = QCursor::pos() - *pressedAt_;
        view_.MoveTo(view_.Rect().left + int(std::lround(way.x() * scale)),
            view_.Rect().top + int(std::lround(way.y() * scale)));
        ApplyView();
        if (windowHandle() && windowHandle()->startSystemMove()) {
            pressedAt_.reset();
            return;
        }
        manualDrag_ = true;
    }
    move(global - dragOffset_);
}

void PinWindow::mouseReleaseEvent(QMouseEvent*)
{
    pressedAt_.reset();
    manualDrag_ = false;
    FollowWindow();
}

void PinWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        close();
}

void PinWindow::wheelEvent(QWheelEvent* event)
{
    // Fine-grained wheels and touch pads send parts of a notch.
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRest_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches == 0)
        return;
    if (event->modifiers() & Qt::ControlModifier) {
        view_.ChangeOpacity(notches);
        setWindowOpacity(view_.Opacity() / 100.0);
        return;
    }
    FollowWindow();
    const QPoint at = DevicePosition(event->position());
    view_.ZoomAt(notches, at.x(), at.y());
    ApplyView();
    update();
}

void PinWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void PinWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copy = menu.addAction("Copy");
    QAction* saveAs = menu.addAction("Save As...");
    QAction* open = menu.addAction("Open in Editor");
    open->setEnabled(actions_.openInEditor && actions_.hasEditor && actions_.hasEditor());
    menu.addSeparator();
    QAction* closing = menu.addAction("Close");
    // Acted on after the menu's own loop has ended, so that closing deletes no window still in use.
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == copy && actions_.copy)
        actions_.copy(picture_);
    else if (chosen == saveAs && actions_.saveAs)
        actions_.saveAs(picture_, *this);
    else if (chosen == open && actions_.openInEditor)
        actions_.openInEditor(picture_);
    else if (chosen == closing)
        close();
}
