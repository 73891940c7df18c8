#include "settings/CaptureSettings.h"

std::string CutToCharacterBoundary(std::string text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    size_t cut = maxBytes;
    // Step back over continuation bytes so that the first byte dropped starts a character.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    return text;
}
