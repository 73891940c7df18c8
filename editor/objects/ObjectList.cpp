#include "editor/objects/ObjectList.h"

#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"

#include <algorithm>

namespace {

template <class Kind> std::unique_ptr<AnnotationObject> CopyAs(const AnnotationObject& object)
{
    const auto* typed = dynamic_cast<const Kind*>(&object);
    return typed ? std::make_unique<Kind>(*typed) : nullptr;
}

} // namespace

ObjectList::ObjectList(const ObjectList& other)
{
    CopyObjects(other);
}

ObjectList& ObjectList::operator=(const ObjectList& other)
{
    CopyObjects(other);
    return *this;
}

AnnotationObject* ObjectList::AppendObject(std::unique_ptr<AnnotationObject> object)
{
    if (!object)
        return nullptr;
    objects_.push_back(std::move(object));
    return objects_.back().get();
}

std::unique_ptr<AnnotationObject> ObjectList::RemoveObject(const AnnotationObject* object)
{
    const auto found = Find(object);
    if (found == objects_.end())
        return nullptr;
    std::unique_ptr<AnnotationObject> owned = std::move(*found);
    objects_.erase(found);
    return owned;
}

bool ObjectList::BringToFront(const AnnotationObject* object)
{
    const auto found = Find(object);
    if (found == objects_.end())
        return false;
    objects_.splice(objects_.end(), objects_, found);
    return true;
}

bool ObjectList::SendToBack(const AnnotationObject* object)
{
    const auto found = Find(object);
    if (found == objects_.end())
        return false;
    objects_.splice(objects_.begin(), objects_, found);
    return true;
}

void ObjectList::ClearObjects()
{
    objects_.clear();
}

void ObjectList::CopyObjects(const ObjectList& source)
{
    // Copying a list onto itself would first delete everything it is about to copy.
    if (&source == this)
        return;
    ClearObjects();
    for (const auto& object : source.objects_)
        AppendObject(CloneObject(*object));
}

std::unique_ptr<AnnotationObject> ObjectList::CloneObject(const AnnotationObject& object)
{
    switch (object.Kind()) {
    case ObjectKind::Line:
    case ObjectKind::Arrow:
        return CopyAs<LineObject>(object);
    case ObjectKind::Text:
        return CopyAs<TextObject>(object);
    case ObjectKind::Box:
        return CopyAs<ShapeObject>(object);
    case ObjectKind::Highlight:
        return CopyAs<HighlightObject>(object);
    case ObjectKind::Stamp:
        return CopyAs<StampObject>(object);
    case ObjectKind::Redact:
        return CopyAs<RedactObject>(object);
    case ObjectKind::Step:
        return CopyAs<StepObject>(object);
    case ObjectKind::Pen:
        return CopyAs<PenObject>(object);
    }
    return nullptr;
}

bool ObjectList::Contains(const AnnotationObject* object) const
{
    return std::any_of(objects_.begin(), objects_.end(), [&](const auto& item) { return item.get() == object; });
}

ObjectList::Container::iterator ObjectList::Find(const AnnotationObject* object)
{
    if (!object)
        return objects_.end();
    return std::find_if(objects_.begin(), objects_.end(), [&](const auto& item) { return item.get() == object; });
}
