#include "editor/objects/ObjectRenderer.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/ObjectList.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"
#include "tests/objects/ObjectTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

using objtest::Bgra;
using objtest::kWhite;
using objtest::PixelAt;

namespace {

constexpr Bgra kRed { 0, 0, 255, 255 };
constexpr Bgra kBlue { 255, 0, 0, 255 };
constexpr Bgra kBlack { 0, 0, 0, 255 };
constexpr ColourRef kRedRef = 0x0000FF;
constexpr ColourRef kBlueRef = 0xFF0000;

std::unique_ptr<HighlightObject> Highlight(ImageRect rect, ColourRef colour, int transparency = 0)
{
    auto highlight = std::make_unique<HighlightObject>();
    highlight->SetRect(rect);
    highlight->colour = colour;
    highlight->transparency = transparency;
    return highlight;
}

std::unique_ptr<LineObject> Line(
    int x1, int y1, int x2, int y2, ColourRef colour, int width, ObjectKind kind = ObjectKind::Line)
{
    auto line = std::make_unique<LineObject>(kind);
    line->startX = x1;
    line->startY = y1;
    line->endX = x2;
    line->endY = y2;
    line->colour = colour;
    line->width = width;
    return line;
}

std::unique_ptr<ShapeObject> Box(ImageRect rect, int shape, int width)
{
    auto box = std::make_unique<ShapeObject>();
    box->SetRect(rect);
    box->shape = shape;
    box->width = width;
    box->borderColour = kBlueRef;
    box->fillColour = kRedRef;
    return box;
}

ImageBuffer Render(const AnnotationObject& object, ImageBuffer target)
{
    ObjectRenderer::RenderObject(object, target);
    return target;
}

// A pattern that shows any pixel an object touches.
Bgra Checker(int x, int y)
{
    return ((x / 3 + y / 3) & 1) ? Bgra { 200, 180, 160, 255 } : Bgra { 40, 60, 80, 255 };
}

} // namespace

TEST(ObjectRendererTest, LaterObjectsCoverEarlierOnesUntilSentToBack)
{
    ObjectList list;
    list.AppendObject(Highlight({ 10, 10, 50, 50 }, kRedRef));
    auto* blue = list.AppendObject(Highlight({ 30, 30, 70, 70 }, kBlueRef));

    ImageBuffer target = objtest::SolidImage(80, 80, kWhite);
    ObjectRenderer::RenderObjects(list, target);
    EXPECT_EQ(PixelAt(target, 40, 40), kBlue);
    EXPECT_EQ(PixelAt(target, 20, 20), kRed);
    EXPECT_EQ(PixelAt(target, 60, 60), kBlue);

    list.SendToBack(blue);
    target = objtest::SolidImage(80, 80, kWhite);
    ObjectRenderer::RenderObjects(list, target);
    EXPECT_EQ(PixelAt(target, 40, 40), kRed);
    EXPECT_EQ(PixelAt(target, 60, 60), kBlue);
}

TEST(ObjectRendererTest, DefaultHighlightKeepsFortyPercentOfItsColour)
{
    // Transparency 60 blends with strength 40, a = 102: navy blue 128 over white gives
    // (128 * 102 + 255 * 153) / 255 = 204, green and red (0 * 102 + 255 * 153) / 255 = 153.
    auto highlight = std::make_unique<HighlightObject>();
    highlight->SetRect({ 2, 3, 8, 6 });
    const ImageBuffer target = Render(*highlight, objtest::SolidImage(10, 10, kWhite));
    EXPECT_EQ(PixelAt(target, 2, 3), (Bgra { 204, 153, 153, 255 }));
    EXPECT_EQ(PixelAt(target, 7, 5), (Bgra { 204, 153, 153, 255 }));
    EXPECT_EQ(objtest::ChangedBounds(target, kWhite), (ImageRect { 2, 3, 8, 6 }));
}

TEST(ObjectRendererTest, WideLineKeepsItsWholeWidthInsideItsMargin)
{
    // A width-10 pen centred on y = 50 covers y 45..55: rows 46..54 fully. Flat caps end the line at
    // x = 40 and 160.
    const auto line = Line(40, 50, 160, 50, kRedRef, 10);
    const ImageBuffer target = Render(*line, objtest::SolidImage(200, 100, kWhite));
    for (int y = 46; y <= 54; ++y)
        EXPECT_EQ(PixelAt(target, 100, y), kRed) << "row " << y;
    EXPECT_EQ(PixelAt(target, 100, 43), kWhite);
    EXPECT_EQ(PixelAt(target, 100, 57), kWhite);
    EXPECT_EQ(PixelAt(target, 42, 46), kRed);
    EXPECT_EQ(PixelAt(target, 158, 54), kRed);
    EXPECT_EQ(PixelAt(target, 37, 50), kWhite);
    EXPECT_EQ(PixelAt(target, 163, 50), kWhite);
}

