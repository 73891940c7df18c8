#include "platform/GrabScreenRect.h"
#include "platform/X11ScreenSource.h"
#include "platform/X11WindowSystem.h"
#include "tests/capture/CaptureFakes.h"

#include <QStandardPaths>

#include "tests/capture/XTestScreen.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A picture that differs from pixel to pixel in every channel.
uint32_t Pattern(int x, int y)
{
    return uint32_t((x * 7 + y * 3) & 0xFF) << 16 | uint32_t((x ^ y) & 0xFF) << 8 | uint32_t((x + y * 5) & 0xFF);
}

uint32_t ColourAt(const ImageBuffer& image, int x, int y)
{
    const uint8_t* p = image.PixelAddress(x, y);
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// A pipeline over the real screen and window system, with recording fakes for the rest.
class X11CaptureTest : public XTestScreen {
protected:
    void SetUp() override
    {
        XTestScreen::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        screen = std::make_unique<X11ScreenSource>(*display);
        windowSystem = std::make_unique<X11WindowSystem>(*display);
        settings.CapAppViewMode = int(ViewMode::NewWindow);
    }

    CapturePipeline Pipeline()
    {
        CaptureServices services { *screen, *windowSystem, mainWindow, clipboard, sound, &documents, nullptr, {},
            [this](int ms) { log.push_back("sleep " + std::to_string(ms)); }, {}, {} };
        return CapturePipeline(settings, std::move(services));
    }

    const ImageBuffer& Captured() const { return documents.documents.back().image; }

    fakes::Log log;
    fakes::MainWindow mainWindow { log };
    fakes::Clipboard clipboard { log };
    fakes::Sound sound { log };
    fakes::Documents documents { log };
    CaptureSettings settings;
    std::unique_ptr<X11ScreenSource> screen;
    std::unique_ptr<X11WindowSystem> windowSystem;
};

TEST_F(X11CaptureTest, FullScreen_ShowsExactlyWhatWasDrawn)
{
    MakePatternWindow(Pattern);
    for (const bool sharedMemory : { true, false }) {
        screen->SetUseSharedMemory(sharedMemory);
        ASSERT_EQ(Pipeline().CaptureFullScreen(), 1);
        const ImageBuffer& image = Captured();
        ASSERT_EQ(image.Width(), width);
        ASSERT_EQ(image.Height(), height);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                wrong += ColourAt(image, x, y) != Pattern(x, y);
        EXPECT_EQ(wrong, 0) << (sharedMemory ? "shared memory" : "plain request");
    }
    EXPECT_EQ(screen->PrimaryScreenSize().width, width);
}

TEST_F(X11CaptureTest, GrabScreenRect_ReadsAPartAndBlackensWhatLiesOffScreen)
{
    MakePatternWindow(Pattern);
    ImageBuffer image;
    ASSERT_TRUE(GrabScreenRect(image, *screen, width - 10, height - 6, width + 5, height + 4));
    EXPECT_EQ(image.Width(), 15);
    EXPECT_EQ(image.Height(), 10);
    EXPECT_EQ(ColourAt(image, 0, 0), Pattern(width - 10, height - 6));
    EXPECT_EQ(ColourAt(image, 9, 5), Pattern(width - 1, height - 1));
    EXPECT_EQ(ColourAt(image, 10, 5), 0u);
    EXPECT_EQ(ColourAt(image, 9, 6), 0u);
}

TEST_F(X11CaptureTest, SharedMemoryFollowsChangingSizes)
{
    MakePatternWindow(Pattern);
    // One source reads three rectangles of two sizes; each must show its own part of the screen.
    for (const ImageRect rect :
        { ImageRect { 0, 0, 40, 30 }, ImageRect { 100, 50, 400, 250 }, ImageRect { 7, 9, 47, 39 } }) {
        ImageBuffer image;
        ASSERT_TRUE(GrabScreenRect(image, *screen, rect.left, rect.top, rect.right, rect.bottom));
        EXPECT_EQ(image.Width(), rect.Width());
        EXPECT_EQ(ColourAt(image, 0, 0), Pattern(rect.left, rect.top));
        EXPECT_EQ(ColourAt(image, rect.Width() - 1, rect.Height() - 1), Pattern(rect.right - 1, rect.bottom - 1));
    }
}

TEST_F(X11CaptureTest, Cursor_IsCompositedAtThePointerByItsHotSpot)
{
    const Window window = MakeWindow(0, 0, width, height, 0x808080);
    // An 8 x 8 cursor whose left half shows the foreground (red) and right half the background (blue);
    // bitmap rows are least significant bit first, so 0x0F sets columns 0 to 3.
    const char source[8] = { 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F };
    const char mask[8]
        = { char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF) };
    const Pixmap sourceBits = XCreateBitmapFromData(dpy, window, source, 8, 8);
    const Pixmap maskBits = XCreateBitmapFromData(dpy, window, mask, 8, 8);
    XColor red {}, blue {};
    red.red = 0xFFFF;
    blue.blue = 0xFFFF;
    const Cursor cursor = XCreatePixmapCursor(dpy, sourceBits, maskBits, &red, &blue, 2, 3);
    XDefineCursor(dpy, window, cursor);
    XWarpPointer(dpy, None, DefaultRootWindow(dpy), 0, 0, 0, 0, 200, 150);
    XSync(dpy, False);

    settings.IncludeCursor = 1;
    ASSERT_EQ(Pipeline().CaptureFullScreen(), 1);
    const ImageBuffer& image = Captured();
    // Hot spot (2, 3) over the pointer (200, 150): the cursor's top-left pixel is at (198, 147).
    for (int dy = 0; dy < 8; ++dy)
        for (int dx = 0; dx < 8; ++dx)
            ASSERT_EQ(ColourAt(image, 198 + dx, 147 + dy), dx < 4 ? 0xFF0000u : 0x0000FFu) << dx << "," << dy;
    EXPECT_EQ(ColourAt(image, 197, 147), 0x808080u);
    EXPECT_EQ(ColourAt(image, 206, 155), 0x808080u);

    // Without the setting the grab shows the screen alone.
    settings.IncludeCursor = 0;
    Pipeline().CaptureFullScreen();
    EXPECT_EQ(ColourAt(Captured(), 198, 147), 0x808080u);
    XUndefineCursor(dpy, window);
    XFreeCursor(dpy, cursor);
    XFreePixmap(dpy, sourceBits);
    XFreePixmap(dpy, maskBits);
}

