#include "controls/CXColourPicker.h"
#include "editor/bars/CParamBar.h"
#include "editor/bars/ParamPanel.h"
#include "editor/bars/StampListView.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"
#include "tests/ui/ViewTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using namespace PanelControl;

constexpr ColourRef kRed = 0x0000FF;

// Two documents in two views sharing one bar, as two tabs do; the bar speaks to whichever view is
// "active". The stamps folder holds two pictures of different sizes.
class BarEditsTest : public ViewTestBase {
public:
    void SetUp() override
    {
        QDir(folder_.path()).mkpath("stamps");
        for (const auto& [name, size] : { std::pair { "a.png", 40 }, std::pair { "b.png", 20 } }) {
            QImage stamp(size, size, QImage::Format_RGB32);
            stamp.fill(Qt::green);
            ASSERT_TRUE(stamp.save(folder_.path() + "/stamps/" + name));
        }
        bar_ = std::make_unique<CParamBar>(nullptr, folder_.path().toStdString() + "/");
        bar_->resize(800, 120);
        bar_->show();
        SetPicture(180, 130);
        other_.Image() = MakePicture(180, 130);
        view_ = MakeView();
        otherView_ = MakeView(&other_);
        for (CKestrelView* view : { view_.get(), otherView_.get() })
            view->SetParamBar(bar_.get());
        bar_->SetTargetResolver([this] { return active_; });
        active_ = view_.get();
    }

    template <class Control> Control* Find(int id) const { return qobject_cast<Control*>(bar_->Panel()->Control(id)); }

    // A red dotted line of width 7, selected in the view.
    LineObject* SelectedRedLine(CKestrelDoc& document, CKestrelView& view)
    {
        auto line = std::make_unique<LineObject>();
        line->startX = 10, line->startY = 20, line->endX = 150, line->endY = 20;
        line->width = 7, line->style = LineObject::kDot, line->colour = kRed;
        auto* added = static_cast<LineObject*>(document.Objects().AppendObject(std::move(line)));
        document.UpdateAllViews();
        view.PickObject({ 80, 20 });
        EXPECT_EQ(view.SelectedObject(), added);
        return added;
    }

    static void ChooseNext(QComboBox* combo)
    {
        ASSERT_NE(combo, nullptr);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
    }

    void PickColour(int id, int row, int column)
    {
        auto* picker = Find<CXColourPicker>(id);
        ASSERT_NE(picker, nullptr);
        QTest::mouseClick(picker, Qt::LeftButton);
        ASSERT_NE(picker->Palette(), nullptr);
        QTest::mouseClick(picker->Palette(), Qt::LeftButton, {}, picker->Palette()->CellRect(row, column).center());
    }

    QTemporaryDir folder_;
    std::unique_ptr<CParamBar> bar_;
    CKestrelDoc other_;
    std::unique_ptr<CKestrelView> view_;
    std::unique_ptr<CKestrelView> otherView_;
    CKestrelView* active_ = nullptr;
};

} // namespace

