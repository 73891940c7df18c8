#include "editor/objects/ShapeObject.h"

ShapeObject::ShapeObject()
    : RectObject(ObjectKind::Box)
{
}
