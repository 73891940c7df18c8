#include "editor/objects/StepObject.h"

#include "editor/objects/ObjectList.h"

#include <algorithm>

StepObject::StepObject()
    : RectObject(ObjectKind::Step)
{
}

int32_t StepObject::NextNumber(const ObjectList& objects)
{
    int32_t highest = 0;
    for (const auto& object : objects) {
        if (object->Kind() == ObjectKind::Step)
            highest = std::max(highest, static_cast<const StepObject&>(*object).number);
    }
    return std::min(highest + 1, kMaxNumber);
}

void StepObject::Centre(int32_t x, int32_t y, int32_t size)
{
    size = std::clamp(size, kMinSize, kMaxSize);
    left = x - size / 2;
    top = y - size / 2;
    right = left + size;
    bottom = top + size;
}

int32_t StepObject::Size() const
{
    return std::min(right - left, bottom - top);
}
