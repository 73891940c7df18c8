#include "editor/objects/FontResolver.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>

namespace {

QString ResolvedFamily(const QFont& font)
{
    return QFontInfo(font).family();
}

QString ComputeGeneric()
{
    const QString preferred = QStringLiteral("DejaVu Sans");
    if (QFontDatabase::hasFamily(preferred))
        return preferred;
    QFont font(QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    return ResolvedFamily(font);
}

} // namespace

QString FontResolver::GenericSansSerif()
{
    static const QString generic = ComputeGeneric();
    return generic;
}

QString FontResolver::Resolve(const QString& face)
{
    // Fonts cannot be looked up without a GUI application; whoever draws text checks for one too.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return face;
    // Everything here runs on the GUI thread; resolving a face asks fontconfig, so remember the answers.
    static QHash<QString, QString> cache;
    const auto cached = cache.constFind(face);
    if (cached != cache.constEnd())
        return *cached;

    QString family = GenericSansSerif();
    if (!face.trimmed().isEmpty()) {
        if (QFontDatabase::hasFamily(face)) {
            family = face;
        } else {
            // fontconfig answers an unknown face with its default family, which is the generic one; a
            // different answer is an alias the system set up for that face.
            const QString substitute = ResolvedFamily(QFont(face));
            if (!substitute.isEmpty() && substitute.compare(GenericSansSerif(), Qt::CaseInsensitive) != 0)
                family = substitute;
        }
    }
    cache.insert(face, family);
    return family;
}
