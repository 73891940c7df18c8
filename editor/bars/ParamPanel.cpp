#include "editor/bars/ParamPanel.h"

#include "controls/CXColourPicker.h"
#include "editor/bars/StampListView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace {
// Drags are told apart across every panel, so one that ends as another panel's starts never joins it.
int NextGesture()
{
    static int last = 0;
    return ++last;
}
} // namespace

ParamPanel::ParamPanel(int kind, QWidget* parent)
    : QWidget(parent)
    , kind_(kind)
    , row_(new QHBoxLayout(this))
{
    setObjectName(QString("panel%1").arg(kind));
    row_->setContentsMargins(4, 2, 4, 2);
    row_->addStretch(1);
}

void ParamPanel::AddLabelled(int id, const QString& label, QWidget* control)
{
    control->setObjectName(QString("ctl%1").arg(id));
    controls_.insert(id, control);
    // Everything goes before the stretch that keeps the row at the left.
    const int at = row_->count() - 1;
    if (!label.isEmpty()) {
        auto* text = new QLabel(label, this);
        text->setBuddy(control);
        row_->insertWidget(at, text);
    }
    row_->insertWidget(row_->count() - 1, control);
}

QComboBox* ParamPanel::AddCombo(int id, const QString& label, const QStringList& items)
{
    auto* combo = new QComboBox(this);
    combo->addItems(items);
    AddLabelled(id, label, combo);
    // activated comes from the user only, as a list's selection-change notification does.
    connect(combo, &QComboBox::activated, this, [this, id] { emit PropertyChanged(id, 0); });
    return combo;
}

CXColourPicker* ParamPanel::AddColour(int id, const QString& label)
{
    auto* picker = new CXColourPicker(id, this);
    picker->setFixedSize(48, 22);
    AddLabelled(id, label, picker);
    connect(picker, &CXColourPicker::ColourChanged, this, [this, id] { emit PropertyChanged(id, 0); });
    return picker;
}

QSlider* ParamPanel::AddOpacity()
{
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(0, 100);
    slider->setFixedWidth(100);
    AddLabelled(PanelControl::kOpacity, "Opacity:", slider);
    AnnounceSlider(slider, PanelControl::kOpacity, [this](int value) { opacity_ = value; });
    return slider;
}

void ParamPanel::AnnounceSlider(QSlider* slider, int id, std::function<void(int)> onValue)
{
    connect(slider, &QSlider::sliderPressed, this, [this] { gesture_ = NextGesture(); });
    connect(slider, &QSlider::valueChanged, this, [this, slider, id, onValue](int value) {
        if (onValue)
            onValue(value);
        emit PropertyChanged(id, slider->isSliderDown() ? gesture_ : 0);
    });
}

QSlider* ParamPanel::AddSlider(int id, const QString& label, int minimum, int maximum)
{
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(minimum, maximum);
    slider->setFixedWidth(120);
    AddLabelled(id, label, slider);
    AnnounceSlider(slider, id);
    return slider;
}

QCheckBox* ParamPanel::AddShadow()
{
    auto* box = new QCheckBox("Shadow", this);
    AddLabelled(PanelControl::kShadow, QString(), box);
    connect(box, &QCheckBox::clicked, this, [this] { emit PropertyChanged(PanelControl::kShadow, 0); });
    return box;
}

StampListView* ParamPanel::AddStampList(const std::string& moduleFolder)
{
    auto* list = new StampListView(this);
    list->setFixedSize(360, 2 * StampListView::kSpacingY + 8);
    AddLabelled(PanelControl::kStampList, QString(), list);
    list->Fill(moduleFolder);
    stampChoice_ = list->SelectedIndex() + 1;
    connect(list, &StampListView::Clicked, this, &ParamPanel::OnStampClicked);
    return list;
}

void ParamPanel::OnStampClicked()
{
    stampChoice_ = static_cast<StampListView*>(Control(PanelControl::kStampList))->SelectedIndex() + 1;
    emit PropertyChanged(PanelControl::kStampList, 0);
}

