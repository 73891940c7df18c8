#include "editor/ui/ObjectDrag.h"

#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/RectObject.h"
#include "editor/ui/ObjectHitTest.h"

#include <algorithm>

namespace {

bool IsLine(const AnnotationObject& object)
{
    return object.Kind() == ObjectKind::Line || object.Kind() == ObjectKind::Arrow;
}

void DragLine(LineObject& line, int handle, const ObjectDrag::Base& base, QPoint point, QPoint delta)
{
    QPoint start(line.startX, line.startY);
    QPoint end(line.endX, line.endY);
    if (handle == ObjectHitTest::LineStart)
        start = point;
    else if (handle == ObjectHitTest::LineEnd)
        end = point;
    else if (handle == ObjectHitTest::LineBody) {
        start = base.start + delta;
        end = base.end + delta;
    }
    line.startX = start.x();
    line.startY = start.y();
    line.endX = end.x();
    line.endY = end.y();
}

// Whatever was grabbed, the stroke moves whole: its first point goes where the base's went.
void DragPen(PenObject& pen, int handle, const ObjectDrag::Base& base, QPoint delta)
{
    if (handle == ObjectHitTest::None || pen.Points().empty())
        return;
    const QPoint to = base.start + delta;
    pen.Translate(to.x() - pen.Points().front().x, to.y() - pen.Points().front().y);
}

// Each moving edge stops exactly at the minimum size from the opposite one.
void DragRect(RectObject& box, int handle, const ObjectDrag::Base& base, QPoint point, QPoint delta)
{
    constexpr int m = ObjectDrag::kMinimumSize;
    ImageRect r = box.Rect();
    const bool left
        = handle == ObjectHitTest::TopLeft || handle == ObjectHitTest::BottomLeft || handle == ObjectHitTest::LeftEdge;
    const bool right = handle == ObjectHitTest::TopRight || handle == ObjectHitTest::BottomRight
        || handle == ObjectHitTest::RightEdge;
    const bool top
        = handle == ObjectHitTest::TopLeft || handle == ObjectHitTest::TopRight || handle == ObjectHitTest::TopEdge;
    const bool bottom = handle == ObjectHitTest::BottomLeft || handle == ObjectHitTest::BottomRight
        || handle == ObjectHitTest::BottomEdge;
    if (handle == ObjectHitTest::Inside) {
        r = { base.rect.left + delta.x(), base.rect.top + delta.y(), base.rect.right + delta.x(),
            base.rect.bottom + delta.y() };
    }
    if (left)
        r.left = std::min(point.x(), r.right - m);
    if (right)
        r.right = std::max(point.x(), r.left + m);
    if (top)
        r.top = std::min(point.y(), r.bottom - m);
    if (bottom)
        r.bottom = std::max(point.y(), r.top + m);
    box.SetRect(r);
}

} // namespace

ObjectDrag::Base ObjectDrag::BaseOf(const AnnotationObject& object)
{
    Base base;
    if (object.Kind() == ObjectKind::Pen) {
        const auto& points = static_cast<const PenObject&>(object).Points();
        if (!points.empty())
            base.start = { points.front().x, points.front().y };
    } else if (IsLine(object)) {
        const auto& line = static_cast<const LineObject&>(object);
        base.start = { line.startX, line.startY };
        base.end = { line.endX, line.endY };
    } else {
        base.rect = static_cast<const RectObject&>(object).Rect();
    }
    return base;
}

void ObjectDrag::Apply(AnnotationObject& object, int handle, const Base& base, QPoint point, QPoint delta)
{
    if (object.Kind() == ObjectKind::Pen)
        DragPen(static_cast<PenObject&>(object), handle, base, delta);
    else if (IsLine(object))
        DragLine(static_cast<LineObject&>(object), handle, base, point, delta);
    else
        DragRect(static_cast<RectObject&>(object), handle, base, point, delta);
}
