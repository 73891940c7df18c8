#include "HighlightObject.h"

HighlightObject::HighlightObject()
    : RectObject(ObjectKind::Highlight)
{
    transparency = 60;
}
