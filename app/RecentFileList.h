#pragma once

#include <QStringList>

class QSettings;

// The most recently opened or saved files, newest first, kept in the user's settings under
// "Recent File List" as File1..FileN.
class RecentFileList {
public:
    explicit RecentFileList(int capacity = 4)
        : capacity_(capacity)
    {
    }

    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Entries() const { return entries_; }
    int Capacity() const { return capacity_; }

    void Load(QSettings& settings);
    void Save(QSettings& settings) const;

private:
    int capacity_;
    QStringList entries_;
};
