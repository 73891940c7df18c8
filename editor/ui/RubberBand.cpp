#include "editor/ui/RubberBand.h"

#include <algorithm>

namespace {

enum Mode { New = 0, Move = 1, TopLeft = 2, BottomLeft = 3, TopRight = 4, BottomRight = 5 };

bool NearCorner(QPoint corner, QPoint point)
{
    constexpr int reach = RubberBand::kCornerReach;
    return point.x() >= corner.x() - reach && point.x() < corner.x() + reach && point.y() >= corner.y() - reach
        && point.y() < corner.y() + reach;
}

} // namespace

int RubberBand::ModeAt(const ImageRect& rect, QPoint point)
{
    if (NearCorner({ rect.left, rect.top }, point))
        return TopLeft;
    if (NearCorner({ rect.left, rect.bottom }, point))
        return BottomLeft;
    if (NearCorner({ rect.right, rect.top }, point))
        return TopRight;
    if (NearCorner({ rect.right, rect.bottom }, point))
        return BottomRight;
    const bool inside
        = point.x() >= rect.left && point.x() < rect.right && point.y() >= rect.top && point.y() < rect.bottom;
    return inside ? Move : New;
}

QPoint RubberBand::Clamp(QPoint point, QSize canvas)
{
    return { std::clamp(point.x(), 0, canvas.width()), std::clamp(point.y(), 0, canvas.height()) };
}

ImageRect RubberBand::Drag(
    int mode, const ImageRect& saved, const ImageRect& previous, QPoint press, QPoint current, QSize canvas)
{
    constexpr int m = kMinimumSide;
    const int dx = current.x() - press.x();
    const int dy = current.y() - press.y();
    ImageRect r = saved;
    switch (mode) {
    case New: {
        const QPoint c = Clamp(current, canvas);
        r = { std::min(press.x(), c.x()), std::min(press.y(), c.y()), std::max(press.x(), c.x()),
            std::max(press.y(), c.y()) };
        break;
    }
    case Move:
        r = { saved.left + dx, saved.top + dy, saved.right + dx, saved.bottom + dy };
        break;
    case TopLeft:
        r.left = std::min(saved.left + dx, r.right - m);
        r.top = std::min(saved.top + dy, r.bottom - m);
        break;
    case BottomLeft:
        r.left = std::min(saved.left + dx, r.right - m);
        r.bottom = std::max(saved.bottom + dy, r.top + m);
        break;
    case TopRight:
        r.right = std::max(saved.right + dx, r.left + m);
        r.top = std::min(saved.top + dy, r.bottom - m);
        break;
    case BottomRight:
        r.right = std::max(saved.right + dx, r.left + m);
        r.bottom = std::max(saved.bottom + dy, r.top + m);
        break;
    default:
        break;
    }
    if (r.left < 0 || r.top < 0 || r.right > canvas.width() || r.bottom > canvas.height())
        return previous;
    return r;
}
