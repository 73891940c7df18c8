#include "editor/objects/HighlightObject.h"

HighlightObject::HighlightObject()
    : RectObject(ObjectKind::Highlight)
{
    transparency = 60;
}
