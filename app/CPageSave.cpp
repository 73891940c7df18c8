#include "app/CPageSave.h"

#include "app/IntegerField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

const char* const CPageSave::kFormats[4] = { "bmp(*.bmp)", "jpeg(*.jpg)", "png(*.png)", "gif(*.gif)" };

namespace {
template <class W> W* Named(W* widget, int id)
{
    widget->setObjectName(QString("control%1").arg(id));
    return widget;
}

QString DefaultChooser(QWidget* parent, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, "Select a folder.", start);
}
} // namespace

CPageSave::CPageSave(CaptureSettings& values, QWidget* parent)
    : QWidget(parent)
    , values_(values)
    , chooseFolder_(DefaultChooser)
{
    setObjectName("page189");
    auto* outer = new QVBoxLayout(this);
    auto* group = new QGroupBox("Copy captured image to", this);
    auto* grid = new QGridLayout(group);
    clipboard_ = Named(new QCheckBox("To Clipborad", group), 1060);
    editor_ = Named(new QCheckBox("To Editor / Viewer", group), 1006);
    newWindow_ = Named(new QRadioButton("Create a new window", group), 1007);
    replace_ = Named(new QRadioButton("Replace image in the window", group), 1008);
    toFile_ = Named(new QCheckBox("To File", group), 1039);
    title_ = Named(new QLineEdit(group), 1038);
    startNum_ = Named(new QLineEdit(group), 1036);
    path_ = Named(new QLineEdit(group), 1005);
    path_->setReadOnly(true);
    select_ = Named(new QPushButton("Select", group), 1037);
    format_ = Named(new QComboBox(group), 1035);
    for (const char* format : kFormats)
        format_->addItem(format);

    grid->addWidget(clipboard_, 0, 0, 1, 3);
    grid->addWidget(editor_, 1, 0, 1, 3);
    grid->addWidget(newWindow_, 2, 1, 1, 2);
    grid->addWidget(replace_, 3, 1, 1, 2);
    grid->addWidget(toFile_, 4, 0, 1, 3);
    grid->addWidget(new QLabel("Title:", group), 5, 1);
    grid->addWidget(title_, 5, 2);
    grid->addWidget(new QLabel("Start at:", group), 6, 1);
    grid->addWidget(startNum_, 6, 2);
    grid->addWidget(new QLabel("Image save path:", group), 7, 1);
    grid->addWidget(path_, 7, 2);
    grid->addWidget(select_, 7, 3);
    grid->addWidget(new QLabel("Image Format:", group), 8, 1);
    grid->addWidget(format_, 8, 2);
    outer->addWidget(group);
    outer->addStretch();

    clipboard_->setChecked(values_.CopyToClipboard != 0);
    editor_->setChecked(values_.CapAppViewMode != 2);
    (values_.CapAppViewMode == 1 ? replace_ : newWindow_)->setChecked(true);
    toFile_->setChecked(values_.IsAudoSave != 0);
    title_->setText(QString::fromStdString(values_.ImageSaveTitle));
    startNum_->setText(QString::number(values_.StartNum));
    path_->setText(QString::fromStdString(values_.ImageSavePath));
    format_->setCurrentIndex(values_.ImageFormat >= 0 && values_.ImageFormat < 4 ? values_.ImageFormat : 0);

    connect(editor_, &QCheckBox::clicked, this, [this] {
        ReadBack();
        UpdateEnabling();
    });
    connect(toFile_, &QCheckBox::clicked, this, [this] {
        ReadBack();
        UpdateEnabling();
    });
    connect(format_, &QComboBox::currentTextChanged, this,
        [this](const QString& text) { values_.ImageFormat = FormatIndex(text); });
    connect(select_, &QPushButton::clicked, this, &CPageSave::SelectFolder);
    UpdateEnabling();
}

int CPageSave::FormatIndex(const QString& text)
{
    for (int i = 0; i < 4; ++i)
        if (text == kFormats[i])
            return i;
    return 0;
}

void CPageSave::UpdateEnabling()
{
    const bool toFile = toFile_->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*> { title_, startNum_, path_, select_, format_ })
        control->setEnabled(toFile);
    newWindow_->setEnabled(editor_->isChecked());
    replace_->setEnabled(editor_->isChecked());
}

bool CPageSave::ReadBack()
{
    values_.CopyToClipboard = clipboard_->isChecked() ? 1 : 0;
    values_.CapAppViewMode = !editor_->isChecked() ? 2 : replace_->isChecked() ? 1 : 0;
    values_.IsAudoSave = toFile_->isChecked() ? 1 : 0;
    values_.ImageSaveTitle = CutToCharacterBoundary(title_->text().toStdString(), CaptureSettings::kMaxTextBytes);
    values_.ImageSavePath = CutToCharacterBoundary(path_->text().toStdString(), CaptureSettings::kMaxTextBytes);
    values_.ImageFormat = FormatIndex(format_->currentText());
    return IntegerField::Read(startNum_, values_.StartNum);
}

void CPageSave::SelectFolder()
{
    const QString folder = chooseFolder_(this, path_->text());
    if (folder.isEmpty())
        return;
    path_->setText(folder);
    values_.ImageSavePath = CutToCharacterBoundary(folder.toStdString(), CaptureSettings::kMaxTextBytes);
}
