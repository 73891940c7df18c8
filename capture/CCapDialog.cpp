#include "capture/CCapDialog.h"

#include "capture/OverlayLayout.h"
#include "capture/OverlayWindow.h"
#include "capture/WindowMap.h"
#include "imaging/ImageBuffer.h"
#include "platform/DesktopScreens.h"
#include "platform/GrabScreenRect.h"
#include "platform/ScreenInput.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int kMapLimitMs = 2000;
constexpr int kGrabLimitMs = 3000;

bool Contains(const ImageRect& rect, int x, int y)
{
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

} // namespace

CCapDialog::CCapDialog(WindowSystem& windows, ScreenInput& input)
    : windows_(windows)
    , input_(input)
    , painter_(QApplication::font())
{
}

CCapDialog::~CCapDialog()
{
    if (open_) {
        qApp->removeEventFilter(this);
        input_.WatchPointer({});
    }
}

std::optional<ImageRect> CCapDialog::Select(const OverlayRequest& request, ScreenSource& frozenScreen)
{
    const ImageRect desktop = frozenScreen.DesktopRect();
    if (open_ || desktop.IsEmpty() || QGuiApplication::screens().isEmpty())
        return std::nullopt;
    Reset(request, frozenScreen);
    Open();
    // The user may have ended it while it was still being shown.
    if (!ended_)
        loop_.exec();
    Close();
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
    view_ = OverlayView {};
    view_.desktop = frozenScreen.DesktopRect();
    // Painted as it comes: a picture of the X server's screen shares its memory.
    picture_ = frozenScreen.ReadPicture(view_.desktop);
    monitors_ = frozenScreen.Monitors();
    view_.monitor = monitors_.empty() ? view_.desktop : monitors_.front();
    view_.mode = request.mode;
    view_.fixedWidth = request.fixedWidth;
    view_.fixedHeight = request.fixedHeight;
    touched_ = QRegion();
    dragging_ = false;
    fixedRect_ = {};
    pickedWindow_ = 0;
    pinRequested_ = false;
    textWanted_ = false;
    lastLookedUp_ = 0;
    lastMoveX_ = lastMoveY_ = -1 << 30;
    accepted_ = false;
    ended_ = false;
    ready_ = false;
    open_ = true;
}

