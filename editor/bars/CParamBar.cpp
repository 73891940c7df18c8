#include "editor/bars/CParamBar.h"

#include "editor/bars/ParamPanel.h"
#include "editor/bars/ParamPanelFactory.h"
#include "editor/bars/PropertyChangeTarget.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"

#include <QCoreApplication>
#include <QDir>
#include <QVBoxLayout>

namespace {
// Beside the executable first, then the installed data folder.
std::string StampsParent()
{
    const QString beside = QCoreApplication::applicationDirPath() + "/";
    const QString installed = beside + "../share/lumora/";
    const bool useInstalled = !QDir(beside + "stamps").exists() && QDir(installed + "stamps").exists();
    return (useInstalled ? QDir::cleanPath(installed) + "/" : beside).toStdString();
}
} // namespace

CParamBar::CParamBar(QWidget* parent, std::string moduleFolder)
    : QDockWidget("Param Setting", parent)
    , moduleFolder_(moduleFolder.empty() ? StampsParent() : moduleFolder)
    , placeholder_(new QWidget(this))
{
    setObjectName("bar226");
    setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    placeholder_->setObjectName("ctl1054");
    placeholder_->setMinimumHeight(36);
    auto* layout = new QVBoxLayout(placeholder_);
    layout->setContentsMargins(0, 0, 0, 0);
    setWidget(placeholder_);
}

CParamBar::~CParamBar() = default;

void CParamBar::ShowKind(int kind)
{
    if (kind == kind_)
        return;
    panel_.reset();
    kind_ = kind;
    panel_ = CreateParamPanel(kind, moduleFolder_, placeholder_);
    placeholder_->layout()->addWidget(panel_.get());
    connect(panel_.get(), &ParamPanel::PropertyChanged, this, &CParamBar::Notify);
    panel_->show();
}

PanelValues CParamBar::ReadValues() const
{
    return panel_ ? panel_->Values() : PanelValues {};
}

ImageBuffer CParamBar::FetchStampImage() const
{
    return panel_ ? panel_->FetchStampImage() : ImageBuffer {};
}

void CParamBar::Notify(int control, int gesture)
{
    // Sent, not posted: the view has applied the change when the panel's handler returns.
    if (PropertyChangeTarget* target = resolver_ ? resolver_() : nullptr)
        target->OnPropertyChange({ control, gesture });
}

void CParamBar::LoadFromObject(const AnnotationObject& object)
{
    using namespace PanelControl;
    ShowKind(PanelKind::ForObject(int(object.Kind())));
    ParamPanel& panel = *panel_;
    panel.SetOpacity(object.transparency);
    panel.SetShadow(object.shadow);
    switch (object.Kind()) {
    case ObjectKind::Line: {
        const auto& line = static_cast<const LineObject&>(object);
        panel.SetComboSelection(kLineWidth, line.width - 1);
        panel.SetComboSelection(kLineStyle, line.style);
        panel.SetColour(kLineColour, line.colour);
        break;
    }
    case ObjectKind::Arrow: {
        const auto& arrow = static_cast<const LineObject&>(object);
        panel.SetComboSelection(kArrowStyle, arrow.style);
        panel.SetColour(kArrowColour, arrow.colour);
        break;
    }
    case ObjectKind::Text: {
        const auto& text = static_cast<const TextObject&>(object);
        panel.SetComboSelection(kBoxStyle, text.boxStyle);
        panel.SetColour(kTextBack, text.backColour);
        break;
    }
    case ObjectKind::Box: {
        const auto& box = static_cast<const ShapeObject&>(object);
        panel.SetComboSelection(kShape, box.shape);
        panel.SetColour(kBorder, box.borderColour);
        panel.SetColour(kShapeBack, box.fillColour);
        panel.SetComboSelection(kShapeWidth, box.width - 1);
        break;
    }
    case ObjectKind::Highlight:
        panel.SetColour(kHighlightColour, static_cast<const HighlightObject&>(object).colour);
        break;
    case ObjectKind::Stamp:
        // The list keeps its visible selection; only the stored choice follows the object.
        panel.SetStampChoice(static_cast<const StampObject&>(object).stampIndex);
        break;
    case ObjectKind::Redact: {
        // The mode first: choosing it resets the strength to the mode's default.
        const auto& redact = static_cast<const RedactObject&>(object);
        panel.SetComboSelection(kRedactMode, redact.mode);
        panel.SetSliderValue(kRedactStrength, redact.strength);
        break;
    }
    case ObjectKind::Step: {
        const auto& step = static_cast<const StepObject&>(object);
        panel.SetSliderValue(kStepSize, step.Size());
        panel.SetColour(kStepColour, step.colour);
        break;
    }
    case ObjectKind::Pen: {
        const auto& pen = static_cast<const PenObject&>(object);
        panel.SetComboSelection(kPenWidth, pen.width - 1);
        panel.SetColour(kPenColour, pen.colour);
        break;
    }
    }
}