void ParamPanel::AddHiddenSpin()
{
    auto* edit = new QLineEdit(this);
    auto* spin = new QSpinBox(this);
    spin->setRange(0, 100);
    AddLabelled(PanelControl::kSpinEdit, QString(), edit);
    AddLabelled(PanelControl::kSpin, QString(), spin);
    edit->hide();
    spin->hide();
    connect(spin, &QSpinBox::valueChanged, this, [this] { emit PropertyChanged(PanelControl::kSpin, 0); });
}

void ParamPanel::AddNoParameter()
{
    auto* group = new QGroupBox("no parameter", this);
    group->setMinimumWidth(200);
    AddLabelled(0, QString(), group);
}

int ParamPanel::ComboSelection(int id) const
{
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    return combo ? combo->currentIndex() : 0;
}

void ParamPanel::SetComboSelection(int id, int index)
{
    if (auto* combo = qobject_cast<QComboBox*>(Control(id)))
        combo->setCurrentIndex(index);
}

uint32_t ParamPanel::Colour(int id) const
{
    auto* picker = qobject_cast<CXColourPicker*>(Control(id));
    return picker ? picker->GetColour() : 0;
}

void ParamPanel::SetColour(int id, uint32_t colour)
{
    if (auto* picker = qobject_cast<CXColourPicker*>(Control(id)))
        picker->SetColour(colour);
}

void ParamPanel::SetOpacity(int value)
{
    auto* slider = qobject_cast<QSlider*>(Control(PanelControl::kOpacity));
    if (!slider)
        return;
    const QSignalBlocker silent(slider);
    slider->setValue(value);
    opacity_ = slider->value();
}

int ParamPanel::SliderValue(int id) const
{
    auto* slider = qobject_cast<QSlider*>(Control(id));
    return slider ? slider->value() : 0;
}

void ParamPanel::SetSliderRange(int id, int minimum, int maximum, int value)
{
    auto* slider = qobject_cast<QSlider*>(Control(id));
    if (!slider)
        return;
    const QSignalBlocker silent(slider);
    slider->setRange(minimum, maximum);
    slider->setValue(value);
}

void ParamPanel::SetSliderValue(int id, int value)
{
    auto* slider = qobject_cast<QSlider*>(Control(id));
    if (!slider)
        return;
    const QSignalBlocker silent(slider);
    slider->setValue(value);
}

bool ParamPanel::Shadow() const
{
    auto* box = qobject_cast<QCheckBox*>(Control(PanelControl::kShadow));
    return box && box->isChecked();
}

void ParamPanel::SetShadow(bool shadow)
{
    if (auto* box = qobject_cast<QCheckBox*>(Control(PanelControl::kShadow)))
        box->setChecked(shadow);
}

PanelValues ParamPanel::Values() const
{
    using namespace PanelControl;
    PanelValues values;
    values.lineWidth = ComboSelection(kLineWidth) + 1;
    values.lineStyle = ComboSelection(kLineStyle);
    values.lineColour = Colour(kLineColour);
    values.boxStyle = ComboSelection(kBoxStyle);
    values.textBackColour = Colour(kTextBack);
    values.arrowStyle = ComboSelection(kArrowStyle);
    values.arrowColour = Colour(kArrowColour);
    values.shapeWidth = ComboSelection(kShapeWidth) + 1;
    values.shape = ComboSelection(kShape);
    values.borderColour = Colour(kBorder);
    values.fillColour = Colour(kShapeBack);
    values.highlightColour = Colour(kHighlightColour);
    values.stampChoice = stampChoice_;
    values.redactMode = ComboSelection(kRedactMode);
    values.redactStrength = SliderValue(kRedactStrength);
    values.stepSize = SliderValue(kStepSize);
    values.stepColour = Colour(kStepColour);
    values.penWidth = ComboSelection(kPenWidth) + 1;
    values.penColour = Colour(kPenColour);
    values.transparency = opacity_;
    values.shadow = Shadow();
    return values;
}

ImageBuffer ParamPanel::FetchStampImage() const
{
    auto* list = qobject_cast<StampListView*>(Control(PanelControl::kStampList));
    if (!list || stampChoice_ <= 0)
        return {};
    return LoadStampImage(list->Library(), stampChoice_ - 1);
}
