#pragma once

#include <QPoint>

class AnnotationObject;
class LineObject;
class PenObject;
class ObjectList;

// Where a point in image pixels meets the annotation objects: the objects themselves for picking, and
// the grab handles of a selected object. A shadowed object is hit where it is drawn, 5 pixels right and
// down.
class ObjectHitTest {
public:
    // The grabbed handle codes.
    enum Handle {
        None = 0,
        LineStart = 1,
        LineEnd = 2,
        LineBody = 3,
        TopLeft = 4,
        BottomRight = 5,
        BottomLeft = 6,
        TopRight = 7,
        LeftEdge = 8,
        RightEdge = 9,
        TopEdge = 10,
        BottomEdge = 11,
        Inside = 12,
    };
    static constexpr int kHandleReach = 6;

    // Within the object's width + 4 of the line, between its ends; a line of no length is never hit.
    static bool HitsLine(const LineObject& line, QPoint point);
    // Within the stroke's width + 4 of any of its straight pieces from point to point.
    static bool HitsPen(const PenObject& pen, QPoint point);
    // The object itself: the line or pen test, or inside the rectangle with right and bottom edges excluded.
    static bool HitsObject(const AnnotationObject& object, QPoint point);
    // The bottom-most object the point hits, null when none.
    static AnnotationObject* Pick(const ObjectList& objects, QPoint point);
    static int HandleAt(const AnnotationObject& object, QPoint point);
};
