#include "StampObject.h"

StampObject::StampObject()
    : RectObject(ObjectKind::Stamp)
{
}
