#pragma once

#include "controls/PaletteColours.h"

#include <QWidget>

#include <array>
#include <cstdint>

// The borderless palette a colour picker opens: named, system and custom colours and "Custom...".
// It grabs the mouse and keyboard while open (a Qt pop-up), reports the colour under the mouse or the
// arrow keys as it moves, and ends with a choice or a cancellation; then it deletes itself.
class CColourPopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCellSize = 18;

    using CustomColours = std::array<uint32_t, PaletteColours::kCustomColourCount>;

    // Opens below anchor (the picker's rectangle in screen coordinates), kept inside the screen.
    CColourPopup(const QRect& anchor, uint32_t colour, const CustomColours& custom, QWidget* owner = nullptr);

    int HotRow() const { return hotRow_; }
    int HotColumn() const { return hotColumn_; }
    int ChosenRow() const { return chosenRow_; }
    int ChosenColumn() const { return chosenColumn_; }
    uint32_t CurrentColour() const { return current_; }
    CustomColours Custom() const;
    const PaletteCell& Cell(int row, int column) const
    {
        return table_[size_t(row * PaletteColours::kColumns + column)];
    }
    // Where a cell (or, for the "Custom..." row, the button) lies in the palette.
    QRect CellRect(int row, int column) const;
    QRect CustomButtonRect() const;
    int Margin() const { return margin_; }

signals:
    // The colour under the mouse or the keys changed.
    void Hovered(uint32_t colour);
    // The palette closes: with a colour chosen, or cancelled with the initial colour.
    void Finished(bool chosen, uint32_t colour, int row, int column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void PlaceBelow(const QRect& anchor);
    void HitTest(QPoint point, int& row, int& column) const;
    void SetHot(int row, int column);
    void MoveByKey(int key);
    void End(bool chosen);
    void RunCustomDialog();
    void DrawCell(QPainter& painter, int row, int column) const;
    void DrawSeparator(QPainter& painter) const;
    void DrawCustomButton(QPainter& painter) const;

    PaletteColours::Table table_;
    const QString customText_ = QStringLiteral("Custom...");
    int margin_ = 2;
    int hotRow_ = -1;
    int hotColumn_ = -1;
    int chosenRow_ = -1;
    int chosenColumn_ = -1;
    uint32_t initial_ = 0;
    uint32_t current_ = 0;
    bool ended_ = false;
    bool inDialog_ = false;
};
