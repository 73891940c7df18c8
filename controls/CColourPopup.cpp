#include "controls/CColourPopup.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <qdrawutil.h>

#include <algorithm>

namespace {
constexpr int kColumns = PaletteColours::kColumns;
constexpr int kRows = PaletteColours::kRows;
constexpr int kSeparatorRow = PaletteColours::kSeparatorRow;
constexpr int kCustomRow = PaletteColours::kCustomRow;
constexpr int kFirstCustom = PaletteColours::kFirstCustomColourRow * kColumns;
} // namespace

CColourPopup::CColourPopup(const QRect& anchor, uint32_t colour, const CustomColours& custom, QWidget* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint)
    , table_(PaletteColours::Make(palette()))
    , initial_(colour)
    , current_(colour)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, grey.color(QPalette::Button));
    setPalette(grey);
    setAutoFillBackground(true);
    for (size_t i = 0; i < custom.size(); ++i)
        table_[kFirstCustom + i].colour = custom[i];
    const int index = PaletteColours::IndexOf(table_, colour);
    if (index >= 0) {
        chosenRow_ = index / kColumns;
        chosenColumn_ = index % kColumns;
    }
    PlaceBelow(anchor);
}

CColourPopup::CustomColours CColourPopup::Custom() const
{
    CustomColours custom;
    for (size_t i = 0; i < custom.size(); ++i)
        custom[i] = table_[kFirstCustom + i].colour;
    return custom;
}

void CColourPopup::PlaceBelow(const QRect& anchor)
{
    const int cell = std::max(kCellSize, 2 * margin_ + 7);
    const int width
        = std::max(2 * margin_ + kColumns * cell, fontMetrics().horizontalAdvance(customText_) + 2 * margin_);
    const int height = 2 * margin_ + kRows * cell;
    // Left open by the described program (it may leave the screen): keep the palette visible,
    // flipping above the button when there is no room below.
    QScreen* screen = QGuiApplication::screenAt(anchor.bottomLeft());
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, width, height);
    QPoint at(anchor.left(), anchor.bottom() + 1);
    if (at.y() + height > area.bottom() + 1 && anchor.top() - height >= area.top())
        at.setY(anchor.top() - height);
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - width)));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - height)));
    setGeometry(QRect(at, QSize(width, height)));
}

QRect CColourPopup::CellRect(int row, int column) const
{
    return QRect(margin_ + column * kCellSize, margin_ + row * kCellSize, kCellSize, kCellSize);
}

QRect CColourPopup::CustomButtonRect() const
{
    // Never taller than its row, so that it does not cover the custom colours below it.
    const int height = std::min(fontMetrics().height() + 2 * margin_, kCellSize);
    return QRect(margin_, margin_ + kCustomRow * kCellSize, width() - 2 * margin_, height);
}

void CColourPopup::HitTest(QPoint point, int& row, int& column) const
{
    row = column = -1;
    const int x = point.x() - margin_;
    const int y = point.y() - margin_;
    if (CustomButtonRect().contains(point)) {
        row = kCustomRow;
        column = std::clamp(x / kCellSize, 0, kColumns - 1);
        return;
    }
    if (x < 0 || y < 0 || x >= kColumns * kCellSize || y >= kRows * kCellSize)
        return;
    row = y / kCellSize;
    column = x / kCellSize;
}

void CColourPopup::SetHot(int row, int column)
{
    if (row == hotRow_ && column == hotColumn_)
        return;
    hotRow_ = row;
    hotColumn_ = column;
    update();
    if (row < 0 || row == kSeparatorRow)
        return;
    current_ = row == kCustomRow ? initial_ : Cell(row, column).colour;
    emit Hovered(current_);
}

void CColourPopup::MoveByKey(int key)
{
    int row = hotRow_ >= 0 ? hotRow_ : chosenRow_;
    int column = hotRow_ >= 0 ? hotColumn_ : chosenColumn_;
    const bool start = row >= 0;
    switch (key) {
    case Qt::Key_Left:
        if (!start) {
            row = kRows - 1;
            column = kColumns - 1;
        } else {
            column = (column + kColumns - 1) % kColumns;
        }
        break;
    case Qt::Key_Right:
        if (!start)
            row = column = 0;
        else
            column = (column + 1) % kColumns;
        break;
    case Qt::Key_Up:
        if (!start)
            return;
        row = row == kCustomRow ? kSeparatorRow - 1 : (row + kRows - 1) % kRows;
        break;
    case Qt::Key_Down:
        if (!start)
            return;
        row = row == kSeparatorRow - 1 ? kCustomRow : (row + 1) % kRows;
        break;
    default:
        return;
    }
    SetHot(row, column);
}

