#pragma once

#include <QString>
#include <QStringList>

// Turns a "Label (*.a, *.b)|*.a;*.b|...||" filter string into the name filters a QFileDialog takes:
// one "Label (*.a *.b)" per pair, the patterns taken from the pattern half.
QStringList QtFileFilters(const QString& pairs);
