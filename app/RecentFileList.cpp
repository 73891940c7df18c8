#include "app/RecentFileList.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const char* const kGroup = "Recent File List";

QString Normalised(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}
} // namespace

void RecentFileList::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString entry = Normalised(path);
    entries_.removeAll(entry);
    entries_.prepend(entry);
    while (entries_.size() > capacity_)
        entries_.removeLast();
}

void RecentFileList::Remove(const QString& path)
{
    entries_.removeAll(Normalised(path));
}

void RecentFileList::Load(QSettings& settings)
{
    entries_.clear();
    settings.beginGroup(kGroup);
    for (int i = 1; i <= capacity_; ++i) {
        const QString path = settings.value(QString("File%1").arg(i)).toString();
        if (!path.isEmpty() && !entries_.contains(path))
            entries_ << path;
    }
    settings.endGroup();
}

void RecentFileList::Save(QSettings& settings) const
{
    settings.beginGroup(kGroup);
    settings.remove("");
    for (int i = 0; i < entries_.size(); ++i)
        settings.setValue(QString("File%1").arg(i + 1), entries_[i]);
    settings.endGroup();
}
