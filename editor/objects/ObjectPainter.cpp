#include "editor/objects/ObjectPainter.h"

#include "editor/objects/ArrowHead.h"
#include "editor/objects/ColourRef.h"
#include "editor/objects/DrawingSurface.h"
#include "editor/objects/FontResolver.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/PenPath.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"

#include <algorithm>
#include <array>

namespace {

constexpr uint32_t kTransparentWhite = 0x00FFFFFF;
constexpr uint32_t kTransparentBlack = 0x00000000;

LongRect LineArea(const LineObject& line)
{
    const int64_t m = ObjectPainter::kMargin;
    return { std::min<int64_t>(line.startX, line.endX) - m, std::min<int64_t>(line.startY, line.endY) - m,
        std::max<int64_t>(line.startX, line.endX) + m, std::max<int64_t>(line.startY, line.endY) + m };
}

LongRect RectArea(const RectObject& object, int64_t margin = 0)
{
    return { object.left - margin, object.top - margin, object.right + margin, object.bottom + margin };
}

bool HasArea(const RectObject& object)
{
    return object.right > object.left && object.bottom > object.top;
}

DashStyle DashOf(int32_t style)
{
    switch (style) {
    case LineObject::kDot:
        return DashStyle::Dot;
    case LineObject::kDash:
        return DashStyle::Dash;
    default:
        return DashStyle::Solid;
    }
}

void PaintLine(const LineObject& line, const LongRect& area, DrawingSurface& surface)
{
    surface.SetSmoothing(true);
    const StrokeStyle pen { ArgbFromColourRef(line.colour), double(float(line.width)), DashOf(line.style) };
    surface.DrawLine(QPointF(double(line.startX - area.left), double(line.startY - area.top)),
        QPointF(double(line.endX - area.left), double(line.endY - area.top)), pen);
}

QPointF ToPoint(const ArrowHead::Point& point)
{
    return QPointF(double(point.x), double(point.y));
}

// Arrows are drawn aliased and opaque: the shaft and the head's outline with a one-pixel black pen, a
// filled head in the arrow's colour.
void PaintArrow(const LineObject& arrow, const LongRect& area, DrawingSurface& surface)
{
    const ArrowHead::Point from { arrow.startX - area.left, arrow.startY - area.top };
    const ArrowHead::Point to { arrow.endX - area.left, arrow.endY - area.top };
    const auto head = ArrowHead::Compute(from, to);
    if (!head)
        return;
    surface.SetSmoothing(false);
    const StrokeStyle pen { 0xFF000000, 1.0, DashStyle::Solid };
    if (arrow.style == LineObject::kFillArrow) {
        surface.DrawLine(ToPoint(from), ToPoint(to), pen);
        const std::array<QPointF, 3> triangle { ToPoint(to), ToPoint(head->p1), ToPoint(head->p2) };
        surface.DrawPolygon(triangle, pen, ArgbFromColourRef(arrow.colour));
    } else {
        const std::array<QPointF, 6> outline { ToPoint(from), ToPoint(head->base), ToPoint(head->p1), ToPoint(to),
            ToPoint(head->p2), ToPoint(head->base) };
        surface.DrawLines(outline, pen);
    }
}

void PaintText(const TextObject& text, const LongRect& area, DrawingSurface& surface)
{
    if (text.text.isEmpty())
        return;
    TextStyle style;
    style.family = FontResolver::Resolve(text.fontFace);
    style.pointSize = double(float(text.fontSize));
    style.bold = text.bold;
    style.italic = text.italic;
    style.underline = text.underline;
    style.alignment = text.alignment;
    style.argb = ArgbFromColourRef(text.textColour);
    surface.DrawText(text.text, style, QRectF(0, 0, double(area.Width()), double(area.Height())));
}

void PaintBox(const ShapeObject& box, DrawingSurface& surface)
{
    const double m = ObjectPainter::kMargin;
    const QRectF rect(m, m, double(int64_t(box.right) - box.left), double(int64_t(box.bottom) - box.top));
    const StrokeStyle pen { ArgbFromColourRef(box.borderColour), double(float(box.width)), DashStyle::Solid };
    switch (box.shape) {
    case ShapeObject::kRectangle:
        surface.DrawRectangle(rect, pen);
        break;
    case ShapeObject::kFilledRectangle:
        surface.FillRectangle(rect, ArgbFromColourRef(box.fillColour));
        surface.DrawRectangle(rect, pen);
        break;
    case ShapeObject::kEllipse:
        surface.SetSmoothing(true);
        surface.DrawEllipse(rect, pen);
        break;
    case ShapeObject::kFilledEllipse:
        surface.SetSmoothing(true);
        surface.FillEllipse(rect, ArgbFromColourRef(box.fillColour));
        surface.DrawEllipse(rect, pen);
        break;
    default:
        break;
    }
}

// Room around a marker's ellipse for its antialiased edge.
constexpr int kStepMargin = 2;

// Black or white, whichever stands out more from the fill, by its grey value.
uint32_t NumberArgb(ColourRef fill)
{
    const int grey = (int(fill & 0xFF) * 30 + int((fill >> 8) & 0xFF) * 59 + int((fill >> 16) & 0xFF) * 11) / 100;
    return grey >= 150 ? 0xFF000000 : 0xFFFFFFFF;
}

void PaintStep(const StepObject& step, DrawingSurface& surface)
{
    const double m = kStepMargin;
    const double w = double(int64_t(step.right) - step.left);
    const double h = double(int64_t(step.bottom) - step.top);
    surface.SetSmoothing(true);
    surface.FillEllipse(QRectF(m, m, w, h), ArgbFromColourRef(step.colour));
    const QString digits = QString::number(step.number);
    // Half the height, narrowed so that every digit fits inside the circle; 96 pixels to 72 points.
    const double pixels = std::min(h * 0.5, w * 0.7 / (0.62 * double(digits.size())));
    TextStyle style;
    style.family = FontResolver::Resolve(QStringLiteral("DejaVu Sans"));
    style.pointSize = pixels * 0.75;
    style.bold = true;
    style.alignment = 1;
    style.centred = true;
    style.argb = NumberArgb(step.colour);
    surface.DrawText(digits, style, QRectF(m, m, w, h));
}

// Only the runs that reach the surface are drawn; each run is drawn whole, so a part of the picture comes
// out the same whatever else is drawn with it.
void PaintPen(const PenObject& pen, const LongRect& area, DrawingSurface& surface)
{
    const auto& points = pen.Points();
    if (points.empty())
        return;
    surface.SetSmoothing(true);
    const uint32_t argb = ArgbFromColourRef(pen.colour);
    const QPointF offset(-double(area.left), -double(area.top));
    if (points.size() == 1) {
        const double w = pen.width;
        const QPointF centre = QPointF(points[0].x, points[0].y) + offset;
        surface.FillEllipse(QRectF(centre.x() - w / 2, centre.y() - w / 2, w, w), argb);
        return;
    }
    const StrokeStyle stroke { argb, double(pen.width), DashStyle::Solid, true };
    const QRectF window = surface.Window();
    const int32_t margin = PenPath::Margin(pen.width);
    for (size_t run = 0; run < PenPath::RunCount(pen); ++run) {
        const auto bounds = PenPath::RunBounds(pen, run);
        const QRectF reach(double(int64_t(bounds->left) - margin - area.left),
            double(int64_t(bounds->top) - margin - area.top),
            double(int64_t(bounds->right) - bounds->left + 2 * margin + 1),
            double(int64_t(bounds->bottom) - bounds->top + 2 * margin + 1));
        if (reach.intersects(window))
            surface.DrawPath(PenPath::Run(pen, run, offset), stroke);
    }
}

LongRect PenArea(const PenObject& pen)
{
    const auto bounds = pen.PointBounds();
    const int64_t m = PenPath::Margin(pen.width);
    return { bounds->left - m, bounds->top - m, int64_t(bounds->right) + 1 + m, int64_t(bounds->bottom) + 1 + m };
}

} // namespace

