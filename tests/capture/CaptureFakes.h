#pragma once

#include "capture/CaptureDocumentSink.h"
#include "capture/CapturePipeline.h"
#include "capture/MainWindowControl.h"
#include "capture/SelectionOverlay.h"
#include "imaging/ImageBuffer.h"
#include "platform/ClipboardSink.h"
#include "platform/ImageScreenSource.h"
#include "platform/ScrollInput.h"
#include "platform/SoundPlayer.h"
#include "platform/WindowSystem.h"

#include <QImage>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Recording stand-ins for everything a capture reaches, sharing one log so that tests can check the
// order of the steps.
namespace fakes {

using Log = std::vector<std::string>;

class Windows final : public WindowSystem {
public:
    explicit Windows(Log& log)
        : log_(log)
    {
    }
    WindowId ForegroundWindow() override { return foreground; }
    std::optional<ImageRect> WindowRect(WindowId window) override
    {
        const auto at = rects.find(window);
        return at == rects.end() ? std::nullopt : std::optional<ImageRect>(at->second);
    }
    WindowId WindowBelow(WindowId window) override
    {
        log_.push_back("below " + std::to_string(window));
        return below;
    }
    void BringToTop(WindowId window) override { log_.push_back("top " + std::to_string(window)); }
    std::vector<WindowId> StackingOrder() override { return stacking; }
    void DrawHighlight(WindowId window) override { log_.push_back("mark " + std::to_string(window)); }
    void EraseHighlight(WindowId window) override { log_.push_back("unmark " + std::to_string(window)); }

    WindowId foreground = 0;
    WindowId below = 0;
    std::map<WindowId, ImageRect> rects;
    std::vector<WindowId> stacking;

private:
    Log& log_;
};

class MainWindow final : public MainWindowControl {
public:
    explicit MainWindow(Log& log)
        : log_(log)
    {
    }
    void ShowWindow(ShowCommand command) override
    {
        static const char* const kNames[] = { "hide", "show", "minimise", "show-noactivate", "show-normal" };
        log_.push_back(kNames[int(command)]);
    }
    void MakeForeground() override { log_.push_back("foreground"); }
    void Invalidate() override { log_.push_back("invalidate"); }
    WindowId NativeWindow() const override { return 77; }

private:
    Log& log_;
};

class Clipboard final : public ClipboardSink {
public:
    explicit Clipboard(Log& log)
        : log_(log)
    {
    }
    bool SetImage(const ImageBuffer& image) override
    {
        log_.push_back("clipboard");
        last.CopyFrom(image);
        return true;
    }
    ImageBuffer last;

private:
    Log& log_;
};

class Sound final : public SoundPlayer {
public:
    explicit Sound(Log& log)
        : log_(log)
    {
    }
    bool Play(const std::string& path) override
    {
        log_.push_back("sound " + path);
        return true;
    }

private:
    Log& log_;
};

// A document list like the editor's: each document has an image, an undo list of images and a path.
class Documents final : public CaptureDocumentSink {
public:
    struct Document {
        ImageBuffer image;
        std::vector<ImageBuffer> undo;
        std::string path;
        bool modified = false;
    };

    explicit Documents(Log& log)
        : log_(log)
    {
    }
    bool HasActiveDocument() const override { return active >= 0; }
    void CreateNewCaptureDocument() override
    {
        log_.push_back("new document");
        documents.emplace_back();
        active = int(documents.size()) - 1;
    }
    void RecordUndoSnapshot() override
    {
        log_.push_back("snapshot");
        documents[size_t(active)].undo.push_back(documents[size_t(active)].image);
    }
    void ReplaceActiveImage(const ImageBuffer& capture) override
    {
        log_.push_back("editor");
        Document& document = documents[size_t(active)];
        document.image.CopyFrom(capture);
        document.image.ConvertTo(32);
        document.modified = true;
    }
    void SetActivePathName(const std::string& path) override
    {
        log_.push_back("path " + path);
        documents[size_t(active)].path = path;
    }

    std::vector<Document> documents;
    int active = -1;

private:
    Log& log_;
};

class Overlay final : public SelectionOverlay {
public:
    explicit Overlay(Log& log)
        : log_(log)
    {
    }
    std::optional<ImageRect> Select(const OverlayRequest& request, ScreenSource& frozen) override
    {
        log_.push_back("overlay " + std::to_string(int(request.mode)));
        lastRequest = request;
        lastMap = request.windowMap ? *request.windowMap : std::vector<WindowId>();
        if (whileOpen)
            whileOpen();
        frozenSize = frozen.PrimaryScreenSize();
        return result;
    }
    std::optional<ImageRect> result;
    OverlayRequest lastRequest;
    std::vector<WindowId> lastMap; // the request's map only lives while the overlay is open
    ScreenSize frozenSize;
    std::function<void()> whileOpen;
    WindowId picked = 0;
    WindowId PickedWindow() const override { return picked; }
    bool textWanted = false;
    bool TextWanted() const override { return textWanted; }

private:
    Log& log_;
};

// Wheel notches that move nothing, counted; Esc never pressed.
class Wheel final : public ScrollInput {
public:
    void PlacePointer(int, int) override { }
    void RestorePointer() override { }
    void WheelDown() override { ++notches; }
    bool EscapeDown() override { return false; }
    int notches = 0;
};

// A pipeline over a fake screen with every fake wired in; the writer stores files with Qt.
struct Rig {
    explicit Rig(ImageBuffer screenImage)
        : screen(std::move(screenImage))
    {
    }

    CaptureServices Services()
    {
        return { screen, windows, mainWindow, clipboard, sound, &documents, &overlay,
            [this](const ImageBuffer& image, const std::string& path) {
                log.push_back("save " + path);
                return writeImage(image, path);
            },
            [this](int ms) { log.push_back("sleep " + std::to_string(ms)); }, configPath, "/opt/lumora/" };
    }

    CapturePipeline Pipeline() { return CapturePipeline(settings, Services()); }

    // Writes BMP through Qt, refusing names without an extension as a format-by-extension writer would.
    static bool WriteWithQt(const ImageBuffer& image, const std::string& path)
    {
        QImage copy(image.Width(), image.Height(), QImage::Format_RGB32);
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) {
                const uint8_t* p = image.PixelAddress(x, y);
                copy.setPixel(x, y, qRgb(p[2], p[1], p[0]));
            }
        return !image.IsEmpty() && copy.save(QString::fromStdString(path));
    }

    Log log;
    ImageScreenSource screen;
    Windows windows { log };
    MainWindow mainWindow { log };
    Clipboard clipboard { log };
    Sound sound { log };
    Documents documents { log };
    Overlay overlay { log };
    CaptureSettings settings;
    std::string configPath;
    std::function<bool(const ImageBuffer&, const std::string&)> writeImage = WriteWithQt;
};

} // namespace fakes
