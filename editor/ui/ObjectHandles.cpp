#include "editor/ui/ObjectHandles.h"

#include "editor/objects/AnnotationObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/ObjectRenderer.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/RectObject.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <climits>

namespace {

// A handle's circle with its outline and antialiasing stays this close to its point.
constexpr int kHandleReach = 6;

int ToInt(int64_t value)
{
    return int(std::clamp<int64_t>(value, INT_MIN / 2, INT_MAX / 2));
}

} // namespace

std::vector<QPoint> ObjectHandles::Points(const AnnotationObject& object)
{
    std::vector<QPoint> points;
    switch (object.Kind()) {
    case ObjectKind::Line:
    case ObjectKind::Arrow: {
        const auto& line = static_cast<const LineObject&>(object);
        points = { { line.startX, line.startY }, { line.endX, line.endY } };
        break;
    }
    case ObjectKind::Text:
    case ObjectKind::Box:
    case ObjectKind::Highlight:
    case ObjectKind::Stamp:
    case ObjectKind::Redact:
    case ObjectKind::Step: {
        const auto& box = static_cast<const RectObject&>(object);
        const int midX = box.left + (box.right - box.left) / 2;
        const int midY = box.top + (box.bottom - box.top) / 2;
        points = { { box.left, box.top }, { midX, box.top }, { box.right, box.top }, { box.right, midY },
            { box.right, box.bottom }, { midX, box.bottom }, { box.left, box.bottom }, { box.left, midY } };
        break;
    }
    case ObjectKind::Pen: {
        // Its two ends show that it is selected; it is moved by any point of it, never reshaped.
        const auto& stroke = static_cast<const PenObject&>(object).Points();
        if (!stroke.empty())
            points = { { stroke.front().x, stroke.front().y }, { stroke.back().x, stroke.back().y } };
        break;
    }
    }
    if (object.shadow)
        for (QPoint& point : points)
            point += QPoint(kShadowOffset, kShadowOffset);
    return points;
}

QRect ObjectHandles::SelectedArea(const AnnotationObject& object)
{
    QRect area;
    if (const auto reach = ObjectRenderer::Reach(object))
        area = QRect(QPoint(ToInt(reach->left), ToInt(reach->top)), QPoint(ToInt(reach->right), ToInt(reach->bottom)));
    for (QPoint point : Points(object))
        area |= QRect(point, point).adjusted(-kHandleReach, -kHandleReach, kHandleReach, kHandleReach);
    return area;
}

void ObjectHandles::Draw(QPainter& painter, const AnnotationObject& object)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::white);
    // Qt puts pixel centres at half coordinates; the handle points name whole pixels.
    for (QPoint point : Points(object))
        painter.drawEllipse(QPointF(point) + QPointF(0.5, 0.5), kRadius, kRadius);
    painter.restore();
}
