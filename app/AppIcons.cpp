#include "app/AppIcons.h"

#include "app/Pictograms.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

QPixmap AppIcons::ApplicationPixmap(int size)
{
    // A lens on a rounded body.
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 90, 160));
    painter.drawRoundedRect(QRectF(s * 0.06, s * 0.22, s * 0.88, s * 0.66), s * 0.12, s * 0.12);
    painter.drawRect(QRectF(s * 0.34, s * 0.12, s * 0.32, s * 0.14));
    painter.setBrush(QColor(235, 240, 250));
    painter.drawEllipse(QPointF(s * 0.5, s * 0.55), s * 0.24, s * 0.24);
    painter.setBrush(QColor(250, 190, 40));
    painter.drawEllipse(QPointF(s * 0.5, s * 0.55), s * 0.13, s * 0.13);
    painter.end();
    return pixmap;
}

QIcon AppIcons::Application()
{
    // Drawn at the sizes tray hosts and window managers ask for.
    QIcon icon;
    for (int size : { 16, 22, 24, 32, 48, 64 })
        icon.addPixmap(ApplicationPixmap(size));
    return icon;
}

QIcon AppIcons::Glyph(const QString& glyph, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 70, 90), 1));
    painter.setBrush(QColor(225, 232, 242));
    painter.drawRoundedRect(QRectF(1.5, 1.5, size - 3, size - 3), size * 0.15, size * 0.15);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(glyph.size() > 2 ? size * 3 / 10 : size * 4 / 10);
    painter.setFont(font);
    painter.setPen(QColor(30, 40, 60));
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, glyph);
    painter.end();
    return QIcon(pixmap);
}

QIcon AppIcons::ThemeOr(const char* themeName, const char* pictogram, int size)
{
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(themeName));
    if (!themed.isNull())
        return themed;
    const QPixmap drawn = Pictograms::Draw(QString::fromLatin1(pictogram), size);
    return drawn.isNull() ? Glyph(QString::fromLatin1(pictogram), size) : QIcon(drawn);
}
