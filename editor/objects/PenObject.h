#pragma once

#include "editor/objects/AnnotationObject.h"
#include "editor/objects/ColourRef.h"

#include <cstddef>
#include <optional>
#include <vector>

// A freehand stroke: the pointer's path in image pixels, drawn as a smooth curve through it with round
// ends, in one colour and width.
class PenObject final : public AnnotationObject {
public:
    struct Point {
        int32_t x = 0;
        int32_t y = 0;
        bool operator==(const Point&) const = default;
    };
    struct Bounds {
        int32_t left = 0;
        int32_t top = 0;
        int32_t right = 0; // inclusive
        int32_t bottom = 0;
    };

    static constexpr int32_t kMinWidth = 1;
    static constexpr int32_t kMaxWidth = 30;
    // The drawing is split into runs of this many pieces, so that a small part of the picture is drawn
    // from the few runs that reach it, the same way whatever part is drawn.
    static constexpr size_t kPiecesPerRun = 32;

    PenObject();

    int32_t width = 3;
    ColourRef colour = 0x1E1EE6; // RGB (230, 30, 30)

    const std::vector<Point>& Points() const { return points_; }
    // Adds a point to the end of the stroke; false (and nothing added) when it repeats the last one.
    bool AddPoint(Point point);
    void Translate(int32_t dx, int32_t dy);
    // The smallest rectangle around every point; none for an empty stroke.
    std::optional<Bounds> PointBounds() const;
    // Around the points from first to last (inclusive, limited to the stroke).
    std::optional<Bounds> PointBounds(size_t first, size_t last) const;

private:
    std::vector<Point> points_;
};
