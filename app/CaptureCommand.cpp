#include "CaptureCommand.h"

#include "CaptureDocumentSink.h"
#include "CapturePipeline.h"
#include "DetachedSoundPlayer.h"
#include "ImageBuffer.h"
#include "MainWindowControl.h"
#include "ModulePath.h"
#include "SaveImageFile.h"
#include "ScrollBarWidth.h"
#include "SettingsStore.h"
#include "X11ClipboardOwner.h"
#include "X11Display.h"
#include "X11ScreenSource.h"
#include "X11ScrollInput.h"
#include "X11WindowSystem.h"

#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <iostream>
#include <optional>

namespace {

struct CaptureOptions {
    std::string kind;
    std::optional<int> delay;
    std::optional<std::string> output;
    bool clipboard = false;
    bool cursor = false;
    std::optional<WindowId> window;
};

// Holds the one capture the command line makes, in place of the editor's documents.
class KeptCapture final : public CaptureDocumentSink {
public:
    bool HasActiveDocument() const override { return true; }
    void CreateNewCaptureDocument() override { }
    void RecordUndoSnapshot() override { }
    void ReplaceActiveImage(const ImageBuffer& capture) override { image.CopyFrom(capture); }
    void SetActivePathName(const std::string&) override { }

    ImageBuffer image;
};

int Fail(const std::string& message, int code = 1)
{
    std::cerr << "lumora: " << message << "\n";
    return code;
}

std::optional<WindowId> ParseWindowId(const std::string& text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    WindowId value = 0;
    const auto [stop, status] = std::from_chars(begin, end, value, hex ? 16 : 10);
    if (status != std::errc() || stop != end || begin == end || value == 0)
        return std::nullopt;
    return value;
}

std::optional<CaptureOptions> Parse(const std::vector<std::string>& args, std::string& error)
{
    CaptureOptions options;
    if (args.empty()) {
        error = "capture needs a kind: full, active, region, window, fixed or scroll";
        return std::nullopt;
    }
    options.kind = args.front();
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool hasValue = i + 1 < args.size();
        if (option == "--delay" && hasValue) {
            const std::string& text = args[++i];
            int value = -1;
            const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (status != std::errc() || end != text.data() + text.size() || value < 0) {
                error = "--delay needs a number of milliseconds, not '" + text + "'";
                return std::nullopt;
            }
            options.delay = value;
        } else if (option == "--window" && hasValue) {
            options.window = ParseWindowId(args[++i]);
            if (!options.window) {
                error = "--window needs an X window id (decimal or 0x hex), not '" + args[i] + "'";
                return std::nullopt;
            }
        } else if (option == "--output" && hasValue) {
            options.output = args[++i];
        } else if (option == "--clipboard") {
            options.clipboard = true;
        } else if (option == "--cursor") {
            options.cursor = true;
        } else {
            error = "unknown or incomplete capture option '" + option + "'";
            return std::nullopt;
        }
    }
    return options;
}

std::optional<CaptureMode> ModeOf(const std::string& kind)
{
    if (kind == "full")
        return CaptureMode::FullScreen;
    if (kind == "active")
        return CaptureMode::ActiveWindow;
    if (kind == "region")
        return CaptureMode::Region;
    if (kind == "window")
        return CaptureMode::WindowObject;
    if (kind == "fixed")
        return CaptureMode::FixedRect;
    if (kind == "scroll")
        return CaptureMode::ScrollingWindow;
    return std::nullopt;
}

// With --output or --clipboard the command line names the destinations; without them config.ini does,
// as for a capture started in the window program.
void ApplyOptions(const CaptureOptions& options, CaptureSettings& settings)
{
    if (options.output || options.clipboard) {
        settings.CopyToClipboard = options.clipboard;
        settings.IsAudoSave = 0;
        settings.PlaySoundWhenCap = 0;
    }
    if (options.cursor)
        settings.IncludeCursor = 1;
    settings.HideWndBeforCap = 0;
    settings.CapAppViewMode = int(ViewMode::NewWindow);
}

// A long page takes many seconds; a terminal is told how far the capture got.
void ShowStepsOnTerminal(int steps)
{
    if (isatty(STDERR_FILENO))
        std::cerr << "lumora: scrolling capture, step " << steps << "\n";
}

} // namespace

int RunCaptureCommand(const std::vector<std::string>& args)
{
    std::string error;
    const std::optional<CaptureOptions> options = Parse(args, error);
    if (!options)
        return Fail(error, 2);
    const std::optional<CaptureMode> mode = ModeOf(options->kind);
    if (!mode)
        return Fail("unknown capture kind '" + options->kind + "'", 2);
    if (*mode == CaptureMode::ScrollingWindow && !options->window)
        return Fail("'capture scroll' needs --window ID until this build has the selection overlay", 2);
    if (*mode != CaptureMode::FullScreen && *mode != CaptureMode::ActiveWindow && *mode != CaptureMode::ScrollingWindow)
        return Fail(
            "'capture " + options->kind + "' needs the selection overlay, which this build does not have yet", 2);

    const std::unique_ptr<X11Display> display = X11Display::Open();
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name)
            return Fail("no X display to capture: DISPLAY is not set");
        return Fail(std::string("cannot open the X display '") + name + "'");
    }

    const std::string configPath = ConfigFilePath();
    CaptureSettings settings = LoadCaptureSettings(configPath);
    ApplyOptions(*options, settings);

    X11ScreenSource screen(*display);
    X11WindowSystem windows(*display);
    NoMainWindow mainWindow;
    X11ClipboardOwner clipboard(display->Name());
    DetachedSoundPlayer sound;
    KeptCapture kept;
    // The interim writer gives way to the editor's SaveImageFile once the codecs are linked in.
    CaptureServices services { screen, windows, mainWindow, clipboard, sound, &kept, nullptr, SaveImageFile, {},
        configPath, ModulePath() };
    CapturePipeline pipeline(settings, std::move(services));
    pipeline.SetDelayOverride(options->delay);
    X11ScrollInput scrollInput(*display);
    CapturePipeline::ScrollingServices scrolling;
    scrolling.input = &scrollInput;
    scrolling.scrollBarWidth = ScrollBarWidth();
    scrolling.progress = ShowStepsOnTerminal;
    pipeline.SetScrolling(std::move(scrolling));

    const int captured = *mode == CaptureMode::ScrollingWindow ? pipeline.CaptureScrollingWindow(*options->window)
                                                               : pipeline.Capture(*mode);
    if (*mode == CaptureMode::ScrollingWindow && !captured)
        return Fail("the window cannot be found or read; nothing was captured");
    if (!captured)
        return Fail("the active window lies partly off the screen or cannot be found; nothing was captured");
    if (kept.image.IsEmpty())
        return Fail("the screen could not be read");
    if (settings.CopyToClipboard && clipboard.ServerPid() == 0)
        return Fail("cannot take the clipboard");

    if (options->output) {
        if (!SaveImageFile(kept.image, *options->output))
            return Fail("cannot write '" + *options->output + "'");
        std::cout << *options->output << "\n";
        return 0;
    }
    if (const auto& saved = pipeline.LastAutoSave()) {
        if (!saved->written)
            return Fail("cannot write '" + saved->path + "'");
        std::cout << saved->path << "\n";
        return 0;
    }
    if (!settings.CopyToClipboard)
        std::cerr << "lumora: config.ini turns auto-save and the clipboard off; nothing was kept "
                     "(use --output FILE or --clipboard)\n";
    return 0;
}
