#include "app/Pictograms.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <functional>
#include <map>

namespace {
const QColor kInk(40, 50, 70);
const QColor kPaper(250, 250, 245);
const QColor kAccent(40, 110, 190);
const QColor kWarm(230, 160, 40);

void Page(QPainter& p)
{
    QPainterPath page;
    page.moveTo(8, 3);
    page.lineTo(19, 3);
    page.lineTo(25, 9);
    page.lineTo(25, 29);
    page.lineTo(8, 29);
    page.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(page);
    p.drawLine(QPointF(19, 3), QPointF(19, 9));
    p.drawLine(QPointF(19, 9), QPointF(25, 9));
}

void Monitor(QPainter& p)
{
    p.setBrush(kPaper);
    p.drawRect(QRectF(3, 5, 26, 17));
    p.drawLine(QPointF(16, 22), QPointF(16, 27));
    p.drawLine(QPointF(10, 27), QPointF(22, 27));
}

void WindowFrame(QPainter& p, const QRectF& r)
{
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setBrush(kAccent);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 4));
}

void Magnifier(QPainter& p)
{
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(13, 13), 9, 9);
    QPen thick = p.pen();
    thick.setWidthF(4);
    p.setPen(thick);
    p.drawLine(QPointF(20, 20), QPointF(28, 28));
    thick.setWidthF(2);
    p.setPen(thick);
}

void CurvedArrow(QPainter& p, bool back)
{
    QPainterPath path;
    const qreal dir = back ? 1 : -1;
    const qreal cx = 16;
    path.moveTo(cx - dir * 9, 12);
    path.cubicTo(cx - dir * 2, 4, cx + dir * 12, 8, cx + dir * 9, 22);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QPolygonF head;
    head << QPointF(cx - dir * 13, 8) << QPointF(cx - dir * 5, 7) << QPointF(cx - dir * 10, 16);
    p.setBrush(kAccent);
    p.drawPolygon(head);
}

void ArrowHead(QPainter& p, QPointF tip, QPointF from)
{
    const QPointF d = tip - from;
    const qreal len = std::hypot(d.x(), d.y());
    const QPointF u = d / len, n(-u.y(), u.x());
    QPolygonF head;
    head << tip << tip - u * 7 + n * 4 << tip - u * 7 - n * 4;
    p.setBrush(p.pen().color());
    p.drawPolygon(head);
}

using Painter = std::function<void(QPainter&)>;

