#include "ReviewPictures.h"
#include "editor/bars/CParamBar.h"
#include "editor/bars/ParamPanel.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"
#include "editor/ui/CStepNumberDlg.h"
#include "editor/ui/ObjectHandles.h"
#include "editor/ui/ViewObjectCommands.h"
#include "tests/ui/ToolsViewFixture.h"
#include "tests/ui/ViewTestSupport.h"

#include <QDialog>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

TEST_F(ToolsViewTest, DrawingTools_Should_TakeTheBarsStyle_AndHandOverToSelect)
{
    struct Case {
        const char* name;
        int tool;
        QPoint from;
        QPoint to;
        bool creates;
    };
    const Case cases[] = {
        { "line", CKestrelView::ToolLine, { 10, 10 }, { 60, 40 }, true },
        { "arrow", CKestrelView::ToolArrow, { 60, 40 }, { 10, 10 }, true },
        { "rectangle", CKestrelView::ToolRectangle, { 80, 60 }, { 20, 20 }, true },
        { "highlight", CKestrelView::ToolHighlight, { 20, 20 }, { 80, 60 }, true },
        { "stamp", CKestrelView::ToolStamp, { 20, 20 }, { 80, 60 }, true },
        { "rectangle from a click", CKestrelView::ToolRectangle, { 30, 30 }, { 30, 30 }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document_.Objects().ClearObjects();
        document_.SetModifiedFlag(false);
        view_->SelectTool(CKestrelView::ToolMove);
        view_->SelectTool(c.tool);
        EXPECT_EQ(bar_.CurrentKind(), c.tool);
        Drag(c.from, c.to);
        ASSERT_EQ(document_.Objects().Size(), c.creates ? 1u : 0u);
        EXPECT_EQ(view_->CurrentTool(), c.creates ? int(CKestrelView::ToolSelect) : c.tool);
        EXPECT_EQ(document_.IsModified(), c.creates); // closing must ask before an annotation is lost
        if (!c.creates)
            continue;
        EXPECT_EQ(view_->SelectedObject(), Object(0));
        EXPECT_EQ(bar_.CurrentKind(), int(CKestrelView::ToolSelect));
        EXPECT_TRUE(view_->ImageSelection().IsEmpty());
        if (auto* line = dynamic_cast<LineObject*>(Object(0))) {
            EXPECT_EQ(QPoint(line->startX, line->startY), c.from);
            EXPECT_EQ(QPoint(line->endX, line->endY), c.to);
            if (c.tool == CKestrelView::ToolArrow) {
                EXPECT_EQ(line->width, 1);
            }
        } else {
            EXPECT_EQ(static_cast<RectObject*>(Object(0))->Rect(), (ImageRect { 20, 20, 80, 60 }));
        }
    }
    // The highlight panel's defaults: navy at 50 % with a shadow.
    view_->SelectTool(CKestrelView::ToolHighlight);
    Drag({ 5, 5 }, { 50, 50 });
    auto* highlight = dynamic_cast<HighlightObject*>(document_.Objects().Back());
    ASSERT_NE(highlight, nullptr);
    EXPECT_EQ(highlight->colour, 0x800000u);
    EXPECT_EQ(highlight->transparency, 50);
    EXPECT_TRUE(highlight->shadow);
}

TEST_F(ToolsViewTest, TextTool_Should_OpenTheDialog_AndKeepTheObjectOnlyOnOk)
{
    struct Case {
        const char* name;
        QPoint click;
        bool accept;
        size_t objects;
        ImageRect rect;
    };
    const Case cases[] = {
        { "ok", { 20, 30 }, true, 1, { 20, 30, 120, 80 } },
        { "near the corner, clipped", { 150, 100 }, true, 1, { 150, 100, 180, 130 } },
        { "cancel", { 20, 30 }, false, 0, {} },
        { "on the edge, nothing", { 180, 130 }, true, 0, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A full history with one step undone and the present state saved: only a confirmed box may
        // empty Redo, push the oldest step out or mark the document.
        document_.Objects().ClearObjects();
        document_.History().Clear();
        for (int i = 0; i <= CKestrelDoc::kHistoryLimit; ++i)
            document_.RecordUndoSnapshot(std::as_const(document_).Image());
        document_.Undo();
        document_.SetModifiedFlag(false);
        view_->SelectTool(CKestrelView::ToolText);
        AnswerDialog(c.accept);
        Press(c.click);
        Release(c.click);
        QApplication::processEvents();
        ASSERT_EQ(document_.Objects().Size(), c.objects);
        const bool recorded = c.objects > 0;
        EXPECT_EQ(document_.IsModified(), recorded);
        EXPECT_EQ(document_.CanRedo(), !recorded);
        EXPECT_EQ(document_.History().UndoCount(), size_t(CKestrelDoc::kHistoryLimit - (recorded ? 0 : 1)));
        if (c.objects) {
            EXPECT_EQ(static_cast<TextObject*>(Object(0))->Rect(), c.rect);
            document_.Undo();
            EXPECT_TRUE(document_.Objects().IsEmpty()) << "one step takes the box back";
        }
    }
}

TEST_F(ToolsViewTest, Select_Should_PickTheLowestObject_AndMoveOnlyOnTheSecondPress)
{
    ShapeObject* lower = AddBox({ 20, 20, 80, 80 });
    ShapeObject* upper = AddBox({ 50, 50, 120, 110 });
    AddLine({ 150, 20 }, { 150, 20 });
    view_->SelectTool(CKestrelView::ToolSelect);

    Drag({ 60, 60 }, { 70, 70 });
    EXPECT_EQ(view_->SelectedObject(), lower);
    EXPECT_EQ(lower->Rect(), (ImageRect { 20, 20, 80, 80 }));
    EXPECT_EQ(bar_.CurrentKind(), PanelKind::kRectangle);

    Drag({ 60, 60 }, { 70, 65 });
    EXPECT_EQ(lower->Rect(), (ImageRect { 30, 25, 90, 85 }));
    EXPECT_EQ(upper->Rect(), (ImageRect { 50, 50, 120, 110 }));
    ASSERT_TRUE(document_.CanUndo());
    document_.Undo();
    EXPECT_EQ(static_cast<ShapeObject*>(Object(0))->Rect(), (ImageRect { 20, 20, 80, 80 }));

    // Empty space forgets the object but keeps the panel; a zero-length line is never picked.
    Drag({ 150, 20 }, { 150, 20 });
    EXPECT_EQ(view_->SelectedObject(), nullptr);
    EXPECT_EQ(bar_.CurrentKind(), PanelKind::kRectangle);
    // A click with the Line tool makes such a line.
    view_->SelectTool(CKestrelView::ToolLine);
    Drag({ 160, 100 }, { 160, 100 });
    ASSERT_EQ(document_.Objects().Size(), 4u);
    Drag({ 170, 120 }, { 170, 120 });
    Drag({ 160, 100 }, { 160, 100 });
    EXPECT_EQ(view_->SelectedObject(), nullptr);
}

TEST_F(ToolsViewTest, CropBand_Should_KeepEightPixels_AndStayOnTheCanvas)
{
    view_->SelectTool(CKestrelView::ToolCrop);
    Drag({ 20, 20 }, { 120, 100 });
    Drag({ 119, 99 }, { 5, 5 }); // the bottom-right corner past the top-left one
    EXPECT_EQ(view_->CanvasSelection(), (ImageRect { 20, 20, 28, 28 }));
    Drag({ 60, 60 }, { 100, 100 }); // outside the corners: a new band
    EXPECT_EQ(view_->CanvasSelection(), (ImageRect { 60, 60, 100, 100 }));
    Press({ 80, 80 });
    MoveTo({ 10, 10 }); // past the canvas's edge: it stays
    Release({ 10, 10 });
    EXPECT_EQ(view_->CanvasSelection(), (ImageRect { 60, 60, 100, 100 }));
    Drag({ 80, 80 }, { 90, 85 });
    EXPECT_EQ(view_->CanvasSelection(), (ImageRect { 70, 65, 110, 105 }));
}

TEST_F(ToolsViewTest, LeftEdgeDraggedRight_Should_StopTwentyPixelsWide)
{
    ShapeObject* box = AddBox({ 20, 20, 100, 80 });
    view_->SelectTool(CKestrelView::ToolSelect);
    Drag({ 50, 50 }, { 50, 50 });
    ASSERT_EQ(view_->SelectedObject(), box);
    Drag({ 20, 50 }, { 170, 50 });
    EXPECT_EQ(box->Rect(), (ImageRect { 80, 20, 100, 80 }));
}

TEST_F(ToolsViewTest, CropEnter_Should_BakeTheObjectsIn_AndUndoRestores)
{
    AddBox({ 0, 0, 40, 40 })->shape = ShapeObject::kFilledRectangle;
    const ImageBuffer before = MakePicture(180, 130);
    view_->SelectTool(CKestrelView::ToolCrop);
    Drag({ 10, 20 }, { 110, 70 });
    EXPECT_TRUE(document_.Objects().IsEmpty());
    EXPECT_EQ(view_->ImageSelection(), (ImageRect { 10, 20, 110, 70 }));
    Key(Qt::Key_Return);
    ASSERT_EQ(document_.Image().Width(), 100);
    ASSERT_EQ(document_.Image().Height(), 50);
    EXPECT_TRUE(view_->ImageSelection().IsEmpty());
    // The filled box covers image pixel (30, 30), now at (20, 10).
    const auto pixel = [](const ImageBuffer& image, int x, int y) {
        return reinterpret_cast<const uint32_t*>(image.Row(y))[x] & 0xFFFFFF;
    };
    EXPECT_NE(pixel(document_.Image(), 20, 10), pixel(before, 30, 30));

    document_.Undo();
    EXPECT_EQ(document_.Image().Width(), 180);
    document_.Undo();
    EXPECT_EQ(document_.Objects().Size(), 1u);
    EXPECT_EQ(pixel(document_.Image(), 30, 30), pixel(before, 30, 30));
}

TEST_F(ToolsViewTest, Keys_Should_ClearTheBand_AndDeleteUndoably)
{
    view_->SelectTool(CKestrelView::ToolCrop);
    Drag({ 10, 10 }, { 60, 60 });
    EXPECT_FALSE(document_.CanUndo()); // nothing to flatten, so no entry to push a real one out
    Key(Qt::Key_Escape);
    EXPECT_TRUE(view_->CanvasSelection().IsEmpty());
    Key(Qt::Key_Return);
    EXPECT_EQ(document_.Image().Width(), 180);

    ShapeObject* box = AddBox({ 20, 20, 80, 80 });
    AddBox({ 30, 30, 90, 90 });
    view_->SelectTool(CKestrelView::ToolSelect);
    Drag({ 25, 25 }, { 25, 25 });
    ASSERT_EQ(view_->SelectedObject(), box);
    view_->Commands().Run(ViewObjectCommands::kBringToFront);
    EXPECT_EQ(document_.Objects().Back(), box);
    Key(Qt::Key_Delete);
    EXPECT_EQ(document_.Objects().Size(), 1u);
    document_.Undo();
    EXPECT_EQ(document_.Objects().Size(), 2u);
    document_.Undo();
    EXPECT_EQ(static_cast<ShapeObject*>(document_.Objects().Back())->Rect(), (ImageRect { 30, 30, 90, 90 }));
}

TEST_F(ToolsViewTest, ZoomAndMoveTools_Should_StepAndPan)
{
    view_->SelectTool(CKestrelView::ToolZoom);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, At({ 10, 10 }));
    EXPECT_EQ(view_->ZoomStep(), 5);
    QTest::mouseClick(Port(), Qt::RightButton, {}, At({ 10, 10 }));
    QTest::mouseClick(Port(), Qt::RightButton, {}, At({ 10, 10 }));
    EXPECT_EQ(view_->ZoomStep(), 3);

    view_->SetZoomStep(6); // 200 %: 360 x 260 in a 200 x 150 view
    view_->SelectTool(CKestrelView::ToolMove);
    Drag({ 100, 100 }, { 60, 70 });
    EXPECT_EQ(view_->ScrollPosition(), QPoint(40, 30));
    Drag({ 60, 70 }, { 150, 140 });
    EXPECT_EQ(view_->ScrollPosition(), QPoint(0, 0));
}

TEST_F(ToolsViewTest, PropertyChange_Should_ReachTheSelectedObjectOnly)
{
    LineObject* line = AddLine({ 10, 10 }, { 100, 10 });
    auto slider = [this] { return bar_.Panel()->findChild<QSlider*>(); };
    view_->SelectTool(CKestrelView::ToolSelect);
    Drag({ 50, 10 }, { 50, 10 });
    ASSERT_EQ(view_->SelectedObject(), line);
    ASSERT_NE(slider(), nullptr);
    const auto shownOnLine = [this] { return Grab(*view_).pixel(At({ 50, 10 })); };
    EXPECT_NE(shownOnLine(), ColourAt(50, 10));
    QTest::keyClick(slider(), Qt::Key_End);
    EXPECT_EQ(line->transparency, 100);
    EXPECT_EQ(shownOnLine(), ColourAt(50, 10)) << "an opacity of 100 hides the line";
    EXPECT_EQ(line->width, 2) << "the line keeps its width";

    AddBox({ 20, 40, 80, 90 });
    Drag({ 50, 60 }, { 50, 60 });
    EXPECT_EQ(bar_.CurrentKind(), PanelKind::kRectangle);
    Drag({ 170, 120 }, { 170, 120 });
    QTest::keyClick(slider(), Qt::Key_Home);
    EXPECT_EQ(line->transparency, 100);
}

TEST_F(ToolsViewTest, EveryKindDrawn_Should_ShowItsHandlesWhereItIsDrawn)
{
    struct Case {
        const char* name;
        int tool;
    };
    const Case cases[] = { { "line", CKestrelView::ToolLine }, { "arrow", CKestrelView::ToolArrow },
        { "rectangle", CKestrelView::ToolRectangle }, { "highlight", CKestrelView::ToolHighlight },
        { "stamp", CKestrelView::ToolStamp }, { "text", CKestrelView::ToolText } };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view_->SelectTool(c.tool);
        const QPoint from(12 + row * 25, 15 + row * 15);
        if (c.tool == CKestrelView::ToolText)
            AnswerDialog(true);
        Drag(from, from + QPoint(40, 25));
        ++row;
        AnnotationObject* object = view_->SelectedObject();
        ASSERT_NE(object, nullptr);
        const QImage shown = KeepPicture(*Port(), QString("tools_selected_") + c.name);
        // The first handle's white centre, moved with the object's shadow (the highlight's default).
        const QPoint handle = At(ObjectHandles::Points(*object).front());
        EXPECT_EQ(shown.pixel(handle) & 0xFFFFFF, 0xFFFFFFu);
    }
}