TEST(ObjectRendererTest, DottedLineLeavesGaps)
{
    auto line = Line(10, 20, 110, 20, kRedRef, 4);
    const ImageBuffer solid = Render(*line, objtest::SolidImage(120, 40, kWhite));
    line->style = LineObject::kDot;
    const ImageBuffer dotted = Render(*line, objtest::SolidImage(120, 40, kWhite));
    line->style = LineObject::kDash;
    const ImageBuffer dashed = Render(*line, objtest::SolidImage(120, 40, kWhite));
    // Along the centre row, pixels the pen never touches: none for a solid line. A dotted line is on for
    // one width (4 pixels) and off for one, a dashed one on for three widths and off for one; antialiasing
    // eats a pixel of each gap, leaving 3 of every 8 (37.5 of 100) and 3 of every 16 (18.75).
    auto untouched = [](const ImageBuffer& image) {
        int count = 0;
        for (int x = 10; x < 110; ++x)
            count += PixelAt(image, x, 20) == kWhite ? 1 : 0;
        return count;
    };
    EXPECT_EQ(untouched(solid), 0);
    EXPECT_NEAR(untouched(dotted), 37.5, 4);
    EXPECT_NEAR(untouched(dashed), 18.75, 4);
}

TEST(ObjectRendererTest, WideBoxOutlineKeepsItsWholeWidthInsideItsMargin)
{
    // Pen width 10 centred on the edge x = 50 covers x 45..55; the corner is mitred.
    const auto box = Box({ 50, 50, 150, 120 }, ShapeObject::kRectangle, 10);
    const ImageBuffer target = Render(*box, objtest::SolidImage(200, 170, kWhite));
    EXPECT_EQ(PixelAt(target, 46, 80), kBlue);
    EXPECT_EQ(PixelAt(target, 53, 80), kBlue);
    EXPECT_EQ(PixelAt(target, 154, 80), kBlue);
    EXPECT_EQ(PixelAt(target, 100, 46), kBlue);
    EXPECT_EQ(PixelAt(target, 100, 124), kBlue);
    EXPECT_EQ(PixelAt(target, 46, 46), kBlue);
    EXPECT_EQ(PixelAt(target, 154, 124), kBlue);
    EXPECT_EQ(PixelAt(target, 43, 80), kWhite);
    EXPECT_EQ(PixelAt(target, 58, 80), kWhite);
    EXPECT_EQ(PixelAt(target, 100, 85), kWhite);
}

TEST(ObjectRendererTest, FilledShapesPaintInsideTheirOutline)
{
    const auto rect = Box({ 20, 20, 80, 60 }, ShapeObject::kFilledRectangle, 2);
    const ImageBuffer filledRect = Render(*rect, objtest::SolidImage(100, 80, kWhite));
    EXPECT_EQ(PixelAt(filledRect, 50, 40), kRed);
    EXPECT_EQ(PixelAt(filledRect, 20, 40), kBlue);
    EXPECT_EQ(PixelAt(filledRect, 10, 40), kWhite);

    const auto ellipse = Box({ 20, 20, 80, 60 }, ShapeObject::kFilledEllipse, 2);
    const ImageBuffer filledEllipse = Render(*ellipse, objtest::SolidImage(100, 80, kWhite));
    EXPECT_EQ(PixelAt(filledEllipse, 50, 40), kRed);
    EXPECT_EQ(PixelAt(filledEllipse, 50, 20), kBlue);
    // The ellipse leaves the rectangle's corners alone.
    EXPECT_EQ(PixelAt(filledEllipse, 23, 23), kWhite);

    const auto outline = Box({ 20, 20, 80, 60 }, ShapeObject::kEllipse, 2);
    const ImageBuffer open = Render(*outline, objtest::SolidImage(100, 80, kWhite));
    EXPECT_EQ(PixelAt(open, 50, 40), kWhite);
    EXPECT_EQ(PixelAt(open, 50, 20), kBlue);
}

