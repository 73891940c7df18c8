#include "app/ApplyVerb.h"

#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/OpenFailure.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/document/ImageCommands.h"
#include "editor/document/ResizeCommand.h"
#include "imaging/ImageBuffer.h"
#include "imaging/colour/BrightnessEffect.h"
#include "imaging/colour/ColorLevelEffect.h"
#include "imaging/colour/ColorToneEffect.h"
#include "imaging/colour/ContrastEffect.h"
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
#include <charconv>
#include <functional>
#include <iostream>
#include <optional>
#include <string_view>

namespace {

using Values = std::vector<int>;
using EffectFactory = std::function<std::unique_ptr<ImageEffect>(const Values&)>;

struct Operation {
    std::string_view name;
    std::string_view valueNames; // shown in the usage line
    size_t valueCount;
    int commandId; // a direct menu command, or 0 when factory builds the effect
    EffectFactory factory;
};

template <class Effect, class... Args> std::unique_ptr<ImageEffect> Make(Args... args)
{
    return std::make_unique<Effect>(args...);
}

const std::vector<Operation>& Operations()
{
    static const std::vector<Operation> operations {
        { "rotate90", "", 0, 20004, nullptr },
        { "rotate270", "", 0, 20007, nullptr },
        { "rotate", "DEGREES", 1, 0, [](const Values& v) { return Make<FreeRotateEffect>(v[0]); } },
        { "flip-horizontal", "", 0, 20005, nullptr },
        { "flip-vertical", "", 0, 20006, nullptr },
        { "brightness", "LEVEL", 1, 0, [](const Values& v) { return Make<BrightnessEffect>(v[0]); } },
        { "contrast", "LEVEL", 1, 0, [](const Values& v) { return Make<ContrastEffect>(v[0]); } },
        { "hue-saturation", "HUE SATURATION", 2, 0,
            [](const Values& v) { return Make<HueSaturationEffect>(v[0], v[1]); } },
        { "rgb", "RED GREEN BLUE", 3, 0, [](const Values& v) { return Make<RgbValueEffect>(v[0], v[1], v[2]); } },
        { "level", "LOW HIGH rgb|r|g|b", 3, 0,
            [](const Values& v) { return Make<ColorLevelEffect>(v[0], v[1], v[2]); } },
        { "auto-level", "", 0, 20051, nullptr },
        { "grey", "", 0, 20019, nullptr },
        { "invert", "", 0, 20020, nullptr },
        { "tone", "RED GREEN BLUE", 3, 0,
            [](const Values& v) { return Make<ColorToneEffect>(uint8_t(v[0]), uint8_t(v[1]), uint8_t(v[2])); } },
        { "color-noise", "AMOUNT", 1, 0, [](const Values& v) { return Make<ColorNoiseEffect>(v[0]); } },
        { "mono-noise", "AMOUNT", 1, 0, [](const Values& v) { return Make<MonoNoiseEffect>(v[0]); } },
        { "emboss", "DEPTH", 1, 0, [](const Values& v) { return Make<EmbossEffect>(v[0]); } },
        { "oil-paint", "RADIUS", 1, 0, [](const Values& v) { return Make<OilPaintEffect>(v[0]); } },
        { "splash", "SIZE", 1, 0, [](const Values& v) { return Make<SplashEffect>(v[0]); } },
        { "posterize", "LEVELS", 1, 0, [](const Values& v) { return Make<PosterizeEffect>(v[0]); } },
        { "mosaic", "CELL", 1, 0, [](const Values& v) { return Make<MosaicEffect>(v[0]); } },
        { "halftone", "", 0, 20041, nullptr },
        { "blur", "", 0, 20042, nullptr },
        { "grid", "CELL DEPTH", 2, 0, [](const Values& v) { return Make<GridEffect>(v[0], v[1]); } },
    };
    return operations;
}

// The colour level's channel word, as the effect's channel mask.
std::optional<int> ParseChannel(std::string_view text)
{
    if (text == "rgb")
        return 7;
    if (text == "r")
        return 1;
    if (text == "g")
        return 2;
    if (text == "b")
        return 4;
    return std::nullopt;
}

std::optional<int> ParseInt(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

int Usage(const std::string& problem)
{
    std::cerr << "lumora: " << problem << "; usage: lumora apply IN OUT EFFECT [VALUES...], EFFECT one of:";
    for (const Operation& op : Operations())
        std::cerr << ' ' << op.name << (op.valueNames.empty() ? "" : " ") << op.valueNames << ',';
    std::cerr << " resize WIDTH HEIGHT good|better\n";
    return 2;
}

// The document keeps 32 bits per pixel, so this is the largest picture it can hold.
bool FitsAnImage(int width, int height)
{
    return width > 0 && height > 0 && ImageBuffer::StrideFor(width, 32) * height < ImageBuffer::kMaxPixelBytes;
}

// Resize takes a word for its quality, so it is read apart from the all-number operations.
std::unique_ptr<HistoryEntry> ParseResize(const std::vector<std::string>& values, bool& tooLarge)
{
    if (values.size() != 3)
        return nullptr;
    const auto width = ParseInt(values[0]);
    const auto height = ParseInt(values[1]);
    if (!width || !height || (values[2] != "good" && values[2] != "better"))
        return nullptr;
    tooLarge = !FitsAnImage(*width, *height);
    if (tooLarge)
        return nullptr;
    return std::make_unique<ResizeCommand>(
        *width, *height, values[2] == "good" ? ResizeCommand::Good : ResizeCommand::Better);
}

} // namespace

int RunApplyVerb(const std::vector<std::string>& args)
{
    if (args.size() < 3)
        return Usage("apply needs an input, an output and an effect");
    const std::string& in = args[0];
    const std::string& out = args[1];
    const std::string& name = args[2];
    const std::vector<std::string> words(args.begin() + 3, args.end());

    std::unique_ptr<HistoryEntry> resize;
    std::unique_ptr<ImageEffect> effect;
    int commandId = 0;
    if (name == "resize") {
        bool tooLarge = false;
        resize = ParseResize(words, tooLarge);
        if (tooLarge) {
            std::cerr << "lumora: an image of " << words[0] << " x " << words[1]
                      << " pixels cannot be held (at most 2 GiB at 4 bytes a pixel, sides above 0)\n";
            return 2;
        }
        if (!resize)
            return Usage("resize needs WIDTH HEIGHT good|better");
    } else {
        const auto& ops = Operations();
        const auto op = std::find_if(ops.begin(), ops.end(), [&](const Operation& o) { return o.name == name; });
        if (op == ops.end())
            return Usage("unknown effect '" + name + "'");
        if (words.size() != op->valueCount)
            return Usage(name + " takes " + std::to_string(op->valueCount) + " value(s)");
        Values values;
        for (const std::string& word : words) {
            const bool channel = name == "level" && values.size() == 2;
            const auto value = channel ? ParseChannel(word) : ParseInt(word);
            if (!value)
                return Usage("'" + word + (channel ? "' is not rgb, r, g or b" : "' is not a whole number"));
            values.push_back(*value);
        }
        if (name == "tone" && std::any_of(values.begin(), values.end(), [](int v) { return v < 0 || v > 255; }))
            return Usage("tone colours are 0 to 255");
        if (op->commandId)
            commandId = op->commandId;
        else
            effect = op->factory(values);
    }

    CKestrelDoc document;
    if (!document.OnOpenDocument(in)) {
        std::cerr << "lumora: " << OpenFailure::Describe(in, document.OpenFailedInDecoder()) << "\n";
        return 2;
    }
    bool failed = false;
    QObject::connect(&document, &CKestrelDoc::ChangeFailed, [&failed] { failed = true; });
    if (resize)
        document.ApplyHistoryEntry(std::move(resize));
    else if (commandId)
        document.RunImageCommand(commandId);
    else
        document.RunImageEffect(effect.get());
    if (failed) {
        std::cerr << "lumora: " << CKestrelDoc::kChangeFailedMessage << "\n";
        return 1;
    }

    if (!document.OnSaveDocument(out)) {
        std::cerr << "lumora: cannot write '" << out << "' (unknown extension, unsupported depth or no access)\n";
        return 1;
    }
    return 0;
}
