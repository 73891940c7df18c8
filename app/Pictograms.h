#pragma once

#include <QPixmap>
#include <QString>

// Our own toolbar pictures, drawn rather than loaded so that they scale to any bar size. Each is drawn
// on a 32 x 32 grid; an unknown name gives a null pixmap.
class Pictograms {
public:
    static QPixmap Draw(const QString& name, int size);
};
