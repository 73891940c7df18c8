#include "imaging/dialogs/AdjustDlg.h"

#include "imaging/ImageEffect.h"
#include "imaging/dialogs/AdjustTarget.h"
#include "imaging/dialogs/HueStrip.h"
#include "imaging/dialogs/LiveDocumentPreview.h"
#include "imaging/dialogs/PreviewPicture.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {
// Trackbars 1014 to 1016 with their value labels.
constexpr int kTrackbarIds[] = { 1014, 1015, 1016 };
constexpr int kValueLabelIds[] = { 1012, 1013, 1017 };
// The radio group starts at 1018: "RGB", "R", then "G" and "B" carry the two ids below it.
constexpr std::pair<int, const char*> kChannelRadios[]
    = { { 1018, "RGB" }, { 1019, "R" }, { 1016, "G" }, { 1017, "B" } };

QString ControlName(int id)
{
    return QString("control%1").arg(id);
}
} // namespace

AdjustDlg::AdjustDlg(AdjustTarget& target, int templateId, QWidget* parent)
    : QDialog(parent)
    , target_(target)
    , template_(*FindAdjustTemplate(templateId))
    , backup_(target.Picture())
{
    setObjectName(QString("dialog%1").arg(templateId));
    setWindowTitle(template_.caption);
    PreviewPicture::Thumbnail thumbnail = PreviewPicture::MakeThumbnail(backup_, kPreviewArea, true);
    thumbnail_ = std::move(thumbnail.image);
    scale_ = thumbnail.scale;
    preview_ = thumbnail_;
    live_ = std::make_unique<LiveDocumentPreview>(target_, backup_);
    BuildControls();
    Refresh();
}

AdjustDlg::~AdjustDlg() = default;

void AdjustDlg::BuildControls()
{
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    area_ = new QWidget(this);
    area_->setObjectName(ControlName(1011));
    area_->setFixedSize(kPreviewArea);
    // It only marks where the dialog paints.
    area_->setEnabled(false);
    area_->setAttribute(Qt::WA_TransparentForMouseEvents);
    left->addWidget(area_);
    if (template_.hueStrip) {
        strip_ = new HueStrip(this);
        connect(strip_, &HueStrip::ColourPicked, this, &AdjustDlg::PickTone);
        left->addWidget(strip_, 0, Qt::AlignHCenter);
        values_.toneRed = 254;
        values_.toneGreen = 168;
        values_.toneBlue = 33;
    }
    left->addStretch();
    layout->addLayout(left);

    auto* right = new QVBoxLayout;
    auto* grid = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        // "Color Tone" keeps its trackbar, hidden and unset.
        if (i >= std::max(template_.trackbars, template_.hueStrip ? 1 : 0))
            break;
        const TrackbarSpec& spec = template_.bars[i];
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(ControlName(kTrackbarIds[i]));
        slider->setMinimumWidth(180);
        auto* value = new QLabel("100", this);
        value->setObjectName(ControlName(kValueLabelIds[i]));
        value->setMinimumWidth(QFontMetrics(value->font()).horizontalAdvance("-1288"));
        if (template_.trackbars > i) {
            slider->setRange(spec.minimum, spec.maximum);
            slider->setValue(spec.initial);
        } else {
            slider->hide();
            value->hide();
        }
        if (spec.name)
            grid->addWidget(new QLabel(spec.name, this), i, 0);
        grid->addWidget(slider, i, 1);
        grid->addWidget(value, i, 2);
        trackbars_[i] = slider;
        valueLabels_[i] = value;
        connect(slider, &QSlider::valueChanged, this, &AdjustDlg::Refresh);
    }
    right->addLayout(grid);
    if (template_.channelRadios) {
        channels_ = new QButtonGroup(this);
        auto* row = new QHBoxLayout;
        for (int i = 0; i < 4; ++i) {
            auto* radio = new QRadioButton(kChannelRadios[i].second, this);
            radio->setObjectName(ControlName(kChannelRadios[i].first));
            radio->setChecked(i == 0);
            channels_->addButton(radio, i);
            row->addWidget(radio);
        }
        connect(channels_, &QButtonGroup::idClicked, this, &AdjustDlg::Refresh);
        right->addLayout(row);
    }
    previewCheck_ = new QCheckBox("Preview", this);
    previewCheck_->setObjectName(ControlName(1004));
    right->addWidget(previewCheck_);
    right->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(ControlName(1));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(ControlName(2));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    right->addWidget(buttons);
    layout->addLayout(right);
}

QRect AdjustDlg::PreviewArea() const
{
    return area_->geometry();
}

void AdjustDlg::ReadControls()
{
    int* fields[] = { &values_.first, &values_.second, &values_.third };
    for (int i = 0; i < template_.trackbars; ++i)
        *fields[i] = trackbars_[i]->value();
    if (channels_)
        values_.channel = channels_->checkedId();
}

void AdjustDlg::ShowValues()
{
    const int fields[] = { values_.first, values_.second, values_.third };
    for (int i = 0; i < template_.trackbars; ++i)
        valueLabels_[i]->setText(QString::number(fields[i]));
}

void AdjustDlg::Refresh()
{
    ReadControls();
    std::unique_ptr<ImageEffect> effect = CreateAdjustEffect(template_.id, values_, scale_);
    if (!effect)
        return;
    preview_ = thumbnail_;
    preview_.ConvertTo(32);
    preview_.ApplyEffect(*effect);
    picture_ = PreviewPicture::ToImage(preview_);
    if (previewCheck_->isChecked()) {
        // The document takes the trackbar's own value: the scaled one only suits the thumbnail.
        LiveDocumentPreview::Effects effects;
        effects.push_back(CreateAdjustEffect(template_.id, values_, 1));
        live_->Request(std::move(effects));
    }
    ShowValues();
    update();
}

void AdjustDlg::PickTone(QColor colour)
{
    values_.toneRed = uint8_t(colour.red());
    values_.toneGreen = uint8_t(colour.green());
    values_.toneBlue = uint8_t(colour.blue());
    Refresh();
}

void AdjustDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = PreviewArea();
    PreviewPicture::Paint(painter, area, picture_, template_.fitsPreview);
    PreviewPicture::PaintFrame(painter, area);
}

void AdjustDlg::RestoreBackup()
{
    live_->Stop();
    target_.ShowPicture(backup_);
}

void AdjustDlg::accept()
{
    RestoreBackup();
    std::unique_ptr<ImageEffect> effect = CreateAdjustEffect(template_.id, values_, 1);
    if (effect) {
        ImageEffect* const step[] = { effect.get() };
        QApplication::setOverrideCursor(Qt::WaitCursor);
        target_.ApplyStep(step);
        QApplication::restoreOverrideCursor();
    }
    QDialog::accept();
}

void AdjustDlg::reject()
{
    RestoreBackup();
    QDialog::reject();
}
