#include "editor/ui/CEditTxtDlg.h"

#include "controls/CXColourPicker.h"
#include "editor/objects/TextObject.h"
#include "editor/ui/FontListCombo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

template <class Widget> Widget* Named(Widget* widget, int id)
{
    widget->setObjectName(QString("ctl%1").arg(id));
    return widget;
}

// The object keeps line breaks as carriage return and line feed; the edit works with line feeds.
QString ToEditText(const QString& stored)
{
    return QString(stored).replace("\r\n", "\n");
}

QString ToStoredText(const QString& edited)
{
    return QString(edited).replace("\n", "\r\n");
}

} // namespace

CEditTxtDlg::CEditTxtDlg(TextObject& object, QWidget* parent)
    : QDialog(parent)
    , object_(object)
{
    setWindowTitle("Edit Text");
    setObjectName("dialog177");
    BuildControls();
    LoadFromObject();
}

void CEditTxtDlg::BuildControls()
{
    text_ = Named(new QPlainTextEdit(this), 1023);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    fonts_ = Named(new FontListCombo(this), 1035);
    colour_ = new CXColourPicker(1061, this);
    colour_->setFixedSize(48, 22);
    size_ = Named(new QLineEdit(this), 1005);
    size_->setMaximumWidth(50);
    sizes_ = Named(new QComboBox(this), 1049);
    sizes_->addItems({ "8", "9", "10", "11", "12", "14", "16", "18", "20", "24", "28", "36", "48", "72" });
    connect(sizes_, &QComboBox::activated, this, &CEditTxtDlg::OnSizeChosen);
    bold_ = Named(new QCheckBox("Bold", this), 1004);
    italic_ = Named(new QCheckBox("Italic", this), 1032);
    underline_ = Named(new QCheckBox("Underline", this), 1033);
    alignment_ = new QButtonGroup(this);
    auto* alignRow = new QHBoxLayout;
    const std::pair<int, const char*> aligns[] = { { 1007, "Left" }, { 1008, "Middle" }, { 1031, "Right" } };
    for (int i = 0; i < 3; ++i) {
        auto* radio = Named(new QRadioButton(aligns[i].second, this), aligns[i].first);
        alignment_->addButton(radio, i);
        alignRow->addWidget(radio);
    }

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Font:", this), 0, 0);
    grid->addWidget(fonts_, 0, 1, 1, 3);
    grid->addWidget(new QLabel("Color:", this), 0, 4);
    grid->addWidget(colour_, 0, 5);
    grid->addWidget(new QLabel("Size:", this), 1, 0);
    grid->addWidget(size_, 1, 1);
    grid->addWidget(sizes_, 1, 2);
    auto* styles = new QHBoxLayout;
    for (QCheckBox* box : { bold_, italic_, underline_ })
        styles->addWidget(box);
    grid->addLayout(styles, 2, 0, 1, 6);
    grid->addLayout(alignRow, 3, 0, 1, 6);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ctl1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("ctl2");
    connect(buttons, &QDialogButtonBox::accepted, this, &CEditTxtDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEditTxtDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    resize(420, 300);
}

void CEditTxtDlg::LoadFromObject()
{
    fonts_->Fill();
    fonts_->SelectFace(object_.fontFace);
    SelectSizeEntry(object_.fontSize);
    colour_->SetColour(object_.textColour);
    text_->setPlainText(ToEditText(object_.text));
    size_->setText(QString::number(object_.fontSize));
    bold_->setChecked(object_.bold);
    italic_->setChecked(object_.italic);
    underline_->setChecked(object_.underline);
    if (QAbstractButton* button = alignment_->button(object_.alignment))
        button->setChecked(true);
    text_->setFocus();
}

void CEditTxtDlg::SelectSizeEntry(int size)
{
    const QString text = QString::number(size);
    int found = -1;
    for (int i = 0; i < sizes_->count() && found < 0; ++i) {
        if (sizes_->itemText(i).startsWith(text, Qt::CaseInsensitive))
            found = i;
    }
    sizes_->setCurrentIndex(found);
}

void CEditTxtDlg::OnSizeChosen(int index)
{
    if (index >= 0)
        size_->setText(QString::number(sizes_->itemText(index).toInt()));
}

void CEditTxtDlg::accept()
{
    bool isInteger = false;
    const int size = size_->text().trimmed().toInt(&isInteger);
    if (!isInteger) {
        QMessageBox::warning(this, windowTitle(), "Please enter an integer.");
        size_->setFocus();
        size_->selectAll();
        return;
    }
    object_.textColour = colour_->GetColour();
    object_.fontFace = fonts_->currentIndex() >= 0 ? fonts_->currentText() : QString();
    object_.bold = bold_->isChecked();
    object_.italic = italic_->isChecked();
    object_.underline = underline_->isChecked();
    object_.text = ToStoredText(text_->toPlainText());
    object_.fontSize = size;
    object_.alignment = std::max(0, alignment_->checkedId());
    QDialog::accept();
}
