#include "editor/objects/ObjectList.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"
#include "tests/objects/ObjectTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An object of a kind the list does not know; it records its own deletion.
class ForeignObject final : public AnnotationObject {
public:
    explicit ForeignObject(ObjectKind kind, bool* deleted = nullptr)
        : AnnotationObject(kind)
        , deleted_(deleted)
    {
    }
    ~ForeignObject() override
    {
        if (deleted_)
            *deleted_ = true;
    }

private:
    bool* deleted_;
};

std::vector<const AnnotationObject*> Order(const ObjectList& list)
{
    std::vector<const AnnotationObject*> order;
    for (const auto& object : list)
        order.push_back(object.get());
    return order;
}

using Order_t = std::vector<const AnnotationObject*>;

} // namespace

TEST(ObjectListTest, LayerCommandsReorderTheStack)
{
    ObjectList list;
    auto* a = list.AppendObject(std::make_unique<HighlightObject>());
    auto* b = list.AppendObject(std::make_unique<LineObject>());
    auto* c = list.AppendObject(std::make_unique<TextObject>());
    EXPECT_EQ(Order(list), (Order_t { a, b, c }));

    EXPECT_TRUE(list.SendToBack(c));
    EXPECT_EQ(Order(list), (Order_t { c, a, b }));
    EXPECT_TRUE(list.BringToFront(a));
    EXPECT_EQ(Order(list), (Order_t { c, b, a }));
    EXPECT_TRUE(list.BringToFront(a));
    EXPECT_EQ(Order(list), (Order_t { c, b, a }));
    EXPECT_EQ(list.Front(), c);
    EXPECT_EQ(list.Back(), a);
}

TEST(ObjectListTest, RemoveHandsTheObjectBackWithoutDeletingIt)
{
    ObjectList list;
    bool deleted = false;
    auto* foreign = list.AppendObject(std::make_unique<ForeignObject>(ObjectKind(9), &deleted));
    auto* line = list.AppendObject(std::make_unique<LineObject>());

    std::unique_ptr<AnnotationObject> removed = list.RemoveObject(foreign);
    EXPECT_EQ(removed.get(), foreign);
    EXPECT_FALSE(deleted);
    EXPECT_FALSE(list.Contains(foreign));
    EXPECT_EQ(Order(list), (Order_t { line }));

    // An object that is not listed is neither removed nor moved, and the list does not adopt it.
    EXPECT_EQ(list.RemoveObject(foreign), nullptr);
    EXPECT_FALSE(list.BringToFront(foreign));
    EXPECT_FALSE(list.SendToBack(nullptr));
    EXPECT_EQ(list.AppendObject(nullptr), nullptr);
    EXPECT_EQ(list.Size(), 1u);
    removed.reset();
    EXPECT_TRUE(deleted);
}

TEST(ObjectListTest, ClearDeletesEveryObject)
{
    ObjectList list;
    bool first = false;
    bool second = false;
    list.AppendObject(std::make_unique<ForeignObject>(ObjectKind(7), &first));
    list.AppendObject(std::make_unique<ForeignObject>(ObjectKind(8), &second));
    list.ClearObjects();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
}

