#include "app/CaptureToolkit.h"

#include "app/ScrollBarWidth.h"
#include "capture/CCapDialog.h"
#include "platform/X11ScreenInput.h"
#include "platform/X11WindowSystem.h"

#include <QApplication>

namespace {

class WindowOverlay final : public CaptureToolkit::Overlay {
public:
    WindowOverlay(X11Display& display, X11WindowSystem& windows)
    {
        // The overlay is a window on the very server whose screen it shows. The toolkit's own notes
        // (a missing runtime folder...) would break the one-line answer scripts read.
        qputenv("QT_QPA_PLATFORM", "xcb");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        static int argc = 1;
        static char name[] = "lumora";
        static char* argv[] = { name, nullptr };
        app_ = std::make_unique<QApplication>(argc, argv);
        input_ = std::make_unique<X11ScreenInput>(display);
        dialog_ = std::make_unique<CCapDialog>(windows, *input_);
    }

    SelectionOverlay& Selection() override { return *dialog_; }

private:
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<X11ScreenInput> input_;
    std::unique_ptr<CCapDialog> dialog_;
};

} // namespace

CaptureToolkit WindowToolkit()
{
    return { [](X11Display& display, X11WindowSystem& windows) -> std::unique_ptr<CaptureToolkit::Overlay> {
                return std::make_unique<WindowOverlay>(display, windows);
            },
        &ScrollBarWidth };
}
