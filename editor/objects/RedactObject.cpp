#include "editor/objects/RedactObject.h"

#include <algorithm>

RedactObject::RedactObject()
    : RectObject(ObjectKind::Redact)
{
}

int32_t RedactObject::MinStrength(int32_t)
{
    return 4;
}

int32_t RedactObject::MaxStrength(int32_t mode)
{
    return ValidMode(mode) == kBlur ? 32 : 64;
}

int32_t RedactObject::DefaultStrength(int32_t mode)
{
    return ValidMode(mode) == kBlur ? 10 : 12;
}

int32_t RedactObject::ValidMode(int32_t mode)
{
    return mode == kBlur ? kBlur : kPixelate;
}

int32_t RedactObject::ValidStrength(int32_t mode, int32_t strength)
{
    return std::clamp(strength, MinStrength(mode), MaxStrength(mode));
}
