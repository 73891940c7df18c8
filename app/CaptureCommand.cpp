#include "app/CaptureCommand.h"

#include "app/CaptureArguments.h"
#include "app/ScreenChoice.h"
#include "app/WaylandCapture.h"
#include "app/WaylandSession.h"
#include "capture/CaptureDocumentSink.h"
#include "capture/CapturePipeline.h"
#include "capture/DesktopMonitors.h"
#include "capture/MainWindowControl.h"
#include "capture/PresetSelection.h"
#include "editor/codecs/ImageBytes.h"
#include "editor/codecs/SaveImageFile.h"
#include "imaging/ImageBuffer.h"
#include "platform/DetachedSoundPlayer.h"
#include "platform/X11ClipboardOwner.h"
#include "platform/X11Display.h"
#include "platform/X11ScreenSource.h"
#include "platform/X11ScrollInput.h"
#include "platform/X11WindowSystem.h"
#include "settings/ModulePath.h"
#include "settings/SettingsStore.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <optional>

namespace {

struct CaptureOptions {
    std::string kind;
    std::optional<int> delay;
    std::optional<std::string> output;
    bool clipboard = false;
    bool cursor = false;
    std::optional<ImageRect> geometry;
    std::optional<WindowId> window;
    std::optional<CaptureArguments::Size> size;
    std::optional<std::string> screen;
    bool pin = false;
};

// Takes the one capture the command line makes, in place of the editor's documents, and writes it to
// --output at once rather than keeping a copy of a whole screen for later.
class KeptCapture final : public CaptureDocumentSink {
public:
    explicit KeptCapture(std::optional<std::string> output)
        : output_(std::move(output))
    {
    }

    bool HasActiveDocument() const override { return true; }
    void CreateNewCaptureDocument() override { }
    void RecordUndoSnapshot() override { }
    void ReplaceActiveImage(const ImageBuffer& capture) override
    {
        received = !capture.IsEmpty();
        written = received && output_ && SaveImageFile(capture, *output_);
    }
    void SetActivePathName(const std::string&) override { }

