// The pin window of the real program on the X server, under a window manager, driven with the real
// pointer and keyboard (xdotool) and read back from the server's own pixels.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "../capture/XTestScreen.h"
#include "app/PinView.h"

#include <cmath>
#include <optional>
#include <string>

namespace {

// The picture of lumora pin: each pixel's colour names its place, so a read-back tells which picture
// point lies where.
constexpr int kPictureWidth = 101;
constexpr int kPictureHeight = 61;
uint32_t PicturePixel(int x, int y)
{
    return uint32_t(x) << 16 | uint32_t(y) << 8 | 0xc8;
}

// The desktop behind the pins: a pattern captured and pinned, then a plain colour that a pin covers.
uint32_t DesktopPixel(int x, int y)
{
    return uint32_t((x * 7) & 0xff) << 16 | uint32_t((y * 5) & 0xff) << 8 | uint32_t(((x + y) * 3) & 0xff);
}
constexpr uint32_t kPlain = 0x203040;

struct PinPlace {
    Window window = 0;
    ImageRect rect;
};

class PinWindowTest : public XTestScreen {
protected:
    void SetUp() override
    {
        XTestScreen::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            GTEST_SKIP() << "xdotool is not installed";
        const QString openbox = QStandardPaths::findExecutable("openbox");
        if (openbox.isEmpty())
            GTEST_SKIP() << "openbox is not installed";
        ASSERT_TRUE(turn_.Held());
        wm_ = std::make_unique<WindowManager>(openbox, dpy);
        ASSERT_TRUE(WaitFor([this] { return WindowManagerRunning(); }));
    }

    void TearDown() override
    {
        if (program_) {
            program_->kill();
            program_->waitForFinished(5000);
            program_.reset();
        }
        PaintRoot([](int, int) { return kPlain; });
        wm_.reset();
        XTestScreen::TearDown();
    }

    // The root window's background: what the screen shows where no window is.
    void PaintRoot(const std::function<uint32_t(int, int)>& pattern)
    {
        const Window root = DefaultRootWindow(dpy);
        const Pixmap pixmap = PatternPixmap(dpy, root, width, height, pattern);
        XSetWindowBackgroundPixmap(dpy, root, pixmap);
        XFreePixmap(dpy, pixmap);
        XClearWindow(dpy, root);
        XSync(dpy, False);
    }

    // How many pixels of the screen's rect differ from expected(x, y) (desktop positions).
    int Mismatches(const ImageRect& rect, const std::function<uint32_t(int, int)>& expected)
    {
        XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), rect.left, rect.top, unsigned(rect.Width()),
            unsigned(rect.Height()), AllPlanes, ZPixmap);
        if (!image)
            return -1;
        int wrong = 0;
        for (int y = 0; y < rect.Height(); ++y)
            for (int x = 0; x < rect.Width(); ++x)
                wrong += (XGetPixel(image, x, y) & 0xffffff) != expected(rect.left + x, rect.top + y);
        XDestroyImage(image);
        return wrong;
    }

    uint32_t ScreenPixel(int x, int y)
    {
        XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
        const uint32_t pixel = image ? uint32_t(XGetPixel(image, 0, 0) & 0xffffff) : 0;
        if (image)
            XDestroyImage(image);
        return pixel;
    }

    void Start(const QStringList& args, const QString& scale = "1")
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("QT_SCALE_FACTOR", scale);
        env.insert("XDG_CONFIG_HOME", config_.path());
        program_ = std::make_unique<QProcess>();
        program_->setProcessEnvironment(env);
        program_->start(LUMORA_EXECUTABLE, args);
        ASSERT_TRUE(program_->waitForStarted(5000));
    }

    static std::string Run(const QStringList& args)
    {
        QProcess process;
        process.start("xdotool", args);
        process.waitForFinished(10000);
        return process.readAllStandardOutput().trimmed().toStdString();
    }

    // The pin once it is mapped where it will stay: the same rectangle twice in a row.
    std::optional<PinPlace> FindPin()
    {
        PinPlace place;
        ImageRect last;
        const bool found = WaitFor([&] {
            if (!place.window)
                place.window = Window(
                    std::strtoul(Run({ "search", "--onlyvisible", "--name", "Lumora Pin" }).c_str(), nullptr, 10));
            if (!place.window)
                return false;
            const std::optional<ImageRect> now = RectOf(place.window);
            const bool settled = now && *now == last;
            last = now.value_or(ImageRect {});
            place.rect = last;
            return settled;
        });
        return found ? std::optional(place) : std::nullopt;
    }

    std::optional<ImageRect> RectOf(Window window)
    {
        XWindowAttributes attributes {};
        if (!XGetWindowAttributes(dpy, window, &attributes) || attributes.map_state != IsViewable)
            return std::nullopt;
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
        return ImageRect { x, y, x + attributes.width, y + attributes.height };
    }

    bool Ended()
    {
        return WaitFor([this] { return program_->state() == QProcess::NotRunning || program_->waitForFinished(50); })
            && program_->exitStatus() == QProcess::NormalExit && program_->exitCode() == 0;
    }

    QString PictureFile()
    {
        QImage picture(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
        for (int y = 0; y < kPictureHeight; ++y)
            for (int x = 0; x < kPictureWidth; ++x)
                picture.setPixel(x, y, PicturePixel(x, y) | 0xff000000u);
        const QString path = config_.path() + "/picture.png";
        picture.save(path);
        return path;
    }

    XServerTurn turn_;
    QTemporaryDir config_;
    std::unique_ptr<WindowManager> wm_;
    std::unique_ptr<QProcess> program_;
};

