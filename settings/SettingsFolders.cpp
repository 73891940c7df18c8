#include "settings/SettingsFolders.h"

#include <QDir>
#include <QStandardPaths>

SettingsFolders SettingsFolders::FromSystem()
{
    SettingsFolders folders;
    folders.home = QDir::homePath().toStdString();
    folders.documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    if (folders.documents.empty())
        folders.documents = folders.home;
    return folders;
}