    bool received = false;
    bool written = false;

private:
    std::optional<std::string> output_;
};

int Fail(const std::string& message, int code = 1)
{
    // A usage line stands on its own.
    std::cerr << (message.starts_with("usage:") ? "" : "lumora: ") << message << "\n";
    return code;
}

std::nullopt_t BadValue(std::string& error, const std::string& usage, const std::string& value)
{
    error = "usage: lumora capture " + usage + " (not '" + value + "')";
    return std::nullopt;
}

// Each scripting option belongs to one kind.
bool OptionsFitKind(const CaptureOptions& options, CaptureMode mode)
{
    // A pin shows the capture in place of keeping it; a long scrolled page is no picture to pin.
    if (options.pin && (options.output || options.clipboard || mode == CaptureMode::ScrollingWindow))
        return false;
    return (!options.geometry || mode == CaptureMode::Region)
        && (!options.window || mode == CaptureMode::WindowObject || mode == CaptureMode::ScrollingWindow)
        && (!options.size || mode == CaptureMode::FixedRect);
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
        } else if (option == "--output" && hasValue) {
            options.output = args[++i];
        } else if (option == "--clipboard") {
            options.clipboard = true;
        } else if (option == "--screen" && hasValue && options.kind == "full") {
            options.screen = args[++i];
        } else if (option == "--pin") {
            options.pin = true;
        } else if (option == "--cursor") {
            options.cursor = true;
        } else if (option == "--geometry" && hasValue) {
            if (!(options.geometry = CaptureArguments::ParseGeometry(args[++i])))
                return BadValue(error, "region --geometry WxH+X+Y", args[i]);
        } else if (option == "--window" && hasValue) {
            if (!(options.window = CaptureArguments::ParseWindowId(args[++i])))
                return BadValue(error, "window --window ID (decimal or 0x hex)", args[i]);
        } else if (option == "--size" && hasValue) {
            if (!(options.size = CaptureArguments::ParseSize(args[++i])))
                return BadValue(error, "fixed --size WxH", args[i]);
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
    if (options.output || options.clipboard || options.pin) {
        settings.CopyToClipboard = options.clipboard;
        settings.IsAudoSave = 0;
        settings.PlaySoundWhenCap = 0;
    }
    if (options.cursor)
        settings.IncludeCursor = 1;
    if (options.size) {
        settings.FixRectWidth = options.size->width;
        settings.FixRectHeight = options.size->height;
    }
    settings.HideWndBeforCap = 0;
    settings.CapAppViewMode = int(ViewMode::NewWindow);
}

bool IsOverlayKind(CaptureMode mode)
{
    return mode == CaptureMode::Region || mode == CaptureMode::WindowObject || mode == CaptureMode::FixedRect
        || mode == CaptureMode::ScrollingWindow;
}

// A long page takes many seconds; a terminal is told how far the capture got.
void ShowStepsOnTerminal(int steps)
{
    if (isatty(STDERR_FILENO))
        std::cerr << "lumora: scrolling capture, step " << steps << "\n";
}

// What answers the overlay kinds: the rectangle or window given on the command line, else the overlay
// itself on the X server (which needs the toolkit there).
struct CommandLineOverlay {
    std::unique_ptr<CaptureToolkit::Overlay> toolkit;
    std::unique_ptr<SelectionOverlay> preset;
    SelectionOverlay* chosen = nullptr;
};

// The kinds that show the overlay when the command line does not name the rectangle or window.
bool ShowsOverlay(const CaptureOptions& options, CaptureMode mode)
{
    return IsOverlayKind(mode) && !options.geometry && !options.window;
}

// Returns why nothing can be captured, or nothing when the overlay is ready.
// makeOverlay shows the toolkit's overlay on the desktop being captured.
std::optional<std::string> PrepareOverlay(const CaptureOptions& options, CaptureMode mode, ScreenSource& screen,
    WindowSystem& windows, const std::function<std::unique_ptr<CaptureToolkit::Overlay>()>& makeOverlay,
    CommandLineOverlay& overlay)
{
    if (options.geometry) {
        // Device pixels of the whole desktop, cut to what its monitors show.
        const ImageRect visible = DesktopMonitors::Clip(*options.geometry, screen.Monitors());
        if (visible.IsEmpty())
            return "the geometry lies outside every monitor; nothing was captured";
        overlay.preset = std::make_unique<PresetSelection>(visible);
        overlay.chosen = overlay.preset.get();
    } else if (options.window) {
        if (!windows.WindowRect(*options.window))
            return "there is no window " + std::to_string(*options.window) + "; nothing was captured";
        overlay.preset = std::make_unique<PresetSelection>(windows, *options.window);
        overlay.chosen = overlay.preset.get();
    } else if (ShowsOverlay(options, mode) && makeOverlay) {
        overlay.toolkit = makeOverlay();
        overlay.chosen = &overlay.toolkit->Selection();
    }
    return std::nullopt;
}

// One command-line capture on whichever desktop the services read.
struct CommandLineRun {
    const CaptureOptions& options;
    CaptureMode mode;
    CaptureSettings& settings;
    std::string configPath;
    ScreenSource& screen;
    WindowSystem& windows;
    ClipboardSink& clipboard;
    SelectionOverlay* overlay = nullptr;
    // Where a capture goes when it is pinned (--pin, or P in the overlay); none: nothing is pinned.
    CaptureToolkit::Pins* pins = nullptr;
    std::function<bool()> clipboardTaken {};
    CapturePipeline::ScrollingServices scrolling {};
    // Why the screen could not be read, when the source can tell.
    std::function<std::string()> readError {};
};

int RunPipeline(CommandLineRun& run)
{
    const CaptureOptions& options = run.options;
    NoMainWindow mainWindow;
    DetachedSoundPlayer sound;
    KeptCapture kept(options.output);
    CaptureServices services { run.screen, run.windows, mainWindow, run.clipboard, sound, &kept, run.overlay,
        SaveImageFile, {}, run.configPath, DataFolderFor("capture.wav"), run.pins ? &run.pins->Sink() : nullptr };
    CapturePipeline pipeline(run.settings, std::move(services));
    pipeline.SetScreenFailedCheck([&run] { return run.readError && !run.readError().empty(); });
    pipeline.SetDelayOverride(options.delay);
    pipeline.SetPinCaptures(options.pin);
    if (options.screen) {
        std::string error;
        const std::optional<ImageRect> area = ResolveScreenChoice(*options.screen, run.screen, error);
        if (!area)
            return Fail(error, 2);
        pipeline.SetFullScreenArea(area);
    }
    if (run.mode == CaptureMode::ScrollingWindow)
        pipeline.SetScrolling(std::move(run.scrolling));

    const int captured = run.mode == CaptureMode::ScrollingWindow
        ? pipeline.CaptureScrollingWindow(options.window.value_or(0))
        : pipeline.Capture(run.mode);
    const std::string readError = run.readError ? run.readError() : std::string();
    if (!readError.empty())
        return Fail(readError);
    if (!captured) {
        if (run.mode == CaptureMode::ScrollingWindow && options.window)
            return Fail("the window cannot be found or read; nothing was captured");
        if (IsOverlayKind(run.mode))
            return Fail("capture cancelled");
        return Fail("the active window lies partly off the screen or cannot be found; nothing was captured");
    }
    if (pipeline.LastDelivery().pinned) {
        run.pins->RunUntilClosed();
        return 0;
    }
    if (!kept.received)
        return Fail("the screen could not be read");
    if (run.settings.CopyToClipboard && run.clipboardTaken && !run.clipboardTaken())
        return Fail("cannot take the clipboard");

    if (options.output) {
        if (!kept.written)
            return Fail("cannot write '" + *options.output + "'");
        std::cout << *options.output << "\n";
        return 0;
    }
    if (const auto& saved = pipeline.LastAutoSave()) {
        if (!saved->written)
            return Fail("cannot write '" + saved->path + "'");
        std::cout << saved->path << "\n";
        return 0;
    }
    if (!run.settings.CopyToClipboard)
        std::cerr << "lumora: config.ini turns auto-save and the clipboard off; nothing was kept "
                     "(use --output FILE or --clipboard)\n";
    return 0;
}

// Full screen, given rectangles and the overlay's, from one picture of the desktop portal.
int RunOnWayland(const CaptureOptions& options, CaptureMode mode, WaylandCapture& wayland,
    CaptureToolkit::Overlay* shown, CaptureToolkit::Pins* pins)
{
    const std::string configPath = ConfigFilePath();
    CaptureSettings settings = LoadCaptureSettings(configPath);
    ApplyOptions(options, settings);
    // A Wayland clipboard ends with the program that offers it: only wl-copy's own server outlives us.
    if (settings.CopyToClipboard && !wayland.Clipboard().Installed())
        return Fail("the clipboard on Wayland ends with the program that filled it: install wl-clipboard "
                    "(wl-copy) for --clipboard",
            2);
    CommandLineOverlay overlay;
    if (const std::optional<std::string> why
        = PrepareOverlay(options, mode, wayland.Screen(), wayland.Windows(), {}, overlay))
        return Fail(wayland.Screen().Error().empty() ? *why : wayland.Screen().Error());
    if (shown)
        overlay.chosen = &shown->Selection();
    CommandLineRun run { options, mode, settings, configPath, wayland.Screen(), wayland.Windows(), wayland.Clipboard(),
        overlay.chosen, pins };
    run.readError = [&wayland] { return wayland.Screen().Error(); };
    run.clipboardTaken = [&wayland] { return wayland.Clipboard().Copied(); };
    return RunPipeline(run);
}

} // namespace

