#include "editor/ui/ObjectNudge.h"

#include "editor/ui/CKestrelView.h"
#include "editor/ui/ObjectDrag.h"
#include "editor/ui/ObjectHandles.h"
#include "editor/ui/ObjectHitTest.h"

namespace {
QPoint Direction(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return { -1, 0 };
    case Qt::Key_Right:
        return { 1, 0 };
    case Qt::Key_Up:
        return { 0, -1 };
    case Qt::Key_Down:
        return { 0, 1 };
    default:
        return {};
    }
}

bool IsLine(const AnnotationObject& object)
{
    return object.Kind() == ObjectKind::Line || object.Kind() == ObjectKind::Arrow;
}
} // namespace

bool ObjectNudge::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const QPoint direction = Direction(key);
    if (direction.isNull() || (modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
        return false;
    AnnotationObject* object = view_.LiveSelectedObject();
    if (!object)
        return false;
    const bool continues
        = object == burstObject_ && sinceLastPress_.isValid() && sinceLastPress_.elapsed() <= kBurstPauseMs;
    if (!continues)
        view_.RecordEdit(); // ends any burst, so the new one starts after it
    burstObject_ = object;
    sinceLastPress_.restart();
    const QPoint delta = direction * ((modifiers & Qt::ShiftModifier) ? 10 : 1);
    const QRect before = ObjectHandles::SelectedArea(*object);
    const int handle = IsLine(*object) ? ObjectHitTest::LineBody : ObjectHitTest::Inside;
    ObjectDrag::Apply(*object, handle, ObjectDrag::BaseOf(*object), {}, delta);
    view_.RefreshImageArea(before | ObjectHandles::SelectedArea(*object));
    emit view_.EditStateChanged();
    return true;
}
