#include "imaging/BitmapTypes.h"
#include "tests/capture/ProcessOutput.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <future>

#include "tests/capture/XTestScreen.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

// The selection overlay as a user meets it: `lumora capture region|window|fixed` on the test's X server,
// the real pointer moved and clicked with xdotool, the overlay read back from the screen.
namespace {

const std::string kLumora = LUMORA_EXECUTABLE;
constexpr QRgb kPanelBlue = 0x0000FF;
constexpr QRgb kPanelGrey = 0x969696;

// Colours that no part of the overlay uses (blue never reaches 0x40).
uint32_t Pattern(int x, int y)
{
    return (uint32_t(x * 7) & 0xFF) << 16 | (uint32_t(y * 5) & 0xFF) << 8 | uint32_t((x + y) & 0x3F);
}

class SelectionOverlayTest : public XTestScreen {
protected:
    void SetUp() override
    {
        XTestScreen::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            GTEST_SKIP() << "needs xdotool to move the pointer";
        if (DefaultDepth(dpy, DefaultScreen(dpy)) < 24)
            GTEST_SKIP() << "the pattern needs a true-colour screen";
        Xdo("mousemove 960 540");
    }

    void TearDown() override
    {
        if (run.valid()) {
            Xdo("key Escape click 3");
            run.wait_for(std::chrono::seconds(20));
        }
        XTestScreen::TearDown();
    }

    // Runs `lumora capture ARGS` and waits until its overlay shows its panel in one corner.
    void Start(const std::string& args)
    {
        output = dir.filePath("shot.png").toStdString();
        const std::string command = "XDG_CONFIG_HOME=" + Quoted(dir.path().toStdString()) + " " + Quoted(kLumora)
            + " capture " + args + " --delay 0 --output " + Quoted(output) + " 2>&1";
        run = std::async(std::launch::async, [command] { return ProcessOutput::Run(command); });
        ASSERT_TRUE(WaitLong([&] {
            const QImage screen = Screen();
            return PanelTopLeft(screen) || PanelBottomRight(screen);
        })) << "the overlay never showed";
    }

