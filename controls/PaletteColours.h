#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>

class QPalette;

// Colours cross the picker's interface as 0x00BBGGRR values (red in the low byte), the form the
// annotation objects store. 0xFF000000 is the "default colour" sentinel.
constexpr uint32_t kDefaultColourSentinel = 0xFF000000;

constexpr uint32_t ColourRefFromRgb(int red, int green, int blue)
{
    return uint32_t(red & 0xFF) | uint32_t(green & 0xFF) << 8 | uint32_t(blue & 0xFF) << 16;
}

inline QColor QColorFromRef(uint32_t colour)
{
    return QColor(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF));
}

inline uint32_t ColourRefFromQColor(const QColor& colour)
{
    return ColourRefFromRgb(colour.red(), colour.green(), colour.blue());
}

// One cell of the pop-up palette.
struct PaletteCell {
    uint32_t colour = 0;
    QString name;
    int systemIndex = -1; // the Windows system colour index the cell stands for, or -1
};

// The palette's 8 x 13 cells row by row: 56 named colours, 16 system colours, the separator and
// "Custom..." rows (16 grey placeholders named "1" to "16") and 16 custom colours.
class PaletteColours {
public:
    static constexpr int kColumns = 8;
    static constexpr int kRows = 13;
    static constexpr int kSeparatorRow = 9;
    static constexpr int kCustomRow = 10;
    static constexpr int kFirstCustomColourRow = 11;
    static constexpr int kCustomColourCount = 16;

    using Table = std::array<PaletteCell, kColumns * kRows>;

    // The system rows are read from palette; the custom rows are white.
    static Table Make(const QPalette& palette);
    // The first cell holding colour, as row * 8 + column, or -1.
    static int IndexOf(const Table& table, uint32_t colour);
};