TEST(ObjectListTest, CopiesAreDeepAndKeepEveryField)
{
    ObjectList source;
    auto text = std::make_unique<TextObject>();
    text->text = QStringLiteral("first line\nsecond");
    text->fontFace = QStringLiteral("Liberation Serif");
    text->SetRect({ 1, 2, 30, 40 });
    text->bold = true;
    text->alignment = TextObject::kAlignRight;
    text->transparency = 25;
    text->shadow = true;
    auto* textInSource = static_cast<TextObject*>(source.AppendObject(std::move(text)));
    auto stamp = std::make_unique<StampObject>();
    stamp->SetImage(objtest::SolidImage(3, 2, { 1, 2, 3, 4 }));
    stamp->stampIndex = 4;
    auto* stampInSource = static_cast<StampObject*>(source.AppendObject(std::move(stamp)));
    auto arrow = std::make_unique<LineObject>(ObjectKind::Arrow);
    arrow->endX = 99;
    arrow->style = LineObject::kEmptyArrow;
    source.AppendObject(std::move(arrow));
    auto step = std::make_unique<StepObject>();
    step->number = 12;
    step->colour = 0x123456;
    step->SetRect({ 5, 6, 40, 41 });
    source.AppendObject(std::move(step));
    auto pen = std::make_unique<PenObject>();
    pen->AddPoint({ 1, 2 });
    pen->AddPoint({ 3, 5 });
    pen->width = 17;
    auto* penInSource = static_cast<PenObject*>(source.AppendObject(std::move(pen)));

    ObjectList copy;
    copy.AppendObject(std::make_unique<ShapeObject>()); // replaced by the copy
    copy.CopyObjects(source);
    ASSERT_EQ(copy.Size(), 5u);
    auto it = copy.begin();
    const auto* textCopy = dynamic_cast<const TextObject*>(it->get());
    ASSERT_NE(textCopy, nullptr);
    EXPECT_NE(textCopy, textInSource);
    EXPECT_EQ(textCopy->text, QStringLiteral("first line\nsecond"));
    EXPECT_EQ(textCopy->fontFace, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(textCopy->Rect(), (ImageRect { 1, 2, 30, 40 }));
    EXPECT_TRUE(textCopy->bold);
    EXPECT_EQ(textCopy->alignment, TextObject::kAlignRight);
    EXPECT_EQ(textCopy->transparency, 25);
    EXPECT_TRUE(textCopy->shadow);

    const auto* stampCopy = dynamic_cast<const StampObject*>((++it)->get());
    ASSERT_NE(stampCopy, nullptr);
    EXPECT_EQ(stampCopy->stampIndex, 4);
    EXPECT_NE(stampCopy->Image().Pixels(), stampInSource->Image().Pixels());
    EXPECT_TRUE(objtest::SamePicture(stampCopy->Image(), stampInSource->Image(), "stamp"));

    const auto* arrowCopy = dynamic_cast<const LineObject*>((++it)->get());
    ASSERT_NE(arrowCopy, nullptr);
    EXPECT_EQ(arrowCopy->Kind(), ObjectKind::Arrow);
    EXPECT_EQ(arrowCopy->endX, 99);
    EXPECT_EQ(arrowCopy->style, LineObject::kEmptyArrow);

    const auto* stepCopy = dynamic_cast<const StepObject*>((++it)->get());
    ASSERT_NE(stepCopy, nullptr);
    EXPECT_EQ(stepCopy->number, 12);
    EXPECT_EQ(stepCopy->colour, 0x123456u);
    EXPECT_EQ(stepCopy->Rect(), (ImageRect { 5, 6, 40, 41 }));
    const auto* penCopy = dynamic_cast<const PenObject*>((++it)->get());
    ASSERT_NE(penCopy, nullptr);
    EXPECT_EQ(penCopy->width, 17);
    penInSource->AddPoint({ 7, 7 });
    EXPECT_EQ(penCopy->Points(), (std::vector<PenObject::Point> { { 1, 2 }, { 3, 5 } }));

    // Changing the source afterwards leaves the copy alone.
    textInSource->text = QStringLiteral("changed");
    testutil::SetPixel(stampInSource->EditImage(), 0, 0, { 9, 9, 9, 9 });
    EXPECT_EQ(textCopy->text, QStringLiteral("first line\nsecond"));
    EXPECT_EQ(objtest::PixelAt(stampCopy->Image(), 0, 0), (objtest::Bgra { 1, 2, 3, 4 }));
}

TEST(ObjectListTest, CopySkipsObjectsOfUnknownKind)
{
    ObjectList source;
    source.AppendObject(std::make_unique<HighlightObject>());
    source.AppendObject(std::make_unique<ForeignObject>(ObjectKind(42)));
    // Claims a known kind without being that kind's class: copying it as a line would be a bad cast.
    source.AppendObject(std::make_unique<ForeignObject>(ObjectKind::Line));
    source.AppendObject(std::make_unique<ShapeObject>());

    const ObjectList copy(source);
    ASSERT_EQ(copy.Size(), 2u);
    EXPECT_EQ(copy.Front()->Kind(), ObjectKind::Highlight);
    EXPECT_EQ(copy.Back()->Kind(), ObjectKind::Box);
}

TEST(ObjectListTest, CopyOntoItselfKeepsTheObjects)
{
    ObjectList list;
    auto* line = list.AppendObject(std::make_unique<LineObject>());
    list.CopyObjects(list);
    EXPECT_EQ(Order(list), (Order_t { line }));
    const ObjectList& same = list;
    list = same;
    EXPECT_EQ(Order(list), (Order_t { line }));
}

TEST(ObjectListTest, KindsAndDefaults)
{
    EXPECT_EQ(LineObject().Kind(), ObjectKind::Line);
    EXPECT_EQ(LineObject(ObjectKind::Arrow).Kind(), ObjectKind::Arrow);
    EXPECT_EQ(LineObject(ObjectKind::Stamp).Kind(), ObjectKind::Line);
    EXPECT_EQ(LineObject().width, 2);
    const TextObject text;
    EXPECT_EQ(text.fontFace, QStringLiteral("Arial"));
    EXPECT_EQ(text.fontSize, 16);
    EXPECT_EQ(text.backColour, 0xFFFFFFu);
    EXPECT_EQ(text.alignment, TextObject::kAlignCentre);
    EXPECT_EQ(ShapeObject().fillColour, 0x7B1700u);
    const HighlightObject highlight;
    EXPECT_EQ(highlight.colour, 0x800000u);
    EXPECT_EQ(highlight.transparency, 60);
    EXPECT_FALSE(highlight.shadow);
    EXPECT_EQ(StampObject().transparency, 0);
    EXPECT_TRUE(StampObject().Image().IsEmpty());
}

TEST(ObjectListTest, StepNumbersContinueAfterTheHighestMarker)
{
    struct Case {
        const char* name;
        std::vector<int32_t> numbers; // of the markers in the list, in order; 0 adds a line instead
        int32_t next;
    };
    const Case cases[] = {
        { "no marker", { 0 }, 1 },
        { "in order", { 1, 2, 3 }, 4 },
        { "renumbered out of order", { 5, 0, 2 }, 6 },
        { "at the limit", { StepObject::kMaxNumber }, StepObject::kMaxNumber },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ObjectList list;
        for (const int32_t number : c.numbers) {
            if (number == 0) {
                list.AppendObject(std::make_unique<LineObject>());
                continue;
            }
            auto step = std::make_unique<StepObject>();
            step->number = number;
            list.AppendObject(std::move(step));
        }
        EXPECT_EQ(StepObject::NextNumber(list), c.next);
    }
}
