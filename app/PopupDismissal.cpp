#include "app/PopupDismissal.h"

#include "imaging/ImageBuffer.h"
#include "platform/GrabScreenRect.h"
#include "platform/ScreenSource.h"

#include <QApplication>
#include <QEvent>
#include <QRegion>
#include <QThread>
#include <QWidget>

#include <cstring>

namespace {

// A pop-up hidden longer ago than this was gone before the command that starts a capture was chosen.
constexpr qint64 kRecentMs = 3000;
constexpr int kSettleLimitMs = 500;
constexpr int kSettleStepMs = 25;
constexpr int kMaxOpenPopups = 16;

bool SamePixels(const ImageBuffer& a, const ImageBuffer& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitCount() != b.BitCount())
        return false;
    const size_t rowBytes = size_t(a.Width()) * size_t(a.BitCount() / 8);
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), rowBytes) != 0)
            return false;
    return true;
}

void LetTheServerCatchUp()
{
    // Unmapped at the server, the exposures that follow delivered, our windows beneath repainted and
    // their pixels flushed: each step needs the one before to have reached the server.
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QGuiApplication::sync();
    }
}

} // namespace

PopupDismissal::PopupDismissal(ScreenSource* screen)
    : screen_(screen)
{
    clock_.start();
    qApp->installEventFilter(this);
}

PopupDismissal::~PopupDismissal()
{
    qApp->removeEventFilter(this);
}

bool PopupDismissal::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const Qt::WindowType type = widget->windowType();
        if (widget->isWindow() && (type == Qt::Popup || type == Qt::ToolTip))
            recent_.push_back({ widget->frameGeometry(), clock_.elapsed() });
    }
    return QObject::eventFilter(watched, event);
}

void PopupDismissal::Dismiss()
{
    for (int i = 0; i < kMaxOpenPopups; ++i) {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup)
            break;
        popup->close();
    }
    QRegion area;
    const qint64 now = clock_.elapsed();
    for (const Hidden& hidden : recent_)
        if (now - hidden.when <= kRecentMs)
            area += hidden.area;
    recent_.clear();
    if (area.isEmpty())
        return;
    LetTheServerCatchUp();
    if (!screen_)
        return;
    const ScreenSize size = screen_->PrimaryScreenSize();
    WaitUntilSettled(area.boundingRect() & QRect(0, 0, size.width, size.height));
}

// Other programs' windows beneath repaint in their own time; the area is taken as repainted once two
// reads in a row agree.
void PopupDismissal::WaitUntilSettled(const QRect& area)
{
    if (area.isEmpty())
        return;
    auto read = [&](ImageBuffer& image) {
        return GrabScreenRect(image, *screen_, area.left(), area.top(), area.right() + 1, area.bottom() + 1);
    };
    ImageBuffer previous;
    if (!read(previous))
        return;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kSettleLimitMs) {
        QThread::msleep(kSettleStepMs);
        LetTheServerCatchUp();
        ImageBuffer current;
        if (!read(current) || SamePixels(previous, current))
            return;
        previous = std::move(current);
    }
}
