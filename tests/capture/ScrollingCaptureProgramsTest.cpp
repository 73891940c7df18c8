#include "tests/capture/ScrollTestPrograms.h"
#include "tests/capture/XTestScreen.h"

#include <QStyle>
#include <QStyleFactory>

#include <memory>

using namespace scrolltest;

namespace {

constexpr int kBands = 300;

// One Chromium per scrolling behaviour; further pages open as windows of the running one.
class Chromium {
public:
    explicit Chromium(bool smooth)
        : smooth_(smooth)
        , profile_(QDir::tempPath().toStdString() + "/lumora-chromium-" + std::to_string(getpid())
              + (smooth ? "-smooth" : "-instant"))
    {
        QDir(QString::fromStdString(profile_)).removeRecursively();
    }
    ~Chromium()
    {
        for (pid_t pid : pids_)
            Stop(pid);
        QDir(QString::fromStdString(profile_)).removeRecursively();
    }

    unsigned long Open(const std::string& page, const std::string& title, int x)
    {
        std::vector<std::string> args = { "chromium", "--no-sandbox", "--test-type", "--disable-gpu",
            "--force-color-profile=srgb", "--no-first-run", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", "--user-data-dir=" + profile_,
            "--window-position=" + std::to_string(x) + ",0", "--window-size=800,600", "--app=file://" + page };
        if (!smooth_)
            args.push_back("--disable-smooth-scrolling");
        pids_.push_back(Start(args));
        return FindWindow(title);
    }

private:
    bool smooth_;
    std::string profile_;
    std::vector<pid_t> pids_;
};

class ScrollingCaptureProgramsTest : public XTestScreen {
protected:
    static void TearDownTestSuite() { instant.reset(); }

    static Chromium& Instant()
    {
        if (!instant)
            instant = std::make_unique<Chromium>(false);
        return *instant;
    }

