#include "editor/ui/CKestrelView.h"

#include "editor/bars/CParamBar.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/objects/ObjectList.h"
#include "editor/objects/ObjectRenderer.h"
#include "editor/ui/BufferPicture.h"
#include "editor/ui/ImageDarkener.h"
#include "editor/ui/ObjectHandles.h"
#include "editor/ui/ObjectHitTest.h"
#include "editor/ui/ObjectNudge.h"
#include "editor/ui/SelectionFrame.h"
#include "editor/ui/ToolCursors.h"
#include "editor/ui/ViewObjectCommands.h"
#include "editor/ui/ViewToolInput.h"
#include "editor/ui/ViewZoom.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

CKestrelView::CKestrelView(CKestrelDoc* document, QWidget* parent)
    : QAbstractScrollArea(parent)
    , document_(document)
    , input_(std::make_unique<ViewToolInput>(*this))
    , commands_(std::make_unique<ViewObjectCommands>(*this))
    , nudge_(std::make_unique<ObjectNudge>(*this))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    // The whole exposed area is painted each time: the grey first, then the picture over it.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(cursor_);
    if (document) {
        connect(document, &CKestrelDoc::Updated, this, &CKestrelView::OnUpdate);
        connect(document, &CKestrelDoc::SelectionClearRequested, this, &CKestrelView::ClearSelection);
    }
    OnUpdate();
}

CKestrelView::~CKestrelView() = default;

void CKestrelView::OnZoomIn()
{
    if (!CanZoomIn()) {
        viewport()->update();
        return;
    }
    ++zoomStep_;
    ApplyZoom();
}

void CKestrelView::OnZoomOut()
{
    if (!CanZoomOut()) {
        viewport()->update();
        return;
    }
    --zoomStep_;
    ApplyZoom();
}

void CKestrelView::OnActualSize()
{
    if (!CanActualSize())
        return;
    zoomStep_ = ViewZoom::kActualStep;
    ApplyZoom();
}

void CKestrelView::SetZoomStep(int step)
{
    if (step < 0 || step >= ViewZoom::kStepCount || step == zoomStep_)
        return;
    zoomStep_ = step;
    ApplyZoom();
}

void CKestrelView::ZoomAround(int step, QPoint client)
{
    if (step < 0 || step >= ViewZoom::kStepCount || step == zoomStep_)
        return;
    // The image point under the pointer, unrounded, so that zooming in and out again comes back.
    const QPointF margin(ViewZoom::kMargin, ViewZoom::kMargin);
    const QPointF image = (QPointF(client) - margin + QPointF(ScrollPosition())) / double(ZoomFactor());
    zoomStep_ = step;
    ApplyZoom();
    const QPointF scroll = image * double(ZoomFactor()) + margin - QPointF(client);
    horizontalScrollBar()->setValue(int(std::lround(scroll.x())));
    verticalScrollBar()->setValue(int(std::lround(scroll.y())));
}

void CKestrelView::ApplyZoom()
{
    UpdateScrollExtent();
    // A crop rectangle keeps covering the same image pixels.
    canvasSelection_ = ViewZoom::ImageToCanvas(imageSelection_, ZoomFactor());
    viewport()->update();
    emit ZoomChanged(zoomStep_);
    emit ZoomTextChanged(ZoomText());
}

QSize CKestrelView::ScrollExtent() const
{
    return ViewZoom::ScrollExtent(ImageSize(), ZoomFactor());
}

void CKestrelView::UpdateScrollExtent()
{
    // The scroll position is left where the scroll bars clamp it; no point is kept fixed. A page is a
    // tenth of the extent, a line a hundredth.
    const QSize extent = ScrollExtent();
    const QSize page = viewport()->size();
    QScrollBar* bars[2] = { horizontalScrollBar(), verticalScrollBar() };
    const int extents[2] = { extent.width(), extent.height() };
    const int pages[2] = { page.width(), page.height() };
    for (int i = 0; i < 2; ++i) {
        bars[i]->setRange(0, std::max(0, extents[i] - pages[i]));
        bars[i]->setPageStep(std::max(1, extents[i] / 10));
        bars[i]->setSingleStep(std::max(1, extents[i] / 100));
    }
}

QPoint CKestrelView::ScrollPosition() const
{
    return { horizontalScrollBar()->value(), verticalScrollBar()->value() };
}

QPoint CKestrelView::ClientToView(QPoint client) const
{
    return client - QPoint(ViewZoom::kMargin, ViewZoom::kMargin);
}

QPoint CKestrelView::ViewToCanvas(QPoint view) const
{
    return view + ScrollPosition();
}

