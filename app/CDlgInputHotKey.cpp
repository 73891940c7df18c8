#include "app/CDlgInputHotKey.h"

#include "app/HotKeyNames.h"

#include <QDialogButtonBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

CDlgInputHotKey::CDlgInputHotKey(HotKeyPair* pair, const QString& caption, QWidget* parent)
    : QDialog(parent)
    , pair_(pair)
{
    setObjectName("dialog186");
    setWindowTitle("Set hot key");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Please press the combination that will set", this));
    auto* which = new QLabel(caption + " hot key!", this);
    which->setObjectName("control1027");
    layout->addWidget(which);
    edit_ = new QKeySequenceEdit(this);
    edit_->setObjectName("control1028");
    if (pair_->key != 0)
        edit_->setKeySequence(QKeySequence(HotKeyNames::ToCombination(*pair_)));
    connect(edit_, &QKeySequenceEdit::keySequenceChanged, this, &CDlgInputHotKey::KeepFirstCombination);
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("control1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("control2");
    // The key reader takes every key, Return and Esc included; only the buttons end the dialog.
    buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    edit_->setFocus();
}

void CDlgInputHotKey::KeepFirstCombination()
{
    // A hot key is one combination; the editor would go on collecting up to four.
    const QKeySequence sequence = edit_->keySequence();
    if (sequence.count() > 1)
        edit_->setKeySequence(QKeySequence(sequence[0]));
}

HotKeyPair CDlgInputHotKey::Current() const
{
    const QKeySequence sequence = edit_->keySequence();
    if (sequence.isEmpty())
        return {};
    return HotKeyNames::FromCombination(sequence[0]);
}

void CDlgInputHotKey::accept()
{
    const HotKeyPair pair = Current();
    if (!HotKeyNames::IsAcceptable(pair)) {
        refusal_ = "A hot key needs Ctrl, Alt, Shift or Super, except the function keys and Print.";
        QMessageBox::information(this, "Set hot key", refusal_);
        return;
    }
    *pair_ = pair;
    QDialog::accept();
}
