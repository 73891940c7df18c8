#include "capture/CCapDialog.h"

#include "capture/OverlayLayout.h"
#include "capture/WindowMap.h"
#include "imaging/ImageBuffer.h"
#include "platform/GrabScreenRect.h"
#include "platform/ImageScreenSource.h"
#include "platform/ScreenInput.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QThread>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int kMapLimitMs = 2000;
constexpr int kGrabLimitMs = 3000;

QImage FrozenPicture(ScreenSource& frozen, ScreenSize size)
{
    // The pipeline's frozen copy is one image already: painted from as it is, without a second read.
    if (auto* image = dynamic_cast<ImageScreenSource*>(&frozen); image && image->Image().BitCount() == 24)
        return OverlayPainter::ScreenPicture(image->Image());
    ImageBuffer screen;
    if (!GrabScreenRect(screen, frozen, 0, 0, size.width, size.height))
        return {};
    return OverlayPainter::ScreenPicture(screen);
}

} // namespace

CCapDialog::CCapDialog(WindowSystem& windows, ScreenInput& input)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint)
    , windows_(windows)
    , input_(input)
    , painter_(font())
{
    // Every pixel is painted from the frozen copy: nothing is erased first, so nothing flickers.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

CCapDialog::~CCapDialog()
{
    if (open_)
        qApp->removeEventFilter(this);
}

std::optional<ImageRect> CCapDialog::Select(const OverlayRequest& request, ScreenSource& frozenScreen)
{
    const ScreenSize size = frozenScreen.PrimaryScreenSize();
    if (open_ || size.width < 1 || size.height < 1)
        return std::nullopt;
    Reset(request, frozenScreen);
    Open();
    // The user may have ended it while it was still being shown.
    if (!ended_)
        loop_.exec();
    qApp->removeEventFilter(this);
    input_.Release();
    hide();
    // Whoever reads the screen next must not find the overlay on it.
    QGuiApplication::sync();
    open_ = false;
    frozen_ = nullptr;
    picture_ = QImage();
    if (!accepted_)
        return std::nullopt;
    switch (request_.mode) {
    case OverlayMode::Region:
        return view_.selection;
    case OverlayMode::WindowObject:
        return view_.windowRect;
    case OverlayMode::FixedRect:
        return fixedRect_;
    }
    return std::nullopt;
}

void CCapDialog::Reset(const OverlayRequest& request, ScreenSource& frozenScreen)
{
    request_ = request;
    frozen_ = &frozenScreen;
    const ScreenSize size = frozenScreen.PrimaryScreenSize();
    // A fixed rectangle larger than the desktop (a typo in config.ini) is the desktop's size.
    request_.fixedWidth = std::clamp(request.fixedWidth, 0, std::max(size.width, 0));
    request_.fixedHeight = std::clamp(request.fixedHeight, 0, std::max(size.height, 0));
    picture_ = FrozenPicture(frozenScreen, size);
    view_ = OverlayView {};
    view_.mode = request.mode;
    view_.screenWidth = size.width;
    view_.screenHeight = size.height;
    view_.fixedWidth = request_.fixedWidth;
    view_.fixedHeight = request_.fixedHeight;
    touched_ = QRegion();
    dragging_ = false;
    fixedRect_ = {};
    pickedWindow_ = 0;
    lastLookedUp_ = 0;
    accepted_ = false;
    ended_ = false;
    ready_ = false;
    open_ = true;
}

void CCapDialog::Open()
{
    setGeometry(0, 0, view_.screenWidth, view_.screenHeight);
    show();
    raise();
    qApp->installEventFilter(this);
    QElapsedTimer timer;
    timer.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && timer.elapsed() < kMapLimitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    activateWindow();
    // The grab fails while the window is not viewable yet or while another client (a closing menu)
    // still holds the pointer.
    timer.restart();
    while (!ended_ && !input_.Grab(WindowId(winId())) && timer.elapsed() < kGrabLimitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
    ready_ = true;
    // The pointer is somewhere already: the panel and the magnifier show it without waiting for a move.
    const QPoint pointer = QCursor::pos();
    OnMouseMove(pointer.x(), pointer.y());
    repaint();
    QGuiApplication::sync();
    if (!ended_ && shown_)
        shown_();
}

void CCapDialog::End(bool accepted)
{
    if (!open_ || ended_)
        return;
    ended_ = true;
    accepted_ = accepted;
    loop_.exit();
}

bool CCapDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Keys are all the overlay's while it is open, wherever the toolkit would send them.
    switch (event->type()) {
    case QEvent::KeyPress:
        OnKey(static_cast<QKeyEvent*>(event)->key());
        return true;
    case QEvent::ShortcutOverride:
        // Accepted, so that no shortcut of the main window runs either.
        event->accept();
        return true;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void CCapDialog::OnKey(int key)
{
    int x = view_.currentX;
    int y = view_.currentY;
    switch (key) {
    case Qt::Key_Escape:
        End(false);
        return;
    case Qt::Key_Left:
        --x;
        break;
    case Qt::Key_Right:
        ++x;
        break;
    case Qt::Key_Up:
        --y;
        break;
    case Qt::Key_Down:
        ++y;
        break;
    default:
        return;
    }
    view_.currentX = x;
    view_.currentY = y;
    // The server reports the move back as a pointer motion, which updates the rest.
    input_.MovePointer(x, y);
}

void CCapDialog::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->globalPosition().toPoint();
    OnMouseMove(at.x(), at.y());
}

void CCapDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        End(false);
        return;
    }
    if (event->button() != Qt::LeftButton || request_.mode != OverlayMode::Region)
        return;
    const QPoint at = event->globalPosition().toPoint();
    anchorX_ = at.x();
    anchorY_ = at.y();
    view_.selection = { at.x(), at.y(), at.x(), at.y() };
    dragging_ = true;
    Repaint();
}

void CCapDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (request_.mode == OverlayMode::Region) {
        // The selection keeps the last move's corner.
        dragging_ = false;
    } else if (request_.mode == OverlayMode::WindowObject) {
        const QPoint at = event->globalPosition().toPoint();
        pickedWindow_ = WindowAt(at.x(), at.y());
        view_.windowRect = RectOf(pickedWindow_);
    }
    End(true);
}

void CCapDialog::mouseDoubleClickEvent(QMouseEvent*)
{
    End(true);
}

void CCapDialog::OnMouseMove(int x, int y)
{
    using namespace OverlayLayout;
    view_.currentX = x;
    view_.currentY = y;
    view_.panelBottomRight
        = PanelAtBottomRight(view_.panelBottomRight, request_.mode, x, y, view_.screenWidth, view_.screenHeight);
    if (request_.mode == OverlayMode::WindowObject) {
        view_.windowRect = RectOf(WindowAt(x, y));
    } else {
        ImageBuffer around;
        const bool read = frozen_
            && GrabScreenRect(around, *frozen_, x - kMagnifierRadius, y - kMagnifierRadius, x + kMagnifierRadius + 1,
                y + kMagnifierRadius + 1);
        view_.magnifier = read ? OverlayPainter::Magnify(around) : QImage();
        if (dragging_)
            view_.selection = Normalised(anchorX_, anchorY_, x, y);
        if (request_.mode == OverlayMode::FixedRect)
            fixedRect_ = ClampedFixedRect(
                x, y, request_.fixedWidth, request_.fixedHeight, view_.screenWidth, view_.screenHeight);
    }
    Repaint();
}

WindowId CCapDialog::WindowAt(int x, int y) const
{
    if (!request_.windowMap)
        return 0;
    return WindowMap::Lookup(*request_.windowMap, request_.windowMapWidth, x, y);
}

ImageRect CCapDialog::RectOf(WindowId window)
{
    // Asked once per window under the pointer, not once per move.
    if (window != 0 && window == lastLookedUp_)
        return view_.windowRect;
    lastLookedUp_ = window;
    return window ? windows_.WindowRect(window).value_or(ImageRect {}) : ImageRect {};
}

void CCapDialog::Repaint()
{
    const QRegion now = painter_.Touched(view_);
    update(touched_ + now);
    touched_ = now;
}

void CCapDialog::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    for (const QRect& rect : event->region())
        painter.drawImage(rect.topLeft(), picture_, rect);
    // The panel appears once the overlay holds the input, so that what the user sees answers at once.
    if (ready_)
        painter_.Paint(painter, view_);
}