TEST_F(ToolsViewTest, Flatten_Should_BakeEveryObjectIn_AndUndoBringsThemBack)
{
    AddBox({ 20, 20, 60, 60 })->shape = ShapeObject::kFilledRectangle;
    AddLine({ 100, 100 }, { 150, 100 });
    EXPECT_FALSE(view_->Commands().Run(ViewObjectCommands::kFlatten)); // nothing selected
    view_->SelectTool(CKestrelView::ToolSelect);
    Drag({ 30, 30 }, { 30, 30 });
    const uint32_t before = reinterpret_cast<const uint32_t*>(document_.Image().Row(30))[30];
    ASSERT_TRUE(view_->Commands().Run(ViewObjectCommands::kFlatten));
    EXPECT_TRUE(document_.Objects().IsEmpty());
    EXPECT_EQ(view_->SelectedObject(), nullptr);
    EXPECT_NE(reinterpret_cast<const uint32_t*>(document_.Image().Row(30))[30], before);
    document_.Undo();
    EXPECT_EQ(document_.Objects().Size(), 2u);
    EXPECT_EQ(reinterpret_cast<const uint32_t*>(document_.Image().Row(30))[30], before);
}

// Markers and strokes follow one another without picking the tool again; each is one undo step.
TEST_F(ToolsViewTest, StepAndPenTools_Should_StayCurrent_NumberOnFromTheHighest_AndUndoOneByOne)
{
    auto seven = std::make_unique<StepObject>();
    seven->number = 7;
    seven->Centre(150, 100, 20);
    Announce(document_.Objects().AppendObject(std::move(seven)));

    view_->SelectTool(CKestrelView::ToolStep);
    for (const QPoint at : { QPoint(30, 30), QPoint(70, 30), QPoint(110, 30) })
        Drag(at, at);
    EXPECT_EQ(view_->CurrentTool(), int(CKestrelView::ToolStep));
    EXPECT_EQ(view_->SelectedObject(), nullptr);
    ASSERT_EQ(document_.Objects().Size(), 4u);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(static_cast<StepObject*>(Object(i))->number, 7 + i);
    // The panel's size, 32, around the click.
    EXPECT_EQ(static_cast<StepObject*>(Object(1))->Rect(), (ImageRect { 14, 14, 46, 46 }));

    view_->SelectTool(CKestrelView::ToolPen);
    Press({ 20, 100 });
    MoveTo({ 40, 110 });
    MoveTo({ 42, 111 }); // too close to the last point
    MoveTo({ 60, 100 });
    Release({ 80, 110 });
    Drag({ 100, 120 }, { 100, 120 }); // a click leaves a dot
    EXPECT_EQ(view_->CurrentTool(), int(CKestrelView::ToolPen));
    ASSERT_EQ(document_.Objects().Size(), 6u);
    const auto* stroke = dynamic_cast<PenObject*>(Object(4));
    ASSERT_NE(stroke, nullptr);
    EXPECT_EQ(stroke->Points(), (std::vector<PenObject::Point> { { 20, 100 }, { 40, 110 }, { 60, 100 }, { 80, 110 } }));
    EXPECT_EQ(stroke->width, 3);
    EXPECT_EQ(static_cast<PenObject*>(Object(5))->Points().size(), 1u);
    ASSERT_TRUE(document_.Undo());
    ASSERT_TRUE(document_.Undo());
    EXPECT_EQ(document_.Objects().Size(), 4u);
}