    ProcessOutput Finish()
    {
        if (run.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
            return {};
        return run.get();
    }

    static bool WaitLong(const std::function<bool()>& condition)
    {
        for (int i = 0; i < 400; ++i) {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    static void Xdo(const std::string& args) { ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << args; }

    QImage Screen() const
    {
        XImage* image
            = XGetImage(dpy, DefaultRootWindow(dpy), 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
        QImage picture(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.setPixel(x, y, uint32_t(XGetPixel(image, x, y)) | 0xFF000000u);
        XDestroyImage(image);
        return picture;
    }

    // The screen once condition holds for it (the overlay paints after it takes the pointer).
    QImage ScreenWhen(const std::function<bool(const QImage&)>& condition)
    {
        QImage screen;
        WaitLong([&] { return condition(screen = Screen()); });
        return screen;
    }

    static void Keep(const QImage& screen, const QString& name)
    {
        const QString folder = QDir::currentPath() + "/app_output";
        QDir().mkpath(folder);
        screen.save(folder + "/" + name);
    }

    static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

    bool PanelTopLeft(const QImage& s) const { return At(s, 0, 0) == kPanelBlue && At(s, 1, 1) == kPanelGrey; }
    bool PanelBottomRight(const QImage& s) const
    {
        return At(s, width - 1, height - 1) == kPanelBlue && At(s, width - 2, height - 2) == kPanelGrey;
    }

    // Every pixel of the capture is the pattern at the rectangle's place.
    static int WrongPixels(const QImage& image, int left, int top)
    {
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                wrong += At(image, x, y) != Pattern(left + x, top + y);
        return wrong;
    }

    QTemporaryDir dir;
    std::string output;
    std::future<ProcessOutput> run;
};

TEST_F(SelectionOverlayTest, DraggedRegionIsExactlyThoseScreenPixelsEitherWay)
{
    MakePatternWindow(Pattern);
    for (const char* drag :
        { "mousemove 100 120 mousedown 1 mousemove 300 200", "mousemove 300 200 mousedown 1 mousemove 100 120" }) {
        Start("region");
        Xdo(drag);
        const QImage screen = ScreenWhen([&](const QImage& s) { return At(s, 100, 120) == 0 && At(s, 299, 199) == 0; });
        Keep(screen, "overlay_region.png");
        // The black frame lies inside the selection, the frozen screen everywhere outside the panel.
        EXPECT_EQ(At(screen, 100, 120), 0u) << drag;
        EXPECT_EQ(At(screen, 299, 150), 0u) << drag;
        EXPECT_EQ(At(screen, 300, 150), Pattern(300, 150)) << drag;
        EXPECT_EQ(At(screen, 600, 600), Pattern(600, 600)) << drag;
        Xdo("mouseup 1");
        const ProcessOutput result = Finish();
        ASSERT_EQ(result.exitCode, 0) << drag << ": " << result.out;
        const QImage image(QString::fromStdString(output));
        ASSERT_EQ(image.size(), QSize(200, 80)) << drag;
        EXPECT_EQ(WrongPixels(image, 100, 120), 0) << drag;
        QFile::remove(QString::fromStdString(output));
    }
}

TEST_F(SelectionOverlayTest, ClickWithoutMoveEscAndRightClickCaptureNothing)
{
    MakePatternWindow(Pattern);
    for (const char* ending :
        { "mousemove 500 500 click 1", "mousemove 100 120 mousedown 1 mousemove 300 200 key Escape",
            "mousemove 100 120 mousedown 1 mousemove 300 200 click 3", "mousemove 400 400 click 3" }) {
        Start("region");
        Xdo(ending);
        const ProcessOutput result = Finish();
        Xdo("mouseup 1");
        EXPECT_EQ(result.exitCode, 1) << ending;
        EXPECT_EQ(result.out, "lumora: capture cancelled\n") << ending;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(output))) << ending;
    }
}

TEST_F(SelectionOverlayTest, SizeLabelOfASmallSelectionGoesAboveLeft)
{
    MakePatternWindow(Pattern);
    Start("region");
    Xdo("mousemove 400 400 mousedown 1 mousemove 420 410");
    const QImage screen = ScreenWhen([&](const QImage& s) { return At(s, 419, 409) == 0; });
    // The label's black ground ends at the selection's top-left corner; the selection itself stays clear.
    int black = 0;
    for (int y = 392; y < 400; ++y)
        for (int x = 390; x < 400; ++x)
            black += At(screen, x, y) == 0;
    EXPECT_GT(black, 40);
    EXPECT_EQ(At(screen, 410, 405), Pattern(410, 405));
    EXPECT_EQ(At(screen, 400, 405), 0u) << "the selection's frame";
    Xdo("mouseup 1");
    EXPECT_EQ(Finish().exitCode, 0);
}

TEST_F(SelectionOverlayTest, PanelFlipsAtItsThresholdsAndTheMagnifierShowsTheCrossHair)
{
    MakePatternWindow(Pattern);
    Start("region");
    struct Step {
        int x, y;
        bool bottomRight;
    };
    const Step steps[] = { { 190, height / 2, true }, { width / 2, height / 2, true },
        { width - 190, height / 2, false }, { width / 2, 320, true }, { width / 2, height - 320, false } };
    for (const Step& step : steps) {
        Xdo("mousemove " + std::to_string(step.x) + " " + std::to_string(step.y));
        const QImage screen
            = ScreenWhen([&](const QImage& s) { return step.bottomRight ? PanelBottomRight(s) : PanelTopLeft(s); });
        EXPECT_TRUE(step.bottomRight ? PanelBottomRight(screen) : PanelTopLeft(screen))
            << "pointer at " << step.x << "," << step.y;
    }
    // Panel at the top-left: the magnifier fills (15, 15) to (175, 175).
    const int px = width / 2, py = height - 320;
    const QImage screen = Screen();
    Keep(screen, "overlay_region_panel.png");
    EXPECT_EQ(At(screen, 15 + 80, 15 + 80), Pattern(px, py)) << "the centre is kept";
    EXPECT_EQ(At(screen, 15 + 20, 15 + 80), Pattern(px - 12, py) ^ 0xFFFFFFu) << "the middle row is inverted";
    EXPECT_EQ(At(screen, 15 + 80, 15 + 150), Pattern(px, py + 14) ^ 0xFFFFFFu) << "the middle column is inverted";
    EXPECT_EQ(At(screen, 15 + 20, 15 + 20), Pattern(px - 12, py - 12));
    EXPECT_EQ(At(screen, 15, 15), 0x00FF00u) << "green magnifier frame";
    Xdo("key Escape");
    EXPECT_EQ(Finish().exitCode, 1);
}

TEST_F(SelectionOverlayTest, FixedRectangleIsClampedAtTheEdgeWhileItsFocusRectangleIsNot)
{
    MakePatternWindow(Pattern);
    Start("fixed --size 100x60");
    Xdo("mousemove 10 300");
    // Centred on (10, 300): the focus rectangle spans x -40..59, so its right edge is column 59 and no
    // edge is drawn at column 0.
    auto inverted = [](const QImage& s, int x, int y) { return At(s, x, y) == (Pattern(x, y) ^ 0xFFFFFFu); };
    const QImage screen = ScreenWhen([&](const QImage& s) { return inverted(s, 59, 300) || inverted(s, 59, 301); });
    Keep(screen, "overlay_fixed.png");
    int rightEdge = 0, leftColumn = 0;
    for (int y = 272; y < 328; ++y) {
        rightEdge += inverted(screen, 59, y);
        leftColumn += At(screen, 0, y) != Pattern(0, y);
    }
    EXPECT_EQ(rightEdge, 28) << "every other pixel of the right edge";
    EXPECT_EQ(leftColumn, 0);
    Xdo("click 1");
    const ProcessOutput result = Finish();
    ASSERT_EQ(result.exitCode, 0) << result.out;
    const QImage image(QString::fromStdString(output));
    ASSERT_EQ(image.size(), QSize(60, 60));
    EXPECT_EQ(WrongPixels(image, 0, 270), 0);
}

TEST_F(SelectionOverlayTest, AbsurdFixedRectangleFromTheSettingsIsTheDesktopsSize)
{
    // A typo in config.ini: the overlay draws only the dots that show, and captures at most the desktop.
    ASSERT_TRUE(QDir(dir.path()).mkpath("lumora"));
    QFile ini(dir.filePath("lumora/config.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[CaptureSet]\nFixRectWidth=1000000000\nFixRectHeight=1000000000\n");
    ini.close();
    MakePatternWindow(Pattern);
    // Off the centre, so that no edge runs over the panel's corner, which Start looks for.
    const int x = width / 2 - 100, y = height / 2 - 50;
    Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
    Start("fixed");
    // The desktop's size centred on the pointer: right edge and bottom edge on screen, the others off it.
    const int right = x + width / 2 - 1, bottom = y + height / 2 - 1;
    auto inverted = [](const QImage& s, int px, int py) { return At(s, px, py) == (Pattern(px, py) ^ 0xFFFFFFu); };
    const QImage screen
        = ScreenWhen([&](const QImage& s) { return inverted(s, right, y) || inverted(s, right, y + 1); });
    Keep(screen, "overlay_fixed_absurd.png");
    int rightEdge = 0;
    for (int py = y - 20; py < y + 20; ++py)
        rightEdge += inverted(screen, right, py);
    EXPECT_EQ(rightEdge, 20) << "every other pixel of the right edge";
    EXPECT_TRUE(inverted(screen, x, bottom) || inverted(screen, x + 1, bottom));
    Xdo("click 1");
    const ProcessOutput result = Finish();
    ASSERT_EQ(result.exitCode, 0) << result.out;
    const QImage image(QString::fromStdString(output));
    EXPECT_EQ(image.size(), QSize(right + 1, bottom + 1));
    EXPECT_EQ(WrongPixels(image, 0, 0), 0);
}

TEST_F(SelectionOverlayTest, GeometryOptionCapturesWithoutTheOverlay)
{
    MakePatternWindow(Pattern);
    const std::string file = dir.filePath("g.png").toStdString();
    const ProcessOutput run = ProcessOutput::Run(
        Quoted(kLumora) + " capture region --geometry 200x80+100+120 --delay 0 --output " + Quoted(file) + " 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const QImage image(QString::fromStdString(file));
    ASSERT_EQ(image.size(), QSize(200, 80));
    EXPECT_EQ(WrongPixels(image, 100, 120), 0);
    // Cut at the screen's edge.
    const ProcessOutput edge = ProcessOutput::Run(Quoted(kLumora) + " capture region --geometry 50x50+"
        + std::to_string(width - 20) + "+" + std::to_string(height - 10) + " --delay 0 --output " + Quoted(file));
    ASSERT_EQ(edge.exitCode, 0);
    EXPECT_EQ(QImage(QString::fromStdString(file)).size(), QSize(20, 10));
}

TEST_F(SelectionOverlayTest, PickedWindowUnderOpenboxIncludesItsFrame)
{
    const QString openbox = QStandardPaths::findExecutable("openbox");
    if (WindowManagerRunning() || openbox.isEmpty())
        GTEST_SKIP() << "needs a display without a window manager and openbox installed";
    const XServerTurn turn;
    ASSERT_TRUE(turn.Held());
    const WindowManager manager(openbox, dpy);
    ASSERT_TRUE(WaitFor([this] { return WindowManagerRunning() && HasRootProperty("_NET_SUPPORTED", XA_ATOM); }));
    const Window window = MakeWindow(400, 300, 300, 200, 0x00C000, false);
    // The frame is the window manager's top-level parent of our window.
    ImageRect frame;
    ASSERT_TRUE(WaitFor([&] {
        Window root = 0, parent = 0, *children = nullptr, top = window;
        unsigned count = 0;
        while (XQueryTree(dpy, top, &root, &parent, &children, &count) && parent != root) {
            if (children)
                XFree(children);
            top = parent;
        }
        XWindowAttributes a {};
        XGetWindowAttributes(dpy, top, &a);
        frame = { a.x, a.y, a.x + a.width + 2 * a.border_width, a.y + a.height + 2 * a.border_width };
        return top != window && frame.Height() > 200;
    })) << "openbox did not frame the window";
    Xdo("mousemove 10 10");
    // openbox may still be drawing the frame it has just made: the picture to compare with is one that has
    // stopped changing there.
    const auto framed = [&](const QImage& s) { return s.copy(frame.left, frame.top, frame.Width(), frame.Height()); };
    QImage before = Screen();
    ASSERT_TRUE(WaitFor([&] {
        const QImage now = Screen();
        const bool settled = framed(now) == framed(before);
        before = now;
        return settled;
    })) << "the frame never stopped changing";

    Start("window");
    // The window manager chose where the window went.
    Xdo("mousemove " + std::to_string(frame.left + 50) + " " + std::to_string(frame.top + 60));
    // The outline keeps red and inverts green and blue of what lies below it.
    auto outlined = [&](const QImage& s, int x, int y) { return At(s, x, y) == (At(before, x, y) ^ 0x00FFFFu); };
    const QImage screen = ScreenWhen([&](const QImage& s) { return outlined(s, frame.left + 1, frame.top + 100); });
    Keep(screen, "overlay_window.png");
    EXPECT_TRUE(outlined(screen, frame.left + 3, frame.top + 100));
    EXPECT_TRUE(outlined(screen, frame.right - 1, frame.bottom - 4));
    EXPECT_FALSE(outlined(screen, frame.left + 4, frame.top + 100)) << "the outline is 4 pixels wide";
    Xdo("click 1");
    const ProcessOutput result = Finish();
    ASSERT_EQ(result.exitCode, 0) << result.out;
    const QImage picked = QImage(QString::fromStdString(output)).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(picked.size(), QSize(frame.Width(), frame.Height()));
    EXPECT_EQ(picked, before.copy(frame.left, frame.top, frame.Width(), frame.Height()));

    // The same window by its id, for scripts.
    const ProcessOutput byId = ProcessOutput::Run(Quoted(kLumora) + " capture window --window " + std::to_string(window)
        + " --delay 0 --output " + Quoted(output));
    ASSERT_EQ(byId.exitCode, 0);
    EXPECT_EQ(QImage(QString::fromStdString(output)).size(), QSize(frame.Width(), frame.Height()));
}

} // namespace

TEST_F(SelectionOverlayTest, TWhileDraggingEndsTheOverlayWithTheRegionSoFar)
{
    // The command line has no text reader: the region chosen for its text is captured as a picture.
    MakePatternWindow(Pattern);
    Start("region");
    Xdo("mousemove 100 120 mousedown 1 mousemove 300 200");
    ASSERT_TRUE(WaitLong([&] { return At(Screen(), 299, 199) == 0; }));
    Xdo("key t");
    const ProcessOutput result = Finish();
    Xdo("mouseup 1");
    ASSERT_EQ(result.exitCode, 0) << result.out;
    const QImage image(QString::fromStdString(output));
    ASSERT_EQ(image.size(), QSize(200, 80));
    EXPECT_EQ(WrongPixels(image, 100, 120), 0);
}
