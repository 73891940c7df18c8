#pragma once

#include <QString>

// Chooses the family a text object is drawn with. A face that is installed, or that fontconfig maps to a
// compatible family of its own (Arial to Liberation Sans), is used; any other face falls back to the
// generic sans-serif family. Needs a QGuiApplication.
class FontResolver {
public:
    static QString Resolve(const QString& face);
    static QString GenericSansSerif();
};
