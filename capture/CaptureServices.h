#pragma once

#include <functional>
#include <string>

class CaptureDocumentSink;
class CapturePinSink;
class ClipboardSink;
class ImageBuffer;
class MainWindowControl;
class ScreenSource;
class SelectionOverlay;
class SoundPlayer;
class WindowSystem;

// Writes an image to a file, choosing the format by the name's extension; false on failure.
using ImageFileWriter = std::function<bool(const ImageBuffer& image, const std::string& path)>;

// Everything a capture reaches outside itself. The pointers may be null: no editor (the command line),
// no overlay (the overlay kinds then capture nothing).
struct CaptureServices {
    ScreenSource& screen;
    WindowSystem& windows;
    MainWindowControl& mainWindow;
    ClipboardSink& clipboard;
    SoundPlayer& sound;
    CaptureDocumentSink* documents = nullptr;
    SelectionOverlay* overlay = nullptr;
    ImageFileWriter writeImage;
    // Blocking waits; tests pass one that only records.
    std::function<void(int milliseconds)> sleep;
    // config.ini, where StartNum is kept after every auto-saved capture; empty keeps it in memory only.
    std::string configPath;
    // The folder of capture.wav, with a trailing "/".
    std::string soundFolder;
    // Where captures the user asked to pin go; none: they go where the others do.
    CapturePinSink* pins = nullptr;
    // Reads the text of a region the user chose for its text; empty: such a region is captured.
    std::function<void(const ImageBuffer& region)> readText {};
};
