#include "editor/bars/ParamPanelFactory.h"

#include "controls/CXColourPicker.h"
#include "editor/bars/ParamPanel.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/StepObject.h"

#include <QComboBox>

namespace {

using namespace PanelControl;

constexpr ColourRef kBlack = 0;
constexpr ColourRef kWhite = 0xFFFFFF;

QStringList Widths(int last = 10)
{
    QStringList widths;
    for (int i = 1; i <= last; ++i)
        widths << QString::number(i);
    return widths;
}

// Opacity slider and "Shadow", which every panel with parameters ends with.
void AddCommon(ParamPanel& panel, int opacity, bool shadow)
{
    panel.AddOpacity();
    panel.AddShadow();
    panel.SetOpacity(opacity);
    panel.SetShadow(shadow);
}

void BuildText(ParamPanel& panel)
{
    panel.AddCombo(kBoxStyle, "Box style:", { "Solid", "Transparent" });
    panel.AddColour(kTextBack, "Back color:")->SetColour(kWhite);
    AddCommon(panel, 0, true);
}

void BuildLine(ParamPanel& panel)
{
    panel.AddCombo(kLineWidth, "Width:", Widths())->setCurrentIndex(1);
    panel.AddCombo(kLineStyle, "Line style:", { "Solid", "Dot" });
    panel.AddColour(kLineColour, QString())->SetColour(kBlack);
    AddCommon(panel, 0, true);
}

void BuildArrow(ParamPanel& panel)
{
    panel.AddCombo(kArrowStyle, "Style:", { "Fill Arrow", "Empty Arrow" });
    panel.AddColour(kArrowColour, "Color:")->SetColour(kBlack);
    AddCommon(panel, 0, true);
}

void BuildRectangle(ParamPanel& panel)
{
    panel.AddCombo(kShapeWidth, "Width:", Widths())->setCurrentIndex(1);
    panel.AddCombo(kShape, QString(), { "Rectangle", "Ellipse", "Rectangle(Fill)", "Ellipse(Fill)" });
    panel.AddColour(kBorder, "Border:")->SetColour(kBlack);
    panel.AddColour(kShapeBack, "Back:")->SetColour(0x808000); // RGB (0, 128, 128)
    AddCommon(panel, 0, false);
    panel.AddHiddenSpin();
}

void BuildHighlight(ParamPanel& panel)
{
    panel.AddColour(kHighlightColour, "Color:")->SetColour(0x800000); // RGB (0, 0, 128)
    AddCommon(panel, 50, true);
}

void BuildStamp(ParamPanel& panel, const std::string& moduleFolder)
{
    panel.AddStampList(moduleFolder);
    AddCommon(panel, 0, true);
}

// No opacity and no shadow: a see-through redaction would hide nothing.
void BuildRedact(ParamPanel& panel)
{
    const int32_t mode = RedactObject::kPixelate;
    QComboBox* modes = panel.AddCombo(kRedactMode, "Mode:", { "Pixelate", "Blur" });
    panel.AddSlider(kRedactStrength, "Strength:", RedactObject::MinStrength(mode), RedactObject::MaxStrength(mode));
    panel.SetSliderValue(kRedactStrength, RedactObject::DefaultStrength(mode));
    // Before the change is announced (activated follows), so the selected object gets a strength of the
    // new mode's range.
    QObject::connect(modes, &QComboBox::currentIndexChanged, &panel, [&panel](int index) {
        panel.SetSliderRange(kRedactStrength, RedactObject::MinStrength(index), RedactObject::MaxStrength(index),
            RedactObject::DefaultStrength(index));
    });
}

void BuildStep(ParamPanel& panel)
{
    panel.AddSlider(kStepSize, "Size:", StepObject::kMinSize, StepObject::kMaxSize);
    panel.SetSliderValue(kStepSize, StepObject::kDefaultSize);
    panel.AddColour(kStepColour, "Color:")->SetColour(StepObject().colour);
    AddCommon(panel, 0, true);
}

void BuildPen(ParamPanel& panel)
{
    panel.AddCombo(kPenWidth, "Width:", Widths(PenObject::kMaxWidth))->setCurrentIndex(PenObject().width - 1);
    panel.AddColour(kPenColour, "Color:")->SetColour(PenObject().colour);
    AddCommon(panel, 0, false);
}

} // namespace

std::unique_ptr<ParamPanel> CreateParamPanel(int kind, const std::string& moduleFolder, QWidget* parent)
{
    auto panel = std::make_unique<ParamPanel>(kind, parent);
    switch (kind) {
    case PanelKind::kText:
        BuildText(*panel);
        break;
    case PanelKind::kLine:
        BuildLine(*panel);
        break;
    case PanelKind::kArrow:
        BuildArrow(*panel);
        break;
    case PanelKind::kRectangle:
        BuildRectangle(*panel);
        break;
    case PanelKind::kHighlight:
        BuildHighlight(*panel);
        break;
    case PanelKind::kStamp:
        BuildStamp(*panel, moduleFolder);
        break;
    case PanelKind::kRedact:
        BuildRedact(*panel);
        break;
    case PanelKind::kStep:
        BuildStep(*panel);
        break;
    case PanelKind::kPen:
        BuildPen(*panel);
        break;
    default:
        panel->AddNoParameter();
        break;
    }
    return panel;
}
