#include "editor/bars/ParamPanel.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/TextObject.h"
#include "editor/ui/CEditTxtDlg.h"
#include "editor/ui/ObjectHandles.h"
#include "editor/ui/ObjectNudge.h"
#include "editor/ui/ViewObjectCommands.h"
#include "tests/ui/ToolsViewFixture.h"

#include <QCheckBox>
#include <QMenu>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Follows a path of entries through the popup menus a right click opens, by the keyboard as a user
// would, and notes the first menu's entries. An empty path closes the menu.
class MenuChooser {
public:
    explicit MenuChooser(QStringList path)
        : path_(std::move(path))
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] { Step(); });
        poll_.start(5);
    }

    int popups = 0;
    QStringList entries; // "Text" or "Text (off)" for a disabled one

private:
    void Step()
    {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || menu == last_)
            return;
        last_ = menu;
        if (popups++ == 0)
            for (QAction* action : menu->actions())
                if (!action->isSeparator())
                    entries << action->text() + (action->isEnabled() ? "" : " (off)");
        if (path_.isEmpty()) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        for (QAction* action : menu->actions()) {
            if (action->text() != path_.front())
                continue;
            path_.pop_front();
            menu->setActiveAction(action);
            QTest::keyClick(menu, action->menu() ? Qt::Key_Right : Qt::Key_Return);
            return;
        }
    }

    QStringList path_;
    QMenu* last_ = nullptr;
    QTimer poll_;
};

class ToolsInputTest : public ToolsViewTest {
protected:
    static constexpr int kAntialiasLevels = 4;

    // Through the window, so the platform turns the press into a context menu request as it does for
    // a user's click.
    void RightClick(QPoint image)
    {
        QTest::mouseClick(view_->windowHandle(), Qt::RightButton, {}, Port()->mapTo(view_.get(), At(image)));
        QApplication::processEvents();
    }
    void Hover(QPoint image) { MoveTo(image, Qt::NoButton); }
    Qt::CursorShape Shape() const { return Port()->cursor().shape(); }
    TextObject* AddText(const QString& content, const ImageRect& rect)
    {
        auto text = std::make_unique<TextObject>();
        text->text = content;
        text->SetRect(rect);
        return static_cast<TextObject*>(Announce(document_.Objects().AppendObject(std::move(text))));
    }
    void Select(QPoint image)
    {
        view_->SelectTool(CKestrelView::ToolSelect);
        Press(image);
        Release(image);
    }
    // What the view shows after its partial redraws is what a redraw of everything shows, but for a few
    // levels of antialiasing where a shape is cut at a redrawn area's edge.
    void ExpectAsRebuilt()
    {
        const QImage patched = Grab(*view_);
        view_->InvalidateComposite();
        const QImage full = Grab(*view_);
        ASSERT_EQ(patched.size(), full.size());
        int differing = 0;
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < full.width(); ++x) {
                const QRgb a = patched.pixel(x, y);
                const QRgb b = full.pixel(x, y);
                const int most = std::max(
                    { std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)) });
                differing += most > kAntialiasLevels;
            }
        EXPECT_EQ(differing, 0) << "pixels of the patched picture differ from a full rebuild";
    }
    static void TypeText(CEditTxtDlg& dialog, const QString& content)
    {
        dialog.findChild<QPlainTextEdit*>()->setPlainText(content);
        dialog.accept();
    }
};

// The client rectangles a viewport repaints.
class PaintRecorder : public QObject {
public:
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted |= static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

} // namespace

