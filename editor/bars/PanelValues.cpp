#include "editor/bars/PanelValues.h"

#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/TextObject.h"

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
    }
}
