#pragma once

#include "editor/objects/AnnotationObject.h"

#include <cstddef>
#include <list>
#include <memory>

// The document's annotation objects in stacking order: the first is drawn first (bottom), the last on
// top. The list owns its objects; copies are deep.
class ObjectList {
public:
    using Container = std::list<std::unique_ptr<AnnotationObject>>;
    using const_iterator = Container::const_iterator;
    using const_reverse_iterator = Container::const_reverse_iterator;

    ObjectList() = default;
    ObjectList(const ObjectList& other);
    ObjectList& operator=(const ObjectList& other);
    ObjectList(ObjectList&&) noexcept = default;
    ObjectList& operator=(ObjectList&&) noexcept = default;
    ~ObjectList() = default;

    // Puts the object on top and returns it; a null object is ignored.
    AnnotationObject* AppendObject(std::unique_ptr<AnnotationObject> object);
    // Unlinks the object and hands it back to the caller; null when it is not in the list.
    std::unique_ptr<AnnotationObject> RemoveObject(const AnnotationObject* object);
    // Move a listed object to the top or the bottom; false (and nothing changes) when it is not listed.
    bool BringToFront(const AnnotationObject* object);
    bool SendToBack(const AnnotationObject* object);
    // Deletes every object.
    void ClearObjects();
    // Replaces the contents by deep copies of source's objects, in order. Objects of an unknown kind
    // are left out.
    void CopyObjects(const ObjectList& source);

    // A deep copy of one object; null for an unknown kind.
    static std::unique_ptr<AnnotationObject> CloneObject(const AnnotationObject& object);

    bool Contains(const AnnotationObject* object) const;
    size_t Size() const { return objects_.size(); }
    bool IsEmpty() const { return objects_.empty(); }
    AnnotationObject* Front() const { return objects_.empty() ? nullptr : objects_.front().get(); }
    AnnotationObject* Back() const { return objects_.empty() ? nullptr : objects_.back().get(); }

    const_iterator begin() const { return objects_.begin(); }
    const_iterator end() const { return objects_.end(); }
    const_reverse_iterator rbegin() const { return objects_.rbegin(); }
    const_reverse_iterator rend() const { return objects_.rend(); }

private:
    Container::iterator Find(const AnnotationObject* object);

    Container objects_;
};