// Measured: a box panel showing and a red dotted width-7 line selected in the active tab; one change of
// the box's Width made the line width 1, black and solid.
TEST_F(BarEditsTest, BarChange_Should_ReachOnlyAnObjectOfThePanelsKind_AndOnlyThePropertyThatChanged)
{
    struct Case {
        const char* name;
        int panel; // shown by the other tab's tool
        std::function<void(BarEditsTest&)> change;
        int transparency; // the line's afterwards
        bool recorded;
    };
    const Case cases[] = {
        { "the box's width", PanelKind::kRectangle, [](BarEditsTest& t) { ChooseNext(t.Find<QComboBox>(kShapeWidth)); },
            0, false },
        { "the box's opacity", PanelKind::kRectangle,
            [](BarEditsTest& t) { QTest::keyClick(t.Find<QSlider>(kOpacity), Qt::Key_End); }, 0, false },
        { "a line tool's opacity", PanelKind::kLine,
            [](BarEditsTest& t) { QTest::keyClick(t.Find<QSlider>(kOpacity), Qt::Key_End); }, 100, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        other_.Objects().ClearObjects();
        other_.History().Clear();
        LineObject* line = SelectedRedLine(other_, *otherView_);
        other_.SetModifiedFlag(false);
        // The other tab's tool shows its panel with the tool's own values.
        bar_->ShowKind(PanelKind::kNoParameter);
        bar_->ShowKind(c.panel);
        active_ = otherView_.get();
        c.change(*this);
        EXPECT_EQ(line->width, 7);
        EXPECT_EQ(line->colour, kRed);
        EXPECT_EQ(line->style, LineObject::kDot);
        EXPECT_EQ(line->transparency, c.transparency);
        EXPECT_EQ(other_.CanUndo(), c.recorded);
        EXPECT_EQ(other_.IsModified(), c.recorded);
        EXPECT_TRUE(document_.Objects().IsEmpty());
    }
}

TEST_F(BarEditsTest, EachBarChangeOnASelectedObject_Should_BeOneUndoStep_ThatMarksTheDocument)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<AnnotationObject>()> make;
        std::function<void(BarEditsTest&)> change;
        std::function<int64_t(const AnnotationObject&)> field;
    };
    const auto line = [] {
        auto made = std::make_unique<LineObject>();
        made->startX = 10, made->startY = 20, made->endX = 150, made->endY = 20;
        return made;
    };
    const auto box = [] {
        auto made = std::make_unique<ShapeObject>();
        made->SetRect({ 20, 40, 120, 100 });
        return made;
    };
    const auto text = [] {
        auto made = std::make_unique<TextObject>();
        made->SetRect({ 20, 40, 120, 100 });
        return made;
    };
    const auto stamp = [] {
        auto made = std::make_unique<StampObject>();
        made->SetRect({ 20, 40, 120, 100 });
        made->stampIndex = 1;
        return made;
    };
    const auto step = [] {
        auto made = std::make_unique<StepObject>();
        made->Centre(60, 60, 32);
        return made;
    };
    const auto pen = [] {
        auto made = std::make_unique<PenObject>();
        made->AddPoint({ 10, 60 });
        made->AddPoint({ 150, 60 });
        return made;
    };
    const auto asStep
        = [](const AnnotationObject& o) -> const StepObject& { return static_cast<const StepObject&>(o); };
    const auto asPen = [](const AnnotationObject& o) -> const PenObject& { return static_cast<const PenObject&>(o); };
    const auto asLine
        = [](const AnnotationObject& o) -> const LineObject& { return static_cast<const LineObject&>(o); };
    const auto asBox
        = [](const AnnotationObject& o) -> const ShapeObject& { return static_cast<const ShapeObject&>(o); };
    const Case cases[] = {
        { "line width", line, [](BarEditsTest& t) { ChooseNext(t.Find<QComboBox>(kLineWidth)); },
            [&](const AnnotationObject& o) { return asLine(o).width; } },
        { "line style", line, [](BarEditsTest& t) { ChooseNext(t.Find<QComboBox>(kLineStyle)); },
            [&](const AnnotationObject& o) { return asLine(o).style; } },
        { "line colour", line, [](BarEditsTest& t) { t.PickColour(kLineColour, 0, 2); },
            [&](const AnnotationObject& o) { return asLine(o).colour; } },
        { "shadow", line, [](BarEditsTest& t) { QTest::mouseClick(t.Find<QCheckBox>(kShadow), Qt::LeftButton); },
            [](const AnnotationObject& o) { return o.shadow; } },
        { "opacity by a key", box, [](BarEditsTest& t) { QTest::keyClick(t.Find<QSlider>(kOpacity), Qt::Key_End); },
            [](const AnnotationObject& o) { return o.transparency; } },
        { "shape", box, [](BarEditsTest& t) { ChooseNext(t.Find<QComboBox>(kShape)); },
            [&](const AnnotationObject& o) { return asBox(o).shape; } },
        { "fill colour", box, [](BarEditsTest& t) { t.PickColour(kShapeBack, 0, 2); },
            [&](const AnnotationObject& o) { return asBox(o).fillColour; } },
        { "text box style", text, [](BarEditsTest& t) { ChooseNext(t.Find<QComboBox>(kBoxStyle)); },
            [](const AnnotationObject& o) { return static_cast<const TextObject&>(o).boxStyle; } },
        { "step size", step, [](BarEditsTest& t) { QTest::keyClick(t.Find<QSlider>(kStepSize), Qt::Key_End); },
            [&](const AnnotationObject& o) { return asStep(o).Size(); } },
        { "step colour", step, [](BarEditsTest& t) { t.PickColour(kStepColour, 0, 2); },
            [&](const AnnotationObject& o) { return asStep(o).colour; } },
        { "pen width", pen, [](BarEditsTest& t) { ChooseNext(t.Find<QComboBox>(kPenWidth)); },
            [&](const AnnotationObject& o) { return asPen(o).width; } },
        { "pen colour", pen, [](BarEditsTest& t) { t.PickColour(kPenColour, 0, 2); },
            [&](const AnnotationObject& o) { return asPen(o).colour; } },
        { "stamp", stamp,
            [](BarEditsTest& t) {
                auto* list = t.Find<StampListView>(kStampList);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
            },
            [](const AnnotationObject& o) {
                const auto& s = static_cast<const StampObject&>(o);
                return s.stampIndex * 1000 + s.Image().Width();
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document_.Objects().ClearObjects();
        document_.History().Clear();
        AnnotationObject* object = document_.Objects().AppendObject(c.make());
        document_.UpdateAllViews();
        view_->PickObject({ 60, object->Kind() == ObjectKind::Line ? 20 : 60 });
        ASSERT_EQ(view_->SelectedObject(), object);
        document_.SetModifiedFlag(false);
        const int64_t before = c.field(*object);

        c.change(*this);
        EXPECT_NE(c.field(*document_.Objects().Back()), before);
        EXPECT_EQ(document_.History().UndoCount(), 1u);
        EXPECT_TRUE(document_.IsModified());
        ASSERT_TRUE(document_.Undo());
        EXPECT_EQ(c.field(*document_.Objects().Back()), before);
        EXPECT_FALSE(document_.IsModified());
    }
}

TEST_F(BarEditsTest, SliderDraggedFromPressToRelease_Should_BeOneStep)
{
    auto highlight = std::make_unique<HighlightObject>();
    highlight->SetRect({ 20, 40, 120, 100 });
    highlight->transparency = 0;
    document_.Objects().AppendObject(std::move(highlight));
    document_.UpdateAllViews();
    view_->PickObject({ 60, 60 });
    ASSERT_NE(view_->SelectedObject(), nullptr);
    auto* slider = Find<QSlider>(kOpacity);
    ASSERT_NE(slider, nullptr);
    const auto transparency = [this] { return document_.Objects().Back()->transparency; };

    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, {}, { 4, y });
    ASSERT_TRUE(slider->isSliderDown());
    std::vector<int> seen;
    for (int x : { 20, 40, 60, 80 }) {
        QTest::mouseMove(slider, { x, y });
        seen.push_back(transparency());
    }
    QTest::mouseRelease(slider, Qt::LeftButton, {}, { 80, y });
    ASSERT_GT(seen.back(), seen.front()) << "the object followed the drag";
    EXPECT_EQ(document_.History().UndoCount(), 1u);
    const int dragged = transparency();

    // The next change is a step of its own.
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(document_.History().UndoCount(), 2u);
    document_.Undo();
    EXPECT_EQ(transparency(), dragged);
    document_.Undo();
    EXPECT_EQ(transparency(), 0);
}
