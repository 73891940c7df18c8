#pragma once

#include <QIcon>
#include <QPixmap>

// Icons of the program: the desktop theme's where it has one, our own drawn ones otherwise, so the
// bars look complete on a bare X server too.
class AppIcons {
public:
    static QIcon Application();
    // The application's icon drawn at one size (the installed hicolor icons are made from it).
    static QPixmap ApplicationPixmap(int size);
    static QIcon ThemeOr(const char* themeName, const char* pictogram, int size);
    static QIcon Glyph(const QString& glyph, int size);
};
