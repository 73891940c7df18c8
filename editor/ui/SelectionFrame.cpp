#include "SelectionFrame.h"

#include <QPainter>
#include <QPen>

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
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen dotted(Qt::white, 0);
    dotted.setDashPattern({ 1, 1 });
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1);
    painter.restore();
}
