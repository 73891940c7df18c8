#include "editor/ui/ViewToolInput.h"

#include "editor/bars/CParamBar.h"
#include "editor/bars/PanelValues.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/ObjectRenderer.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/PenPath.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"
#include "editor/ui/CEditTxtDlg.h"
#include "editor/ui/CKestrelView.h"
#include "editor/ui/ObjectHandles.h"
#include "editor/ui/ObjectHitTest.h"
#include "editor/ui/RubberBand.h"
#include "editor/ui/SelectionFrame.h"
#include "editor/ui/ToolCursors.h"
#include "editor/ui/ViewZoom.h"

#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <memory>

namespace {
QRect ToImageRect(const LongRect& rect)
{
    const auto clamp = [](int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN / 2, INT_MAX / 2)); };
    return QRect(QPoint(clamp(rect.left), clamp(rect.top)), QPoint(clamp(rect.right) - 1, clamp(rect.bottom) - 1));
}
} // namespace

QSize ViewToolInput::CanvasSize() const
{
    return ViewZoom::DisplayedSize(view_.ImageSize(), view_.ZoomFactor());
}

QPoint ViewToolInput::PressCanvas() const
{
    return view_.Drag().pressPoint + view_.Drag().scrollAtPress;
}

bool ViewToolInput::UsesBand() const
{
    switch (view_.CurrentTool()) {
    case CKestrelView::ToolCrop:
    case CKestrelView::ToolText:
    case CKestrelView::ToolRectangle:
    case CKestrelView::ToolHighlight:
    case CKestrelView::ToolStamp:
    case CKestrelView::ToolRedact:
        return true;
    default:
        return false;
    }
}

PanelValues ViewToolInput::BarValues() const
{
    return view_.ParamBar() ? view_.ParamBar()->ReadValues() : PanelValues {};
}

void ViewToolInput::Press(QPoint client)
{
    CKestrelView::DragState& drag = view_.Drag();
    drag.pressPoint = view_.ClientToView(client);
    drag.scrollAtPress = view_.ScrollPosition();
    dragRecorded_ = false;
    const int tool = view_.CurrentTool();
    if (tool == CKestrelView::ToolZoom) {
        view_.OnZoomIn();
        return;
    }
    pressImage_ = view_.CanvasToImage(PressCanvas());
    if (tool == CKestrelView::ToolSelect)
        PressSelect(pressImage_);
    else if (tool == CKestrelView::ToolLine || tool == CKestrelView::ToolArrow)
        CreateLine(pressImage_);
    else if (tool == CKestrelView::ToolStep)
        PlaceStep(pressImage_);
    else if (tool == CKestrelView::ToolPen)
        StartStroke(pressImage_);
    const QPoint canvas = RubberBand::Clamp(PressCanvas(), CanvasSize());
    drag.pressPoint = canvas - drag.scrollAtPress;
    if (tool == CKestrelView::ToolCrop)
        PressCrop();
    if (tool == CKestrelView::ToolMove)
        view_.SetViewCursor(Qt::ClosedHandCursor);
    else if (UsesBand())
        PressBand(canvas);
    drag.buttonDown = true;
}

void ViewToolInput::PressSelect(QPoint image)
{
    CKestrelView::DragState& drag = view_.Drag();
    drag.grabbedHandle = ObjectHitTest::None;
    if (AnnotationObject* selected = view_.LiveSelectedObject()) {
        base_ = ObjectDrag::BaseOf(*selected);
        drag.grabbedHandle = ObjectHitTest::HandleAt(*selected, image);
        if (drag.grabbedHandle != ObjectHitTest::None) {
            if (view_.ParamBar())
                view_.ParamBar()->LoadFromObject(*selected);
            return;
        }
    }
    view_.PickObject(image);
}

void ViewToolInput::PressCrop()
{
    CKestrelDoc* document = view_.Document();
    // A press with nothing to flatten changes nothing, and an empty entry would push a real one out of
    // the short history.
    if (!document->Objects().IsEmpty()) {
        view_.RecordEdit();
        if (document->Image().BitCount() == 32 || document->Image().ConvertTo(32))
            CKestrelView::FlattenObjects(document->Objects(), document->Image());
        document->Objects().ClearObjects();
        view_.InvalidateComposite();
    }
    view_.MakeDarkenedImage();
}

void ViewToolInput::PressBand(QPoint canvas)
{
    CKestrelView::DragState& drag = view_.Drag();
    view_.SetSelectedObject(nullptr);
    drag.dragMode = CKestrelView::DragNew;
    if (SelectionFrame::IsValid(view_.CanvasSelection())) {
        drag.savedRect = view_.CanvasSelection();
        drag.dragMode = RubberBand::ModeAt(drag.savedRect, canvas);
        if (drag.dragMode == CKestrelView::DragNew)
            view_.SetImageSelection({});
        view_.SetViewCursor(ToolCursors::ForBandMode(drag.dragMode, drag.dragMode == CKestrelView::DragMove));
    } else {
        view_.SetImageSelection({});
    }
}

