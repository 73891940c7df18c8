#pragma once

#include <QPoint>
#include <QRect>

#include <vector>

class AnnotationObject;
class QPainter;

// The grab points of a selected annotation object, in image pixels, and their drawing: a line or an
// arrow has its two ends; a rectangle-shaped object its corners and edge midpoints. A shadowed object
// is drawn 5 pixels right and down, and so are its handles.
class ObjectHandles {
public:
    static constexpr int kShadowOffset = 5;
    static constexpr double kRadius = 4.0;

    static std::vector<QPoint> Points(const AnnotationObject& object);
    // Every image pixel a selected object shows on: its rendering with the shadow, and its handles.
    static QRect SelectedArea(const AnnotationObject& object);
    // White antialiased circles of 8 pixels with a black outline one pixel wide, centred on the pixels.
    static void Draw(QPainter& painter, const AnnotationObject& object);
};
