#pragma once

#include "settings/CaptureSettings.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Page "Capture to" of the Capture Setting dialog: where captures go (clipboard, editor, file) and how
// auto-saved files are named.
class CPageSave : public QWidget {
    Q_OBJECT
public:
    // Chooses a folder, starting at the given one; empty when cancelled.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& start)>;

    CPageSave(CaptureSettings& values, QWidget* parent = nullptr);

    static const char* const kFormats[4];
    // The ImageFormat of a list text: its position in kFormats, anything else 0.
    static int FormatIndex(const QString& text);

    void SetFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }
    // Puts the controls' values into the record; false (and a message) when "Start at:" is no integer.
    bool ReadBack();
    void UpdateEnabling();

private:
    void SelectFolder();

    CaptureSettings& values_;
    FolderChooser chooseFolder_;
    QCheckBox* clipboard_ = nullptr;
    QCheckBox* editor_ = nullptr;
    QRadioButton* newWindow_ = nullptr;
    QRadioButton* replace_ = nullptr;
    QCheckBox* toFile_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* startNum_ = nullptr;
    QLineEdit* path_ = nullptr;
    QPushButton* select_ = nullptr;
    QComboBox* format_ = nullptr;
};