std::optional<ObjectPainter::Layout> ObjectPainter::LayoutOf(const AnnotationObject& object)
{
    if (const auto* line = dynamic_cast<const LineObject*>(&object))
        return Layout { LineArea(*line), kTransparentWhite };
    if (const auto* pen = dynamic_cast<const PenObject*>(&object)) {
        if (pen->Points().empty())
            return std::nullopt;
        return Layout { PenArea(*pen), kTransparentWhite };
    }
    const auto* boxed = dynamic_cast<const RectObject*>(&object);
    if (!boxed || !HasArea(*boxed))
        return std::nullopt;
    if (const auto* text = dynamic_cast<const TextObject*>(&object)) {
        const bool solid = text->boxStyle == TextObject::kSolidBox;
        return Layout { RectArea(*text), solid ? ArgbFromColourRef(text->backColour) : kTransparentBlack };
    }
    if (dynamic_cast<const ShapeObject*>(&object))
        return Layout { RectArea(*boxed, kMargin), kTransparentBlack };
    if (dynamic_cast<const StepObject*>(&object))
        return Layout { RectArea(*boxed, kStepMargin), kTransparentBlack };
    if (const auto* highlight = dynamic_cast<const HighlightObject*>(&object))
        return Layout { RectArea(*highlight), ArgbFromColourRef(highlight->colour) };
    if (const auto* stamp = dynamic_cast<const StampObject*>(&object)) {
        if (stamp->Image().IsEmpty())
            return std::nullopt;
        return Layout { RectArea(*stamp), kTransparentBlack };
    }
    return std::nullopt;
}

void ObjectPainter::Paint(const AnnotationObject& object, const LongRect& area, DrawingSurface& surface)
{
    if (const auto* line = dynamic_cast<const LineObject*>(&object)) {
        if (line->IsArrow())
            PaintArrow(*line, area, surface);
        else
            PaintLine(*line, area, surface);
    } else if (const auto* text = dynamic_cast<const TextObject*>(&object)) {
        PaintText(*text, area, surface);
    } else if (const auto* box = dynamic_cast<const ShapeObject*>(&object)) {
        PaintBox(*box, surface);
    } else if (const auto* step = dynamic_cast<const StepObject*>(&object)) {
        PaintStep(*step, surface);
    } else if (const auto* pen = dynamic_cast<const PenObject*>(&object)) {
        PaintPen(*pen, area, surface);
    }
}
