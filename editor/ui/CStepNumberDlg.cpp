#include "editor/ui/CStepNumberDlg.h"

#include "editor/objects/StepObject.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

CStepNumberDlg::CStepNumberDlg(StepObject& object, QWidget* parent)
    : QDialog(parent)
    , object_(object)
    , number_(new QSpinBox(this))
{
    setWindowTitle("Edit Text");
    setObjectName("dialogStep");
    number_->setObjectName("ctlNumber");
    number_->setRange(1, StepObject::kMaxNumber);
    number_->setValue(object.number);
    number_->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CStepNumberDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CStepNumberDlg::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow("Number:", number_);
    layout->addRow(buttons);
}

void CStepNumberDlg::accept()
{
    number_->interpretText();
    object_.number = number_->value();
    QDialog::accept();
}
