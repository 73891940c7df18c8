// Each field that changes how an object is drawn changes its digest, so the view never keeps a picture
// of an object that has changed; a copy, and a field that draws nothing, keep it.
#include "editor/objects/ObjectFingerprint.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"
#include "tests/objects/ObjectTestUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

template <class Kind> std::function<std::unique_ptr<AnnotationObject>()> Make(std::function<void(Kind&)> change)
{
    return [change] {
        auto object = std::make_unique<Kind>();
        change(*object);
        return object;
    };
}

} // namespace

TEST(ObjectFingerprintTest, EveryDrawnFieldChangesTheDigest)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<AnnotationObject>()> make;
        std::function<void(AnnotationObject&)> change;
        bool changes;
    };
    const auto text = [](std::function<void(TextObject&)> f) {
        return [f](AnnotationObject& o) { f(static_cast<TextObject&>(o)); };
    };
    const auto line = [](std::function<void(LineObject&)> f) {
        return [f](AnnotationObject& o) { f(static_cast<LineObject&>(o)); };
    };
    const auto newText = Make<TextObject>([](TextObject& t) { t.SetRect({ 1, 2, 30, 40 }); });
    const auto newLine = Make<LineObject>([](LineObject&) {});
    const auto newPen = Make<PenObject>([](PenObject& p) {
        p.AddPoint({ 1, 2 });
        p.AddPoint({ 5, 3 });
    });
    const Case cases[] = {
        { "text words", newText, text([](TextObject& t) { t.text = "Hello text"; }), true },
        { "text font", newText, text([](TextObject& t) { t.fontFace = "Serif"; }), true },
        { "text size", newText, text([](TextObject& t) { t.fontSize = 17; }), true },
        { "text colour", newText, text([](TextObject& t) { t.textColour = 0xFF; }), true },
        { "text back", newText, text([](TextObject& t) { t.backColour = 0xFF; }), true },
        { "text alignment", newText, text([](TextObject& t) { t.alignment = 0; }), true },
        { "text bold", newText, text([](TextObject& t) { t.bold = true; }), true },
        { "text italic", newText, text([](TextObject& t) { t.italic = true; }), true },
        { "text underline", newText, text([](TextObject& t) { t.underline = true; }), true },
        { "text box style", newText, text([](TextObject& t) { t.boxStyle = TextObject::kTransparentBox; }), true },
        { "text moved", newText, text([](TextObject& t) {
             t.SetRect({ 2, 2, 31, 40 });
         }),
            true },
        { "shadow", newText, [](AnnotationObject& o) { o.shadow = true; }, true },
        { "transparency", newText, [](AnnotationObject& o) { o.transparency = 5; }, true },
        { "line end", newLine, line([](LineObject& l) { l.endY = 9; }), true },
        { "line width", newLine, line([](LineObject& l) { l.width = 3; }), true },
        { "line colour", newLine, line([](LineObject& l) { l.colour = 3; }), true },
        { "line style", newLine, line([](LineObject& l) { l.style = LineObject::kDot; }), true },
        { "box shape", Make<ShapeObject>([](ShapeObject&) {}),
            [](AnnotationObject& o) { static_cast<ShapeObject&>(o).shape = ShapeObject::kEllipse; }, true },
        { "box fill", Make<ShapeObject>([](ShapeObject&) {}),
            [](AnnotationObject& o) { static_cast<ShapeObject&>(o).fillColour = 1; }, true },
        { "highlight colour", Make<HighlightObject>([](HighlightObject&) {}),
            [](AnnotationObject& o) { static_cast<HighlightObject&>(o).colour = 1; }, true },
        { "redaction strength", Make<RedactObject>([](RedactObject&) {}),
            [](AnnotationObject& o) { static_cast<RedactObject&>(o).strength = 20; }, true },
        { "stamp picture", Make<StampObject>([](StampObject& s) { s.SetImage(objtest::SolidImage(2, 2, {})); }),
            [](AnnotationObject& o) { static_cast<StampObject&>(o).SetImage(objtest::SolidImage(2, 2, {})); }, true },
        { "step number", Make<StepObject>([](StepObject&) {}),
            [](AnnotationObject& o) { static_cast<StepObject&>(o).number = 2; }, true },
        { "step colour", Make<StepObject>([](StepObject&) {}),
            [](AnnotationObject& o) { static_cast<StepObject&>(o).colour = 1; }, true },
        { "pen point added", newPen,
            [](AnnotationObject& o) {
                static_cast<PenObject&>(o).AddPoint({ 9, 9 });
            },
            true },
        { "pen moved", newPen, [](AnnotationObject& o) { static_cast<PenObject&>(o).Translate(1, 0); }, true },
        { "pen width", newPen, [](AnnotationObject& o) { static_cast<PenObject&>(o).width = 9; }, true },
        { "pen colour", newPen, [](AnnotationObject& o) { static_cast<PenObject&>(o).colour = 1; }, true },
        { "stamp choice alone", Make<StampObject>([](StampObject&) {}),
            [](AnnotationObject& o) { static_cast<StampObject&>(o).stampIndex = 3; }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto object = c.make();
        const uint64_t before = ObjectFingerprint::Of(*object);
        c.change(*object);
        EXPECT_EQ(ObjectFingerprint::Of(*object) != before, c.changes);
    }
    StampObject stamp;
    stamp.SetImage(objtest::SolidImage(2, 2, {}));
    const StampObject copy = stamp;
    EXPECT_EQ(ObjectFingerprint::Of(copy), ObjectFingerprint::Of(stamp));
}
