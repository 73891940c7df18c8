#pragma once

#include <QDialog>

class CXColourPicker;
class FontListCombo;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class TextObject;

// "Edit Text": the text of a text object with its font, size, style, alignment and colour. OK writes
// every field into the object; Cancel leaves it as it was.
class CEditTxtDlg : public QDialog {
    Q_OBJECT
public:
    explicit CEditTxtDlg(TextObject& object, QWidget* parent = nullptr);

    // Fills the controls from the object.
    void LoadFromObject();

public slots:
    void accept() override;

private:
    void BuildControls();
    void OnSizeChosen(int index);
    void SelectSizeEntry(int size);

    TextObject& object_;
    QPlainTextEdit* text_;
    FontListCombo* fonts_;
    CXColourPicker* colour_;
    QLineEdit* size_;
    QComboBox* sizes_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* underline_;
    QButtonGroup* alignment_;
};