TEST(ObjectRendererTest, ArrowHeadsFilledOrOpen)
{
    // From (20, 50) to (120, 50): the head's back corners are at x = 94 (see the arrow head tests), y 46
    // and 54. (105, 51) lies inside the head, off its outline.
    auto arrow = Line(20, 50, 120, 50, kRedRef, 10, ObjectKind::Arrow);
    const ImageBuffer filled = Render(*arrow, objtest::SolidImage(140, 100, kWhite));
    EXPECT_EQ(PixelAt(filled, 105, 51), kRed);
    EXPECT_EQ(PixelAt(filled, 94, 50), kBlack);
    // The shaft is one black pixel wide whatever the width says.
    EXPECT_EQ(PixelAt(filled, 50, 50), kBlack);
    EXPECT_EQ(PixelAt(filled, 50, 49), kWhite);
    EXPECT_EQ(PixelAt(filled, 50, 51), kWhite);

    arrow->style = LineObject::kEmptyArrow;
    const ImageBuffer open = Render(*arrow, objtest::SolidImage(140, 100, kWhite));
    EXPECT_EQ(PixelAt(open, 105, 51), kWhite);
    EXPECT_EQ(PixelAt(open, 105, 50), kWhite); // the shaft stops at the head's base
    EXPECT_EQ(PixelAt(open, 94, 53), kBlack);
    EXPECT_EQ(PixelAt(open, 50, 50), kBlack);
    EXPECT_EQ(objtest::CountChanged(open, kRed), objtest::CountChanged(open, Bgra { 1, 2, 3, 4 }));
}

TEST(ObjectRendererTest, ArrowWithoutLengthDrawsNothing)
{
    const auto arrow = Line(30, 30, 30, 30, kRedRef, 1, ObjectKind::Arrow);
    const ImageBuffer before = objtest::SolidImage(60, 60, kWhite);
    EXPECT_TRUE(objtest::SamePicture(Render(*arrow, before), before, "zero-length arrow"));
}

TEST(ObjectRendererTest, ShadowedObjectMovesAndCastsItsShadow)
{
    auto highlight = Highlight({ 20, 20, 60, 60 }, kRedRef);
    highlight->shadow = true;
    const ImageBuffer target = Render(*highlight, objtest::SolidImage(100, 100, kWhite));
    // The object itself is drawn 5 pixels right and down.
    EXPECT_EQ(PixelAt(target, 22, 22), kWhite);
    EXPECT_EQ(PixelAt(target, 25, 25), kRed);
    EXPECT_EQ(PixelAt(target, 64, 64), kRed);
    // The shadow (alpha 75% of 255 = 191) lies under x 30..69. At x = 68, 4 pixels right of the object,
    // the blur window spans x 63..72, 7 of its 10 columns in the shadow: alpha 191 * 70 / 100 = 133,
    // which darkens white to 255 * (255 - 133) / 255 = 122.
    EXPECT_EQ(PixelAt(target, 68, 45), (Bgra { 122, 122, 122, 255 }));
    EXPECT_EQ(PixelAt(target, 90, 45), kWhite);
}

TEST(ObjectRendererTest, NothingIsDrawnOntoOtherDepths)
{
    ObjectList list;
    list.AppendObject(Highlight({ 0, 0, 20, 20 }, kRedRef));
    list.AppendObject(Line(0, 0, 30, 30, kRedRef, 5));
    list.AppendObject(Box({ 5, 5, 25, 25 }, ShapeObject::kFilledEllipse, 3));
    auto text = std::make_unique<TextObject>();
    text->SetRect({ 0, 0, 30, 30 });
    text->text = QStringLiteral("Abc");
    list.AppendObject(std::move(text));
    const ImageBuffer before = testutil::MakeImage(30, 30, 24, Checker);
    ImageBuffer target(before);
    ObjectRenderer::RenderObjects(list, target);
    EXPECT_TRUE(objtest::SamePicture(target, before, "24-bit target"));
}

TEST(ObjectRendererTest, EmptyRectanglesDrawNothing)
{
    const ImageBuffer before = testutil::MakeImage(40, 40, 32, Checker);
    auto highlight = Highlight({ 10, 10, 10, 30 }, kRedRef);
    auto text = std::make_unique<TextObject>();
    text->SetRect({ 30, 10, 10, 30 });
    auto box = Box({ 10, 30, 30, 10 }, ShapeObject::kFilledRectangle, 2);
    for (const AnnotationObject* object : { static_cast<AnnotationObject*>(highlight.get()),
             static_cast<AnnotationObject*>(text.get()), static_cast<AnnotationObject*>(box.get()) })
        EXPECT_TRUE(objtest::SamePicture(Render(*object, before), before, "empty rectangle"));
}

