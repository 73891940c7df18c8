#pragma once

#include "editor/objects/ColourRef.h"

#include <cstdint>

class AnnotationObject;

// The panel kinds; they are the editing tools' numbers. Any other number shows the no-parameter panel.
namespace PanelKind {
constexpr int kNone = -1;
constexpr int kText = 3;
constexpr int kLine = 5;
constexpr int kArrow = 6;
constexpr int kRectangle = 7;
constexpr int kHighlight = 8;
constexpr int kStamp = 9;
constexpr int kRedact = 10;
constexpr int kStep = 11;
constexpr int kPen = 12;
constexpr int kNoParameter = 1;

// The panel that shows an object of kind objectKind (an ObjectKind value).
int ForObject(int objectKind);
} // namespace PanelKind

// The control ids of the panels.
namespace PanelControl {
constexpr int kLineWidth = 1035;
constexpr int kLineStyle = 1049;
constexpr int kOpacity = 1056;
constexpr int kBoxStyle = 1057;
constexpr int kShadow = 1058;
constexpr int kTextBack = 1059;
constexpr int kShapeBack = 1060;
constexpr int kSpinEdit = 1067;
constexpr int kSpin = 1066;
constexpr int kBorder = 1068;
constexpr int kShape = 1069;
constexpr int kHighlightColour = 1070;
constexpr int kLineColour = 1071;
constexpr int kArrowColour = 1072;
constexpr int kStampList = 1074;
constexpr int kArrowStyle = 1075;
constexpr int kShapeWidth = 1076;
constexpr int kRedactMode = 1090;
constexpr int kRedactStrength = 1091;
constexpr int kStepSize = 1092;
constexpr int kStepColour = 1093;
constexpr int kPenWidth = 1094;
constexpr int kPenColour = 1095;
} // namespace PanelControl

// Everything a panel offers at once, read from whichever panel is shown; a control the panel lacks
// reads as 0 (a width therefore as 1).
struct PanelValues {
    int32_t lineWidth = 1; // width combo 1035 + 1; arrows take it too
    int32_t lineStyle = 0;
    ColourRef lineColour = 0;
    int32_t boxStyle = 0;
    ColourRef textBackColour = 0;
    int32_t arrowStyle = 0;
    ColourRef arrowColour = 0;
    int32_t shapeWidth = 1; // width combo 1076 + 1
    int32_t shape = 0;
    ColourRef borderColour = 0;
    ColourRef fillColour = 0;
    ColourRef highlightColour = 0;
    int32_t stampChoice = 0; // list index + 1, 0 for none
    int32_t redactMode = 0;
    int32_t redactStrength = 12; // pixelate's default cell
    int32_t stepSize = 32; // the marker's side in image pixels
    ColourRef stepColour = 0;
    int32_t penWidth = 1; // width combo 1094 + 1
    ColourRef penColour = 0;
    int32_t transparency = 0;
    bool shadow = false;

    // Copies the values that belong to object's kind into it; a stamp's picture is the caller's. A
    // redaction takes no transparency or shadow. For a new object.
    void ApplyTo(AnnotationObject& object) const;
    // Copies only the property that control carries, when object has it; true when that changed the
    // object. A stamp's picture is the caller's. For an object being restyled.
    bool ApplyControl(int control, AnnotationObject& object) const;
};
