#include "app/CTextResultDlg.h"

#include "app/TextClipboard.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CTextResultDlg::CTextResultDlg(const QString& text, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("textResultDialog");
    setWindowTitle("Copy Text");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("The text is on the clipboard. Correct it here and copy it again:", this));
    edit_ = new QPlainTextEdit(text, this);
    edit_->setObjectName("textResult");
    edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(edit_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton("Copy", QDialogButtonBox::ActionRole);
    copy->setObjectName("copyText");
    connect(copy, &QPushButton::clicked, this, [this] { TextClipboard::Set(Text()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 320);
}

QString CTextResultDlg::Text() const
{
    return edit_->toPlainText();
}
