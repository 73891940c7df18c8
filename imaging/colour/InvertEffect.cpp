#include "imaging/colour/InvertEffect.h"

InvertEffect::InvertEffect(int channelMask)
    : LookupTableEffect(channelMask)
{
}

int InvertEffect::MapValue(int value) const
{
    return 255 - value;
}
