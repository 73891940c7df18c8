#include "platform/X11WindowSystem.h"

#include "tests/capture/XTestScreen.h"

namespace {

class X11WindowSystemTest : public XTestScreen {
protected:
    void SetUp() override
    {
        XTestScreen::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(turn_.Held()) << "another test kept a window manager running";
        if (WindowManagerRunning())
            GTEST_SKIP() << "stacking is the window manager's on this display";
        windowSystem = std::make_unique<X11WindowSystem>(*display);
    }

    Window TopMost()
    {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count);
        const Window top = count ? children[count - 1] : 0;
        if (children)
            XFree(children);
        return top;
    }

    // No test of ours may start a window manager meanwhile.
    XServerTurn turn_;
    std::unique_ptr<X11WindowSystem> windowSystem;
};

TEST_F(X11WindowSystemTest, WindowBelowSkipsHiddenWindows)
{
    const Window bottom = MakeWindow(10, 10, 50, 50, 0x111111);
    const Window hidden = MakeWindow(20, 20, 50, 50, 0x222222);
    const Window top = MakeWindow(30, 30, 50, 50, 0x333333);
    XUnmapWindow(dpy, hidden);
    XSync(dpy, False);
    EXPECT_EQ(windowSystem->WindowBelow(top), bottom);
    EXPECT_EQ(windowSystem->WindowBelow(0), 0u);
}

TEST_F(X11WindowSystemTest, BringToTopRaisesAndFocuses)
{
    const Window lower = MakeWindow(10, 10, 50, 50, 0x111111);
    const Window upper = MakeWindow(20, 20, 50, 50, 0x222222);
    ASSERT_EQ(TopMost(), upper);
    windowSystem->BringToTop(lower);
    XSync(dpy, False);
    EXPECT_EQ(TopMost(), lower);
    // Without a window manager the input focus names the foreground window.
    EXPECT_EQ(windowSystem->ForegroundWindow(), lower);
}

TEST_F(X11WindowSystemTest, WindowRectCountsTheBorderAndRefusesVanishedWindows)
{
    const Window window = MakeWindow(40, 30, 100, 60, 0x444444);
    XSetWindowBorderWidth(dpy, window, 3);
    XSync(dpy, False);
    // The border lies outside the 100 x 60 inside, whose origin stays at (43, 33) once the border grows.
    const std::optional<ImageRect> rect = windowSystem->WindowRect(window);
    ASSERT_TRUE(rect);
    EXPECT_EQ(*rect, (ImageRect { 40, 30, 146, 96 }));
    XDestroyWindow(dpy, window);
    windows.clear();
    XSync(dpy, False);
    EXPECT_FALSE(windowSystem->WindowRect(window));
    EXPECT_FALSE(windowSystem->WindowRect(0));
}

} // namespace

TEST_F(X11WindowSystemTest, HighlightFramesTheWindowAndErasingRepaintsIt)
{
    const Window window = MakeWindow(100, 100, 60, 40, 0xFFFFFF);
    windowSystem->DrawHighlight(window);
    XSync(dpy, False);
    auto pixelAt = [&](int x, int y) {
        XImage* image = XGetImage(dpy, window, x, y, 1, 1, AllPlanes, ZPixmap);
        const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return pixel;
    };
    // A 3-pixel frame on every edge, the inside untouched.
    for (auto [x, y] : { std::pair { 0, 0 }, { 2, 2 }, { 59, 39 }, { 57, 20 }, { 30, 37 } })
        EXPECT_EQ(pixelAt(x, y), 0u) << x << "," << y;
    for (auto [x, y] : { std::pair { 3, 3 }, { 56, 36 }, { 30, 20 } })
        EXPECT_EQ(pixelAt(x, y), 0xFFFFFFu) << x << "," << y;

    windowSystem->EraseHighlight(window);
    XSync(dpy, False);
    EXPECT_EQ(pixelAt(0, 0), 0xFFFFFFu) << "erasing clears the window to its background";
    EXPECT_EQ(pixelAt(58, 38), 0xFFFFFFu);
    // A window that has gone is ignored.
    XDestroyWindow(dpy, window);
    XSync(dpy, False);
    windowSystem->DrawHighlight(window);
    windowSystem->EraseHighlight(window);
}
