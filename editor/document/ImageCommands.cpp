#include "editor/document/ImageCommands.h"

#include "imaging/colour/ColorLevelEffect.h"
#include "imaging/colour/GrayScaleEffect.h"
#include "imaging/colour/InvertEffect.h"
#include "imaging/filters/ConvolutionEffect.h"
#include "imaging/filters/HalftoneEffect.h"
#include "imaging/geometry/FlipHorizontalEffect.h"
#include "imaging/geometry/FlipVerticalEffect.h"
#include "imaging/geometry/Rotate270Effect.h"
#include "imaging/geometry/Rotate90Effect.h"

#include <algorithm>
#include <array>

namespace {

using enum ImageCommandKind;

constexpr std::array kCommands {
    ImageCommand { 20002, "Rotate...", Dialog, 201 },
    ImageCommand { 20004, "&Rotate 90", Direct, 0 },
    ImageCommand { 20005, "Filp Horizontally", Direct, 0 },
    ImageCommand { 20006, "Filp Vertically", Direct, 0 },
    ImageCommand { 20007, "Rotate 270", Direct, 0 },
    ImageCommand { 20009, "Resize...", Other, 0 },
    ImageCommand { 20010, "Brightness/Contrast", Other, 0 },
    ImageCommand { 20012, "Hue/Saturation", Other, 174 },
    ImageCommand { 20014, "Color Tone", Dialog, 200 },
    ImageCommand { 20016, "&RGB Value", Dialog, 173 },
    ImageCommand { 20017, "&Color Level", Dialog, 172 },
    ImageCommand { 20019, "&GrayImage", Direct, 0 },
    ImageCommand { 20020, "&Invert", Direct, 0 },
    // The menu's "Noisy" opens the dialog titled "Blot" and the other way round.
    ImageCommand { 20033, "Noisy", Dialog, 190 },
    ImageCommand { 20034, "Blot", Dialog, 191 },
    ImageCommand { 20035, "Emboss", Dialog, 192 },
    ImageCommand { 20036, "OilPaint", Dialog, 193 },
    ImageCommand { 20037, "Splash", Dialog, 194 },
    ImageCommand { 20038, "Posterize", Dialog, 195 },
    ImageCommand { 20040, "Mosaic", Dialog, 196 },
    ImageCommand { 20041, "Halftone", Direct, 0 },
    ImageCommand { 20042, "Blur", Direct, 0 },
    ImageCommand { 20050, "3D Grid", Dialog, 197 },
    ImageCommand { 20051, "Auto Color Level", Direct, 0 },
};

} // namespace

const ImageCommand* FindImageCommand(int id)
{
    const auto it = std::find_if(kCommands.begin(), kCommands.end(), [id](const auto& c) { return c.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

std::unique_ptr<ImageEffect> CreateDirectEffect(int id)
{
    switch (id) {
    case 20004:
        return std::make_unique<Rotate90Effect>();
    case 20005:
        return std::make_unique<FlipHorizontalEffect>();
    case 20006:
        return std::make_unique<FlipVerticalEffect>();
    case 20007:
        return std::make_unique<Rotate270Effect>();
    case 20019:
        return std::make_unique<GrayScaleEffect>();
    case 20020:
        return std::make_unique<InvertEffect>();
    case 20041:
        return std::make_unique<HalftoneEffect>();
    case 20042:
        return std::make_unique<ConvolutionEffect>(ConvolutionEffect::Blur());
    case 20051:
        return std::make_unique<ColorLevelEffect>(ColorLevelEffect::Automatic());
    default:
        return nullptr;
    }
}
