#pragma once

#include "controls/CColourPopup.h"

#include <QPointer>
#include <QPushButton>

#include <cstdint>

// A push button showing a colour swatch and a drop-down arrow; a click opens the colour palette. Colours
// are 0x00BBGGRR values. Every notification carries a colour and the button's control id, and reaches
// the connected slots before the call that caused it returns.
class CXColourPicker : public QPushButton {
    Q_OBJECT
public:
    explicit CXColourPicker(int controlId, QWidget* parent = nullptr);

    int ControlId() const { return controlId_; }
    // Sets the colour and the colour restored when the button is enabled again.
    void SetColour(uint32_t colour);
    uint32_t GetColour() const { return colour_; }
    // Drawn in place of the sentinel 0xFF000000.
    void SetDefaultColour(uint32_t colour);
    uint32_t DefaultColour() const { return defaultColour_; }
    // Shows the colour under the mouse while the palette is open.
    void SetTrackSelection(bool track) { trackSelection_ = track; }
    const CColourPopup::CustomColours& CustomColours() const { return custom_; }
    int LastRow() const { return lastRow_; }
    int LastColumn() const { return lastColumn_; }
    // The open palette, or null.
    CColourPopup* Palette() const { return palette_; }

signals:
    void ColourChanged(uint32_t colour, int controlId);
    void PaletteOpened(uint32_t colour, int controlId);
    void PaletteClosed(uint32_t colour, int controlId);
    void SelectionEnded(uint32_t colour, int controlId);
    void SelectionCancelled(uint32_t colour, int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void OpenPalette();
    void OnPaletteHover(uint32_t colour);
    void OnPaletteFinished(bool chosen, uint32_t colour, int row, int column);
    void DrawArrow(QPainter& painter, const QRect& area) const;

    int controlId_;
    uint32_t colour_;
    uint32_t savedColour_;
    uint32_t defaultColour_;
    bool trackSelection_ = false;
    int lastRow_ = -1;
    int lastColumn_ = -1;
    CColourPopup::CustomColours custom_;
    QPointer<CColourPopup> palette_;
};