class X11ActiveWindowTest : public X11CaptureTest {
protected:
    void SetUp() override
    {
        X11CaptureTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(turn_.Held()) << "another test kept the window manager's part";
    }

    void TearDown() override
    {
        if (dpy && ownHints)
            XDeleteProperty(dpy, DefaultRootWindow(dpy), display->Atom("_NET_ACTIVE_WINDOW"));
        X11CaptureTest::TearDown();
    }

    // Plays the window manager's part: names the active window and the frame around it.
    void SetHints(Window window, std::vector<long> frame)
    {
        ownHints = true;
        SetCardinals(DefaultRootWindow(dpy), "_NET_ACTIVE_WINDOW", XA_WINDOW, { long(window) });
        SetCardinals(window, "_NET_FRAME_EXTENTS", XA_CARDINAL, frame);
    }

    bool ownHints = false;
    // These tests play the window manager or start one; no other test may meanwhile.
    XServerTurn turn_;
};

TEST_F(X11ActiveWindowTest, RectangleIncludesTheFrameExtents)
{
    if (WindowManagerRunning())
        GTEST_SKIP() << "a window manager owns the active-window hints on this display";
    MakeWindow(0, 0, width, height, 0x0000FF);
    const Window window = MakeWindow(100, 120, 300, 200, 0xFF0000, false);
    SetHints(window, { 5, 7, 20, 3 });
    ASSERT_EQ(Pipeline().CaptureActiveWindow(), 1);
    EXPECT_EQ(log.front(), "sleep 1000");
    const ImageBuffer& image = Captured();
    // 300 + 5 + 7 wide, 200 + 20 + 3 high; the window itself starts at (5, 20) inside its frame.
    ASSERT_EQ(image.Width(), 312);
    ASSERT_EQ(image.Height(), 223);
    EXPECT_EQ(ColourAt(image, 4, 19), 0x0000FFu);
    EXPECT_EQ(ColourAt(image, 5, 20), 0xFF0000u);
    EXPECT_EQ(ColourAt(image, 304, 219), 0xFF0000u);
    EXPECT_EQ(ColourAt(image, 305, 220), 0x0000FFu);
}

