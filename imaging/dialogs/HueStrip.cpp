#include "imaging/dialogs/HueStrip.h"

#include <QMouseEvent>
#include <QPainter>

HueStrip::HueStrip(QWidget* parent)
    : QWidget(parent)
    , picture_(kWidth, kHeight, QImage::Format_RGB32)
{
    setObjectName("control1050");
    setFixedSize(kWidth, kHeight);
    for (int x = 0; x < kWidth; ++x) {
        const QRgb colour = ColumnColour(x).rgb();
        for (int y = 0; y < kHeight; ++y)
            picture_.setPixel(x, y, colour);
    }
}

QColor HueStrip::ColumnColour(int column)
{
    // Six equal sectors starting at cyan; within a sector one channel moves between kLow and kHigh.
    const int span = kHigh - kLow;
    const double position = 6.0 * column / kWidth;
    const int sector = int(position) % 6;
    const int rising = kLow + int(span * (position - int(position)));
    const int falling = kHigh - (rising - kLow);
    switch (sector) {
    case 0: // cyan to blue
        return QColor(kLow, falling, kHigh);
    case 1: // blue to magenta
        return QColor(rising, kLow, kHigh);
    case 2: // magenta to red
        return QColor(kHigh, kLow, falling);
    case 3: // red to yellow
        return QColor(kHigh, rising, kLow);
    case 4: // yellow to green
        return QColor(falling, kHigh, kLow);
    default: // green to cyan
        return QColor(kLow, kHigh, rising);
    }
}

void HueStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void HueStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Pick(event->position().toPoint());
}

void HueStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        Pick(event->position().toPoint());
}

void HueStrip::Pick(QPoint position)
{
    if (!picture_.rect().contains(position))
        return;
    emit ColourPicked(picture_.pixelColor(position));
}