const std::map<QString, Painter>& Table()
{
    static const std::map<QString, Painter> table = {
        { "new", [](QPainter& p) { Page(p); } },
        { "open",
            [](QPainter& p) {
                p.setBrush(kWarm);
                p.drawRect(QRectF(3, 9, 24, 18));
                p.drawRect(QRectF(3, 6, 10, 3));
                p.setBrush(QColor(245, 200, 90));
                QPolygonF flap;
                flap << QPointF(7, 14) << QPointF(30, 14) << QPointF(27, 27) << QPointF(3, 27);
                p.drawPolygon(flap);
            } },
        { "save",
            [](QPainter& p) {
                p.setBrush(kAccent);
                p.drawRect(QRectF(4, 4, 24, 24));
                p.setBrush(kPaper);
                p.drawRect(QRectF(9, 4, 14, 9));
                p.drawRect(QRectF(8, 18, 16, 10));
            } },
        { "fullscreen",
            [](QPainter& p) {
                Monitor(p);
                p.setBrush(kAccent);
                p.drawRect(QRectF(6, 8, 20, 11));
            } },
        { "region",
            [](QPainter& p) {
                Monitor(p);
                QPen dashed = p.pen();
                dashed.setStyle(Qt::DashLine);
                dashed.setColor(kAccent);
                p.setPen(dashed);
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(8, 9, 12, 8));
            } },
        { "window",
            [](QPainter& p) {
                Monitor(p);
                WindowFrame(p, QRectF(7, 8, 15, 11));
            } },
        { "scroll",
            [](QPainter& p) {
                WindowFrame(p, QRectF(4, 3, 18, 26));
                p.setPen(QPen(kAccent, 3));
                p.drawLine(QPointF(27, 6), QPointF(27, 22));
                ArrowHead(p, QPointF(27, 30), QPointF(27, 20));
            } },
        { "undo", [](QPainter& p) { CurvedArrow(p, true); } },
        { "redo", [](QPainter& p) { CurvedArrow(p, false); } },
        { "zoomin",
            [](QPainter& p) {
                Magnifier(p);
                p.drawLine(QPointF(9, 13), QPointF(17, 13));
                p.drawLine(QPointF(13, 9), QPointF(13, 17));
            } },
        { "zoomout",
            [](QPainter& p) {
                Magnifier(p);
                p.drawLine(QPointF(9, 13), QPointF(17, 13));
            } },
        { "actual",
            [](QPainter& p) {
                Magnifier(p);
                QFont font("DejaVu Sans");
                font.setPixelSize(8);
                font.setBold(true);
                p.setFont(font);
                p.drawText(QRectF(4, 4, 18, 18), Qt::AlignCenter, "1:1");
            } },
        { "move",
            [](QPainter& p) {
                p.drawLine(QPointF(16, 4), QPointF(16, 28));
                p.drawLine(QPointF(4, 16), QPointF(28, 16));
                ArrowHead(p, QPointF(16, 2), QPointF(16, 10));
                ArrowHead(p, QPointF(16, 30), QPointF(16, 22));
                ArrowHead(p, QPointF(2, 16), QPointF(10, 16));
                ArrowHead(p, QPointF(30, 16), QPointF(22, 16));
            } },
        { "select",
            [](QPainter& p) {
                QPen dashed = p.pen();
                dashed.setStyle(Qt::DashLine);
                p.setPen(dashed);
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(4, 4, 20, 16));
                p.setPen(QPen(kInk, 1.5));
                QPolygonF pointer;
                pointer << QPointF(16, 14) << QPointF(16, 30) << QPointF(20, 26) << QPointF(24, 31) << QPointF(26, 30)
                        << QPointF(22, 25) << QPointF(27, 24);
                p.setBrush(kPaper);
                p.drawPolygon(pointer);
            } },
        { "crop",
            [](QPainter& p) {
                p.setPen(QPen(kInk, 3));
                p.drawPolyline(QPolygonF { QPointF(8, 2), QPointF(8, 24), QPointF(30, 24) });
                p.drawPolyline(QPolygonF { QPointF(2, 8), QPointF(24, 8), QPointF(24, 30) });
            } },
        { "zoom", [](QPainter& p) { Magnifier(p); } },
        { "text",
            [](QPainter& p) {
                QFont font("DejaVu Serif");
                font.setPixelSize(26);
                font.setBold(true);
                p.setFont(font);
                p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, "T");
            } },
        { "line",
            [](QPainter& p) {
                p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(5, 27), QPointF(27, 5));
            } },
        { "rect",
            [](QPainter& p) {
                p.setPen(QPen(kInk, 3));
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(5, 8, 22, 16));
            } },
        { "highlight",
            [](QPainter& p) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(255, 230, 0, 200));
                p.drawRect(QRectF(3, 12, 26, 10));
                p.setPen(QPen(kInk, 1.5));
                p.drawLine(QPointF(6, 17), QPointF(26, 17));
            } },
        { "arrow",
            [](QPainter& p) {
                p.setPen(QPen(kInk, 3));
                p.drawLine(QPointF(5, 27), QPointF(22, 10));
                p.setPen(QPen(kInk, 1));
                ArrowHead(p, QPointF(28, 4), QPointF(5, 27));
            } },
        { "stamp",
            [](QPainter& p) {
                p.setBrush(QColor(200, 60, 60));
                p.drawRect(QRectF(5, 22, 22, 5));
                p.drawRect(QRectF(12, 12, 8, 10));
                p.drawEllipse(QPointF(16, 9), 6, 5);
            } },
        { "redact",
            [](QPainter& p) {
                // Coarse squares where a picture was.
                const QColor shades[] = { QColor(90, 100, 120), QColor(160, 170, 185), QColor(125, 135, 155) };
                p.setPen(Qt::NoPen);
                for (int row = 0; row < 4; ++row)
                    for (int column = 0; column < 4; ++column) {
                        p.setBrush(shades[(row * 2 + column) % 3]);
                        p.drawRect(QRectF(4 + column * 6, 4 + row * 6, 6, 6));
                    }
                p.setPen(QPen(kInk, 1.5));
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(4, 4, 24, 24));
            } },
        { "step",
            [](QPainter& p) {
                // A numbered circle, with a smaller one behind it for the step before.
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(220, 40, 40, 120));
                p.drawEllipse(QPointF(9, 9), 6, 6);
                p.setBrush(QColor(220, 40, 40));
                p.drawEllipse(QPointF(18, 18), 11, 11);
                QFont font = p.font();
                font.setPixelSize(15);
                font.setBold(true);
                p.setFont(font);
                p.setPen(Qt::white);
                p.drawText(QRectF(7, 7, 22, 22), Qt::AlignCenter, "2");
            } },
        { "pen",
            [](QPainter& p) {
                // A freehand curl ending at a pen's tip.
                QPainterPath curl;
                curl.moveTo(3, 26);
                curl.cubicTo(8, 14, 12, 30, 16, 20);
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(QColor(220, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
                p.drawPath(curl);
                p.setPen(QPen(kInk, 1.5));
                p.setBrush(kWarm);
                QPolygonF body;
                body << QPointF(16, 20) << QPointF(27, 6) << QPointF(30, 9) << QPointF(19, 23);
                p.drawPolygon(body);
            } },
        { "delete",
            [](QPainter& p) {
                p.setPen(QPen(QColor(200, 50, 50), 4, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(7, 7), QPointF(25, 25));
                p.drawLine(QPointF(25, 7), QPointF(7, 25));
            } },
    };
    return table;
}
} // namespace

QPixmap Pictograms::Draw(const QString& name, int size)
{
    const auto it = Table().find(name);
    if (it == Table().end())
        return {};
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    it->second(painter);
    return pixmap;
}