// A capture pinned shows the very pixels it took, where it took them, in device pixels at any scale:
// the desktop behind it changes and the pin's rectangle still shows the old pattern.
TEST_F(PinWindowTest, ShowsTheCaptureWhereItWasTaken)
{
    struct Case {
        const char* how;
        QString scale;
        QStringList args;
        // Pressed once the overlay is up (empty: no overlay).
        QStringList overlayGesture;
        ImageRect expected;
    };
    const Case cases[] = {
        { "--pin", "1", { "capture", "region", "--geometry", "101x61+333+217", "--pin" }, {}, { 333, 217, 434, 278 } },
        { "--pin at 2x", "2", { "capture", "region", "--geometry", "101x61+333+217", "--pin" }, {},
            { 333, 217, 434, 278 } },
        { "--pin at 1.5x", "1.5", { "capture", "region", "--geometry", "77x45+101+57", "--pin" }, {},
            { 101, 57, 178, 102 } },
        // P while the region is dragged ends the overlay with the region pinned.
        { "P in the overlay", "1", { "capture", "region" },
            { "mousemove", "200", "150", "mousedown", "1", "mousemove", "260", "190", "mousemove", "281", "211",
                "sleep", "0.3", "key", "p" },
            { 200, 150, 281, 211 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        PaintRoot(DesktopPixel);
        Start(c.args, c.scale);
        if (!c.overlayGesture.isEmpty()) {
            // The overlay holds the pointer once it is up.
            ASSERT_TRUE(WaitFor([] { return Run({ "search", "--onlyvisible", "--class", "lumora" }) != ""; }));
            std::this_thread::sleep_for(std::chrono::milliseconds(800));
            Run(c.overlayGesture);
            Run({ "mouseup", "1" });
        }
        const std::optional<PinPlace> pin = FindPin();
        ASSERT_TRUE(pin);
        const ImageRect rect = pin->rect;
        EXPECT_EQ(rect.left, c.expected.left);
        EXPECT_EQ(rect.top, c.expected.top);
        // The overlay's region may include its last pixel row and column.
        EXPECT_NEAR(rect.right, c.expected.right, c.overlayGesture.isEmpty() ? 0 : 1);
        EXPECT_NEAR(rect.bottom, c.expected.bottom, c.overlayGesture.isEmpty() ? 0 : 1);
        PaintRoot([](int, int) { return kPlain; });
        EXPECT_TRUE(WaitFor([&] { return Mismatches(rect, DesktopPixel) == 0; })) << Mismatches(rect, DesktopPixel);
        // Around it, the plain desktop: the pin is no larger than its picture.
        EXPECT_EQ(ScreenPixel(rect.right, rect.bottom), kPlain);
        Run({ "mousemove", QString::number(rect.left + 5), QString::number(rect.top + 5), "click", "1", "sleep", "0.3",
            "key", "Escape" });
        EXPECT_TRUE(Ended());
    }
}

// One pin of lumora pin FILE, taken through the gestures in turn: each is checked against the screen.
TEST_F(PinWindowTest, AnswersThePointerAndTheKeyboard)
{
    PaintRoot([](int, int) { return kPlain; });
    Start({ "pin", PictureFile() });
    std::optional<PinPlace> pin = FindPin();
    ASSERT_TRUE(pin);
    ASSERT_EQ(pin->rect.Width(), kPictureWidth);
    ASSERT_EQ(pin->rect.Height(), kPictureHeight);
    EXPECT_TRUE(WaitFor([&] {
        return Mismatches(pin->rect, [&](int x, int y) { return PicturePixel(x - pin->rect.left, y - pin->rect.top); })
            == 0;
    }));
    const auto arg = [](int value) { return QString::number(value); };

    // A drag moves it by the pointer's way.
    const ImageRect before = pin->rect;
    Run({ "mousemove", arg(before.left + 20), arg(before.top + 20), "mousedown", "1", "mousemove",
        arg(before.left + 40), arg(before.top + 40), "mousemove", arg(before.left + 110), arg(before.top + 80), "sleep",
        "0.3", "mouseup", "1" });
    ASSERT_TRUE(WaitFor([&] {
        pin->rect = RectOf(pin->window).value_or(ImageRect {});
        return pin->rect.left == before.left + 90 && pin->rect.top == before.top + 60;
    })) << pin->rect.left
        << "," << pin->rect.top;
    EXPECT_EQ(pin->rect.Width(), kPictureWidth);

    // The wheel zooms around the pointer: the picture point under it stays there, the window grows by a step.
    const int px = pin->rect.left + 30;
    const int py = pin->rect.top + 20;
    ASSERT_EQ(ScreenPixel(px, py), PicturePixel(30, 20));
    // The picture point a screen pixel shows, read from its colour: the nearest one at most a pixel away.
    const auto nearPointPicked = [&] {
        const uint32_t pixel = ScreenPixel(px, py);
        return (pixel & 0xff) == 0xc8 && std::abs(int(pixel >> 16) - 30) <= 1
            && std::abs(int(pixel >> 8 & 0xff) - 20) <= 1;
    };
    for (const auto& [notches, width] : { std::pair { 1, 126 }, std::pair { 2, 197 }, std::pair { -3, 101 } }) {
        SCOPED_TRACE(notches);
        Run({ "mousemove", arg(px), arg(py), "click", "--repeat", arg(std::abs(notches)), notches > 0 ? "4" : "5" });
        ASSERT_TRUE(WaitFor([&] { return RectOf(pin->window).value_or(ImageRect {}).Width() == width; }));
        pin->rect = *RectOf(pin->window);
        EXPECT_EQ(pin->rect.Height(), int(std::lround(kPictureHeight * width / double(kPictureWidth))));
        EXPECT_TRUE(WaitFor(nearPointPicked)) << std::hex << ScreenPixel(px, py);
    }

    // Ctrl+wheel fades it, down to a tenth at most; the window manager reads the opacity property.
    Run({ "keydown", "ctrl", "click", "--repeat", "12", "5", "keyup", "ctrl" });
    EXPECT_TRUE(WaitFor([&] {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(dpy, pin->window, display->Atom("_NET_WM_WINDOW_OPACITY"), 0, 1, False, XA_CARDINAL, &type,
            &format, &count, &remaining, &data);
        const bool faded = data && count == 1
            && std::abs(double(*reinterpret_cast<unsigned long*>(data)) / 0xffffffffu - 0.1) < 0.01;
        if (data)
            XFree(data);
        return faded;
    }));

    // A double click closes it, and with the last pin the command ends.
    Run({ "click", "--repeat", "2", "--delay", "80", "1" });
    EXPECT_TRUE(Ended());
}

} // namespace

// Closing the main window takes no pin away unasked: the program goes on until the last pin closes.
TEST_F(PinWindowTest, PinsOfTheWindowProgramOutliveItsMainWindow)
{
    QDir().mkpath(config_.path() + "/lumora");
    QFile config(config_.path() + "/lumora/config.ini");
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("[CaptureSet]\nHideWndBeforCap=1\nRestoreWndAftCap=1\nCapDelayTime=0\n");
    config.close();
    PaintRoot(DesktopPixel);
    Start({});
    const QString pid = QString::number(program_->processId());
    Window main = 0;
    ASSERT_TRUE(WaitFor([&] {
        main = Window(
            std::strtoul(Run({ "search", "--onlyvisible", "--pid", pid, "--name", "^Lumora$" }).c_str(), nullptr, 10));
        return main != 0;
    }));
    const auto mainShown = [&] { return RectOf(main).has_value(); };
    QProcess send;
    send.start(LUMORA_EXECUTABLE, { "send", "capture", "region" });
    ASSERT_TRUE(WaitFor([&] { return !mainShown(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    Run({ "mousemove", "400", "300", "mousedown", "1", "mousemove", "450", "330", "mousemove", "480", "350", "sleep",
        "0.3", "key", "p" });
    Run({ "mouseup", "1" });
    const std::optional<PinPlace> pin = FindPin();
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin->rect.left, 400);
    EXPECT_EQ(pin->rect.top, 300);

    ASSERT_TRUE(WaitFor(mainShown));
    // The pin took the capture in place of a new tab, whose name the main window's title would show.
    char* title = nullptr;
    XFetchName(dpy, main, &title);
    EXPECT_STREQ(title, "Lumora");
    XFree(title);
    Run({ "windowactivate", "--sync", QString::number(main), "key", "alt+F4" });
    ASSERT_TRUE(WaitFor([&] { return !mainShown(); }));
    EXPECT_FALSE(program_->waitForFinished(1000));
    // Nothing reaches the closed window any more: no request of another program captures into it.
    QProcess late;
    late.start(LUMORA_EXECUTABLE, { "send", "capture", "full" });
    ASSERT_TRUE(late.waitForFinished(10000));
    EXPECT_NE(late.exitCode(), 0);
    PaintRoot([](int, int) { return kPlain; });
    EXPECT_TRUE(WaitFor([&] { return Mismatches(pin->rect, DesktopPixel) == 0; }));

    Run({ "mousemove", QString::number(pin->rect.left + 5), QString::number(pin->rect.top + 5), "click", "1", "sleep",
        "0.3", "key", "Escape" });
    EXPECT_TRUE(Ended());
    send.kill();
    send.waitForFinished(1000);
}

// The zoom's ends and its stop at 1:1, which the wheel would take many notches to reach on the screen.
TEST(PinViewTest, ZoomStopsAtItsEndsAndAtOneToOne)
{
    struct Step {
        int notches;
        double zoom;
        int width;
    };
    const Step steps[] = { { 30, 8.0, 800 }, { 1, 8.0, 800 }, { -10, 1.0, 100 }, { -1, 0.8, 80 }, { 3, 1.0, 100 },
        { -40, 0.1, 10 }, { -1, 0.1, 10 } };
    PinView view(100, 50, 10, 20);
    for (const Step& step : steps) {
        view.ZoomAt(step.notches, 60, 45);
        EXPECT_DOUBLE_EQ(view.Zoom(), step.zoom) << step.notches;
        EXPECT_EQ(view.Rect().Width(), step.width) << step.notches;
    }
    // A whole screen grows no further than kMaxSide; a picture larger still keeps 1:1.
    for (const auto& [width, largest] : { std::pair { 1920, 8192 }, std::pair { 9000, 9000 } }) {
        PinView large(width, 100, 0, 0);
        large.ZoomAt(20, 0, 0);
        EXPECT_EQ(large.Rect().Width(), largest);
    }
    view.ChangeOpacity(-20);
    EXPECT_EQ(view.Opacity(), PinView::kMinOpacity);
    view.ChangeOpacity(20);
    EXPECT_EQ(view.Opacity(), PinView::kMaxOpacity);
}
