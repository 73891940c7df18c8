#include "editor/objects/TextObject.h"

TextObject::TextObject()
    : RectObject(ObjectKind::Text)
{
}
