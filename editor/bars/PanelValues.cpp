#include "editor/bars/PanelValues.h"

#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"

#include <algorithm>

namespace {
template <class Field, class Value> bool Assign(Field& field, Value value)
{
    if (field == Field(value))
        return false;
    field = Field(value);
    return true;
}

bool ApplyToLine(const PanelValues& values, int control, LineObject& line)
{
    using namespace PanelControl;
    if (line.IsArrow()) {
        if (control == kArrowStyle)
            return Assign(line.style, values.arrowStyle);
        return control == kArrowColour && Assign(line.colour, values.arrowColour);
    }
    switch (control) {
    case kLineWidth:
        return Assign(line.width, values.lineWidth);
    case kLineStyle:
        return Assign(line.style, values.lineStyle);
    case kLineColour:
        return Assign(line.colour, values.lineColour);
    default:
        return false;
    }
}

bool ApplyToBox(const PanelValues& values, int control, ShapeObject& box)
{
    using namespace PanelControl;
    switch (control) {
    case kShapeWidth:
        return Assign(box.width, values.shapeWidth);
    case kShape:
        return Assign(box.shape, values.shape);
    case kBorder:
        return Assign(box.borderColour, values.borderColour);
    case kShapeBack:
        return Assign(box.fillColour, values.fillColour);
    default:
        return false;
    }
}

bool ApplyToRedact(const PanelValues& values, int control, RedactObject& redact)
{
    using namespace PanelControl;
    if (control != kRedactMode && control != kRedactStrength)
        return false;
    // A new mode brings its own strength, which the panel shows already.
    const bool mode = control == kRedactMode && Assign(redact.mode, RedactObject::ValidMode(values.redactMode));
    const bool strength = Assign(redact.strength, RedactObject::ValidStrength(redact.mode, values.redactStrength));
    return mode || strength;
}

// A new size keeps the marker's centre where it was.
bool ResizeStep(StepObject& step, int32_t size)
{
    const ImageRect before = step.Rect();
    step.Centre(int32_t((int64_t(step.left) + step.right) / 2), int32_t((int64_t(step.top) + step.bottom) / 2), size);
    return step.Rect() != before;
}

bool ApplyToStep(const PanelValues& values, int control, StepObject& step)
{
    if (control == PanelControl::kStepSize)
        return ResizeStep(step, values.stepSize);
    return control == PanelControl::kStepColour && Assign(step.colour, values.stepColour);
}

bool ApplyToPen(const PanelValues& values, int control, PenObject& pen)
{
    if (control == PanelControl::kPenWidth)
        return Assign(pen.width, std::clamp(values.penWidth, PenObject::kMinWidth, PenObject::kMaxWidth));
    return control == PanelControl::kPenColour && Assign(pen.colour, values.penColour);
}
} // namespace

int PanelKind::ForObject(int objectKind)
{
    switch (ObjectKind(objectKind)) {
    case ObjectKind::Line:
        return kLine;
    case ObjectKind::Text:
        return kText;
    case ObjectKind::Box:
        return kRectangle;
    case ObjectKind::Arrow:
        return kArrow;
    case ObjectKind::Highlight:
        return kHighlight;
    case ObjectKind::Stamp:
        return kStamp;
    case ObjectKind::Redact:
        return kRedact;
    case ObjectKind::Step:
        return kStep;
    case ObjectKind::Pen:
        return kPen;
    }
    return kNoParameter;
}

void PanelValues::ApplyTo(AnnotationObject& object) const
{
    object.transparency = transparency;
    object.shadow = shadow;
    switch (object.Kind()) {
    case ObjectKind::Line:
    case ObjectKind::Arrow: {
        auto& line = static_cast<LineObject&>(object);
        line.width = lineWidth;
        line.style = line.IsArrow() ? arrowStyle : lineStyle;
        line.colour = line.IsArrow() ? arrowColour : lineColour;
        break;
    }
    case ObjectKind::Text: {
        auto& text = static_cast<TextObject&>(object);
        text.boxStyle = boxStyle;
        text.backColour = textBackColour;
        break;
    }
    case ObjectKind::Box: {
        auto& box = static_cast<ShapeObject&>(object);
        box.width = shapeWidth;
        box.shape = shape;
        box.borderColour = borderColour;
        box.fillColour = fillColour;
        break;
    }
    case ObjectKind::Highlight:
        static_cast<HighlightObject&>(object).colour = highlightColour;
        break;
    case ObjectKind::Stamp:
        static_cast<StampObject&>(object).stampIndex = stampChoice;
        break;
    case ObjectKind::Redact: {
        auto& redact = static_cast<RedactObject&>(object);
        redact.mode = RedactObject::ValidMode(redactMode);
        redact.strength = RedactObject::ValidStrength(redact.mode, redactStrength);
        redact.transparency = 0;
        redact.shadow = false;
        break;
    }
    case ObjectKind::Step: {
        // The size is the tool's to use when it places the marker.
        static_cast<StepObject&>(object).colour = stepColour;
        break;
    }
    case ObjectKind::Pen: {
        auto& pen = static_cast<PenObject&>(object);
        pen.width = std::clamp(penWidth, PenObject::kMinWidth, PenObject::kMaxWidth);
        pen.colour = penColour;
        break;
    }
    }
}

bool PanelValues::ApplyControl(int control, AnnotationObject& object) const
{
    using namespace PanelControl;
    const bool restylable = object.Kind() != ObjectKind::Redact;
    if (control == kOpacity)
        return restylable && Assign(object.transparency, transparency);
    if (control == kShadow)
        return restylable && Assign(object.shadow, shadow);
    switch (object.Kind()) {
    case ObjectKind::Line:
    case ObjectKind::Arrow:
        return ApplyToLine(*this, control, static_cast<LineObject&>(object));
    case ObjectKind::Text: {
        auto& text = static_cast<TextObject&>(object);
        if (control == kBoxStyle)
            return Assign(text.boxStyle, boxStyle);
        return control == kTextBack && Assign(text.backColour, textBackColour);
    }
    case ObjectKind::Box:
        return ApplyToBox(*this, control, static_cast<ShapeObject&>(object));
    case ObjectKind::Highlight:
        return control == kHighlightColour && Assign(static_cast<HighlightObject&>(object).colour, highlightColour);
    case ObjectKind::Stamp:
        return control == kStampList && Assign(static_cast<StampObject&>(object).stampIndex, stampChoice);
    case ObjectKind::Redact:
        return ApplyToRedact(*this, control, static_cast<RedactObject&>(object));
    case ObjectKind::Step:
        return ApplyToStep(*this, control, static_cast<StepObject&>(object));
    case ObjectKind::Pen:
        return ApplyToPen(*this, control, static_cast<PenObject&>(object));
    }
    return false;
}