TEST_F(ToolsViewTest, StepDialog_Should_Renumber_AndRecordOnlyAChange)
{
    struct Case {
        const char* name;
        bool accept;
        int number;
        bool recorded;
    };
    const Case cases[] = {
        { "renumbered", true, 3, true },
        { "cancelled", false, 3, false },
        { "the same number", true, 2, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document_.Objects().ClearObjects();
        document_.History().Clear();
        auto made = std::make_unique<StepObject>();
        made->number = 2;
        made->Centre(50, 50, 32);
        auto* step = static_cast<StepObject*>(Announce(document_.Objects().AppendObject(std::move(made))));
        view_->SelectTool(CKestrelView::ToolSelect);
        Drag({ 50, 50 }, { 50, 50 });
        ASSERT_EQ(view_->SelectedObject(), step);
        WhenShown<CStepNumberDlg>([&c](CStepNumberDlg& dialog) {
            auto* spin = dialog.findChild<QSpinBox*>();
            spin->selectAll();
            QTest::keyClicks(spin, QString::number(c.number));
            c.accept ? dialog.accept() : dialog.reject();
        });
        QTest::mouseDClick(Port(), Qt::LeftButton, {}, At({ 50, 50 }));
        QApplication::processEvents();
        EXPECT_EQ(step->number, c.recorded ? c.number : 2);
        EXPECT_EQ(document_.CanUndo(), c.recorded);
        if (c.recorded) {
            ASSERT_TRUE(document_.Undo());
            EXPECT_EQ(static_cast<StepObject*>(document_.Objects().Back())->number, 2);
        }
    }
}
