#pragma once

#include "editor/bars/CParamBar.h"
#include "editor/bars/PropertyChangeTarget.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/ui/CompositeCache.h"
#include "editor/ui/ViewZoom.h"
#include "imaging/BitmapTypes.h"
#include "imaging/ImageBuffer.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>

#include <memory>

class AnnotationObject;
class ObjectList;
class ObjectNudge;
class ViewObjectCommands;
class ViewToolInput;
class QPainter;
class QPrinter;

// The scrolling, zooming view of one document: the image with every annotation object composited on
// top, on a grey background with a 5-pixel margin, and the overlays of the current tool. It holds the
// state the editing tools act on; the image and the objects stay the document's.
//
// Qt paints widgets into a back buffer and shows it in one go, so the view draws straight into the
// widget's painter; the picture is never seen half drawn. The composite (image plus objects) is built
// once per document update, and each paint converts and stretches only the part that is exposed.
class CKestrelView : public QAbstractScrollArea, public PropertyChangeTarget {
    Q_OBJECT
public:
    // Tool numbers shared with the tool bar and the property bar.
    enum Tool {
        ToolSelect = 0,
        ToolMove = 1,
        ToolCrop = 2,
        ToolText = 3,
        ToolZoom = 4,
        ToolLine = 5,
        ToolArrow = 6,
        ToolRectangle = 7,
        ToolHighlight = 8,
        ToolStamp = 9,
        ToolRedact = 10,
        ToolStep = 11,
        ToolPen = 12,
    };
    // What a press in or around the selection rectangle started.
    enum DragMode {
        DragNew = 0,
        DragMove = 1,
        DragTopLeft = 2,
        DragBottomLeft = 3,
        DragTopRight = 4,
        DragBottomRight = 5,
    };
    static constexpr QRgb kBackground = 0xFF949494; // RGB (148, 148, 148)

    // Mouse state the editing tools keep between press, move and release.
    struct DragState {
        bool buttonDown = false;
        QPoint pressPoint; // view coordinates
        QPoint scrollAtPress;
        ImageRect savedRect; // canvas selection at the press
        int dragMode = DragNew;
        int grabbedHandle = 0;
        QPoint savedLineStart;
        QPoint savedLineEnd;
        ImageRect savedObjectRect;
    };

    explicit CKestrelView(CKestrelDoc* document, QWidget* parent = nullptr);
    ~CKestrelView() override;

    CKestrelDoc* Document() const { return document_; }

    // Zoom.
    int ZoomStep() const { return zoomStep_; }
    float ZoomFactor() const { return ViewZoom::Factor(zoomStep_); }
    bool CanZoomIn() const { return zoomStep_ < ViewZoom::kStepCount - 1; }
    bool CanZoomOut() const { return zoomStep_ > 0; }
    bool CanActualSize() const { return zoomStep_ != ViewZoom::kActualStep; }
    // The Zoom tool's jump to a step; a step outside the table is ignored.
    void SetZoomStep(int step);
    // A step of the table with the image point under client (a viewport position) kept there, as far as
    // the scroll range allows: Ctrl+wheel.
    void ZoomAround(int step, QPoint client);

    // Coordinates: client (the viewport's pixels), view (client less the margin), canvas (view plus the
    // scroll position) and image.
    QPoint ScrollPosition() const;
    QSize ScrollExtent() const;
    QSize ImageSize() const { return { imageWidth_, imageHeight_ }; }
    QPoint ClientToView(QPoint client) const;
    QPoint ViewToCanvas(QPoint view) const;
    QPoint ClientToCanvas(QPoint client) const;
    QPoint CanvasToImage(QPoint canvas) const;
    QPoint ImageToCanvas(QPoint image) const;
    QPoint ClientToImage(QPoint client) const;
    QPoint ImageToClient(QPoint image) const;

