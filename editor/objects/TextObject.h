#pragma once

#include "editor/objects/ColourRef.h"
#include "editor/objects/RectObject.h"

#include <QString>

// A text box. The text may hold several lines; it starts at the top of the box.
class TextObject final : public RectObject {
public:
    static constexpr int32_t kAlignLeft = 0;
    static constexpr int32_t kAlignCentre = 1;
    static constexpr int32_t kAlignRight = 2;
    static constexpr int32_t kSolidBox = 0;
    static constexpr int32_t kTransparentBox = 1;

    TextObject();

    QString text;
    QString fontFace = QStringLiteral("Arial");
    int32_t fontSize = 16; // points
    ColourRef textColour = 0;
    ColourRef backColour = 0xFFFFFF;
    int32_t alignment = kAlignCentre;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int32_t boxStyle = kSolidBox;
};