// Objects partly or wholly outside the target are drawn only where they can show; the target must look
// as if the whole object had been drawn. The reference is a larger target with the same object moved
// into its middle, cut back to the small target's place. Antialiased edges may differ by a unit or two
// where the rasteriser rounds a moved coordinate differently, a little more once a shadow lies under them.
TEST(ObjectRendererTest, ObjectsReachingPastTheTargetOrAPartOfItLookTheSameAsWhenWhollyInside)
{
    constexpr int kShift = 200;
    auto text = std::make_unique<TextObject>();
    text->SetRect({ -40, 50, 90, 140 });
    text->text = QStringLiteral("Clipped text that wraps onto more lines");
    text->backColour = 0x00FFFF;
    std::vector<std::unique_ptr<AnnotationObject>> objects;
    objects.push_back(Line(-60, -30, 70, 90, kRedRef, 7));
    objects.push_back(Line(100, 20, 180, 130, kBlueRef, 1, ObjectKind::Arrow));
    objects.push_back(Box({ 80, -30, 170, 60 }, ShapeObject::kFilledEllipse, 6));
    objects.push_back(std::move(text));
    objects.push_back(Highlight({ 110, 100, 400, 300 }, 0x00FF00, 30));
    objects.push_back(Line(-500, 20, -100, 40, kRedRef, 3)); // wholly outside, its shadow too
    // A wave long enough to be drawn in several runs, crossing the target's edges and the part's.
    auto pen = std::make_unique<PenObject>();
    for (int i = 0; i < 150; ++i)
        pen->AddPoint({ -30 + i * 3 / 2, 60 + int(std::lround(45 * std::sin(i / 8.0))) });
    pen->width = 9;
    pen->colour = kBlueRef;
    objects.push_back(std::move(pen));
    auto step = std::make_unique<StepObject>();
    step->SetRect({ 100, 80, 160, 140 });
    step->number = 42;
    objects.push_back(std::move(step));

    for (const bool shadow : { false, true })
        for (const auto& object : objects) {
            object->shadow = shadow;
            ImageBuffer small = testutil::MakeImage(150, 120, 32, Checker);
            ObjectRenderer::RenderObject(*object, small);

            ImageBuffer large = testutil::MakeImage(
                150 + 2 * kShift, 120 + 2 * kShift, 32, [](int x, int y) { return Checker(x - kShift, y - kShift); });
            auto moved = ObjectList::CloneObject(*object);
            if (auto* line = dynamic_cast<LineObject*>(moved.get())) {
                line->startX += kShift;
                line->startY += kShift;
                line->endX += kShift;
                line->endY += kShift;
            } else if (auto* stroke = dynamic_cast<PenObject*>(moved.get())) {
                stroke->Translate(kShift, kShift);
            } else if (auto* rect = dynamic_cast<RectObject*>(moved.get())) {
                const ImageRect r = rect->Rect();
                rect->SetRect({ r.left + kShift, r.top + kShift, r.right + kShift, r.bottom + kShift });
            }
            ObjectRenderer::RenderObject(*moved, large);
            ImageBuffer expected;
            large.CopyRegion(&expected, { kShift, kShift, kShift + 150, kShift + 120 });
            expected.SetOrigin(0, 0);
            EXPECT_TRUE(objtest::SamePicture(small, expected, shadow ? "with shadow" : "without shadow", 4))
                << "kind " << int(object->Kind());

            // A part of the target drawn at its offset, as a view redraws a changed area; antialiasing at
            // the cut edges may differ by a few levels, as above.
            ImageBuffer part = testutil::MakeImage(80, 70, 32, [](int x, int y) { return Checker(x + 30, y + 20); });
            ObjectRenderer::RenderObject(*object, part, 30, 20);
            ImageBuffer partOfWhole;
            small.CopyRegion(&partOfWhole, { 30, 20, 110, 90 });
            partOfWhole.SetOrigin(0, 0);
            EXPECT_TRUE(objtest::SamePicture(part, partOfWhole, shadow ? "part with shadow" : "part without shadow", 4))
                << "kind " << int(object->Kind());
        }
}