void CColourPopup::End(bool chosen)
{
    if (!chosen)
        current_ = initial_;
    if (chosen && hotRow_ == kSeparatorRow)
        return;
    if (chosen && hotRow_ == kCustomRow) {
        RunCustomDialog();
        return;
    }
    chosenRow_ = hotRow_;
    chosenColumn_ = hotColumn_;
    ended_ = true;
    emit Finished(chosen, current_, chosenRow_, chosenColumn_);
    close();
}

void CColourPopup::RunCustomDialog()
{
    QColorDialog dialog(QColorFromRef(initial_));
    dialog.setOptions(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle("Color");
    for (int i = 0; i < PaletteColours::kCustomColourCount; ++i)
        QColorDialog::setCustomColor(i, QColorFromRef(table_[kFirstCustom + i].colour));
    // A pop-up keeps every input to itself, so it steps aside while the dialog runs.
    inDialog_ = true;
    hide();
    if (dialog.exec() == QDialog::Accepted) {
        current_ = ColourRefFromQColor(dialog.currentColor());
        for (int i = 0; i < PaletteColours::kCustomColourCount; ++i)
            table_[kFirstCustom + i].colour = ColourRefFromQColor(QColorDialog::customColor(i));
    }
    inDialog_ = false;
    show();
    update();
}

void CColourPopup::mouseMoveEvent(QMouseEvent* event)
{
    int row, column;
    HitTest(event->position().toPoint(), row, column);
    SetHot(row, column);
}

void CColourPopup::mousePressEvent(QMouseEvent* event)
{
    // A press outside must not close the pop-up as Qt would: the release decides.
    mouseMoveEvent(event);
}

void CColourPopup::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    mouseMoveEvent(event);
    End(rect().contains(event->position().toPoint()));
}

void CColourPopup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        End(true);
        break;
    case Qt::Key_Escape:
        End(false);
        break;
    default:
        MoveByKey(event->key());
        break;
    }
}

void CColourPopup::closeEvent(QCloseEvent* event)
{
    // Closed from outside (another window took over): a cancellation, announced once.
    if (!ended_ && !inDialog_) {
        ended_ = true;
        current_ = initial_;
        emit Finished(false, current_, chosenRow_, chosenColumn_);
    }
    QWidget::closeEvent(event);
}

bool CColourPopup::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    int row, column;
    HitTest(help->pos(), row, column);
    if (row == kCustomRow)
        QToolTip::showText(help->globalPos(), "Selects a custom color", this, CustomButtonRect());
    else if (row >= 0 && row != kSeparatorRow)
        QToolTip::showText(help->globalPos(), Cell(row, column).name, this, CellRect(row, column));
    else
        QToolTip::hideText();
    return true;
}

void CColourPopup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int row = 0; row < kRows; ++row) {
        if (row == kSeparatorRow || row == kCustomRow)
            continue;
        for (int column = 0; column < kColumns; ++column)
            DrawCell(painter, row, column);
    }
    DrawSeparator(painter);
    DrawCustomButton(painter);
    qDrawWinPanel(&painter, rect(), palette(), false);
}

void CColourPopup::DrawCell(QPainter& painter, int row, int column) const
{
    const QRect cell = CellRect(row, column);
    painter.fillRect(cell, palette().color(QPalette::Button));
    if (row == hotRow_ && column == hotColumn_)
        qDrawShadePanel(&painter, cell, palette(), false, 1);
    else if (row == chosenRow_ && column == chosenColumn_)
        qDrawShadePanel(&painter, cell, palette(), true, 1);
    const int inset = margin_ + 1;
    const QRect swatch = cell.adjusted(inset, inset, -inset, -inset);
    painter.fillRect(swatch, QColorFromRef(Cell(row, column).colour));
    painter.setPen(palette().color(QPalette::Dark));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void CColourPopup::DrawSeparator(QPainter& painter) const
{
    const QRect first = CellRect(kSeparatorRow, 0);
    const int y = first.center().y();
    qDrawShadeLine(&painter, first.left() + 1, y, first.left() + kColumns * kCellSize - 2, y, palette(), true, 1, 0);
}

void CColourPopup::DrawCustomButton(QPainter& painter) const
{
    const QRect button = CustomButtonRect();
    painter.fillRect(button, palette().color(QPalette::Button));
    if (hotRow_ == kCustomRow)
        qDrawShadePanel(&painter, button, palette(), false, 1);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(button, Qt::AlignCenter | Qt::TextSingleLine, customText_);
}
