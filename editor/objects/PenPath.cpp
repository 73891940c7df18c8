#include "editor/objects/PenPath.h"

#include <algorithm>

namespace {

QPointF At(const PenObject::Point& point, QPointF offset)
{
    return QPointF(double(point.x), double(point.y)) + offset;
}

QPointF Mid(const PenObject::Point& a, const PenObject::Point& b, QPointF offset)
{
    return (At(a, offset) + At(b, offset)) / 2.0;
}

} // namespace

int32_t PenPath::Margin(int32_t width)
{
    return (std::max(width, 0) + 1) / 2 + 2;
}

size_t PenPath::RunCount(const PenObject& pen)
{
    const size_t pieces = pen.Points().size();
    return (pieces + PenObject::kPiecesPerRun - 1) / PenObject::kPiecesPerRun;
}

QPainterPath PenPath::Run(const PenObject& pen, size_t run, QPointF offset)
{
    const auto& p = pen.Points();
    const size_t n = p.size();
    const size_t first = run * PenObject::kPiecesPerRun;
    QPainterPath path;
    if (n < 2 || first >= n)
        return path;
    const size_t end = std::min(n, first + PenObject::kPiecesPerRun);
    path.moveTo(first == 0 ? At(p[0], offset) : Mid(p[first - 1], p[first], offset));
    for (size_t i = first; i < end; ++i) {
        if (i == 0)
            path.lineTo(Mid(p[0], p[1], offset));
        else if (i == n - 1)
            path.lineTo(At(p[i], offset));
        else
            path.quadTo(At(p[i], offset), Mid(p[i], p[i + 1], offset));
    }
    return path;
}

std::optional<PenObject::Bounds> PenPath::RunBounds(const PenObject& pen, size_t run)
{
    const size_t first = run * PenObject::kPiecesPerRun;
    return pen.PointBounds(first == 0 ? 0 : first - 1, first + PenObject::kPiecesPerRun);
}

std::optional<PenObject::Bounds> PenPath::GrownPoints(const PenObject& pen)
{
    const size_t n = pen.Points().size();
    // The new point ends the last piece and turns the one before it into a curve, made from up to three
    // points before it.
    return pen.PointBounds(n < 4 ? 0 : n - 4, n == 0 ? 0 : n - 1);
}