TEST(ObjectRendererTest, FarAwayObjectsCostNothing)
{
    // Coordinates at the ends of the int range must neither overflow nor ask for a huge picture.
    const ImageBuffer before = testutil::MakeImage(50, 50, 32, Checker);
    auto line = Line(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, kRedRef, 3);
    line->shadow = true;
    auto highlight = Highlight({ INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX }, kRedRef);
    ImageBuffer target(before);
    ObjectRenderer::RenderObject(*line, target);
    EXPECT_EQ(PixelAt(target, 25, 25), kRed); // the diagonal crosses the target
    ObjectRenderer::RenderObject(*highlight, target);
    EXPECT_EQ(objtest::CountChanged(target, kRed), 0);
}

// A shadowed line, box or text is the plain object moved 5 pixels right and down, over a grey shadow.
// The reference is the plain object drawn at the moved place: every pixel inside it (away from its
// antialiased edge) must match, and every pixel it leaves white may only be darkened to a grey.
TEST(ObjectRendererTest, ShadowsOfLinesBoxesAndTextLieUnderTheMovedObject)
{
    auto text = std::make_unique<TextObject>();
    text->SetRect({ 20, 20, 90, 60 });
    text->text = QStringLiteral("Shadow");
    text->backColour = 0x00FFFF;
    std::vector<std::unique_ptr<AnnotationObject>> objects;
    objects.push_back(Line(20, 20, 90, 70, kRedRef, 5));
    objects.push_back(Box({ 20, 20, 90, 70 }, ShapeObject::kFilledRectangle, 3));
    objects.push_back(std::move(text));
    for (const auto& object : objects) {
        auto moved = ObjectList::CloneObject(*object);
        if (auto* line = dynamic_cast<LineObject*>(moved.get())) {
            line->startX += 5, line->startY += 5, line->endX += 5, line->endY += 5;
        } else if (auto* rect = dynamic_cast<RectObject*>(moved.get())) {
            const ImageRect r = rect->Rect();
            rect->SetRect({ r.left + 5, r.top + 5, r.right + 5, r.bottom + 5 });
        }
        const ImageBuffer reference = Render(*moved, objtest::SolidImage(120, 110, kWhite));
        object->shadow = true;
        const ImageBuffer shadowed = Render(*object, objtest::SolidImage(120, 110, kWhite));
        int inside = 0, darkened = 0, wrong = 0;
        for (int y = 1; y < 109; ++y)
            for (int x = 1; x < 119; ++x) {
                const Bgra want = PixelAt(reference, x, y);
                const Bgra got = PixelAt(shadowed, x, y);
                bool interior = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        interior = interior && PixelAt(reference, x + dx, y + dy) == want;
                if (want == kWhite && interior) {
                    const bool grey = got.b == got.g && got.g == got.r && got.a == 255;
                    wrong += !grey;
                    darkened += grey && got.b < 255;
                } else if (interior) {
                    ++inside;
                    wrong += !(got == want);
                }
            }
        EXPECT_EQ(wrong, 0) << "kind " << int(object->Kind());
        EXPECT_GT(inside, 50) << "kind " << int(object->Kind());
        EXPECT_GT(darkened, 50) << "kind " << int(object->Kind()) << ": no shadow";
    }
}

// A marker fills its circle with its colour and writes its number in black or white, whichever stands out.
TEST(ObjectRendererTest, StepMarkerIsAFilledCircleWithItsNumberInTheContrastingInk)
{
    struct Case {
        ColourRef fill;
        Bgra fillPixel;
        Bgra ink;
    };
    const Case cases[] = {
        { kRedRef, kRed, kWhite }, { 0x00FFFF, Bgra { 0, 255, 255, 255 }, kBlack }, // yellow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.fill));
        StepObject step;
        step.SetRect({ 10, 10, 50, 50 });
        step.colour = c.fill;
        step.number = 7;
        const ImageBuffer drawn = Render(step, objtest::SolidImage(60, 60, kBlue));
        EXPECT_EQ(PixelAt(drawn, 11, 11), kBlue); // outside the circle, inside the rectangle
        EXPECT_EQ(PixelAt(drawn, 13, 30), c.fillPixel);
        int ink = 0;
        for (int y = 20; y < 40; ++y)
            for (int x = 20; x < 40; ++x)
                ink += PixelAt(drawn, x, y) == c.ink;
        EXPECT_GT(ink, 15) << "no number";
        step.number = 8;
        EXPECT_GT(objtest::CountDifferent(Render(step, objtest::SolidImage(60, 60, kBlue)), drawn), 10) << "renumbered";
    }
}
