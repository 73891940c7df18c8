#pragma once

#include <QString>

// Puts text on the desktop clipboard. On X11 it is served by our clipboard program, as a copied picture
// is, so that it outlives the window program; elsewhere the toolkit's clipboard holds it.
class TextClipboard {
public:
    static bool Set(const QString& text);
};
