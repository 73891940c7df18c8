#include "imaging/dialogs/CResizeDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdint>

CResizeDlg::CResizeDlg(int width, int height, QWidget* parent)
    : QDialog(parent)
    , openingWidth_(width)
    , openingHeight_(height)
    , width_(width)
    , height_(height)
{
    setObjectName("dialog146");
    setWindowTitle("Resize");
    auto* layout = new QVBoxLayout(this);

    auto* sizeBox = new QGroupBox("Size", this);
    auto* form = new QFormLayout(sizeBox);
    keepAspect_ = new QCheckBox("Keep Aspect Radio", sizeBox);
    keepAspect_->setObjectName("control1004");
    keepAspect_->setChecked(true);
    widthEdit_ = new QLineEdit(QString::number(width), sizeBox);
    widthEdit_->setObjectName("control1005");
    heightEdit_ = new QLineEdit(QString::number(height), sizeBox);
    heightEdit_->setObjectName("control1006");
    form->addRow(keepAspect_);
    form->addRow("Width", widthEdit_);
    form->addRow("Height", heightEdit_);
    layout->addWidget(sizeBox);

    auto* qualityBox = new QGroupBox("Quality", this);
    auto* qualityLayout = new QVBoxLayout(qualityBox);
    good_ = new QRadioButton("Good", qualityBox);
    good_->setObjectName("control1007");
    better_ = new QRadioButton("Better", qualityBox);
    better_->setObjectName("control1008");
    better_->setChecked(true);
    qualityLayout->addWidget(good_);
    qualityLayout->addWidget(better_);
    layout->addWidget(qualityBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("control1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("control2");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // textEdited reports only what the user types, so the programmatic update of the other edit ends
    // the exchange instead of echoing back.
    connect(widthEdit_, &QLineEdit::textEdited, this,
        [this] { Follow(widthEdit_, heightEdit_, openingWidth_, openingHeight_); });
    connect(heightEdit_, &QLineEdit::textEdited, this,
        [this] { Follow(heightEdit_, widthEdit_, openingHeight_, openingWidth_); });
}

int CResizeDlg::KeepAspect(int typed, int openingTyped, int openingOther)
{
    if (openingTyped == 0)
        return 0;
    const double exact = double(int64_t(openingOther) * typed) / openingTyped;
    const double rounded = exact >= 0 ? std::trunc(exact + 0.5) : std::trunc(exact - 0.5);
    return int(std::clamp(rounded, double(INT32_MIN), double(INT32_MAX)));
}

void CResizeDlg::Follow(QLineEdit* typed, QLineEdit* other, int openingTyped, int openingOther)
{
    int value = 0;
    if (!keepAspect_->isChecked() || !ReadInt(typed, value))
        return;
    const QString text = QString::number(KeepAspect(value, openingTyped, openingOther));
    if (other->text() != text)
        other->setText(text);
}

bool CResizeDlg::ReadInt(const QLineEdit* edit, int& value)
{
    bool ok = false;
    const int read = edit->text().trimmed().toInt(&ok);
    if (ok)
        value = read;
    return ok;
}

void CResizeDlg::accept()
{
    for (QLineEdit* edit : { widthEdit_, heightEdit_ }) {
        int value = 0;
        if (!ReadInt(edit, value)) {
            QMessageBox::warning(this, "Lumora", "Please enter an integer.");
            edit->setFocus();
            edit->selectAll();
            return;
        }
        (edit == widthEdit_ ? width_ : height_) = value;
    }
    quality_ = better_->isChecked() ? 1 : 0;
    QDialog::accept();
}
