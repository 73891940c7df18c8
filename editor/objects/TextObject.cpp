#include "TextObject.h"

TextObject::TextObject()
    : RectObject(ObjectKind::Text)
{
}