QPoint CKestrelView::ClientToCanvas(QPoint client) const
{
    return ViewToCanvas(ClientToView(client));
}

QPoint CKestrelView::CanvasToImage(QPoint canvas) const
{
    return ViewZoom::CanvasToImage(canvas, ZoomFactor());
}

QPoint CKestrelView::ImageToCanvas(QPoint image) const
{
    return ViewZoom::ImageToCanvas(image, ZoomFactor());
}

QPoint CKestrelView::ClientToImage(QPoint client) const
{
    return CanvasToImage(ClientToCanvas(client));
}

QPoint CKestrelView::ImageToClient(QPoint image) const
{
    return ImageToCanvas(image) - ScrollPosition() + QPoint(ViewZoom::kMargin, ViewZoom::kMargin);
}

void CKestrelView::SetCanvasSelection(const ImageRect& canvas)
{
    canvasSelection_ = canvas;
    imageSelection_ = ViewZoom::CanvasToImage(canvas, ZoomFactor());
}

void CKestrelView::SetImageSelection(const ImageRect& image)
{
    imageSelection_ = image;
    canvasSelection_ = ViewZoom::ImageToCanvas(image, ZoomFactor());
}

void CKestrelView::SetViewCursor(const QCursor& cursor)
{
    cursor_ = cursor;
    viewport()->setCursor(cursor);
}

void CKestrelView::MakeDarkenedImage()
{
    darkened_.Destroy();
    if (!document_ || !darkened_.CopyFrom(std::as_const(*document_).Image()))
        return;
    if (darkened_.BitCount() != 32 && !darkened_.ConvertTo(32)) {
        darkened_.Destroy();
        return;
    }
    ImageDarkener::Darken(darkened_);
}

void CKestrelView::FlattenObjects(const ObjectList& objects, ImageBuffer& target)
{
    ObjectRenderer::RenderObjects(objects, target);
}

void CKestrelView::InvalidateComposite()
{
    composite_.Invalidate();
    viewport()->update();
    emit EditStateChanged();
}

void CKestrelView::RefreshImageArea(const QRect& area, const AnnotationObject* grown)
{
    if (!document_ || area.isEmpty())
        return;
    composite_.Patch(std::as_const(*document_).Image(), document_->Objects(), area, grown);
    // One client pixel more on each side for the stretch's rounding at any zoom.
    const QPoint topLeft = ImageToClient(area.topLeft()) - QPoint(2, 2);
    const QPoint bottomRight = ImageToClient(area.bottomRight() + QPoint(1, 1)) + QPoint(2, 2);
    viewport()->update(QRect(topLeft, bottomRight));
}

void CKestrelView::OnUpdate()
{
    // Undo, redo and image commands come this way: arrow presses after them are a new step.
    nudge_->End();
    const ImageBuffer* image = document_ ? &std::as_const(*document_).Image() : nullptr;
    imageWidth_ = image && !image->IsEmpty() ? image->Width() : 0;
    imageHeight_ = image && !image->IsEmpty() ? image->Height() : 0;
    composite_.Invalidate();
    UpdateScrollExtent();
    viewport()->update();
    emit SizeTextChanged(SizeText());
}

void CKestrelView::ClearSelection()
{
    selectedObject_ = nullptr;
    canvasSelection_ = {};
    drag_.savedRect = {};
    imageSelection_ = {};
    viewport()->update();
}

QString CKestrelView::SizeText() const
{
    return QString::asprintf("  Size: %d x %d", imageWidth_, imageHeight_);
}

QString CKestrelView::ZoomText() const
{
    return QString::asprintf("Zoom: %d", static_cast<int>(ZoomFactor() * 100.0f)) + QLatin1Char('%');
}

void CKestrelView::CheckSelection()
{
    selectionValid_ = SelectionFrame::IsValid(canvasSelection_);
    if (!selectionValid_) {
        canvasSelection_ = {};
        imageSelection_ = {};
    }
}

const ImageBuffer& CKestrelView::Composite(const QRect& part)
{
    return composite_.Get(std::as_const(*document_).Image(), document_->Objects(), part);
}

bool CKestrelView::ShowsCropPreview() const
{
    if (currentTool_ != ToolCrop || !selectionValid_ || !document_)
        return false;
    // A dimmed copy of another picture than the current one would show the wrong pixels.
    const ImageBuffer& image = std::as_const(*document_).Image();
    return image.BitCount() == 32 && darkened_.BitCount() == 32 && darkened_.Width() == image.Width()
        && darkened_.Height() == image.Height();
}

