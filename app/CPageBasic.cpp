#include "app/CPageBasic.h"

#include "app/IntegerField.h"
#include "app/TextLanguages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <tuple>

namespace {
template <class W> W* Named(W* widget, int id)
{
    widget->setObjectName(QString("control%1").arg(id));
    return widget;
}
} // namespace

CPageBasic::CPageBasic(CaptureSettings& values, QWidget* parent)
    : QWidget(parent)
    , values_(values)
{
    setObjectName("page188");
    auto* outer = new QVBoxLayout(this);
    auto* group = new QGroupBox("Capture Setting", this);
    auto* column = new QVBoxLayout(group);
    auto* delayRow = new QHBoxLayout;
    delay_ = Named(new QLineEdit(QString::number(values_.CapDelayTime), group), 1005);
    delayRow->addWidget(new QLabel("Delay time before the capture ", group));
    delayRow->addWidget(delay_);
    delayRow->addWidget(new QLabel("milliseconds", group));
    column->addLayout(delayRow);
    const std::tuple<QCheckBox**, int, const char*, int32_t> checks[] = {
        { &hide_, 1004, "Hide Lumora window before capture", values_.HideWndBeforCap },
        { &restore_, 1032, "Restore Lumora window after capture", values_.RestoreWndAftCap },
        { &sound_, 1033, "Play sound when capture", values_.PlaySoundWhenCap },
        { &cursor_, 1034, "Include Cursor", values_.IncludeCursor },
        { &notify_, 1040, "Say where a capture went when Lumora window is hidden", values_.NotifyWhenHidden },
    };
    for (const auto& [box, id, text, value] : checks) {
        *box = Named(new QCheckBox(text, group), id);
        (*box)->setChecked(value != 0);
        column->addWidget(*box);
    }
    outer->addWidget(group);

    auto* fixed = new QGroupBox("Fix rectangle setting", this);
    auto* grid = new QGridLayout(fixed);
    width_ = Named(new QLineEdit(QString::number(values_.FixRectWidth), fixed), 1006);
    height_ = Named(new QLineEdit(QString::number(values_.FixRectHeight), fixed), 1007);
    grid->addWidget(new QLabel("Width:", fixed), 0, 0);
    grid->addWidget(width_, 0, 1);
    grid->addWidget(new QLabel("Height:", fixed), 1, 0);
    grid->addWidget(height_, 1, 1);
    outer->addWidget(fixed);

    auto* text = new QGroupBox("Copy Text", this);
    auto* textRow = new QHBoxLayout(text);
    language_ = Named(new QComboBox(text), 1041);
    for (const std::string& name : TextLanguages::Installed())
        language_->addItem(QString::fromStdString(name));
    if (language_->count() == 0) {
        language_->addItem(TextLanguages::MissingReason());
        language_->setEnabled(false);
    } else {
        const QString chosen = QString::fromStdString(values_.OcrLanguage);
        // A combination such as "eng+deu" written in config.ini stays choosable.
        if (language_->findText(chosen) < 0)
            language_->addItem(chosen);
        language_->setCurrentText(chosen);
    }
    textRow->addWidget(new QLabel("Language of the text:", text));
    textRow->addWidget(language_, 1);
    outer->addWidget(text);
    outer->addStretch();
}

bool CPageBasic::ReadBack()
{
    values_.HideWndBeforCap = hide_->isChecked() ? 1 : 0;
    values_.RestoreWndAftCap = restore_->isChecked() ? 1 : 0;
    values_.PlaySoundWhenCap = sound_->isChecked() ? 1 : 0;
    values_.IncludeCursor = cursor_->isChecked() ? 1 : 0;
    values_.NotifyWhenHidden = notify_->isChecked() ? 1 : 0;
    if (language_->isEnabled())
        values_.OcrLanguage = language_->currentText().toStdString();
    return IntegerField::Read(delay_, values_.CapDelayTime) && IntegerField::Read(width_, values_.FixRectWidth)
        && IntegerField::Read(height_, values_.FixRectHeight);
}
