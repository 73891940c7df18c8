#pragma once

#include "editor/ui/ObjectDrag.h"

#include <QPoint>
#include <QSize>

class AnnotationObject;
class CKestrelView;
class PenObject;
struct PanelValues;

// The editing tools' handling of the mouse in a view: presses, drags and releases that pan, zoom,
// place the rubber band, create objects and move their handles. The view forwards its mouse events
// in client coordinates; the state between them lives in the view's drag state.
class ViewToolInput {
public:
    explicit ViewToolInput(CKestrelView& view)
        : view_(view)
    {
    }

    void Press(QPoint client);
    void Move(QPoint client, bool buttonDown);
    void Release(QPoint client);

private:
    QSize CanvasSize() const;
    QPoint PressCanvas() const;
    bool UsesBand() const;
    PanelValues BarValues() const;
    void PressSelect(QPoint image);
    void PressCrop();
    void PressBand(QPoint canvas);
    void CreateLine(QPoint image);
    void CreateText(QPoint pressImage);
    void CreateRectObject();
    void PlaceStep(QPoint image);
    void StartStroke(QPoint image);
    // last: the release, whose point always ends the stroke.
    void ExtendStroke(QPoint client, bool last);
    // Repaints a new object that is not selected, where it is drawn.
    void ShowAdded(const AnnotationObject& object);
    void DragBand(QPoint client);
    void DragObject(QPoint client);
    void HoverBand(QPoint client);
    AnnotationObject* Place(AnnotationObject* object);

    // The least distance, in screen pixels, between the points of a stroke but its last.
    static constexpr double kStrokeSpacing = 3.0;

    CKestrelView& view_;
    ObjectDrag::Base base_;
    QPoint pressImage_;
    bool dragRecorded_ = false;
    // The stroke the Pen tool is drawing, from press to release.
    PenObject* stroke_ = nullptr;
};
