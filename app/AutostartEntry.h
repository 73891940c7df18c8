#pragma once

#include <QString>

// The desktop's autostart entry that starts the program when the user logs in:
// $XDG_CONFIG_HOME/autostart/Lumora.desktop (~/.config when the variable is unset or relative).
class AutostartEntry {
public:
    explicit AutostartEntry(QString filePath = DefaultPath());

    static QString DefaultPath();
    // The entry's text for an executable; its Exec line quotes the path as desktop entries require.
    static QString Contents(const QString& executable);
    static QString QuoteExec(const QString& executable);

    // Leaves an existing entry with the same text untouched; true when the entry is in place.
    bool Write(const QString& executable) const;
    bool Remove() const;
    bool Exists() const;
    const QString& FilePath() const { return filePath_; }

private:
    QString filePath_;
};