bool CaptureNeedsToolkit(const std::vector<std::string>& args)
{
    std::string error;
    const std::optional<CaptureOptions> options = Parse(args, error);
    const std::optional<CaptureMode> mode = options ? ModeOf(options->kind) : std::nullopt;
    return !mode || !OptionsFitKind(*options, *mode) || ShowsOverlay(*options, *mode)
        || *mode == CaptureMode::ScrollingWindow || options->pin;
}

int RunCaptureCommand(const std::vector<std::string>& args, const CaptureToolkit& toolkit)
{
    std::string error;
    const std::optional<CaptureOptions> options = Parse(args, error);
    if (!options)
        return Fail(error, 2);
    const std::optional<CaptureMode> mode = ModeOf(options->kind);
    if (!mode)
        return Fail("unknown capture kind '" + options->kind + "'", 2);
    if (!OptionsFitKind(*options, *mode))
        return Fail("usage: lumora capture region --geometry WxH+X+Y | window|scroll --window ID | fixed --size WxH"
                    " (--pin: not with --output, --clipboard or scroll)",
            2);

    if (WaylandSession::Detected()) {
        if (const std::optional<std::string> why = WaylandCapture::Refusal(*mode))
            return Fail(*why, 2);
        // The overlay's application object comes first: the portal's answer then arrives through it.
        std::unique_ptr<CaptureToolkit::Overlay> shown;
        if (ShowsOverlay(*options, *mode) && toolkit.makeWaylandOverlay && !(shown = toolkit.makeWaylandOverlay()))
            return Fail(WaylandCapture::NothingToReadWith(), 2);
        // Pins need the widget toolkit's application object, so they too come before the portal's.
        std::unique_ptr<CaptureToolkit::Pins> pins;
        if (toolkit.makePins && (options->pin || shown))
            pins = toolkit.makePins();
        if (options->pin && !pins)
            return Fail("cannot show a pin: no display");
        // Nothing comes between the start and the reading of the screen: its picture is asked for at once.
        const bool readsAtOnce = options->delay == 0 && !shown && !pins
            && (*mode == CaptureMode::FullScreen || (*mode == CaptureMode::Region && options->geometry));
        WaylandCapture wayland(readsAtOnce);
        if (wayland.PortalAvailable())
            return RunOnWayland(*options, *mode, wayland, shown.get(), pins.get());
        // Without the portal, X11 still reads what runs through Xwayland; the overlay reads the portal only.
        if (shown || !X11Display::Open())
            return Fail(WaylandCapture::NothingToReadWith(), 2);
    }
    WaylandSession::WarnOnStderr();
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
    X11ClipboardOwner clipboard(&EncodeImageBytes, display->Name());
    const auto overlayOnX11 = [&] { return toolkit.makeOverlay(*display, windows); };
    CommandLineOverlay overlay;
    if (const std::optional<std::string> why = PrepareOverlay(*options, *mode, screen, windows, overlayOnX11, overlay))
        return Fail(*why);
    // Made after the overlay, which may have started the toolkit; --pin or P in the overlay pins.
    std::unique_ptr<CaptureToolkit::Pins> pins;
    if (toolkit.makePins && (options->pin || overlay.toolkit))
        pins = toolkit.makePins();
    if (options->pin && !pins)
        return Fail("cannot show a pin: no display");
    CommandLineRun run { *options, *mode, settings, configPath, screen, windows, clipboard, overlay.chosen,
        pins.get() };
    run.clipboardTaken = [&clipboard] { return clipboard.ServerPid() != 0; };
    // Made only for a scrolling capture: it reads the keyboard map from the server.
    std::optional<X11ScrollInput> scrollInput;
    if (*mode == CaptureMode::ScrollingWindow) {
        run.scrolling.input = &scrollInput.emplace(*display);
        run.scrolling.scrollBarWidth = toolkit.scrollBarWidth();
        run.scrolling.progress = ShowStepsOnTerminal;
    }
    return RunPipeline(run);
}
