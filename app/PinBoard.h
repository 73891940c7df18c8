#pragma once

#include "capture/CapturePinSink.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ClipboardSink;
class CKestrelDoc;
class PinWindow;
class QWidget;

// The pins on the screen, any number at once, and what their menus do: Copy through the desktop
// clipboard, Save As with the program's save dialog and file writers, Open in Editor through the
// window program where there is one.
class PinBoard final : public QObject, public CapturePinSink {
    Q_OBJECT
public:
    using OpenInEditor = std::function<void(const ImageBuffer&)>;

    // An empty openInEditor greys the item out (a pin of the command line has no editor).
    explicit PinBoard(OpenInEditor openInEditor = {});
    ~PinBoard() override;

    // Shows a copy of the picture; at: its top-left corner on the desktop, or nothing for the middle of the
    // monitor under the pointer.
    PinWindow* Pin(const ImageBuffer& picture, std::optional<QPoint> at = std::nullopt);
    // The document as it would be saved: its picture with every object drawn on it.
    PinWindow* PinDocument(const CKestrelDoc& document);
    void PinCapture(const ImageBuffer& image, const ImageRect& where) override;
    // Empty once the editor has gone: every pin's item greys out.
    void SetOpenInEditor(OpenInEditor openInEditor) { openInEditor_ = std::move(openInEditor); }

    int Count() const { return int(pins_.size()); }

signals:
    // The last pin on the screen has closed.
    void AllClosed();

private:
    void Copy(const ImageBuffer& picture);
    static void SaveAs(const ImageBuffer& picture, QWidget& pin);

    OpenInEditor openInEditor_;
    std::unique_ptr<ClipboardSink> clipboard_;
    std::vector<PinWindow*> pins_;
};
