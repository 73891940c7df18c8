#include "editor/ui/SelectionFrame.h"

#include <QPainter>
#include <QPen>
#include <QPolygon>

bool SelectionFrame::Draw(QPainter& painter, const ImageRect& rect, bool handles)
{
    if (!IsValid(rect))
        return false;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen dotted(Qt::black, 0);
    dotted.setDashPattern({ 3, 3 });
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    // Edges run from corner to corner, the far corner itself left out, as a line to a point is drawn.
    const int right = rect.right - 1;
    const int bottom = rect.bottom - 1;
    painter.drawLine(rect.left, rect.top, right, rect.top);
    painter.drawLine(rect.right, rect.top, rect.right, bottom);
    painter.drawLine(rect.right, rect.bottom, rect.left + 1, rect.bottom);
    painter.drawLine(rect.left, rect.bottom, rect.left, rect.top + 1);
    if (handles) {
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::white);
        // From corner - 4 to corner + 4 with the far edges exclusive: 8 by 8 pixels.
        for (int x : { rect.left, rect.right })
            for (int y : { rect.top, rect.bottom })
                painter.drawRect(x - 4, y - 4, 7, 7);
    }
    painter.restore();
    return true;
}

void SelectionFrame::DrawFocus(QPainter& painter, const ImageRect& rect)
{
    if (rect.IsEmpty())
        return;
    // Every other pixel of the rectangle's rim, going round once from the top-left corner, so that no
    // pixel is inverted twice.
    const int right = rect.right - 1;
    const int bottom = rect.bottom - 1;
    QPolygon rim;
    for (int x = rect.left; x <= right; ++x)
        rim << QPoint(x, rect.top);
    for (int y = rect.top + 1; y <= bottom; ++y)
        rim << QPoint(right, y);
    if (bottom > rect.top)
        for (int x = right - 1; x >= rect.left; --x)
            rim << QPoint(x, bottom);
    if (right > rect.left)
        for (int y = bottom - 1; y > rect.top; --y)
            rim << QPoint(rect.left, y);
    QPolygon dots;
    dots.reserve((rim.size() + 1) / 2);
    for (qsizetype i = 0; i < rim.size(); i += 2)
        dots << rim[i];

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 0));
    painter.drawPoints(dots);
    painter.restore();
}