QImage CKestrelView::PicturePart(const QRect& part)
{
    if (!ShowsCropPreview())
        return BufferPicture::Part(Composite(part), part);
    QImage picture = BufferPicture::Part(darkened_, part);
    const ImageRect& inside = imageSelection_;
    BufferPicture::CopyInto(picture, part.topLeft(), std::as_const(*document_).Image(),
        QRect(inside.left, inside.top, inside.Width(), inside.Height()));
    return picture;
}

bool CKestrelView::ShowsHandles() const
{
    // Undo replaces the objects; a pointer the list no longer holds is never followed.
    return selectedObject_ && document_->Objects().Contains(selectedObject_);
}

bool CKestrelView::ShowsFocusFrame() const
{
    switch (currentTool_) {
    case ToolText:
    case ToolRectangle:
    case ToolHighlight:
    case ToolStamp:
    case ToolRedact:
        return !imageSelection_.IsEmpty();
    default:
        return false;
    }
}

void CKestrelView::DrawOverlays(QPainter& painter)
{
    if (ShowsCropPreview() && !SelectionFrame::Draw(painter, imageSelection_, true)) {
        canvasSelection_ = {};
        imageSelection_ = {};
        selectionValid_ = false;
    }
    if (ShowsHandles())
        ObjectHandles::Draw(painter, *selectedObject_);
    if (ShowsFocusFrame())
        SelectionFrame::DrawFocus(painter, imageSelection_);
}

void CKestrelView::DrawPicture(QPainter& painter, QPoint topLeft, const QRect& exposed)
{
    if (!document_)
        return;
    CheckSelection();
    const QSize displayed = ViewZoom::DisplayedSize(ImageSize(), ZoomFactor());
    const QRect target = QRect(topLeft, displayed) & exposed;
    if (imageWidth_ > 0 && imageHeight_ > 0 && !target.isEmpty()) {
        // Reduced and with nothing drawn over it, the picture is sampled straight from the composite
        // rather than converting the whole image only to shrink it.
        if (ZoomFactor() < 1.0f && !ShowsCropPreview() && !ShowsHandles() && !ShowsFocusFrame())
            DrawSampled(painter, topLeft, displayed, target);
        else
            DrawStretched(painter, topLeft, displayed, target);
    }
    emit SizeTextChanged(SizeText());
    emit ZoomTextChanged(ZoomText());
}

void CKestrelView::DrawSampled(QPainter& painter, QPoint topLeft, QSize displayed, const QRect& target)
{
    // The image rows under the exposed rows, one more each way for the rounding.
    const double scale = double(displayed.height()) / imageHeight_;
    const int top = int(std::floor((target.top() - topLeft.y()) / scale)) - 1;
    const int bottom = int(std::ceil((target.bottom() + 1 - topLeft.y()) / scale)) + 1;
    const QImage sampled = BufferPicture::Sampled(
        Composite(QRect(0, top, imageWidth_, bottom - top)), displayed, target.translated(-topLeft));
    if (!sampled.isNull())
        painter.drawImage(target.topLeft(), sampled);
}

void CKestrelView::DrawStretched(QPainter& painter, QPoint topLeft, QSize displayed, const QRect& target)
{
    const double scaleX = double(displayed.width()) / imageWidth_;
    const double scaleY = double(displayed.height()) / imageHeight_;
    // The image pixels behind the exposed area, one more on each side for the stretch's rounding.
    const int left = std::max(0, int(std::floor((target.left() - topLeft.x()) / scaleX)) - 1);
    const int top = std::max(0, int(std::floor((target.top() - topLeft.y()) / scaleY)) - 1);
    const int right = std::min(imageWidth_, int(std::ceil((target.right() + 1 - topLeft.x()) / scaleX)) + 1);
    const int bottom = std::min(imageHeight_, int(std::ceil((target.bottom() + 1 - topLeft.y()) / scaleY)) + 1);
    const QRect part(left, top, right - left, bottom - top);
    QImage picture = PicturePart(part);
    if (picture.isNull())
        return;
    {
        // Overlays are drawn at image scale, so frames and handles grow with the zoom.
        QPainter overlay(&picture);
        overlay.translate(-part.left(), -part.top());
        DrawOverlays(overlay);
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(topLeft);
    painter.scale(scaleX, scaleY);
    painter.drawImage(part.topLeft(), picture);
    painter.restore();
}

void CKestrelView::Print(QPrinter* printer)
{
    if (!printer || !document_)
        return;
    QPainter painter(printer);
    if (!painter.isActive())
        return;
    // A screen pixel becomes the same length on paper, so the printout has the size seen on screen.
    painter.scale(double(printer->logicalDpiX()) / logicalDpiX(), double(printer->logicalDpiY()) / logicalDpiY());
    const QPoint topLeft(ViewZoom::kMargin, ViewZoom::kMargin);
    DrawPicture(painter, topLeft, QRect(topLeft, ViewZoom::DisplayedSize(ImageSize(), ZoomFactor())));
}

void CKestrelView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), QColor::fromRgb(kBackground));
    const QPoint topLeft = QPoint(ViewZoom::kMargin, ViewZoom::kMargin) - ScrollPosition();
    DrawPicture(painter, topLeft, event->rect());
}

