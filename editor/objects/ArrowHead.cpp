#include "editor/objects/ArrowHead.h"

#include <cmath>

std::optional<ArrowHead> ArrowHead::Compute(Point from, Point to, float width, float angle)
{
    const float vx = float(to.x - from.x);
    const float vy = float(to.y - from.y);
    const float length = std::sqrt(vx * vx + vy * vy);
    if (!(length > 0))
        return std::nullopt;
    const float along = width / (length * std::tan(angle));
    const float across = width / (2 * length);

    ArrowHead head;
    // Conversion to an integer truncates toward zero.
    head.base = { int64_t(float(to.x) - vx * along), int64_t(float(to.y) - vy * along) };
    head.p1 = { int64_t(float(head.base.x) - across * vy), int64_t(float(head.base.y) + across * vx) };
    head.p2 = { int64_t(float(head.base.x) + across * vy), int64_t(float(head.base.y) - across * vx) };
    return head;
}
