#include "ShapeObject.h"

ShapeObject::ShapeObject()
    : RectObject(ObjectKind::Box)
{
}