void CCapDialog::Open()
{
    for (QScreen* screen : QGuiApplication::screens())
        screens_.push_back(std::make_unique<OverlayWindow>(
            *screen, placer_ ? placer_(*screen, view_.desktop) : ToolkitDeviceRect(*screen),
            [this](QPainter& painter, const QRegion& pixels) { PaintDesktop(painter, pixels); },
            [this](QMouseEvent& event, int x, int y) { OnToolkitPointer(event, x, y); }));
    for (const auto& window : screens_)
        window->PrefaultBackingStore();
    // Where the compositor places every window (Wayland), only a full-screen one covers its monitor.
    const bool placedByDesktop = QGuiApplication::platformName() != QLatin1String("xcb");
    for (const auto& window : screens_) {
        if (placedByDesktop)
            window->showFullScreen();
        else
            window->show();
        window->raise();
    }
    qApp->installEventFilter(this);
    serverPointer_ = input_.WatchPointer([this](const PointerEvent& event) { OnPointer(event); });
    QElapsedTimer timer;
    timer.start();
    auto allExposed = [this] {
        for (const auto& window : screens_)
            if (!(window->windowHandle() && window->windowHandle()->isExposed()))
                return false;
        return true;
    };
    while (!allExposed() && timer.elapsed() < kMapLimitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    OverlayWindow& first = *screens_.front();
    first.activateWindow();
    // The grab fails while the window is not viewable yet or while another client (a closing menu)
    // still holds the pointer.
    timer.restart();
    while (!ended_ && !input_.Grab(WindowId(first.winId())) && timer.elapsed() < kGrabLimitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
    ready_ = true;
    // The pointer is somewhere already: the panel and the magnifier show it without waiting for a move.
    if (const std::optional<PointerPosition> pointer = input_.Pointer()) {
        OnMouseMove(pointer->x, pointer->y);
    } else {
        const QPoint at = QCursor::pos();
        OnMouseMove(at.x(), at.y());
    }
    // Only what the move touched is painted again: the windows showed the picture when they were exposed.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QGuiApplication::sync();
    if (!ended_ && shown_)
        shown_();
}

void CCapDialog::Close()
{
    qApp->removeEventFilter(this);
    input_.WatchPointer({});
    input_.Release();
    for (const auto& window : screens_)
        window->hide();
    // Whoever reads the screen next must not find the overlay on it.
    QGuiApplication::sync();
    screens_.clear();
    open_ = false;
    frozen_ = nullptr;
    picture_ = QImage();
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
    case QEvent::Close:
        // A compositor may close any window (Wayland): closing the overlay is cancelling it.
        for (const auto& window : screens_)
            if (watched == window.get())
                End(false);
        return QObject::eventFilter(watched, event);
    default:
        return QObject::eventFilter(watched, event);
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
    case Qt::Key_P:
        PinCurrent();
        return;
    case Qt::Key_T:
        // "Copy Text": the region being dragged, or the next one, is read rather than captured.
        if (request_.mode == OverlayMode::Region) {
            textWanted_ = true;
            if (dragging_ && !view_.selection.IsEmpty()) {
                dragging_ = false;
                End(true);
            }
        }
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

void CCapDialog::PinCurrent()
{
    switch (request_.mode) {
    case OverlayMode::Region:
        // Only while a region is being dragged: there is nothing to pin before.
        if (!dragging_ || view_.selection.IsEmpty())
            return;
        dragging_ = false;
        break;
    case OverlayMode::WindowObject:
        pickedWindow_ = WindowAt(view_.currentX, view_.currentY);
        view_.windowRect = RectOf(pickedWindow_);
        break;
    case OverlayMode::FixedRect:
        break;
    }
    pinRequested_ = true;
    End(true);
}

void CCapDialog::OnPointer(const PointerEvent& event)
{
    if (!open_ || ended_)
        return;
    switch (event.kind) {
    case PointerEvent::Kind::Move:
        // The server may report one motion twice (the pointer and the device behind it).
        if (event.x != lastMoveX_ || event.y != lastMoveY_)
            OnMouseMove(event.x, event.y);
        lastMoveX_ = event.x;
        lastMoveY_ = event.y;
        break;
    case PointerEvent::Kind::Press:
        OnPress(event.button, event.x, event.y);
        break;
    case PointerEvent::Kind::Release:
        OnRelease(event.button, event.x, event.y);
        break;
    }
}

void CCapDialog::OnToolkitPointer(QMouseEvent& event, int x, int y)
{
    // The server's own positions are exact; the toolkit's are the fallback.
    if (serverPointer_)
        return;
    const int button = event.button() == Qt::LeftButton ? 1 : event.button() == Qt::RightButton ? 3 : 0;
    switch (event.type()) {
    case QEvent::MouseMove:
        OnPointer({ PointerEvent::Kind::Move, 0, x, y });
        break;
    case QEvent::MouseButtonPress:
        OnPointer({ PointerEvent::Kind::Press, button, x, y });
        break;
    case QEvent::MouseButtonRelease:
        OnPointer({ PointerEvent::Kind::Release, button, x, y });
        break;
    default:
        break;
    }
}

void CCapDialog::OnPress(int button, int x, int y)
{
    if (button == 3) {
        End(false);
        return;
    }
    if (button != 1 || request_.mode != OverlayMode::Region)
        return;
    anchorX_ = x;
    anchorY_ = y;
    view_.selection = { x, y, x, y };
    dragging_ = true;
    Repaint();
}

void CCapDialog::OnRelease(int button, int x, int y)
{
    if (button != 1)
        return;
    if (request_.mode == OverlayMode::Region) {
        // The selection keeps the last move's corner.
        dragging_ = false;
    } else if (request_.mode == OverlayMode::WindowObject) {
        pickedWindow_ = WindowAt(x, y);
        view_.windowRect = RectOf(pickedWindow_);
    }
    End(true);
}

void CCapDialog::FollowMonitor(int x, int y)
{
    for (const ImageRect& monitor : monitors_)
        if (Contains(monitor, x, y)) {
            view_.monitor = monitor;
            break;
        }
    for (const auto& window : screens_)
        if (Contains(window->DeviceRect(), x, y)) {
            view_.scale = window->Scale();
            break;
        }
}

void CCapDialog::OnMouseMove(int x, int y)
{
    using namespace OverlayLayout;
    view_.currentX = x;
    view_.currentY = y;
    FollowMonitor(x, y);
    view_.panelBottomRight
        = PanelAtBottomRight(view_.panelBottomRight, request_.mode, x, y, view_.monitor, view_.scale);
    if (request_.mode == OverlayMode::WindowObject) {
        view_.windowRect = RectOf(WindowAt(x, y));
    } else {
        ImageBuffer around;
        const bool read = frozen_
            && GrabScreenRect(around, *frozen_, x - kMagnifierRadius, y - kMagnifierRadius, x + kMagnifierRadius + 1,
                y + kMagnifierRadius + 1);
        view_.magnifier = read ? OverlayPainter::Magnify(around, Scaled(kMagnifierSize, view_.scale)) : QImage();
        if (dragging_)
            view_.selection = Normalised(anchorX_, anchorY_, x, y);
        if (request_.mode == OverlayMode::FixedRect)
            fixedRect_ = ClampedFixedRect(x, y, request_.fixedWidth, request_.fixedHeight, view_.monitor);
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
    const QRegion dirty = touched_ + now;
    for (const auto& window : screens_)
        window->UpdateDesktop(dirty);
    touched_ = now;
}

void CCapDialog::PaintDesktop(QPainter& painter, const QRegion& pixels) const
{
    for (const QRect& rect : pixels)
        painter.drawImage(rect, picture_, rect.translated(-view_.desktop.left, -view_.desktop.top));
    // The panel appears once the overlay holds the input, so that what the user sees answers at once.
    if (ready_)
        painter_.Paint(painter, view_);
}
