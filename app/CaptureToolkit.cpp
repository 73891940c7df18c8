#include "app/CaptureToolkit.h"

#include "app/PinBoard.h"
#include "app/ScrollBarWidth.h"
#include "capture/CCapDialog.h"
#include "platform/X11ScreenInput.h"
#include "platform/X11WindowSystem.h"

#include <QApplication>
#include <QEventLoop>

namespace {

// The toolkit for a command that shows windows, silent: its own notes (a missing runtime folder...) would
// break the one-line answers scripts read.
std::unique_ptr<QApplication> StartToolkit()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "lumora";
    static char* argv[] = { name, nullptr };
    return std::make_unique<QApplication>(argc, argv);
}

class WindowOverlay final : public CaptureToolkit::Overlay {
public:
    WindowOverlay(X11Display& display, X11WindowSystem& windows)
    {
        // The overlay is a window on the very server whose screen it shows.
        qputenv("QT_QPA_PLATFORM", "xcb");
        app_ = StartToolkit();
        input_ = std::make_unique<X11ScreenInput>(display);
        dialog_ = std::make_unique<CCapDialog>(windows, *input_);
    }

    SelectionOverlay& Selection() override { return *dialog_; }

private:
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<X11ScreenInput> input_;
    std::unique_ptr<CCapDialog> dialog_;
};

class WindowPins final : public CaptureToolkit::Pins {
public:
    WindowPins()
    {
        if (!qApp)
            app_ = StartToolkit();
        board_ = std::make_unique<PinBoard>();
    }

    CapturePinSink& Sink() override { return *board_; }
    void Show(const ImageBuffer& picture) override { board_->Pin(picture); }
    void RunUntilClosed() override
    {
        if (board_->Count() == 0)
            return;
        QEventLoop loop;
        QObject::connect(board_.get(), &PinBoard::AllClosed, &loop, &QEventLoop::quit);
        loop.exec();
    }

private:
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<PinBoard> board_;
};

} // namespace

CaptureToolkit WindowToolkit()
{
    return { [](X11Display& display, X11WindowSystem& windows) -> std::unique_ptr<CaptureToolkit::Overlay> {
                return std::make_unique<WindowOverlay>(display, windows);
            },
        &ScrollBarWidth,
        []() -> std::unique_ptr<CaptureToolkit::Pins> {
            // Without a display the toolkit would end the process.
            if (!qApp && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
                return nullptr;
            return std::make_unique<WindowPins>();
        } };
}
