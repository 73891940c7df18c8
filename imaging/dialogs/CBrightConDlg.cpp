#include "imaging/dialogs/CBrightConDlg.h"

#include "imaging/colour/BrightnessEffect.h"
#include "imaging/colour/ContrastEffect.h"
#include "imaging/dialogs/AdjustTarget.h"
#include "imaging/dialogs/LiveDocumentPreview.h"
#include "imaging/dialogs/PreviewPicture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

#include <tuple>
#include <utility>

CBrightConDlg::CBrightConDlg(AdjustTarget& target, QWidget* parent)
    : QDialog(parent)
    , target_(target)
    , backup_(target.Picture())
{
    setObjectName("dialog171");
    setWindowTitle("Brightness/Contrast");
    PreviewPicture::Thumbnail thumbnail = PreviewPicture::MakeThumbnail(backup_, kPreviewArea, false);
    thumbnail_ = std::move(thumbnail.image);
    scale_ = thumbnail.scale;
    preview_ = thumbnail_;
    picture_ = PreviewPicture::ToImage(preview_);
    live_ = std::make_unique<LiveDocumentPreview>(target_, backup_);
    BuildControls();
    // 100 and 100 change nothing, so the opening needs no refresh.
}

CBrightConDlg::~CBrightConDlg() = default;

void CBrightConDlg::BuildControls()
{
    auto* layout = new QHBoxLayout(this);
    area_ = new QWidget(this);
    area_->setObjectName("control1011");
    area_->setFixedSize(kPreviewArea);
    area_->setEnabled(false);
    area_->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(area_, 0, Qt::AlignTop);

    auto* right = new QVBoxLayout;
    auto* grid = new QGridLayout;
    const std::tuple<int, int, const char*> bars[] = { { 1009, 1012, "Brightness" }, { 1010, 1013, "Contrast" } };
    for (int i = 0; i < 2; ++i) {
        const auto& [barId, labelId, name] = bars[i];
        bars_[i] = new QSlider(Qt::Horizontal, this);
        bars_[i]->setObjectName(QString("control%1").arg(barId));
        bars_[i]->setRange(0, 200);
        bars_[i]->setValue(100);
        bars_[i]->setMinimumWidth(180);
        values_[i] = new QLabel("100", this);
        values_[i]->setObjectName(QString("control%1").arg(labelId));
        grid->addWidget(new QLabel(name, this), i, 0);
        grid->addWidget(bars_[i], i, 1);
        grid->addWidget(values_[i], i, 2);
        connect(bars_[i], &QSlider::valueChanged, this, &CBrightConDlg::Refresh);
    }
    right->addLayout(grid);
    previewCheck_ = new QCheckBox("Preview", this);
    previewCheck_->setObjectName("control1004");
    right->addWidget(previewCheck_);
    right->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("control1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("control2");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    right->addWidget(buttons);
    layout->addLayout(right);
}

QRect CBrightConDlg::PreviewArea() const
{
    return area_->geometry();
}

void CBrightConDlg::Refresh()
{
    brightness_ = bars_[0]->value();
    contrast_ = bars_[1]->value();
    preview_ = thumbnail_;
    preview_.ConvertTo(32);
    BrightnessEffect brightness(brightness_);
    ContrastEffect contrast(contrast_);
    preview_.ApplyEffect(brightness);
    preview_.ApplyEffect(contrast);
    picture_ = PreviewPicture::ToImage(preview_);
    if (previewCheck_->isChecked()) {
        LiveDocumentPreview::Effects effects;
        effects.push_back(std::make_unique<BrightnessEffect>(brightness_));
        effects.push_back(std::make_unique<ContrastEffect>(contrast_));
        live_->Request(std::move(effects));
    }
    values_[0]->setText(QString::number(brightness_));
    values_[1]->setText(QString::number(contrast_));
    update();
}

void CBrightConDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PreviewPicture::Paint(painter, PreviewArea(), picture_, false);
}

void CBrightConDlg::accept()
{
    live_->Stop();
    target_.ShowPicture(backup_);
    BrightnessEffect brightness(brightness_);
    ContrastEffect contrast(contrast_);
    ImageEffect* const first[] = { &brightness };
    ImageEffect* const second[] = { &contrast };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // After a failure the picture is the one from before: the second step would only fail again.
    if (target_.ApplyStep(first))
        target_.ApplyStep(second);
    QApplication::restoreOverrideCursor();
    QDialog::accept();
}

void CBrightConDlg::reject()
{
    live_->Stop();
    target_.ShowPicture(backup_);
    QDialog::reject();
}