    // Raises the window and waits until the screen shows colour at (x, y) of it.
    bool ShowsColour(unsigned long window, int x, int y, QRgb colour)
    {
        XRaiseWindow(dpy, window);
        Window child = 0;
        int rootX = 0;
        int rootY = 0;
        XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), x, y, &rootX, &rootY, &child);
        return ScreenShows(rootX, rootY, colour);
    }

    bool ScreenShows(int x, int y, QRgb colour)
    {
        for (int i = 0; i < 300; ++i) {
            XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
            const unsigned long pixel = image ? XGetPixel(image, 0, 0) : 0;
            if (image)
                XDestroyImage(image);
            if ((pixel & 0xffffff) == (colour & 0xffffff))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // The exit status of a program started by Start, or -1 when it is still running after ten seconds.
    static int WaitForExit(pid_t pid)
    {
        int status = -1;
        for (int i = 0; i < 100 && waitpid(pid, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    QImage Capture(unsigned long window, const std::string& name)
    {
        const std::string output = OutputFolder() + "/" + name + ".png";
        std::remove(output.c_str());
        const ProcessOutput run = ProcessOutput::Run(std::string(LUMORA_EXECUTABLE) + " capture scroll --window "
            + std::to_string(window) + " --output " + Quoted(output) + " 2>&1");
        EXPECT_EQ(run.exitCode, 0) << run.out;
        return QImage(QString::fromStdString(output));
    }

    // The first run that is band 0.
    static size_t FirstBand(const std::vector<ColourRun>& runs)
    {
        size_t i = 0;
        while (i < runs.size() && BandIndex(runs[i].colour) != 0)
            ++i;
        return i;
    }

    void ExpectWholePage(QImage image, int headerHeight)
    {
        ASSERT_FALSE(image.isNull());
        const std::vector<ColourRun> runs = RunsInColumn(image, 100);
        const size_t first = FirstBand(runs);
        ASSERT_LT(first, runs.size()) << "band 0 is missing";
        if (headerHeight > 0) {
            ASSERT_GE(first, 1u);
            EXPECT_EQ(runs[first - 1].colour, qRgb(0x0a, 0x0a, 0xfa)) << "the header sits right above band 0";
            EXPECT_EQ(runs[first - 1].length, headerHeight);
            int headers = 0;
            for (const ColourRun& run : runs)
                headers += run.colour == qRgb(0x0a, 0x0a, 0xfa);
            EXPECT_EQ(headers, 1) << "the sticky header appears once";
        }
        EXPECT_EQ(CountBands(runs, first, 10, false), kBands);
    }

    static std::unique_ptr<Chromium> instant;
};

std::unique_ptr<Chromium> ScrollingCaptureProgramsTest::instant;

} // namespace

TEST_F(ScrollingCaptureProgramsTest, ChromiumPageWithoutSmoothScrollingHoldsEveryRowOnce)
{
    const unsigned long window
        = Instant().Open(WritePage("page-instant", "Lumora long page", kBands, 0), "Lumora long page", 0);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(ShowsColour(window, 100, 300, BandColour(30)));
    ExpectWholePage(Capture(window, "chromium-instant"), 0);
}

TEST_F(ScrollingCaptureProgramsTest, ChromiumStickyHeaderAppearsOnce)
{
    const unsigned long window
        = Instant().Open(WritePage("page-sticky", "Lumora sticky header", kBands, 40), "Lumora sticky header", 20);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(ShowsColour(window, 100, 300, BandColour(26)));
    ExpectWholePage(Capture(window, "chromium-sticky-header"), 40);
}

TEST_F(ScrollingCaptureProgramsTest, WindowThatDoesNotScrollGivesItsVisibleArea)
{
    const unsigned long window
        = Instant().Open(WritePage("page-short", "Lumora short page", 20, 0), "Lumora short page", 40);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(ShowsColour(window, 100, 195, BandColour(19)));
    XWindowAttributes attributes {};
    ASSERT_TRUE(XGetWindowAttributes(dpy, window, &attributes));
    const QImage image = Capture(window, "chromium-no-scroll");
    ASSERT_FALSE(image.isNull());
    const std::unique_ptr<QStyle> style(QStyleFactory::create("Fusion"));
    EXPECT_EQ(image.width(), attributes.width - style->pixelMetric(QStyle::PM_ScrollBarExtent));
    EXPECT_EQ(image.height(), attributes.height);
    const std::vector<ColourRun> runs = RunsInColumn(image, 100);
    EXPECT_EQ(CountBands(runs, FirstBand(runs), 10, false), 20);
}

TEST_F(ScrollingCaptureProgramsTest, EscStopsALongCaptureAndDeliversWhatWasTaken)
{
    const int bands = 3000;
    const unsigned long window
        = Instant().Open(WritePage("page-endless", "Lumora endless page", bands, 0), "Lumora endless page", 60);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(ShowsColour(window, 100, 300, BandColour(30)));
    const std::string output = OutputFolder() + "/chromium-esc.png";
    std::remove(output.c_str());
    const pid_t lumora
        = Start({ LUMORA_EXECUTABLE, "capture", "scroll", "--window", std::to_string(window), "--output", output });
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ProcessOutput::Run("xdotool keydown Escape; sleep 0.5; xdotool keyup Escape");
    ASSERT_EQ(WaitForExit(lumora), 0) << "the capture did not stop, or failed";
    const QImage image(QString::fromStdString(output));
    ASSERT_FALSE(image.isNull());
    const std::vector<ColourRun> runs = RunsInColumn(image, 100);
    const int taken = CountBands(runs, FirstBand(runs), 10, true);
    EXPECT_GT(taken, 70) << "more than the first screen";
    EXPECT_LT(taken, bands - 600) << "stopped before the end";
}

TEST_F(ScrollingCaptureProgramsTest, WindowPickedInTheOverlayIsScrolledWhole)
{
    const unsigned long window
        = Instant().Open(WritePage("page-picked", "Lumora picked page", kBands, 0), "Lumora picked page", 100);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(ShowsColour(window, 100, 300, BandColour(30)));
    // With the pointer in the window, away from the top-left corner, the overlay's panel shows there.
    ProcessOutput::Run("xdotool mousemove 500 300");
    const std::string output = OutputFolder() + "/chromium-picked.png";
    std::remove(output.c_str());
    const pid_t lumora = Start({ LUMORA_EXECUTABLE, "capture", "scroll", "--delay", "0", "--output", output });
    const bool opened = ScreenShows(100, 10, qRgb(150, 150, 150));
    ProcessOutput::Run("xdotool mousemove 510 310 click 1");
    const int status = WaitForExit(lumora);
    if (status == -1)
        Stop(lumora);
    ASSERT_TRUE(opened) << "the overlay's panel never showed";
    ASSERT_EQ(status, 0);
    ExpectWholePage(QImage(QString::fromStdString(output)), 0);
}

TEST_F(ScrollingCaptureProgramsTest, ChromiumPageWithSmoothScrollingHoldsEveryRowOnce)
{
    Chromium smooth(true);
    const unsigned long window
        = smooth.Open(WritePage("page-smooth", "Lumora smooth page", kBands, 0), "Lumora smooth page", 80);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(ShowsColour(window, 100, 300, BandColour(30)));
    ExpectWholePage(Capture(window, "chromium-smooth"), 0);
}

namespace {

// Line i of the terminal test shows colour 20 + i of the 256-colour cube.
int CubeIndex(QRgb colour)
{
    static const int kLevels[] = { 0, 95, 135, 175, 215, 255 };
    const auto level = [](int value) {
        for (int i = 0; i < 6; ++i)
            if (kLevels[i] == value)
                return i;
        return -1;
    };
    const int r = level(qRed(colour));
    const int g = level(qGreen(colour));
    const int b = level(qBlue(colour));
    return r < 0 || g < 0 || b < 0 ? -1 : r * 36 + g * 6 + b;
}

} // namespace

TEST_F(ScrollingCaptureProgramsTest, TerminalThatScrollsByCopyingPixelsHoldsEveryLineOnce)
{
    const int lines = 180;
    const std::string text = OutputFolder() + "/xterm-lines.txt";
    {
        std::ofstream out(text);
        for (int i = 0; i < lines; ++i)
            out << "\x1b[48;5;" << 16 + 20 + i << "m" << std::string(80, ' ') << "\x1b[0m\n";
    }
    const pid_t xterm = Start({ "xterm", "-geometry", "80x24+0+0", "-title", "Lumora terminal lines", "-e", "sh", "-c",
        "cat " + Quoted(text) + "; sleep 600" });
    const unsigned long window = FindWindow("Lumora terminal lines");
    ASSERT_NE(window, 0u);
    XRaiseWindow(dpy, window);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // Back to the first line of the scrollback; the capture scrolls down from there.
    ProcessOutput::Run(
        "xdotool mousemove --window " + std::to_string(window) + " 100 100 click --repeat 60 --delay 5 4");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const QImage image = Capture(window, "xterm");
    Stop(xterm);
    ASSERT_FALSE(image.isNull());
    std::vector<ColourRun> runs = RunsInColumn(image, 40);
    size_t i = 0;
    while (i < runs.size() && CubeIndex(runs[i].colour) != 20)
        ++i;
    ASSERT_LT(i, runs.size()) << "the first line is missing";
    const int lineHeight = runs[i].length;
    int seen = 0;
    for (; i < runs.size() && CubeIndex(runs[i].colour) == 20 + seen; ++i, ++seen)
        EXPECT_EQ(runs[i].length, lineHeight) << "line " << seen;
    EXPECT_EQ(seen, lines);
}
