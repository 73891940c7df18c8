#include "controls/PaletteColours.h"

#include <QPalette>

namespace {

struct NamedColour {
    const char* name;
    int red, green, blue;
};

constexpr NamedColour kNamed[56] = {
    { "Light Maroon", 128, 0, 64 },
    { "Dark Red", 139, 0, 0 },
    { "Red", 255, 0, 0 },
    { "Deep Pink", 255, 0, 128 },
    { "Magenta", 255, 0, 255 },
    { "Pink", 255, 128, 192 },
    { "Light Pink", 255, 128, 255 },
    { "Very Light Pink", 255, 208, 232 },
    { "Dark Orange", 255, 140, 0 },
    { "Orange", 255, 165, 0 },
    { "Light Salmon", 255, 128, 128 },
    { "Light Orange", 255, 224, 160 },
    { "Gold", 255, 215, 0 },
    { "Yellow", 255, 255, 0 },
    { "Desert Yellow", 255, 255, 128 },
    { "Pale Yellow", 255, 255, 184 },
    { "Dark Green", 0, 64, 0 },
    { "Medium Green", 0, 64, 64 },
    { "Green", 0, 128, 0 },
    { "Dark Teal", 0, 128, 64 },
    { "Olive", 128, 128, 0 },
    { "Teal", 0, 128, 128 },
    { "Turquoise", 64, 128, 128 },
    { "Medium Spring Green", 0, 255, 64 },
    { "Mint Green", 128, 255, 0 },
    { "Lime", 0, 255, 0 },
    { "Spring Green", 0, 255, 128 },
    { "Pale Green", 152, 251, 152 },
    { "Aquamarine", 127, 255, 212 },
    { "Very Pale Green", 192, 220, 192 },
    { "Deep Purple", 64, 0, 64 },
    { "Purple", 128, 0, 128 },
    { "Deep Violet", 64, 0, 128 },
    { "Midnight Blue", 0, 0, 64 },
    { "Dark Blue", 0, 0, 160 },
    { "Navy", 0, 0, 128 },
    { "Violet", 128, 0, 255 },
    { "Blue", 0, 0, 255 },
    { "Medium Blue", 0, 64, 128 },
    { "Light Sky Blue", 0, 128, 255 },
    { "Cornflower Blue", 100, 149, 237 },
    { "Sky Blue", 128, 128, 192 },
    { "Dark Cyan", 0, 128, 192 },
    { "Medium Slate Blue", 128, 128, 255 },
    { "Light Blue", 128, 255, 255 },
    { "Cyan", 0, 255, 255 },
    { "Powder Blue", 176, 224, 230 },
    { "Light Cyan", 224, 255, 255 },
    { "Black", 0, 0, 0 },
    { "Gray", 128, 128, 128 },
    { "Gray 40%", 152, 152, 152 },
    { "Silver", 192, 192, 192 },
    { "Light Gray", 211, 211, 211 },
    { "Beige", 245, 245, 220 },
    { "Floral White", 255, 251, 240 },
    { "White", 255, 255, 255 },
};

// Qt has no caption or desktop colours; the nearest palette roles stand in for them.
struct SystemColour {
    const char* name;
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr SystemColour kSystem[16] = {
    { "Window", 5, QPalette::Active, QPalette::Base },
    { "WindowText", 8, QPalette::Active, QPalette::Text },
    { "InfoBk", 24, QPalette::Active, QPalette::ToolTipBase },
    { "InfoText", 23, QPalette::Active, QPalette::ToolTipText },
    { "ActiveCaption", 2, QPalette::Active, QPalette::Highlight },
    { "CaptionText", 9, QPalette::Active, QPalette::HighlightedText },
    { "InactiveCaption", 3, QPalette::Inactive, QPalette::Highlight },
    { "InactiveCaptionText", 19, QPalette::Inactive, QPalette::HighlightedText },
    { "BtnFace", 15, QPalette::Active, QPalette::Button },
    { "BtnText", 18, QPalette::Active, QPalette::ButtonText },
    { "BtnShadow", 16, QPalette::Active, QPalette::Dark },
    { "BtnHighlight", 20, QPalette::Active, QPalette::Light },
    { "Highlight", 13, QPalette::Active, QPalette::Highlight },
    { "HighlightText", 14, QPalette::Active, QPalette::HighlightedText },
    { "3DLight", 22, QPalette::Active, QPalette::Midlight },
    { "Desktop", 1, QPalette::Active, QPalette::Mid },
};

} // namespace

PaletteColours::Table PaletteColours::Make(const QPalette& palette)
{
    Table table;
    size_t i = 0;
    for (const NamedColour& named : kNamed)
        table[i++] = { ColourRefFromRgb(named.red, named.green, named.blue), named.name, -1 };
    for (const SystemColour& system : kSystem)
        table[i++] = { ColourRefFromQColor(palette.color(system.group, system.role)), system.name, system.index };
    for (int n = 1; n <= kCustomColourCount; ++n)
        table[i++] = { ColourRefFromRgb(192, 192, 192), QString::number(n), -1 };
    for (int n = 1; n <= kCustomColourCount; ++n)
        table[i++] = { ColourRefFromRgb(255, 255, 255), QString("Custom color %1").arg(n), -1 };
    return table;
}

int PaletteColours::IndexOf(const Table& table, uint32_t colour)
{
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].colour == colour)
            return int(i);
    }
    return -1;
}