TEST_F(X11ActiveWindowTest, AWindowReachingLeftOfTheScreenIsRefused)
{
    if (WindowManagerRunning())
        GTEST_SKIP() << "a window manager owns the active-window hints on this display";
    const Window window = MakeWindow(3, 50, 200, 100, 0x00FF00, false);
    SetHints(window, { 4, 4, 20, 4 });
    EXPECT_EQ(Pipeline().CaptureActiveWindow(), 0);
    EXPECT_EQ(log, (fakes::Log { "sleep 1000", "foreground", "show-noactivate" }));
    EXPECT_TRUE(documents.documents.empty());
}

TEST_F(X11ActiveWindowTest, WithAWindowManagerTheFrameIsCaptured)
{
    const QString openbox = QStandardPaths::findExecutable("openbox");
    if (WindowManagerRunning() || openbox.isEmpty())
        GTEST_SKIP() << "needs a display without a window manager and openbox installed";
    bool started = false, active = false;
    int captured = 0;
    std::optional<ImageRect> frame;
    {
        // Stopped, and its hints taken away, before the checks below.
        const WindowManager manager(openbox, dpy);
        // The manager announces itself before it has finished starting; the list of supported hints comes last.
        started = WaitFor([this] { return WindowManagerRunning() && HasRootProperty("_NET_SUPPORTED", XA_ATOM); });
        Window window = 0;
        if (started) {
            window = MakeWindow(200, 150, 300, 200, 0x00FF00, false);
            WaitFor([&] { return windowSystem->WindowRect(window).value_or(ImageRect {}).Height() > 200; });
            windowSystem->BringToTop(window);
        }
        active = started && WaitFor([&] { return windowSystem->ForegroundWindow() == window; });
        if (active) {
            // The frame is the window manager's top-level parent of our window.
            Window root = 0, parent = window, *children = nullptr;
            unsigned count = 0;
            Window top = window;
            while (XQueryTree(dpy, top, &root, &parent, &children, &count)) {
                if (children)
                    XFree(children);
                if (parent == root)
                    break;
                top = parent;
            }
            XWindowAttributes a {};
            XGetWindowAttributes(dpy, top, &a);
            frame = ImageRect { a.x, a.y, a.x + a.width + 2 * a.border_width, a.y + a.height + 2 * a.border_width };
            captured = Pipeline().CaptureActiveWindow();
        }
    }
    ASSERT_TRUE(started) << "openbox did not start";
    ASSERT_TRUE(active) << "openbox did not activate the test window";
    ASSERT_EQ(captured, 1);
    const ImageBuffer& image = Captured();
    EXPECT_EQ(image.Width(), frame->Width());
    EXPECT_EQ(image.Height(), frame->Height());
    EXPECT_GT(image.Height(), 200) << "the title bar belongs to the capture";
    // The client area sits at the bottom of the frame, above the bottom border.
    const int left = (image.Width() - 300) / 2;
    const int top = image.Height() - 200 - left;
    EXPECT_EQ(ColourAt(image, left + 10, top + 10), 0x00FF00u);
    EXPECT_EQ(ColourAt(image, left + 289, top + 189), 0x00FF00u);
    EXPECT_NE(ColourAt(image, image.Width() / 2, 2), 0x00FF00u);
}

} // namespace
