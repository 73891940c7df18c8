#include "app/QtFileFilters.h"

QStringList QtFileFilters(const QString& pairs)
{
    QStringList filters;
    const QStringList parts = pairs.split('|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (label.isEmpty() && patterns.isEmpty())
            break;
        // The label's own parenthesised list uses commas, which Qt would take as part of a pattern.
        const qsizetype paren = label.lastIndexOf('(');
        if (paren > 0 && label.endsWith(')'))
            label = label.left(paren).trimmed();
        QStringList globs = patterns.split(';', Qt::SkipEmptyParts);
        for (QString& glob : globs)
            glob = glob.trimmed();
        filters << label + " (" + globs.join(' ') + ")";
    }
    return filters;
}
