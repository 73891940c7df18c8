#include "app/CaptureToolkit.h"

#include "app/PinBoard.h"
#include "app/QuietApplication.h"
#include "app/ScrollBarWidth.h"
#include "app/WaylandCapture.h"
#include "capture/CCapDialog.h"
#include "capture/ToolkitScreenInput.h"
#include "platform/DesktopScreens.h"
#include "platform/WaylandWindowSystem.h"
#include "platform/X11Display.h"
#include "platform/X11ScreenInput.h"
#include "platform/X11WindowSystem.h"

#include <QApplication>
#include <QEventLoop>

namespace {

class WindowOverlay final : public CaptureToolkit::Overlay {
public:
    WindowOverlay(X11Display& display, X11WindowSystem& windows)
        // The overlay is a window on the very server whose screen it shows.
        : app_(QuietApplication<QApplication>("xcb"))
        , input_(std::make_unique<X11ScreenInput>(display))
        , dialog_(std::make_unique<CCapDialog>(windows, *input_))
    {
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
            app_ = QuietApplication<QApplication>();
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

// Over the portal's picture, each monitor's window showing its part of it. On Xwayland the X server
// still takes the grab; on Wayland the compositor's focus is all there is.
class PortalOverlay final : public CaptureToolkit::Overlay {
public:
    explicit PortalOverlay(const char* platform)
        : app_(QuietApplication<QApplication>(platform))
    {
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            display_ = X11Display::Open();
        if (display_)
            input_ = std::make_unique<X11ScreenInput>(*display_);
        else
            input_ = std::make_unique<ToolkitScreenInput>();
        dialog_ = std::make_unique<CCapDialog>(windows_, *input_);
        dialog_->SetScreenPlacer(
            [](const QScreen& screen, const ImageRect& desktop) { return ScreenInPicture(screen, desktop.Width()); });
    }

    SelectionOverlay& Selection() override { return *dialog_; }

private:
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<X11Display> display_;
    WaylandWindowSystem windows_;
    std::unique_ptr<ScreenInput> input_;
    std::unique_ptr<CCapDialog> dialog_;
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
        },
        []() -> std::unique_ptr<CaptureToolkit::Overlay> {
            const char* platform = WaylandCapture::ReachablePlatform();
            if (!platform)
                return nullptr;
            return std::make_unique<PortalOverlay>(platform);
        } };
}