AnnotationObject* ViewToolInput::Place(AnnotationObject* object)
{
    QRect area = ObjectHandles::SelectedArea(*object);
    if (const AnnotationObject* previous = view_.LiveSelectedObject())
        area |= ObjectHandles::SelectedArea(*previous);
    view_.SetSelectedObject(object);
    view_.RefreshImageArea(area);
    emit view_.EditStateChanged();
    return object;
}

void ViewToolInput::CreateLine(QPoint image)
{
    CKestrelDoc* document = view_.Document();
    view_.RecordEdit();
    const bool arrow = view_.CurrentTool() == CKestrelView::ToolArrow;
    auto line = std::make_unique<LineObject>(arrow ? ObjectKind::Arrow : ObjectKind::Line);
    BarValues().ApplyTo(*line);
    line->startX = line->endX = image.x();
    line->startY = line->endY = image.y();
    Place(document->Objects().AppendObject(std::move(line)));
    view_.Drag().grabbedHandle = ObjectHitTest::LineEnd;
    base_ = ObjectDrag::BaseOf(*view_.SelectedObject());
}

void ViewToolInput::Move(QPoint client, bool buttonDown)
{
    CKestrelView::DragState& drag = view_.Drag();
    const int tool = view_.CurrentTool();
    if (tool == CKestrelView::ToolMove && buttonDown && drag.buttonDown) {
        const QPoint shift = PressCanvas() - (view_.ClientToView(client) + drag.scrollAtPress);
        QScrollBar* bars[2] = { view_.horizontalScrollBar(), view_.verticalScrollBar() };
        const int wanted[2] = { drag.scrollAtPress.x() + shift.x(), drag.scrollAtPress.y() + shift.y() };
        for (int i = 0; i < 2; ++i)
            bars[i]->setValue(bars[i]->maximum() > 0 ? std::max(0, wanted[i]) : 0);
    }
    if (tool == CKestrelView::ToolPen && buttonDown && drag.buttonDown)
        ExtendStroke(client, false);
    if (UsesBand()) {
        if (buttonDown && drag.buttonDown)
            DragBand(client);
        else if (!buttonDown)
            HoverBand(client);
    }
    if (view_.LiveSelectedObject())
        DragObject(client);
}

void ViewToolInput::DragBand(QPoint client)
{
    CKestrelView::DragState& drag = view_.Drag();
    const QPoint current = view_.ClientToView(client) + drag.scrollAtPress;
    view_.SetCanvasSelection(
        RubberBand::Drag(drag.dragMode, drag.savedRect, view_.CanvasSelection(), PressCanvas(), current, CanvasSize()));
    view_.viewport()->update();
}

void ViewToolInput::HoverBand(QPoint client)
{
    const ImageRect& band = view_.CanvasSelection();
    if (!SelectionFrame::IsValid(band))
        return;
    const int mode = RubberBand::ModeAt(band, view_.ClientToCanvas(client));
    view_.SetViewCursor(ToolCursors::ForBandMode(mode, mode == CKestrelView::DragMove));
}

void ViewToolInput::DragObject(QPoint client)
{
    CKestrelView::DragState& drag = view_.Drag();
    AnnotationObject* object = view_.SelectedObject();
    const QPoint image = view_.ClientToImage(client);
    if (!drag.buttonDown) {
        view_.SetViewCursor(ToolCursors::ForHandle(ObjectHitTest::HandleAt(*object, image), view_.ViewCursor()));
        return;
    }
    if (drag.grabbedHandle == ObjectHitTest::None)
        return;
    // One history entry per drag of an existing object; a new line was recorded when it was made.
    if (!dragRecorded_ && view_.CurrentTool() == CKestrelView::ToolSelect) {
        dragRecorded_ = true;
        view_.RecordEdit();
    }
    const QRect before = ObjectHandles::SelectedArea(*object);
    ObjectDrag::Apply(*object, drag.grabbedHandle, base_, image, image - pressImage_);
    view_.RefreshImageArea(before | ObjectHandles::SelectedArea(*object));
}

void ViewToolInput::Release(QPoint client)
{
    CKestrelView::DragState& drag = view_.Drag();
    const bool wasDown = drag.buttonDown;
    drag.buttonDown = false;
    if (!wasDown)
        return;
    const QPoint image = view_.ClientToImage(client);
    switch (view_.CurrentTool()) {
    case CKestrelView::ToolMove:
        view_.SetViewCursor(Qt::OpenHandCursor);
        break;
    case CKestrelView::ToolText:
        CreateText(view_.CanvasToImage(PressCanvas()));
        break;
    case CKestrelView::ToolHighlight:
    case CKestrelView::ToolRectangle:
    case CKestrelView::ToolStamp:
    case CKestrelView::ToolRedact:
        CreateRectObject();
        break;
    case CKestrelView::ToolPen:
        ExtendStroke(client, true);
        stroke_ = nullptr;
        break;
    case CKestrelView::ToolLine:
    case CKestrelView::ToolArrow:
        if (AnnotationObject* object = view_.LiveSelectedObject()) {
            auto* line = static_cast<LineObject*>(object);
            const QRect before = ObjectHandles::SelectedArea(*line);
            line->endX = image.x();
            line->endY = image.y();
            view_.RefreshImageArea(before | ObjectHandles::SelectedArea(*line));
            view_.SelectTool(CKestrelView::ToolSelect);
        }
        break;
    default:
        break;
    }
}