TEST_F(ToolsInputTest, RightClick_Should_OfferTheObjectMenu_WhoseEntriesAct)
{
    struct Case {
        const char* name;
        QStringList path;
        size_t objects; // left in the list
        bool boxOnTop;
    };
    const Case cases[] = {
        { "bring to front", { "Layer", "Bring to Front" }, 2, true },
        { "send to back", { "Layer", "Send to Back" }, 2, false },
        { "delete", { "Delete" }, 1, true },
        { "flatten", { "Flatten" }, 0, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document_.Objects().ClearObjects();
        document_.History().Clear();
        ShapeObject* box = AddBox({ 20, 20, 80, 80 });
        AddBox({ 50, 50, 120, 110 });
        view_->SelectTool(CKestrelView::ToolMove);
        {
            MenuChooser nothingSelected({});
            RightClick({ 30, 30 });
            EXPECT_EQ(nothingSelected.popups, 0);
        }
        Select({ 30, 30 });
        ASSERT_EQ(view_->SelectedObject(), box);
        MenuChooser chooser(c.path);
        RightClick({ 30, 30 });
        EXPECT_EQ(chooser.popups, c.path.size() == 2 ? 2 : 1);
        EXPECT_EQ(chooser.entries, QStringList({ "Edit Text (off)", "Flatten", "Layer", "Delete" }));
        ASSERT_EQ(document_.Objects().Size(), c.objects);
        if (c.objects == 2) {
            EXPECT_EQ(document_.Objects().Back() == box, c.boxOnTop);
        }
        // Each entry is one step back.
        ASSERT_TRUE(document_.Undo());
        EXPECT_FALSE(document_.CanUndo());
        ASSERT_EQ(document_.Objects().Size(), 2u);
        EXPECT_EQ(static_cast<ShapeObject*>(document_.Objects().Back())->Rect(), (ImageRect { 50, 50, 120, 110 }));
    }
}

TEST_F(ToolsInputTest, TextDialog_Should_OpenOnDoubleClickAndFromTheMenu_AndItsEditUndoes)
{
    struct Case {
        const char* name;
        bool fromMenu;
        bool accept;
    };
    const Case cases[] = {
        { "double click, OK", false, true },
        { "double click, Cancel", false, false },
        { "menu, OK", true, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document_.Objects().ClearObjects();
        document_.History().Clear();
        TextObject* text = AddText("before", { 20, 20, 120, 70 });
        Select({ 40, 40 });
        ASSERT_EQ(view_->SelectedObject(), text);
        WhenShown<CEditTxtDlg>([&c](CEditTxtDlg& dialog) {
            if (c.accept)
                TypeText(dialog, "after");
            else
                dialog.reject();
        });
        if (c.fromMenu) {
            MenuChooser chooser({ "Edit Text" });
            RightClick({ 40, 40 });
            EXPECT_TRUE(chooser.entries.contains("Edit Text"));
        } else {
            QTest::mouseDClick(Port(), Qt::LeftButton, {}, At({ 40, 40 }));
        }
        QApplication::processEvents();
        ASSERT_EQ(document_.Objects().Size(), 1u);
        EXPECT_EQ(static_cast<TextObject*>(document_.Objects().Back())->text, c.accept ? "after" : "before");
        EXPECT_EQ(static_cast<TextObject*>(document_.Objects().Back())->Rect(), (ImageRect { 20, 20, 120, 70 }));
        EXPECT_EQ(document_.CanUndo(), c.accept);
        if (c.accept) {
            document_.Undo();
            EXPECT_EQ(static_cast<TextObject*>(document_.Objects().Back())->text, "before");
        }
    }
}

TEST_F(ToolsInputTest, Hover_Should_ShowWhatAPressWouldGrab)
{
    ShapeObject* box = AddBox({ 20, 20, 100, 80 });
    AddLine({ 120, 20 }, { 160, 100 });
    struct Case {
        QPoint select;
        QPoint hover;
        Qt::CursorShape shape;
    };
    const Case cases[] = {
        { { 50, 50 }, { 20, 20 }, Qt::SizeFDiagCursor }, // top left
        { { 50, 50 }, { 21, 78 }, Qt::SizeBDiagCursor }, // bottom left
        { { 50, 50 }, { 18, 50 }, Qt::SizeHorCursor }, // left edge
        { { 50, 50 }, { 60, 82 }, Qt::SizeVerCursor }, // bottom edge
        { { 50, 50 }, { 60, 50 }, Qt::BitmapCursor }, // inside: the arrow with the cross
        { { 50, 50 }, { 170, 120 }, Qt::BitmapCursor }, // nothing under it: unchanged
        { { 140, 60 }, { 120, 20 }, Qt::SizeBDiagCursor }, // line start
        { { 140, 60 }, { 160, 100 }, Qt::SizeFDiagCursor }, // line end
        { { 140, 60 }, { 130, 40 }, Qt::BitmapCursor }, // on the line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hover.x() << "," << c.hover.y());
        view_->SelectTool(CKestrelView::ToolMove);
        Select(c.select);
        ASSERT_NE(view_->SelectedObject(), nullptr);
        Hover(c.hover);
        EXPECT_EQ(Shape(), c.shape);
    }
    EXPECT_EQ(box->Rect(), (ImageRect { 20, 20, 100, 80 })) << "hovering moves nothing";

    // The crop band: its corners, its inside and the cross around it; the Move tool's hand.
    view_->SelectTool(CKestrelView::ToolCrop);
    Drag({ 40, 40 }, { 120, 100 });
    const std::pair<QPoint, Qt::CursorShape> band[] = { { { 40, 40 }, Qt::SizeFDiagCursor },
        { { 119, 41 }, Qt::SizeBDiagCursor }, { { 80, 70 }, Qt::ArrowCursor }, { { 10, 10 }, Qt::CrossCursor } };
    for (const auto& [point, shape] : band) {
        Hover(point);
        EXPECT_EQ(Shape(), shape) << point.x() << "," << point.y();
    }
    view_->SelectTool(CKestrelView::ToolMove);
    EXPECT_EQ(Shape(), Qt::OpenHandCursor);
    Press({ 50, 50 });
    EXPECT_EQ(Shape(), Qt::ClosedHandCursor);
    Release({ 50, 50 });
    EXPECT_EQ(Shape(), Qt::OpenHandCursor);
}

TEST_F(ToolsInputTest, DraggingAnObject_Should_RepaintOnlyWhereItWasAndIs_AsAFullRepaintWould)
{
    // Every kind, shadows included, over and under others.
    auto highlight = std::make_unique<HighlightObject>();
    highlight->SetRect({ 30, 30, 90, 70 });
    highlight->shadow = true;
    highlight->transparency = 50;
    Announce(document_.Objects().AppendObject(std::move(highlight)));
    // A redaction's cells come from its whole rectangle, which the redrawn areas cut through.
    auto redact = std::make_unique<RedactObject>();
    redact->SetRect({ 60, 50, 130, 100 });
    Announce(document_.Objects().AppendObject(std::move(redact)));
    AddBox({ 40, 40, 70, 60 })->shape = ShapeObject::kFilledEllipse;
    LineObject* line = AddLine({ 10, 100 }, { 60, 110 });
    line->shadow = true;
    line->width = 3;
    AddText("T", { 100, 20, 150, 60 })->shadow = true;
    AddLine({ 0, 0 }, { 179, 129 })->width = 5; // crosses the edges of every redrawn area
    struct Case {
        QPoint grab;
        QPoint to;
    };
    const Case cases[] = { { { 50, 45 }, { 56, 49 } }, { { 35, 105 }, { 45, 95 } }, { { 120, 40 }, { 110, 35 } } };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.grab.x() << "," << c.grab.y());
        Select(c.grab);
        AnnotationObject* object = view_->SelectedObject();
        ASSERT_NE(object, nullptr);
        QApplication::processEvents();
        const QRect before = ObjectHandles::SelectedArea(*object);
        PaintRecorder recorder;
        Port()->installEventFilter(&recorder);
        Press(c.grab);
        MoveTo(c.to);
        QApplication::processEvents();
        Port()->removeEventFilter(&recorder);
        Release(c.to);
        const QRect changed = (before | ObjectHandles::SelectedArea(*object)).translated(5, 5).adjusted(-3, -3, 3, 3);
        EXPECT_FALSE(recorder.painted.isEmpty());
        EXPECT_TRUE(changed.contains(recorder.painted.boundingRect()));
        ExpectAsRebuilt();
    }
    // Layer changes and a shadow switched off redraw only the object's area as well.
    Select({ 50, 45 });
    ASSERT_EQ(view_->SelectedObject(), document_.Objects().begin()->get());
    for (int command : { ViewObjectCommands::kBringToFront, ViewObjectCommands::kSendToBack }) {
        ASSERT_TRUE(view_->Commands().Run(command));
        ExpectAsRebuilt();
    }
    auto* shadow = bar_.Panel()->findChild<QCheckBox*>();
    ASSERT_NE(shadow, nullptr);
    QTest::mouseClick(shadow, Qt::LeftButton);
    EXPECT_FALSE(view_->SelectedObject()->shadow);
    ExpectAsRebuilt();
}

