#pragma once

#include "settings/CaptureSettings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

// Page "Other" of the Capture Setting dialog: the delay, the window and sound options, the cursor and
// the fixed rectangle's size, the notification of where a capture went, and the language "Copy Text" reads.
class CPageBasic : public QWidget {
    Q_OBJECT
public:
    CPageBasic(CaptureSettings& values, QWidget* parent = nullptr);

    // Puts the controls' values into the record; false (and a message) when a number field holds none.
    bool ReadBack();

private:
    CaptureSettings& values_;
    QLineEdit* delay_ = nullptr;
    QCheckBox* hide_ = nullptr;
    QCheckBox* restore_ = nullptr;
    QCheckBox* sound_ = nullptr;
    QCheckBox* cursor_ = nullptr;
    QCheckBox* notify_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* height_ = nullptr;
    QComboBox* language_ = nullptr;
};