void ViewToolInput::CreateText(QPoint pressImage)
{
    CKestrelDoc* document = view_.Document();
    ImageRect rect = view_.ImageSelection();
    if (rect.IsEmpty()) {
        const QSize size = view_.ImageSize();
        rect = { pressImage.x(), pressImage.y(), std::min(pressImage.x() + 100, size.width()),
            std::min(pressImage.y() + 50, size.height()) };
    }
    if (rect.IsEmpty())
        return;
    // Recorded only on OK: a cancelled box leaves Redo, the oldest step and the modified flag alone.
    std::unique_ptr<HistoryEntry> step = document->SnapshotStep();
    auto text = std::make_unique<TextObject>();
    BarValues().ApplyTo(*text);
    text->SetRect(rect);
    auto* object = static_cast<TextObject*>(Place(document->Objects().AppendObject(std::move(text))));
    CEditTxtDlg dialog(*object, &view_);
    if (dialog.exec() == QDialog::Accepted) {
        view_.RecordEdit(std::move(step));
    } else {
        view_.SetSelectedObject(nullptr);
        document->Objects().RemoveObject(object);
        view_.SetCanvasSelection({});
        view_.InvalidateComposite();
    }
    view_.SelectTool(CKestrelView::ToolSelect);
}

void ViewToolInput::CreateRectObject()
{
    const ImageRect rect = view_.ImageSelection();
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    CKestrelDoc* document = view_.Document();
    view_.RecordEdit();
    std::unique_ptr<RectObject> object;
    switch (view_.CurrentTool()) {
    case CKestrelView::ToolHighlight:
        object = std::make_unique<HighlightObject>();
        break;
    case CKestrelView::ToolRectangle:
        object = std::make_unique<ShapeObject>();
        break;
    case CKestrelView::ToolRedact:
        object = std::make_unique<RedactObject>();
        break;
    default: {
        auto stamp = std::make_unique<StampObject>();
        if (view_.ParamBar())
            stamp->SetImage(view_.ParamBar()->FetchStampImage());
        object = std::move(stamp);
        break;
    }
    }
    BarValues().ApplyTo(*object);
    object->SetRect(rect);
    Place(document->Objects().AppendObject(std::move(object)));
    view_.SelectTool(CKestrelView::ToolSelect);
}

void ViewToolInput::ShowAdded(const AnnotationObject& object)
{
    view_.RefreshImageArea(ObjectHandles::SelectedArea(object));
    emit view_.EditStateChanged();
}

// The marker and the stroke leave their tool current, so that the next click places the next number and
// the next drag draws the next stroke; what they made stays unselected.
void ViewToolInput::PlaceStep(QPoint image)
{
    CKestrelDoc* document = view_.Document();
    view_.RecordEdit();
    auto step = std::make_unique<StepObject>();
    const PanelValues values = BarValues();
    values.ApplyTo(*step);
    step->number = StepObject::NextNumber(document->Objects());
    step->Centre(image.x(), image.y(), values.stepSize);
    ShowAdded(*document->Objects().AppendObject(std::move(step)));
}

void ViewToolInput::StartStroke(QPoint image)
{
    CKestrelDoc* document = view_.Document();
    view_.RecordEdit();
    auto pen = std::make_unique<PenObject>();
    BarValues().ApplyTo(*pen);
    pen->AddPoint({ image.x(), image.y() });
    stroke_ = static_cast<PenObject*>(document->Objects().AppendObject(std::move(pen)));
    ShowAdded(*stroke_);
}

void ViewToolInput::ExtendStroke(QPoint client, bool last)
{
    if (!stroke_ || !view_.Document()->Objects().Contains(stroke_)) {
        stroke_ = nullptr;
        return;
    }
    const QPoint image = view_.ClientToImage(client);
    // A slow hand gives a staircase of neighbouring pixels, which the curve through them would follow:
    // points closer than a few screen pixels to the last one wait for the pointer to move on.
    const PenObject::Point& previous = stroke_->Points().back();
    const double zoom = view_.ZoomFactor();
    const double dx = (image.x() - previous.x) * zoom, dy = (image.y() - previous.y) * zoom;
    if (!last && dx * dx + dy * dy < kStrokeSpacing * kStrokeSpacing)
        return;
    if (!stroke_->AddPoint({ image.x(), image.y() }))
        return;
    // Only the end of the stroke changed: the rest of it is neither drawn nor painted again.
    const auto points = PenPath::GrownPoints(*stroke_);
    const int64_t m = PenPath::Margin(stroke_->width);
    const LongRect drawn { points->left - m, points->top - m, int64_t(points->right) + 1 + m,
        int64_t(points->bottom) + 1 + m };
    view_.RefreshImageArea(ToImageRect(ObjectRenderer::WithShadow(*stroke_, drawn)), stroke_);
}
