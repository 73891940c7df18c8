#include "app/OcrVerb.h"

#include "app/CaptureArguments.h"
#include "app/TextLanguages.h"
#include "app/WaylandCapture.h"
#include "app/WaylandSession.h"
#include "capture/DesktopMonitors.h"
#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/OpenFailure.h"
#include "imaging/ImageBuffer.h"
#include "ocr/TextRecognizer.h"
#include "platform/GrabScreenRect.h"
#include "platform/X11Display.h"
#include "platform/X11ScreenSource.h"
#include "settings/ModulePath.h"
#include "settings/SettingsStore.h"

#include <algorithm>
#include <iostream>
#include <optional>

namespace {

constexpr const char* kUsage = "usage: lumora ocr FILE|--full|--region WxH+X+Y [--lang LANG]";

struct OcrOptions {
    std::optional<std::string> file;
    bool full = false;
    std::optional<ImageRect> region;
    std::optional<std::string> language;
};

int Fail(const std::string& message, int code = 2)
{
    std::cerr << "lumora: " << message << "\n";
    return code;
}

std::optional<OcrOptions> Parse(const std::vector<std::string>& args, std::string& error)
{
    OcrOptions options;
    int sources = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--full") {
            options.full = true;
            ++sources;
        } else if (arg == "--region" && hasValue) {
            if (!(options.region = CaptureArguments::ParseGeometry(args[++i]))) {
                error = "bad --region '" + args[i] + "' (WxH+X+Y)";
                return std::nullopt;
            }
            ++sources;
        } else if (arg == "--lang" && hasValue) {
            options.language = args[++i];
        } else if (!arg.starts_with("--")) {
            options.file = arg;
            ++sources;
        } else {
            error = kUsage;
            return std::nullopt;
        }
    }
    if (sources != 1) {
        error = kUsage;
        return std::nullopt;
    }
    return options;
}

// The desktop's pixels in the region (clipped to the monitors), or all of them.
std::optional<ImageBuffer> Grab(ScreenSource& screen, const std::optional<ImageRect>& region, std::string& error)
{
    const ImageRect area = region ? DesktopMonitors::Clip(*region, screen.Monitors()) : screen.DesktopRect();
    if (area.IsEmpty()) {
        error = "the region lies outside every monitor; nothing was read";
        return std::nullopt;
    }
    ImageBuffer image;
    if (!GrabScreenRect(image, screen, area.left, area.top, area.right, area.bottom)) {
        error = "the screen could not be read";
        return std::nullopt;
    }
    DesktopMonitors::BlankOutside(image, area.left, area.top, screen.Monitors());
    return image;
}

std::optional<ImageBuffer> ReadScreen(const std::optional<ImageRect>& region, std::string& error)
{
    if (WaylandSession::Detected()) {
        WaylandCapture wayland;
        if (wayland.PortalAvailable()) {
            std::optional<ImageBuffer> image = Grab(wayland.Screen(), region, error);
            if (!wayland.Screen().Error().empty())
                error = wayland.Screen().Error();
            return image;
        }
        if (!X11Display::Open()) {
            error = WaylandCapture::NothingToReadWith();
            return std::nullopt;
        }
    }
    const std::unique_ptr<X11Display> display = X11Display::Open();
    if (!display) {
        error = "no screen to read: cannot open the X display";
        return std::nullopt;
    }
    X11ScreenSource screen(*display);
    return Grab(screen, region, error);
}

} // namespace

int RunOcrVerb(const std::vector<std::string>& args)
{
    std::string error;
    const std::optional<OcrOptions> options = Parse(args, error);
    if (!options)
        return Fail(error);
    const std::vector<std::string>& installed = TextLanguages::Installed();
    if (installed.empty())
        return Fail("cannot read text: " + TextLanguages::MissingReason().toStdString());
    const std::string language
        = options->language.value_or(TextLanguages::Choose(LoadCaptureSettings(ConfigFilePath()).OcrLanguage));

    ImageBuffer picture;
    if (options->file) {
        if (const LoadOutcome outcome = LoadImageFile(picture, *options->file); outcome != LoadOutcome::kLoaded)
            return Fail(OpenFailure::Describe(*options->file, outcome == LoadOutcome::kDecoderFailed));
    } else {
        std::optional<ImageBuffer> screen = ReadScreen(options->region, error);
        if (!screen)
            return Fail(error);
        picture = std::move(*screen);
    }

    TextRecognizer::Options settings;
    settings.language = language;
    TextRecognizer recognizer(settings);
    if (!recognizer.Ready()) {
        std::string names;
        for (const std::string& name : installed)
            names += (names.empty() ? "" : ", ") + name;
        return Fail("no text recognition data for the language '" + language + "' (installed: " + names + ")");
    }
    const TextRecognizer::Result result = recognizer.Read(picture);
    if (result.outcome != TextRecognizer::Outcome::Read)
        return Fail("the text of the picture could not be read");
    std::cout << result.text << (result.text.empty() ? "" : "\n");
    return 0;
}
