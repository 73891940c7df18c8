#pragma once

#include <QComboBox>
#include <QFont>
#include <QHash>

// The drop-down list of installed font families, sorted, each drawn in its own face.
class FontListCombo : public QComboBox {
    Q_OBJECT
public:
    explicit FontListCombo(QWidget* parent = nullptr);

    // Clears the list and its preview fonts, then lists every installed family.
    void Fill();
    // Selects the first entry that begins with face (any letter case); failing that the family the
    // desktop draws face with (so "Arial" finds the face installed for it); failing that the first entry.
    void SelectFace(const QString& face);
    const QHash<QString, QFont>& PreviewFonts() const { return fonts_; }

private:
    int FindPrefix(const QString& text) const;

    QHash<QString, QFont> fonts_;
};
