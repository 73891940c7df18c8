#include "editor/ui/ObjectHitTest.h"

#include "editor/objects/LineObject.h"
#include "editor/objects/ObjectList.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/RectObject.h"
#include "editor/ui/ObjectHandles.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

QPoint ShadowShift(const AnnotationObject& object)
{
    const int shift = object.shadow ? ObjectHandles::kShadowOffset : 0;
    return { shift, shift };
}

bool IsLine(const AnnotationObject& object)
{
    return object.Kind() == ObjectKind::Line || object.Kind() == ObjectKind::Arrow;
}

// Right and bottom excluded, as for every box test here.
bool Within(QPoint centre, QPoint point, int reach)
{
    return point.x() >= centre.x() - reach && point.x() < centre.x() + reach && point.y() >= centre.y() - reach
        && point.y() < centre.y() + reach;
}

// Squared distance from p to the segment a-b.
double DistanceSquared(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double length = dx * dx + dy * dy;
    const double t = length > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length, 0.0, 1.0) : 0.0;
    const double x = ax + t * dx - px, y = ay + t * dy - py;
    return x * x + y * y;
}

} // namespace

bool ObjectHitTest::HitsPen(const PenObject& pen, QPoint point)
{
    const auto& points = pen.Points();
    if (points.empty())
        return false;
    const QPoint shift = ShadowShift(pen);
    const double px = point.x() - shift.x(), py = point.y() - shift.y();
    const double tolerance = double(pen.width) + 4;
    const double reach = tolerance * tolerance;
    for (size_t i = 0; i < points.size(); ++i) {
        const PenObject::Point& a = points[i];
        const PenObject::Point& b = points[std::min(i + 1, points.size() - 1)];
        if (DistanceSquared(px, py, a.x, a.y, b.x, b.y) <= reach)
            return true;
    }
    return false;
}

bool ObjectHitTest::HitsLine(const LineObject& line, QPoint point)
{
    const QPoint shift = ShadowShift(line);
    long long a1 = line.startX + shift.x(), b1 = line.startY + shift.y();
    long long a2 = line.endX + shift.x(), b2 = line.endY + shift.y();
    long long a = point.x(), b = point.y();
    if (a1 == a2 && b1 == b2)
        return false;
    // Walk along the longer axis so the slope stays within one.
    if (std::llabs(a2 - a1) < std::llabs(b2 - b1)) {
        std::swap(a1, b1);
        std::swap(a2, b2);
        std::swap(a, b);
    }
    if (a < std::min(a1, a2) || a > std::max(a1, a2))
        return false;
    const auto t = static_cast<long long>(double(b2 - b1) / double(a2 - a1) * double(a - a1) + double(b1));
    const long long tolerance = line.width + 4;
    return b >= t - tolerance && b <= t + tolerance;
}

bool ObjectHitTest::HitsObject(const AnnotationObject& object, QPoint point)
{
    if (IsLine(object))
        return HitsLine(static_cast<const LineObject&>(object), point);
    if (object.Kind() == ObjectKind::Pen)
        return HitsPen(static_cast<const PenObject&>(object), point);
    const auto& box = static_cast<const RectObject&>(object);
    return point.x() >= box.left && point.x() < box.right && point.y() >= box.top && point.y() < box.bottom;
}

AnnotationObject* ObjectHitTest::Pick(const ObjectList& objects, QPoint point)
{
    for (const auto& object : objects) {
        if (HitsObject(*object, point))
            return object.get();
    }
    return nullptr;
}

int ObjectHitTest::HandleAt(const AnnotationObject& object, QPoint point)
{
    const QPoint shift = ShadowShift(object);
    if (IsLine(object)) {
        const auto& line = static_cast<const LineObject&>(object);
        if (Within(QPoint(line.startX, line.startY) + shift, point, kHandleReach))
            return LineStart;
        if (Within(QPoint(line.endX, line.endY) + shift, point, kHandleReach))
            return LineEnd;
        return HitsLine(line, point) ? LineBody : None;
    }
    // A stroke is moved whole, by any point of it.
    if (object.Kind() == ObjectKind::Pen)
        return HitsPen(static_cast<const PenObject&>(object), point) ? LineBody : None;
    const auto& box = static_cast<const RectObject&>(object);
    const int l = box.left + shift.x(), t = box.top + shift.y();
    const int r = box.right + shift.x(), b = box.bottom + shift.y();
    const int midX = l + (r - l) / 2, midY = t + (b - t) / 2;
    const std::pair<QPoint, int> handles[] = { { { l, t }, TopLeft }, { { l, b }, BottomLeft }, { { r, t }, TopRight },
        { { r, b }, BottomRight }, { { l, midY }, LeftEdge }, { { r, midY }, RightEdge }, { { midX, t }, TopEdge },
        { { midX, b }, BottomEdge } };
    for (const auto& [centre, code] : handles) {
        if (Within(centre, point, kHandleReach))
            return code;
    }
    const bool inside = point.x() >= l && point.x() < r && point.y() >= t && point.y() < b;
    return inside ? Inside : None;
}