void CKestrelView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollExtent();
}

void CKestrelView::scrollContentsBy(int, int)
{
    viewport()->update();
}

AnnotationObject* CKestrelView::LiveSelectedObject() const
{
    return selectedObject_ && document_ && document_->Objects().Contains(selectedObject_) ? selectedObject_ : nullptr;
}

void CKestrelView::SelectTool(int tool)
{
    if (tool == currentTool_)
        return;
    currentTool_ = tool;
    if (tool != ToolSelect)
        selectedObject_ = nullptr;
    canvasSelection_ = {};
    drag_.savedRect = {};
    imageSelection_ = {};
    drag_.dragMode = DragNew;
    SetViewCursor(ToolCursors::ForTool(tool));
    if (paramBar_)
        paramBar_->ShowKind(tool);
    // Only the overlays change: the composite stays.
    viewport()->update();
    emit EditStateChanged();
}

void CKestrelView::PickObject(QPoint image)
{
    selectedObject_ = document_ ? ObjectHitTest::Pick(document_->Objects(), image) : nullptr;
    if (selectedObject_) {
        if (paramBar_)
            paramBar_->LoadFromObject(*selectedObject_);
        setFocus(Qt::MouseFocusReason);
    }
    viewport()->update();
    emit EditStateChanged();
}

void CKestrelView::RecordEdit()
{
    if (!document_)
        return;
    // Any other edit ends a burst of arrow presses; the nudge itself starts its new one after this.
    nudge_->End();
    // The const picture: a snapshot shares it, where the writable one would be copied first.
    document_->RecordUndoSnapshot(std::as_const(*document_).Image());
    emit EditStateChanged();
}

void CKestrelView::RecordEdit(std::unique_ptr<HistoryEntry> step)
{
    if (!document_)
        return;
    nudge_->End();
    document_->RecordStep(std::move(step));
    emit EditStateChanged();
}

void CKestrelView::OnPropertyChange(const PropertyChange& change)
{
    commands_->ApplyBar(change);
}

void CKestrelView::ShowInParamBar()
{
    if (!paramBar_)
        return;
    if (AnnotationObject* object = LiveSelectedObject())
        paramBar_->LoadFromObject(*object);
    else
        paramBar_->ShowKind(currentTool_);
}

void CKestrelView::mousePressEvent(QMouseEvent* event)
{
    nudge_->End();
    if (!document_ || imageWidth_ <= 0)
        return;
    if (event->button() == Qt::LeftButton)
        input_->Press(event->position().toPoint());
    else if (event->button() == Qt::RightButton && currentTool_ == ToolZoom)
        OnZoomOut();
}

void CKestrelView::mouseMoveEvent(QMouseEvent* event)
{
    if (document_ && imageWidth_ > 0)
        input_->Move(event->position().toPoint(), event->buttons().testFlag(Qt::LeftButton));
}

void CKestrelView::mouseReleaseEvent(QMouseEvent* event)
{
    if (document_ && imageWidth_ > 0 && event->button() == Qt::LeftButton)
        input_->Release(event->position().toPoint());
}

void CKestrelView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && LiveSelectedObject())
        commands_->EditText();
}

void CKestrelView::keyPressEvent(QKeyEvent* event)
{
    // With an object selected the arrows move it; otherwise they scroll as in any view.
    if (nudge_->HandleKey(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    const int key = event->key();
    if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta)
        nudge_->End();
    commands_->HandleKey(key, event->modifiers());
    QAbstractScrollArea::keyPressEvent(event);
}

void CKestrelView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || imageWidth_ <= 0) {
        wheelRest_ = 0;
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    // One step per notch (120 eighths of a degree); a turn away from the pointer zooms in.
    wheelRest_ += event->angleDelta().y();
    const int steps = wheelRest_ / 120;
    if (steps == 0)
        return;
    wheelRest_ -= steps * 120;
    ZoomAround(std::clamp(zoomStep_ + steps, 0, ViewZoom::kStepCount - 1), event->position().toPoint());
}

void CKestrelView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!LiveSelectedObject())
        return;
    std::unique_ptr<QMenu> menu(commands_->MakeContextMenu());
    if (QAction* chosen = menu->exec(event->globalPos()))
        commands_->Run(chosen->data().toInt());
}
