#include "X11WindowSystem.h"

#include "XTestScreen.h"

namespace {

class X11WindowSystemTest : public XTestScreen {
protected:
    void SetUp() override
    {
        XTestScreen::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
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
