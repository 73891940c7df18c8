#include "imaging/BitmapTypes.h"
#include "tests/capture/ProcessOutput.h"

#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/capture/DummyXorgSuite.h"
#include "tests/capture/PatternPixmap.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <vector>

// The overlay as users have their screens: HiDPI scales and several monitors of different sizes at
// different places, on an Xorg server of the test's own. The real pointer drives `lumora capture`, and every
// capture is compared pixel by pixel with what the server showed.
namespace {

const std::string kLumora = LUMORA_EXECUTABLE;

struct Output {
    const char* name;
    int width, height, x, y;
    bool primary = false;

    ImageRect Rect() const { return { x, y, x + width, y + height }; }
};

using Layout = std::vector<Output>;

const Layout kOne = { { "DUMMY0", 1024, 768, 0, 0, true } };
// The primary monitor right of the other one.
const Layout kTwo = { { "DUMMY0", 1024, 768, 0, 0 }, { "DUMMY1", 800, 600, 1024, 0, true } };
// An L: nothing shows the desktop right of the bottom monitor and below the right one.
const Layout kThree
    = { { "DUMMY0", 1024, 768, 0, 0, true }, { "DUMMY1", 800, 600, 1024, 0 }, { "DUMMY2", 640, 480, 0, 768 } };

// Colours that no part of the overlay uses (blue never reaches 0x40).
uint32_t Pattern(int x, int y)
{
    return (uint32_t(x * 7) & 0xFF) << 16 | (uint32_t(y * 5) & 0xFF) << 8 | uint32_t((x + y) & 0x3F);
}

bool Shows(const Layout& layout, int x, int y)
{
    for (const Output& output : layout)
        if (x >= output.x && x < output.x + output.width && y >= output.y && y < output.y + output.height)
            return true;
    return false;
}

class ScreensOverlayTest : public DummyXorgSuite {
protected:
    void SetUp() override
    {
        DummyXorgSuite::SetUp();
        if (IsSkipped())
            return;
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            GTEST_SKIP() << "needs xdotool to move the pointer";
    }

    void TearDown() override
    {
        if (run.valid()) {
            Xdo("key Escape click 3");
            run.wait_for(std::chrono::seconds(20));
        }
        if (pattern) {
            XDestroyWindow(dpy, pattern);
            XSync(dpy, False);
        }
        DummyXorgSuite::TearDown();
        Shell("xrdb -remove");
    }

    // The monitors as the layout says, every other output off, and the pattern over the whole desktop.
    void Arrange(const Layout& layout)
    {
        for (int i = 0; i < 3; ++i) {
            const std::string name = "DUMMY" + std::to_string(i);
            const auto used
                = std::find_if(layout.begin(), layout.end(), [&](const Output& output) { return name == output.name; });
            if (used == layout.end()) {
                ASSERT_TRUE(server->Xrandr("--output " + name + " --off"));
                continue;
            }
            const std::string mode = std::to_string(used->width) + "x" + std::to_string(used->height);
            server->Xrandr("--addmode " + name + " " + mode); // fails harmlessly when the mode is there
            ASSERT_TRUE(server->Xrandr("--output " + name + " --mode " + mode + " --pos " + std::to_string(used->x)
                + "x" + std::to_string(used->y) + (used->primary ? " --primary" : "")))
                << name;
        }
        this->layout = layout;
        width = DisplayWidth(dpy, DefaultScreen(dpy));
        height = DisplayHeight(dpy, DefaultScreen(dpy));
        XSync(dpy, False);
        Window root = 0;
        int x = 0, y = 0;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        XGetGeometry(dpy, DefaultRootWindow(dpy), &root, &x, &y, &w, &h, &border, &depth);
        width = int(w);
        height = int(h);
        MakePattern();
        // The pointer where no test region begins.
        Xdo("mousemove 700 400");
    }

