#include "editor/objects/PenObject.h"

#include <algorithm>

PenObject::PenObject()
    : AnnotationObject(ObjectKind::Pen)
{
}

bool PenObject::AddPoint(Point point)
{
    if (!points_.empty() && points_.back() == point)
        return false;
    points_.push_back(point);
    return true;
}

void PenObject::Translate(int32_t dx, int32_t dy)
{
    for (Point& point : points_) {
        point.x += dx;
        point.y += dy;
    }
}

std::optional<PenObject::Bounds> PenObject::PointBounds() const
{
    return points_.empty() ? std::nullopt : PointBounds(0, points_.size() - 1);
}

std::optional<PenObject::Bounds> PenObject::PointBounds(size_t first, size_t last) const
{
    if (points_.empty() || first >= points_.size())
        return std::nullopt;
    last = std::min(last, points_.size() - 1);
    Bounds bounds { points_[first].x, points_[first].y, points_[first].x, points_[first].y };
    for (size_t i = first + 1; i <= last; ++i) {
        bounds.left = std::min(bounds.left, points_[i].x);
        bounds.top = std::min(bounds.top, points_[i].y);
        bounds.right = std::max(bounds.right, points_[i].x);
        bounds.bottom = std::max(bounds.bottom, points_[i].y);
    }
    return bounds;
}
