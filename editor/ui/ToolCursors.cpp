#include "editor/ui/ToolCursors.h"

#include "editor/ui/CKestrelView.h"
#include "editor/ui/ObjectHitTest.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap Canvas()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void Outlined(QPainter& painter, const QPainterPath& path)
{
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(path);
}

} // namespace

QCursor ToolCursors::Magnifier()
{
    static const QCursor cursor = [] {
        QPixmap pixmap = Canvas();
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(17, 17), QPointF(27, 27));
        painter.setPen(QPen(Qt::black, 2));
        painter.setBrush(QColor(255, 255, 255, 200));
        painter.drawEllipse(QPointF(11, 11), 8, 8);
        painter.end();
        return QCursor(pixmap, 11, 11);
    }();
    return cursor;
}

QCursor ToolCursors::MoveArrow()
{
    static const QCursor cursor = [] {
        QPixmap pixmap = Canvas();
        QPainter painter(&pixmap);
        QPainterPath arrow;
        arrow.moveTo(1, 1);
        arrow.lineTo(1, 17);
        arrow.lineTo(5, 13);
        arrow.lineTo(8, 19);
        arrow.lineTo(10, 18);
        arrow.lineTo(7, 12);
        arrow.lineTo(12, 12);
        arrow.closeSubpath();
        Outlined(painter, arrow);
        // The four-way cross below right of the tip.
        QPainterPath cross;
        const QPointF c(22, 22);
        for (QPointF d : { QPointF(0, -1), QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0) }) {
            const QPointF tip = c + d * 8;
            const QPointF side(d.y(), -d.x());
            cross.moveTo(tip);
            cross.lineTo(c + d * 5 + side * 3);
            cross.lineTo(c + d * 5 - side * 3);
            cross.closeSubpath();
        }
        cross.addRect(QRectF(c.x() - 1, c.y() - 5, 2, 10));
        cross.addRect(QRectF(c.x() - 5, c.y() - 1, 10, 2));
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawPath(cross.simplified());
        painter.end();
        return QCursor(pixmap, 1, 1);
    }();
    return cursor;
}

QCursor ToolCursors::ForTool(int tool)
{
    switch (tool) {
    case CKestrelView::ToolMove:
        return Qt::OpenHandCursor;
    case CKestrelView::ToolSelect:
        return MoveArrow();
    case CKestrelView::ToolZoom:
        return Magnifier();
    default:
        return Qt::CrossCursor;
    }
}

QCursor ToolCursors::ForHandle(int handle, const QCursor& current)
{
    switch (handle) {
    case ObjectHitTest::LineStart:
    case ObjectHitTest::BottomLeft:
    case ObjectHitTest::TopRight:
        return Qt::SizeBDiagCursor;
    case ObjectHitTest::LineEnd:
    case ObjectHitTest::TopLeft:
    case ObjectHitTest::BottomRight:
        return Qt::SizeFDiagCursor;
    case ObjectHitTest::LineBody:
    case ObjectHitTest::Inside:
        return MoveArrow();
    case ObjectHitTest::LeftEdge:
    case ObjectHitTest::RightEdge:
        return Qt::SizeHorCursor;
    case ObjectHitTest::TopEdge:
    case ObjectHitTest::BottomEdge:
        return Qt::SizeVerCursor;
    default:
        return current;
    }
}

QCursor ToolCursors::ForBandMode(int mode, bool inside)
{
    switch (mode) {
    case CKestrelView::DragTopLeft:
    case CKestrelView::DragBottomRight:
        return Qt::SizeFDiagCursor;
    case CKestrelView::DragBottomLeft:
    case CKestrelView::DragTopRight:
        return Qt::SizeBDiagCursor;
    default:
        return inside ? QCursor(Qt::ArrowCursor) : QCursor(Qt::CrossCursor);
    }
}
