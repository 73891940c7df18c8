#include "editor/objects/LineObject.h"

LineObject::LineObject(ObjectKind kind)
    : AnnotationObject(kind == ObjectKind::Arrow ? ObjectKind::Arrow : ObjectKind::Line)
{
}