    // A window over the whole desktop, the hole included, whose background is the pattern.
    void MakePattern()
    {
        XSetWindowAttributes attributes {};
        attributes.override_redirect = True;
        pattern = XCreateWindow(dpy, DefaultRootWindow(dpy), 0, 0, unsigned(width), unsigned(height), 0, CopyFromParent,
            InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
        const Pixmap pixmap = PatternPixmap(dpy, pattern, width, height, Pattern);
        XSetWindowBackgroundPixmap(dpy, pattern, pixmap);
        XFreePixmap(dpy, pixmap);
        XMapRaised(dpy, pattern);
        XClearWindow(dpy, pattern);
        XSync(dpy, False);
    }

    static int Shell(const std::string& command)
    {
        return std::system(("DISPLAY=" + server->Name() + " " + command + " >/dev/null 2>&1").c_str());
    }
    static void Xdo(const std::string& args) { ASSERT_EQ(Shell("xdotool " + args), 0) << args; }

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

    static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

    static bool WaitLong(const std::function<bool()>& condition)
    {
        for (int i = 0; i < 300; ++i) {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // The overlay's panel sits in a corner of this monitor.
    static bool PanelOn(const QImage& s, const ImageRect& m)
    {
        return (At(s, m.left, m.top) == 0x0000FF && At(s, m.left + 1, m.top + 1) == 0x969696)
            || (At(s, m.right - 1, m.bottom - 1) == 0x0000FF && At(s, m.right - 2, m.bottom - 2) == 0x969696);
    }

    bool PanelAnywhere(const QImage& s) const
    {
        for (const Output& output : layout)
            if (PanelOn(s, output.Rect()))
                return true;
        return false;
    }

    // Runs `lumora capture ARGS` with the environment given and waits until its overlay shows its panel.
    void Start(const std::string& args, const std::string& environment = "")
    {
        output = dir.filePath("shot.png").toStdString();
        QFile::remove(QString::fromStdString(output));
        const std::string command = "DISPLAY=" + server->Name() + " XDG_CONFIG_HOME=" + Quoted(dir.path().toStdString())
            + " " + environment + " " + Quoted(kLumora) + " capture " + args + " --delay 0 --output " + Quoted(output)
            + " 2>&1";
        run = std::async(std::launch::async, [command] { return ProcessOutput::Run(command); });
        ASSERT_TRUE(WaitLong([&] { return PanelAnywhere(Screen()); })) << "the overlay never showed";
    }

    ProcessOutput Finish()
    {
        if (run.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
            return {};
        return run.get();
    }

    // Pixels of the capture that differ from what the server showed at the rectangle's place before the
    // overlay opened; where no monitor shows the desktop the capture must be black.
    int WrongPixels(const QImage& capture, const QImage& shown, int left, int top) const
    {
        int wrong = 0;
        for (int y = 0; y < capture.height(); ++y)
            for (int x = 0; x < capture.width(); ++x) {
                const int dx = left + x, dy = top + y;
                const QRgb expected = Shows(layout, dx, dy) ? At(shown, dx, dy) : 0u;
                wrong += At(capture, x, y) != expected;
            }
        return wrong;
    }

    Layout layout;
    int width = 0;
    int height = 0;
    Window pattern = 0;
    QTemporaryDir dir;
    std::string output;
    std::future<ProcessOutput> run;
};

TEST_F(ScreensOverlayTest, DraggedRegionIsThoseDevicePixelsAtEveryScaleAndOnEveryMonitor)
{
    struct Case {
        const char* what;
        const Layout* layout;
        const char* dpi; // Xft.dpi in the server's resources, as desktops set a scale
        const char* environment;
        int x1, y1, x2, y2;
        ImageRect expected;
        ImageRect sample; // where the overlay shows the frozen desktop, clear of its panel and label
    };
    const Case cases[] = {
        { "Xft.dpi 192", &kOne, "192", "", 100, 120, 300, 200, { 100, 120, 300, 200 }, { 400, 650, 640, 700 } },
        { "QT_SCALE_FACTOR=1.5", &kOne, nullptr, "QT_SCALE_FACTOR=1.5", 100, 120, 300, 200, { 100, 120, 300, 200 },
            { 400, 650, 640, 700 } },
        { "left of the primary", &kTwo, nullptr, "", 100, 120, 300, 200, { 100, 120, 300, 200 },
            { 400, 650, 640, 700 } },
        { "on the primary", &kTwo, nullptr, "", 1500, 400, 1100, 100, { 1100, 100, 1500, 400 },
            { 1100, 420, 1500, 460 } },
        { "across the edge, scaled", &kTwo, "144", "", 900, 100, 1201, 301, { 900, 100, 1201, 301 },
            { 900, 500, 1200, 560 } },
        // Each monitor at its own scale (QT_SCREEN_SCALE_FACTORS by name, or in the toolkit's order of screens,
        // the primary first); a 2x panel would be taller than the 800 x 600 monitor, so that one is at most 1.5x.
        { "2x monitor left of the 1x primary", &kTwo, nullptr, "QT_SCREEN_SCALE_FACTORS='DUMMY0=2;DUMMY1=1'", 100, 120,
            300, 200, { 100, 120, 300, 200 }, { 400, 650, 640, 700 } },
        { "1x monitor beside the 1.5x primary", &kTwo, nullptr, "QT_SCREEN_SCALE_FACTORS='DUMMY0=1;DUMMY1=1.5'", 300,
            200, 100, 120, { 100, 120, 300, 200 }, { 400, 650, 640, 700 } },
        { "on the 1.5x primary", &kTwo, nullptr, "QT_SCREEN_SCALE_FACTORS='1.5;1'", 1500, 400, 1100, 100,
            { 1100, 100, 1500, 400 }, { 1100, 420, 1500, 460 } },
        { "across the edge from 2x to 1.5x", &kTwo, nullptr, "QT_SCREEN_SCALE_FACTORS='DUMMY0=2;DUMMY1=1.5'", 900, 100,
            1201, 301, { 900, 100, 1201, 301 }, { 900, 500, 1200, 560 } },
        { "across the edge from 1.5x to 1x", &kTwo, nullptr, "QT_SCREEN_SCALE_FACTORS='DUMMY0=1;DUMMY1=1.5'", 1201, 301,
            900, 100, { 900, 100, 1201, 301 }, { 900, 500, 1200, 560 } },
        { "bottom of the L", &kThree, nullptr, "", 100, 800, 300, 901, { 100, 800, 300, 901 },
            { 100, 1000, 300, 1100 } },
        { "across the hole of the L", &kThree, nullptr, "", 500, 700, 1300, 500, { 500, 500, 1300, 700 },
            { 1050, 540, 1290, 640 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Arrange(*c.layout);
        if (c.dpi)
            ASSERT_EQ(Shell(std::string("sh -c 'echo Xft.dpi: ") + c.dpi + " | xrdb -merge'"), 0);
        else
            Shell("xrdb -remove");
        const QImage shown = Screen();
        Start("region", c.environment);
        Xdo("mousemove " + std::to_string(c.x1) + " " + std::to_string(c.y1) + " mousedown 1 mousemove "
            + std::to_string(c.x2) + " " + std::to_string(c.y2));
        const ImageRect& e = c.expected;
        QImage screen;
        // The selection's black frame at two corners that a monitor shows.
        EXPECT_TRUE(WaitLong([&] {
            screen = Screen();
            return At(screen, e.left, e.top) == 0 && At(screen, e.right - 1, e.top) == 0;
        }));
        // The frozen desktop is shown 1:1: not scaled, not blurred, not shifted.
        int unlike = 0;
        for (int y = c.sample.top; y < c.sample.bottom; ++y)
            for (int x = c.sample.left; x < c.sample.right; ++x)
                unlike += Shows(layout, x, y) && At(screen, x, y) != At(shown, x, y);
        EXPECT_EQ(unlike, 0);
        Xdo("mouseup 1");
        const ProcessOutput result = Finish();
        ASSERT_EQ(result.exitCode, 0) << result.out;
        const QImage capture(QString::fromStdString(output));
        ASSERT_EQ(capture.size(), QSize(e.Width(), e.Height()));
        EXPECT_EQ(WrongPixels(capture, shown, e.left, e.top), 0);
    }
}

TEST_F(ScreensOverlayTest, ArrowKeysMoveOneDevicePixelAtTwiceTheScale)
{
    Arrange(kTwo);
    ASSERT_EQ(Shell("sh -c 'echo Xft.dpi: 192 | xrdb -merge'"), 0);
    const QImage shown = Screen();
    Start("region");
    Xdo("mousemove 1100 100 mousedown 1 mousemove 1300 200");
    ASSERT_TRUE(WaitLong([&] { return At(Screen(), 1299, 199) == 0; }));
    Xdo("key Right key Right key Down");
    ASSERT_TRUE(WaitLong([&] { return At(Screen(), 1301, 200) == 0; })) << "the selection did not follow the keys";
    Xdo("mouseup 1");
    const ProcessOutput result = Finish();
    ASSERT_EQ(result.exitCode, 0) << result.out;
    const QImage capture(QString::fromStdString(output));
    ASSERT_EQ(capture.size(), QSize(202, 101));
    EXPECT_EQ(WrongPixels(capture, shown, 1100, 100), 0);
}

TEST_F(ScreensOverlayTest, PanelStaysOnTheMonitorUnderThePointer)
{
    Arrange(kThree);
    Start("region");
    for (const Output& output : kThree) {
        // The middle of each monitor: the panel goes to its own top-left or bottom-right corner.
        Xdo("mousemove " + std::to_string(output.x + output.width / 2) + " "
            + std::to_string(output.y + output.height / 2));
        EXPECT_TRUE(WaitLong([&] { return PanelOn(Screen(), output.Rect()); })) << output.name;
    }
    Xdo("key Escape");
    EXPECT_EQ(Finish().exitCode, 1);
}

TEST_F(ScreensOverlayTest, WindowIsPickedOnAnyMonitor)
{
    Arrange(kThree);
    const ImageRect place { 100, 850, 300, 950 };
    Fill(place, 0x20C040);
    Start("window");
    Xdo("mousemove 200 900");
    Xdo("click 1");
    const ProcessOutput result = Finish();
    ASSERT_EQ(result.exitCode, 0) << result.out;
    const QImage capture(QString::fromStdString(output));
    ASSERT_EQ(capture.size(), QSize(place.Width(), place.Height()));
    EXPECT_EQ(At(capture, 0, 0), 0x20C040u);
    EXPECT_EQ(At(capture, 199, 99), 0x20C040u);
}

TEST_F(ScreensOverlayTest, FixedRectangleIsClampedToTheMonitorUnderThePointer)
{
    Arrange(kTwo);
    const QImage shown = Screen();
    Start("fixed --size 200x200");
    Xdo("mousemove 1030 300");
    Xdo("click 1");
    const ProcessOutput result = Finish();
    ASSERT_EQ(result.exitCode, 0) << result.out;
    const QImage capture(QString::fromStdString(output));
    // Centred on (1030, 300) it would reach back to x = 930 on the other monitor.
    ASSERT_EQ(capture.size(), QSize(106, 200));
    EXPECT_EQ(WrongPixels(capture, shown, 1024, 200), 0);
}

TEST_F(ScreensOverlayTest, GeometryIsInDevicePixelsOfTheDesktopAndCutToTheMonitors)
{
    Arrange(kThree);
    const QImage shown = Screen();
    struct Case {
        const char* geometry;
        int exitCode;
        ImageRect expected;
    };
    const Case cases[] = {
        { "800x200+500+500", 0, { 500, 500, 1300, 700 } },
        { "300x200+1500+500", 0, { 1500, 500, 1800, 600 } }, // half in the hole: cut to the monitor
        { "100x100+1200+1000", 1, {} }, // all in the hole
    };
    for (const Case& c : cases) {
        const std::string file = dir.filePath("g.png").toStdString();
        QFile::remove(QString::fromStdString(file));
        const ProcessOutput run = ProcessOutput::Run("DISPLAY=" + server->Name() + " " + Quoted(kLumora)
            + " capture region --geometry " + c.geometry + " --delay 0 --output " + Quoted(file) + " 2>&1");
        ASSERT_EQ(run.exitCode, c.exitCode) << c.geometry << ": " << run.out;
        if (c.exitCode != 0)
            continue;
        const QImage capture(QString::fromStdString(file));
        ASSERT_EQ(capture.size(), QSize(c.expected.Width(), c.expected.Height())) << c.geometry;
        EXPECT_EQ(WrongPixels(capture, shown, c.expected.left, c.expected.top), 0) << c.geometry;
    }
}

} // namespace
