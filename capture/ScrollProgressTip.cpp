#include "capture/ScrollProgressTip.h"

#include "capture/OverlayLayout.h"
#include "platform/DesktopScreens.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kGap = 8;

bool Inside(const ImageRect& inner, const ImageRect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
        && inner.bottom <= outer.bottom;
}

} // namespace

ScrollProgressTip::ScrollProgressTip()
    : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMargin(6);
    setStyleSheet("QLabel { background: #303030; color: white; border: 1px solid #808080; }");
}

std::optional<ImageRect> ScrollProgressTip::Place(
    const ImageRect& window, int width, int height, const std::vector<ImageRect>& monitors)
{
    auto fits = [&](const ImageRect& place, const ImageRect& monitor) {
        return Inside(place, monitor) && OverlayLayout::Intersection(place, window).IsEmpty();
    };
    for (const ImageRect& monitor : monitors) {
        if (OverlayLayout::Intersection(monitor, window).IsEmpty())
            continue;
        const int left = std::clamp(window.left, monitor.left, monitor.right - width);
        const int top = std::clamp(window.top, monitor.top, monitor.bottom - height);
        const ImageRect beside[] = {
            { left, window.bottom + kGap, left + width, window.bottom + kGap + height },
            { left, window.top - kGap - height, left + width, window.top - kGap },
            { window.right + kGap, top, window.right + kGap + width, top + height },
            { window.left - kGap - width, top, window.left - kGap, top + height },
        };
        for (const ImageRect& place : beside)
            if (fits(place, monitor))
                return place;
    }
    for (const ImageRect& monitor : monitors) {
        const ImageRect corners[] = {
            { monitor.left + kGap, monitor.top + kGap, monitor.left + kGap + width, monitor.top + kGap + height },
            { monitor.right - kGap - width, monitor.bottom - kGap - height, monitor.right - kGap,
                monitor.bottom - kGap },
        };
        for (const ImageRect& place : corners)
            if (fits(place, monitor))
                return place;
    }
    return std::nullopt;
}

void ScrollProgressTip::Begin(const ImageRect& window, const std::vector<ImageRect>& monitors)
{
    // As wide as the widest count, so that the text never outgrows its place.
    SetSteps(199);
    adjustSize();
    setFixedSize(size());
    SetSteps(0);
    const double scale = devicePixelRatioF();
    const std::optional<ImageRect> place
        = Place(window, int(std::ceil(width() * scale)), int(std::ceil(height() * scale)), monitors);
    if (!place) {
        hide();
        return;
    }
    move(LogicalOf(place->left, place->top));
    show();
    raise();
    repaint();
    QGuiApplication::sync();
}

void ScrollProgressTip::SetSteps(int steps)
{
    setText(QString("Scrolling capture: step %1. Esc stops.").arg(steps));
    if (isVisible()) {
        // The capture keeps the event loop waiting: painted at once.
        repaint();
        QGuiApplication::sync();
    }
}

void ScrollProgressTip::End()
{
    hide();
    QGuiApplication::sync();
}
