#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

// "Resize...": the new width and height, kept in the opening aspect ratio while "Keep Aspect Radio" is
// set, and the quality, "Good" (nearest pixel, 0) or "Better" (bilinear, 1).
class CResizeDlg : public QDialog {
    Q_OBJECT
public:
    CResizeDlg(int width, int height, QWidget* parent = nullptr);

    int NewWidth() const { return width_; }
    int NewHeight() const { return height_; }
    int Quality() const { return quality_; }

    // The other side for a typed one: opposite × typed / opening side, rounded half away from zero.
    static int KeepAspect(int typed, int openingTyped, int openingOther);

    QLineEdit* WidthEdit() const { return widthEdit_; }
    QLineEdit* HeightEdit() const { return heightEdit_; }
    QCheckBox* KeepAspectCheck() const { return keepAspect_; }
    QRadioButton* GoodRadio() const { return good_; }
    QRadioButton* BetterRadio() const { return better_; }

    // Reads the fields; a field that is not an integer keeps the dialog open.
    void accept() override;

private:
    void Follow(QLineEdit* typed, QLineEdit* other, int openingTyped, int openingOther);
    static bool ReadInt(const QLineEdit* edit, int& value);

    const int openingWidth_;
    const int openingHeight_;
    int width_;
    int height_;
    int quality_ = 1;
    QCheckBox* keepAspect_ = nullptr;
    QLineEdit* widthEdit_ = nullptr;
    QLineEdit* heightEdit_ = nullptr;
    QRadioButton* good_ = nullptr;
    QRadioButton* better_ = nullptr;
};