TEST_F(ToolsInputTest, ObjectEdits_Should_ShareThePictureWithTheirUndoSteps)
{
    const ImageBuffer* picture = &std::as_const(document_).Image();
    view_->SelectTool(CKestrelView::ToolLine);
    Drag({ 10, 10 }, { 60, 40 });
    ExpectAsRebuilt(); // the picture's first object
    view_->SelectTool(CKestrelView::ToolRectangle);
    Drag({ 80, 20 }, { 140, 90 });
    Drag({ 100, 50 }, { 120, 60 }); // the new box, moved
    view_->Commands().Run(ViewObjectCommands::kSendToBack);
    Key(Qt::Key_Delete);
    EXPECT_EQ(document_.History().UndoCount(), 5u);
    EXPECT_EQ(&std::as_const(document_).Image(), picture) << "an object edit copied the picture";
    while (document_.Undo()) { }
    EXPECT_TRUE(document_.Objects().IsEmpty());
    EXPECT_EQ(&std::as_const(document_).Image(), picture);
}

namespace {

TEST_F(ToolsInputTest, ArrowKeys_Should_MoveTheSelectedObject_OneUndoStepPerBurst)
{
    ShapeObject* box = AddBox({ 20, 20, 80, 80 });
    LineObject* line = AddLine({ 100, 10 }, { 150, 60 });
    // Nothing selected: the arrows scroll, as in any view, and record nothing.
    Key(Qt::Key_Right);
    EXPECT_EQ(document_.History().UndoCount(), 0u);

    Select({ 30, 30 });
    ASSERT_EQ(view_->SelectedObject(), box);
    struct Press {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* before; // what comes between the previous press and this one
    };
    // A burst: presses of one object without a pause or anything else between them.
    const Press presses[] = {
        { Qt::Key_Right, {}, "" },
        { Qt::Key_Right, {}, "" },
        { Qt::Key_Down, Qt::ShiftModifier, "" },
        { Qt::Key_Left, {}, "escape" },
        { Qt::Key_Up, Qt::ShiftModifier, "click" },
        { Qt::Key_Up, {}, "pause" },
    };
    const ImageRect moved[] = { { 21, 20, 81, 80 }, { 22, 20, 82, 80 }, { 22, 30, 82, 90 }, { 21, 30, 81, 90 },
        { 21, 20, 81, 80 }, { 21, 19, 81, 79 } };
    const size_t steps[] = { 1, 1, 1, 2, 3, 4 };
    for (size_t i = 0; i < std::size(presses); ++i) {
        const std::string before = presses[i].before;
        if (before == "escape")
            Key(Qt::Key_Escape);
        else if (before == "click")
            Select({ 40, 40 });
        else if (before == "pause")
            QTest::qWait(ObjectNudge::kBurstPauseMs + 200);
        ASSERT_EQ(view_->LiveSelectedObject(), box) << i;
        QTest::keyClick(view_.get(), presses[i].key, presses[i].modifiers);
        EXPECT_EQ(box->Rect(), moved[i]) << i;
        EXPECT_EQ(document_.History().UndoCount(), steps[i]) << i;
    }
    EXPECT_TRUE(document_.IsModified());
    ExpectAsRebuilt();
    // Undo takes back a whole burst.
    ASSERT_TRUE(document_.Undo());
    ASSERT_TRUE(document_.Undo());
    EXPECT_EQ(static_cast<const ShapeObject*>(Object(0))->Rect(), (ImageRect { 21, 30, 81, 90 }));

    // A line moves with both ends; after an undo the arrows start a new step.
    Select({ 125, 35 });
    ASSERT_NE(view_->SelectedObject(), nullptr);
    line = static_cast<LineObject*>(view_->SelectedObject());
    const size_t count = document_.History().UndoCount();
    QTest::keyClick(view_.get(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(QRect(QPoint(line->startX, line->startY), QPoint(line->endX, line->endY)),
        QRect(QPoint(90, 10), QPoint(140, 60)));
    EXPECT_EQ(document_.History().UndoCount(), count + 1);
    // Delete still removes the selected object.
    Key(Qt::Key_Delete);
    EXPECT_EQ(document_.Objects().Size(), 1u);
}

TEST_F(ToolsInputTest, CtrlWheel_Should_ZoomByTheTable_KeepingThePointUnderThePointer)
{
    SetPicture(1000, 800);
    view_ = MakeView(300, 200);
    auto wheel = [&](QPoint client, int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(client), QPointF(Port()->mapToGlobal(client)), QPoint(), QPoint(0, delta),
            Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Port(), &event);
    };
    struct Turn {
        QPoint client;
        int delta;
        int step;
    };
    const Turn turns[]
        = { { { 150, 100 }, 120, 5 }, { { 40, 160 }, 120, 6 }, { { 250, 30 }, 240, 8 }, { { 250, 30 }, 60, 8 },
              { { 250, 30 }, 60, 9 }, { { 250, 30 }, 480, 9 }, { { 10, 10 }, -120, 8 }, { { 150, 100 }, -360, 5 } };
    for (const Turn& turn : turns) {
        const QPointF before = QPointF(view_->ClientToImage(turn.client));
        wheel(turn.client, turn.delta, Qt::ControlModifier);
        EXPECT_EQ(view_->ZoomStep(), turn.step) << turn.delta;
        // The image point under the pointer stays within one image pixel (rounding at the smaller zoom).
        const QPointF after = QPointF(view_->ClientToImage(turn.client));
        EXPECT_LE((after - before).manhattanLength(), 2.0) << turn.step;
    }
    // Back to 100 %.
    wheel({ 250, 150 }, -120, Qt::ControlModifier);
    EXPECT_EQ(view_->ZoomStep(), 4);
    // Without Ctrl the wheel scrolls and leaves the zoom.
    const int scroll = view_->verticalScrollBar()->value();
    wheel({ 100, 100 }, -120, {});
    EXPECT_EQ(view_->ZoomStep(), 4);
    EXPECT_GT(view_->verticalScrollBar()->value(), scroll);
}

} // namespace
