#include "editor/objects/StampObject.h"

StampObject::StampObject()
    : RectObject(ObjectKind::Stamp)
{
}
