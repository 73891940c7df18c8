#include "imaging/dialogs/AdjustTemplates.h"

#include "imaging/colour/ColorLevelEffect.h"
#include "imaging/colour/ColorToneEffect.h"
#include "imaging/colour/HueSaturationEffect.h"
#include "imaging/colour/PosterizeEffect.h"
#include "imaging/colour/RgbValueEffect.h"
#include "imaging/filters/ColorNoiseEffect.h"
#include "imaging/filters/EmbossEffect.h"
#include "imaging/filters/GridEffect.h"
#include "imaging/filters/MonoNoiseEffect.h"
#include "imaging/filters/MosaicEffect.h"
#include "imaging/filters/OilPaintEffect.h"
#include "imaging/filters/SplashEffect.h"
#include "imaging/geometry/FreeRotateEffect.h"

#include <algorithm>
#include <array>

namespace {

constexpr TrackbarSpec kNone { 0, 0, 0, nullptr };

constexpr std::array kTemplates {
    AdjustTemplate {
        172, "Color level", 2, { { 0, 255, 0, "Down" }, { 0, 255, 255, "Up" }, kNone }, true, false, false, false },
    AdjustTemplate { 173, "RGB Value", 3, { { -128, 128, 0, "R" }, { -128, 128, 0, "G" }, { -128, 128, 0, "B" } },
        false, false, false, false },
    AdjustTemplate { 174, "Hue/Saturation", 2, { { 0, 200, 100, "Hue" }, { 0, 200, 100, "Saturation" }, kNone }, false,
        false, false, false },
    AdjustTemplate { 190, "Blot", 1, { { 1, 200, 100, nullptr }, kNone, kNone }, false, false, false, false },
    AdjustTemplate { 191, "Noisy", 1, { { 1, 100, 50, nullptr }, kNone, kNone }, false, false, false, false },
    AdjustTemplate { 192, "Emboss", 1, { { 1, 10, 2, nullptr }, kNone, kNone }, false, false, false, false },
    AdjustTemplate { 193, "Oil Paint", 1, { { 1, 15, 2, nullptr }, kNone, kNone }, false, false, true, false },
    AdjustTemplate { 194, "Splash", 1, { { 3, 64, 5, nullptr }, kNone, kNone }, false, false, true, false },
    AdjustTemplate { 195, "Posterize", 1, { { 2, 20, 3, nullptr }, kNone, kNone }, false, false, false, false },
    AdjustTemplate { 196, "Mosaic", 1, { { 2, 200, 10, nullptr }, kNone, kNone }, false, false, true, false },
    AdjustTemplate {
        197, "3D Grid", 2, { { 0, 100, 64, nullptr }, { 0, 100, 50, nullptr }, kNone }, false, false, false, false },
    AdjustTemplate { 200, "Color Tone", 0, { kNone, kNone, kNone }, false, true, false, false },
    AdjustTemplate { 201, "Rotate", 1, { { 0, 360, 45, nullptr }, kNone, kNone }, false, false, false, true },
};

} // namespace

const AdjustTemplate* FindAdjustTemplate(int templateId)
{
    const auto it = std::find_if(
        kTemplates.begin(), kTemplates.end(), [templateId](const AdjustTemplate& t) { return t.id == templateId; });
    return it == kTemplates.end() ? nullptr : &*it;
}

int ChannelMaskForRadio(int index)
{
    static constexpr int kMasks[] = { 7, 1, 2, 4 };
    return index >= 0 && index < 4 ? kMasks[index] : 7;
}

std::unique_ptr<ImageEffect> CreateAdjustEffect(int templateId, const AdjustValues& v, double scale)
{
    const int scaled = int(v.first * scale);
    switch (templateId) {
    case 172:
        return std::make_unique<ColorLevelEffect>(v.first, v.second, ChannelMaskForRadio(v.channel));
    case 173:
        return std::make_unique<RgbValueEffect>(v.first, v.second, v.third);
    case 174:
        return std::make_unique<HueSaturationEffect>(v.first, v.second);
    case 190:
        return std::make_unique<ColorNoiseEffect>(v.first);
    case 191:
        return std::make_unique<MonoNoiseEffect>(v.first);
    case 192:
        return std::make_unique<EmbossEffect>(v.first);
    case 193:
        return std::make_unique<OilPaintEffect>(scaled);
    case 194:
        return std::make_unique<SplashEffect>(scaled);
    case 195:
        return std::make_unique<PosterizeEffect>(v.first);
    case 196:
        return std::make_unique<MosaicEffect>(scaled);
    case 197:
        return std::make_unique<GridEffect>(v.first, v.second);
    case 200:
        return std::make_unique<ColorToneEffect>(v.toneRed, v.toneGreen, v.toneBlue);
    case 201:
        return std::make_unique<FreeRotateEffect>(v.first);
    default:
        return nullptr;
    }
}
