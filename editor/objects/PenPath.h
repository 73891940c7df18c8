#pragma once

#include "editor/objects/PenObject.h"

#include <QPainterPath>
#include <QPointF>

#include <cstddef>
#include <optional>

// The smoothed curve of a pen stroke: straight from the first point to the midpoint of the first two,
// then quadratic curves from midpoint to midpoint with each point between as control, and straight on to
// the last point. The curve is cut into runs of pieces; piece i is drawn from the points i - 1 to i + 1.
class PenPath {
public:
    // How far the drawn stroke, with its round ends and antialiasing, can lie from its points.
    static int32_t Margin(int32_t width);
    // How many runs the curve is cut into; it has one piece per point.
    static size_t RunCount(const PenObject& pen);
    // The run's curve with every point moved by offset. Empty for a run past the end or a stroke of one
    // point (drawn as a dot).
    static QPainterPath Run(const PenObject& pen, size_t run, QPointF offset);
    // The points a run's curve is made from (and so lies within).
    static std::optional<PenObject::Bounds> RunBounds(const PenObject& pen, size_t run);
    // The points whose pieces the last point added has changed; the drawing changed within the margin
    // around them.
    static std::optional<PenObject::Bounds> GrownPoints(const PenObject& pen);
};
