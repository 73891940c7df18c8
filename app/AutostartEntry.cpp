#include "app/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

AutostartEntry::AutostartEntry(QString filePath)
    : filePath_(std::move(filePath))
{
}

QString AutostartEntry::DefaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + "/.config";
    return base + "/autostart/Lumora.desktop";
}

QString AutostartEntry::QuoteExec(const QString& executable)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (QChar c : executable)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString arg;
    for (QChar c : executable) {
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\'))
            arg += '\\';
        arg += c;
    }
    if (needsQuotes)
        arg = '"' + arg + '"';
    // The value is also a desktop-entry string (backslash escapes) and a field-code carrier (%).
    arg.replace("\\", "\\\\");
    arg.replace("%", "%%");
    return arg;
}

QString AutostartEntry::Contents(const QString& executable)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Lumora\n"
           "Comment=Screen capture and image editor\n"
           "Exec="
        + QuoteExec(executable)
        + "\n"
          "Terminal=false\n"
          "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEntry::Write(const QString& executable) const
{
    const QByteArray wanted = Contents(executable).toUtf8();
    QFile existing(filePath_);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == wanted)
        return true;
    existing.close();
    if (!QDir().mkpath(QFileInfo(filePath_).absolutePath()))
        return false;
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(wanted);
    return file.commit();
}

bool AutostartEntry::Remove() const
{
    return !QFile::exists(filePath_) || QFile::remove(filePath_);
}

bool AutostartEntry::Exists() const
{
    return QFile::exists(filePath_);
}