    // Tool state.
    int CurrentTool() const { return currentTool_; }
    void SetCurrentTool(int tool) { currentTool_ = tool; }
    // The tool commands: a new tool forgets the selected object (Select keeps it) and the rubber band,
    // takes its cursor and shows its panel.
    void SelectTool(int tool);
    const ImageRect& CanvasSelection() const { return canvasSelection_; }
    const ImageRect& ImageSelection() const { return imageSelection_; }
    // Set one form of the selection rectangle; the other follows at the current zoom.
    void SetCanvasSelection(const ImageRect& canvas);
    void SetImageSelection(const ImageRect& image);
    bool IsSelectionValid() const { return selectionValid_; }
    AnnotationObject* SelectedObject() const { return selectedObject_; }
    void SetSelectedObject(AnnotationObject* object) { selectedObject_ = object; }
    // The selected object while the document still lists it; undo replaces the objects.
    AnnotationObject* LiveSelectedObject() const;
    // Selects the bottom-most object at the image point, or none, and shows its panel.
    void PickObject(QPoint image);
    ViewObjectCommands& Commands() { return *commands_; }
    // Before every change a tool makes: an undo snapshot (which marks the document modified).
    void RecordEdit();
    // Records a step taken earlier with the document's SnapshotStep, once its change went ahead.
    void RecordEdit(std::unique_ptr<HistoryEntry> step);

    // The property bar that styles new objects and edits the selected one; may be null.
    void SetParamBar(CParamBar* bar) { paramBar_ = bar; }
    CParamBar* ParamBar() const { return paramBar_; }
    void OnPropertyChange(const PropertyChange& change) override;
    // Shows this view's state in the bar: the selected object's panel and values, or the current tool's
    // panel. For the view that becomes the active one.
    void ShowInParamBar();
    DragState& Drag() { return drag_; }
    const QCursor& ViewCursor() const { return cursor_; }
    void SetViewCursor(const QCursor& cursor);

    // The crop preview's dimmed copy of the document image; made when a crop drag starts.
    void MakeDarkenedImage();
    const ImageBuffer& DarkenedImage() const { return darkened_; }
    void FreeDarkenedImage() { darkened_.Destroy(); }

    // Renders objects, first to last, onto target (32 bpp).
    static void FlattenObjects(const ObjectList& objects, ImageBuffer& target);
    // For a change the document has not announced (a tool adding or removing objects): rebuild and
    // repaint.
    void InvalidateComposite();
    // For a change confined to area (image pixels), such as one object moved from one place to another:
    // only that part is redrawn and repainted.
    // grown: an object whose every change since the last paint lies inside area (a stroke being drawn).
    void RefreshImageArea(const QRect& area, const AnnotationObject* grown = nullptr);

    // The drawing routine: the picture with its overlays, image pixel (0, 0) at topLeft in the painter's
    // coordinates, filling at least the exposed part of the painter.
    void DrawPicture(QPainter& painter, QPoint topLeft, const QRect& exposed);

    // The status bar's texts.
    QString SizeText() const;
    QString ZoomText() const;

public slots:
    void OnZoomIn();
    void OnZoomOut();
    void OnActualSize();
    // The document changed its image or objects.
    void OnUpdate();
    // Forget the selected object and the selection rectangles; the document asks before undo and redo.
    void ClearSelection();
    // Prints the picture at its displayed size through the drawing routine; connect it to a print
    // preview dialog's paintRequested for the preview.
    void Print(QPrinter* printer);

signals:
    void SizeTextChanged(const QString& text);
    void ZoomTextChanged(const QString& text);
    void ZoomChanged(int step);
    // The tool, the selected object or the objects changed: the frame refreshes its commands.
    void EditStateChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ApplyZoom();
    void UpdateScrollExtent();
    void CheckSelection();
    // The composite, up to date inside part (image pixels).
    const ImageBuffer& Composite(const QRect& part);
    QImage PicturePart(const QRect& part);
    void DrawSampled(QPainter& painter, QPoint topLeft, QSize displayed, const QRect& target);
    void DrawStretched(QPainter& painter, QPoint topLeft, QSize displayed, const QRect& target);
    void DrawOverlays(QPainter& painter);
    bool ShowsCropPreview() const;
    bool ShowsHandles() const;
    bool ShowsFocusFrame() const;

    QPointer<CKestrelDoc> document_;
    QPointer<CParamBar> paramBar_;
    std::unique_ptr<ViewToolInput> input_;
    std::unique_ptr<ViewObjectCommands> commands_;
    std::unique_ptr<ObjectNudge> nudge_;
    // Ctrl+wheel turns not yet worth a zoom step (touchpads send small ones).
    int wheelRest_ = 0;
    ImageBuffer darkened_;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    DragState drag_;
    ImageRect canvasSelection_;
    ImageRect imageSelection_;
    bool selectionValid_ = false;
    QCursor cursor_ { Qt::OpenHandCursor };
    int currentTool_ = ToolMove;
    int zoomStep_ = 4;
    AnnotationObject* selectedObject_ = nullptr;

    CompositeCache composite_;
};
