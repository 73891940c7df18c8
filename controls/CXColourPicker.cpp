#include "controls/CXColourPicker.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <qdrawutil.h>

namespace {
// The system metrics the button's drawing is measured in: edge width and scroll-bar thumb size.
constexpr int kEdge = 2;
constexpr int kThumb = 16;
constexpr uint32_t kDisabledGrey = ColourRefFromRgb(192, 192, 192);
} // namespace

CXColourPicker::CXColourPicker(int controlId, QWidget* parent)
    : QPushButton(parent)
    , controlId_(controlId)
    , colour_(ColourRefFromRgb(255, 255, 255))
    , savedColour_(ColourRefFromQColor(palette().color(QPalette::Button)))
    // Qt has no application-workspace colour; the tabbed area's background is the nearest.
    , defaultColour_(ColourRefFromQColor(palette().color(QPalette::Dark)))
{
    setObjectName(QString("ctl%1").arg(controlId));
    custom_.fill(ColourRefFromRgb(255, 255, 255));
    connect(this, &QPushButton::clicked, this, &CXColourPicker::OpenPalette);
}

void CXColourPicker::SetColour(uint32_t colour)
{
    colour_ = savedColour_ = colour;
    repaint();
}

void CXColourPicker::SetDefaultColour(uint32_t colour)
{
    defaultColour_ = colour;
    update();
}

void CXColourPicker::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (isEnabled()) {
            colour_ = savedColour_;
        } else {
            savedColour_ = colour_;
            colour_ = kDisabledGrey;
        }
        update();
    }
    QPushButton::changeEvent(event);
}

void CXColourPicker::OpenPalette()
{
    if (palette_)
        return;
    const QRect anchor(mapToGlobal(QPoint(0, 0)), size());
    palette_ = new CColourPopup(anchor, colour_, custom_, this);
    connect(palette_, &CColourPopup::Hovered, this, &CXColourPicker::OnPaletteHover);
    connect(palette_, &CColourPopup::Finished, this, &CXColourPicker::OnPaletteFinished);
    palette_->show();
    palette_->setFocus();
    emit PaletteOpened(colour_, controlId_);
}

void CXColourPicker::OnPaletteHover(uint32_t colour)
{
    if (!trackSelection_)
        return;
    colour_ = colour;
    repaint();
}

void CXColourPicker::OnPaletteFinished(bool chosen, uint32_t colour, int row, int column)
{
    custom_ = palette_->Custom();
    if (!chosen) {
        colour_ = colour;
        repaint();
        emit PaletteClosed(colour, controlId_);
        emit SelectionCancelled(colour, controlId_);
        return;
    }
    lastRow_ = row;
    lastColumn_ = column;
    emit PaletteClosed(colour, controlId_);
    emit SelectionEnded(colour, controlId_);
    // Against the saved colour: with track selection the swatch already shows the new one.
    if (colour != savedColour_) {
        SetColour(colour);
        emit ColourChanged(colour, controlId_);
    }
}

void CXColourPicker::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    // Inside the button frame and the edge; pushed contents move by one pixel.
    QRect area = rect().adjusted(2 * kEdge, 2 * kEdge, -2 * kEdge, -2 * kEdge);
    if (isDown())
        area.translate(1, 1);
    DrawArrow(painter, area);
    int right = area.x() + area.width() - (2 * kEdge + kEdge / 2 + 7);
    qDrawShadeLine(&painter, right - 2, area.top(), right - 2, area.bottom(), palette(), true, 1, 0);
    right -= 2 * kEdge + 1;
    if (!isEnabled())
        return;
    const QRect swatch(area.left(), area.top(), right - area.left(), area.height());
    painter.fillRect(swatch, QColorFromRef(colour_ == kDefaultColourSentinel ? defaultColour_ : colour_));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void CXColourPicker::DrawArrow(QPainter& painter, const QRect& area) const
{
    int size = kThumb / 3 + 2;
    if (size % 2 == 0)
        ++size;
    const int left = area.x() + area.width() - 2 * kEdge - 6;
    const int top = area.top() + area.height() / 2 - 2;
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    for (int k = 0; size - 2 * k > 0; ++k)
        painter.drawLine(left + k, top + k, left + k + (size - 2 * k) - 1, top + k);
}
