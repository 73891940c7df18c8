// Draws the stamps shipped in res/stamps. Rebuild them with:
//   g++ -std=c++20 -fPIC scripts/make_stamps.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_stamps
//   QT_QPA_PLATFORM=offscreen /tmp/make_stamps res/stamps
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>
#include <functional>

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 72;

bool Save(const QString& folder, const QString& name, const std::function<void(QPainter&)>& draw)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter);
    painter.end();
    return image.save(folder + "/" + name + ".png");
}

// An arrow pointing right, turned by angle degrees about the centre.
void Arrow(QPainter& painter, qreal angle)
{
    painter.translate(kWidth / 2.0, kHeight / 2.0);
    painter.rotate(angle);
    const QPolygonF shape({ { -36, -10 }, { 6, -10 }, { 6, -26 }, { 38, 0 }, { 6, 26 }, { 6, 10 }, { -36, 10 } });
    painter.setPen(QPen(QColor(120, 10, 10), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(220, 40, 40));
    painter.drawPolygon(shape);
}

void Number(QPainter& painter, int number)
{
    painter.setPen(QPen(Qt::white, 4));
    painter.setBrush(QColor(30, 90, 200));
    painter.drawEllipse(QPointF(kWidth / 2.0, kHeight / 2.0), 32, 32);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(40);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, kWidth, kHeight), Qt::AlignCenter, QString::number(number));
}

void Check(QPainter& painter)
{
    painter.setPen(QPen(QColor(20, 140, 40), 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({ { 18, 38 }, { 38, 58 }, { 78, 14 } }));
}

void Cross(QPainter& painter)
{
    painter.setPen(QPen(QColor(210, 30, 30), 14, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(24, 12), QPointF(72, 60));
    painter.drawLine(QPointF(72, 12), QPointF(24, 60));
}

void Warning(QPainter& painter)
{
    painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(250, 200, 20));
    painter.drawPolygon(QPolygonF({ { 48, 4 }, { 90, 68 }, { 6, 68 } }));
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(44, 24, 8, 26), 3, 3);
    painter.drawEllipse(QPointF(48, 59), 4.5, 4.5);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_stamps FOLDER\n");
        return 2;
    }
    const QString folder = argv[1];
    QDir().mkpath(folder);
    bool ok = true;
    const std::pair<const char*, qreal> arrows[]
        = { { "arrow-down", 90 }, { "arrow-left", 180 }, { "arrow-right", 0 }, { "arrow-up", 270 } };
    for (const auto& [name, angle] : arrows)
        ok &= Save(folder, name, [angle](QPainter& p) { Arrow(p, angle); });
    ok &= Save(folder, "check", Check);
    ok &= Save(folder, "cross", Cross);
    for (int n = 1; n <= 9; ++n)
        ok &= Save(folder, QString("number-%1").arg(n), [n](QPainter& p) { Number(p, n); });
    ok &= Save(folder, "warning", Warning);
    return ok ? 0 : 1;
}
