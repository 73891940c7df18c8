#pragma once

#include <cstdint>
#include <optional>

// The head of an arrow drawn from one point to another: a triangle of the given width whose sides open
// at the given angle from the tip. Points are truncated toward zero, so the head keeps its exact pixels
// whatever the arrow's length.
class ArrowHead {
public:
    struct Point {
        int64_t x = 0;
        int64_t y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };

    static constexpr float kWidth = 8.0f;
    static constexpr float kAngle = 0.3f; // radians

    // base is where the head meets the shaft; p1 and p2 are the head's back corners. None when the two
    // points coincide: such an arrow has no direction.
    static std::optional<ArrowHead> Compute(Point from, Point to, float width = kWidth, float angle = kAngle);

    Point base;
    Point p1;
    Point p2;
};
