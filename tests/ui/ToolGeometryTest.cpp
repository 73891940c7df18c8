#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/ui/ObjectDrag.h"
#include "editor/ui/ObjectHitTest.h"
#include "editor/ui/RubberBand.h"

#include <gtest/gtest.h>

namespace {

LineObject Line(int x1, int y1, int x2, int y2, int width, bool shadow = false)
{
    LineObject line;
    line.startX = x1;
    line.startY = y1;
    line.endX = x2;
    line.endY = y2;
    line.width = width;
    line.shadow = shadow;
    return line;
}

} // namespace

TEST(ObjectHitTestTest, LineTest_Should_ReachWidthPlusFour_AlongTheLongerAxis)
{
    struct Case {
        const char* name;
        LineObject line;
        QPoint point;
        bool hit;
    };
    const Case cases[] = {
        { "on a flat line", Line(10, 10, 50, 10, 1), { 30, 10 }, true },
        { "width 1 reaches 5 off", Line(10, 10, 50, 10, 1), { 30, 15 }, true },
        { "6 off is a miss", Line(10, 10, 50, 10, 1), { 30, 16 }, false },
        { "end included", Line(10, 10, 50, 10, 1), { 50, 10 }, true },
        { "past the end", Line(10, 10, 50, 10, 1), { 51, 10 }, false },
        { "steep line tests x", Line(10, 10, 12, 60, 2), { 17, 35 }, true },
        { "steep line miss", Line(10, 10, 12, 60, 2), { 18, 35 }, false },
        { "diagonal, truncated slope", Line(0, 0, 30, 20, 1), { 15, 15 }, true },
        { "zero length never", Line(20, 20, 20, 20, 9), { 20, 20 }, false },
        { "shadow moves it", Line(10, 10, 50, 10, 1, true), { 30, 20 }, true },
        { "shadow leaves the drawn-over spot", Line(10, 10, 50, 10, 1, true), { 12, 4 }, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ObjectHitTest::HitsLine(c.line, c.point), c.hit) << c.name;
}

// An L-shaped stroke: along x from (10, 10) to (50, 10), then down to (50, 60).
TEST(ObjectHitTestTest, PenTest_Should_ReachWidthPlusFour_AlongEveryPiece_AndMoveTheStrokeByAnyOfIt)
{
    struct Case {
        const char* name;
        int width;
        bool shadow;
        QPoint point;
        bool hit;
    };
    const Case cases[] = {
        { "width 1 reaches 5 off", 1, false, { 30, 15 }, true },
        { "6 off is a miss", 1, false, { 30, 16 }, false },
        { "on the second piece", 1, false, { 54, 40 }, true },
        { "inside the bend is no hit", 1, false, { 30, 40 }, false },
        { "round the corner", 1, false, { 53, 6 }, true },
        { "past the start", 1, false, { 5, 10 }, true },
        { "a wide pen reaches further", 20, false, { 30, 34 }, true },
        { "shadow moves it", 1, true, { 30, 20 }, true },
        { "shadow leaves the drawn-over spot", 1, true, { 14, 4 }, false },
    };
    for (const Case& c : cases) {
        PenObject pen;
        for (const PenObject::Point point : { PenObject::Point { 10, 10 }, { 30, 10 }, { 50, 10 }, { 50, 60 } })
            pen.AddPoint(point);
        pen.width = c.width;
        pen.shadow = c.shadow;
        EXPECT_EQ(ObjectHitTest::HitsObject(pen, c.point), c.hit) << c.name;
        EXPECT_EQ(ObjectHitTest::HandleAt(pen, c.point), c.hit ? ObjectHitTest::LineBody : ObjectHitTest::None)
            << c.name;
        if (!c.hit)
            continue;
        ObjectDrag::Apply(pen, ObjectHitTest::LineBody, ObjectDrag::BaseOf(pen), c.point + QPoint(3, -2), { 3, -2 });
        EXPECT_EQ(pen.Points().front(), (PenObject::Point { 13, 8 })) << c.name;
        EXPECT_EQ(pen.Points().back(), (PenObject::Point { 53, 58 })) << c.name;
    }
}

TEST(ObjectHitTestTest, HandleAt_Should_FindCornersFirst_WithTheShadowOffset)
{
    ShapeObject box;
    box.SetRect({ 100, 100, 200, 160 });
    ShapeObject shadowed = box;
    shadowed.shadow = true;
    struct Case {
        const ShapeObject* box;
        QPoint point;
        int handle;
    };
    const Case cases[] = {
        { &box, { 94, 94 }, ObjectHitTest::TopLeft },
        { &box, { 93, 100 }, ObjectHitTest::None },
        { &box, { 106, 100 }, ObjectHitTest::Inside }, // right side of the box excluded
        { &box, { 100, 165 }, ObjectHitTest::BottomLeft },
        { &box, { 205, 95 }, ObjectHitTest::TopRight },
        { &box, { 199, 159 }, ObjectHitTest::BottomRight },
        { &box, { 100, 130 }, ObjectHitTest::LeftEdge },
        { &box, { 200, 130 }, ObjectHitTest::RightEdge },
        { &box, { 150, 100 }, ObjectHitTest::TopEdge },
        { &box, { 150, 160 }, ObjectHitTest::BottomEdge },
        { &box, { 150, 130 }, ObjectHitTest::Inside },
        { &box, { 210, 130 }, ObjectHitTest::None },
        { &shadowed, { 105, 105 }, ObjectHitTest::TopLeft },
        { &shadowed, { 98, 98 }, ObjectHitTest::None },
        { &shadowed, { 180, 164 }, ObjectHitTest::Inside },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ObjectHitTest::HandleAt(*c.box, c.point), c.handle) << c.point.x() << "," << c.point.y();

    const LineObject line = Line(10, 10, 60, 10, 1, true);
    EXPECT_EQ(ObjectHitTest::HandleAt(line, { 15, 15 }), ObjectHitTest::LineStart);
    EXPECT_EQ(ObjectHitTest::HandleAt(line, { 65, 15 }), ObjectHitTest::LineEnd);
    EXPECT_EQ(ObjectHitTest::HandleAt(line, { 40, 15 }), ObjectHitTest::LineBody);
    EXPECT_EQ(ObjectHitTest::HandleAt(line, { 40, 5 }), ObjectHitTest::None);
}

TEST(ObjectDragTest, ResizeHandles_Should_StopEdgesExactlyTwentyPixelsApart)
{
    struct Case {
        int handle;
        QPoint point;
        ImageRect expected;
    };
    const ImageRect start { 100, 100, 200, 160 };
    const Case cases[] = {
        { ObjectHitTest::LeftEdge, { 190, 130 }, { 180, 100, 200, 160 } },
        { ObjectHitTest::LeftEdge, { 150, 10 }, { 150, 100, 200, 160 } },
        { ObjectHitTest::RightEdge, { 20, 130 }, { 100, 100, 120, 160 } },
        { ObjectHitTest::TopEdge, { 0, 170 }, { 100, 140, 200, 160 } },
        { ObjectHitTest::BottomEdge, { 0, 50 }, { 100, 100, 200, 120 } },
        { ObjectHitTest::TopLeft, { 300, 300 }, { 180, 140, 200, 160 } },
        { ObjectHitTest::BottomRight, { 0, 0 }, { 100, 100, 120, 120 } },
        { ObjectHitTest::BottomLeft, { 90, 170 }, { 90, 100, 200, 170 } },
        { ObjectHitTest::TopRight, { 210, 90 }, { 100, 90, 210, 160 } },
    };
    for (const Case& c : cases) {
        ShapeObject box;
        box.SetRect(start);
        ObjectDrag::Apply(box, c.handle, ObjectDrag::BaseOf(box), c.point, {});
        EXPECT_EQ(box.Rect(), c.expected) << "handle " << c.handle;
    }
    // Moving starts from the base each time, so two moves do not add up.
    ShapeObject box;
    box.SetRect(start);
    const ObjectDrag::Base base = ObjectDrag::BaseOf(box);
    ObjectDrag::Apply(box, ObjectHitTest::Inside, base, {}, { 5, 5 });
    ObjectDrag::Apply(box, ObjectHitTest::Inside, base, {}, { 7, -3 });
    EXPECT_EQ(box.Rect(), (ImageRect { 107, 97, 207, 157 }));
}

TEST(RubberBandTest, Drag_Should_KeepEightPixels_AndStayOnTheCanvas)
{
    const QSize canvas(300, 200);
    const ImageRect saved { 50, 50, 150, 100 };
    const ImageRect previous { 1, 2, 3, 4 };
    struct Case {
        const char* name;
        int mode;
        QPoint press;
        QPoint current;
        ImageRect expected;
    };
    const Case cases[] = {
        { "new band, any direction", 0, { 80, 90 }, { 20, 30 }, { 20, 30, 80, 90 } },
        { "new band clamped", 0, { 80, 90 }, { 400, -10 }, { 80, 0, 300, 90 } },
        { "move", 1, { 60, 60 }, { 70, 55 }, { 60, 45, 160, 95 } },
        { "move past the edge keeps the last", 1, { 60, 60 }, { 0, 60 }, previous },
        { "top-left stops at 8", 2, { 50, 50 }, { 200, 200 }, { 142, 92, 150, 100 } },
        { "bottom-left stops at 8", 3, { 50, 100 }, { 200, 0 }, { 142, 50, 150, 58 } },
        { "top-right stops at 8", 4, { 150, 50 }, { 0, 200 }, { 50, 92, 58, 100 } },
        { "bottom-right stops at 8", 5, { 150, 100 }, { 0, 0 }, { 50, 50, 58, 58 } },
        { "bottom-right off the canvas", 5, { 150, 100 }, { 150, 250 }, previous },
    };
    for (const Case& c : cases)
        EXPECT_EQ(RubberBand::Drag(c.mode, saved, previous, c.press, c.current, canvas), c.expected) << c.name;

    struct Press {
        QPoint point;
        int mode;
    };
    for (const Press& p : { Press { { 42, 42 }, 2 }, Press { { 57, 57 }, 2 }, Press { { 58, 57 }, 1 },
             Press { { 45, 107 }, 3 }, Press { { 157, 45 }, 4 }, Press { { 143, 93 }, 5 }, Press { { 10, 10 }, 0 } })
        EXPECT_EQ(RubberBand::ModeAt(saved, p.point), p.mode) << p.point.x() << "," << p.point.y();
}
