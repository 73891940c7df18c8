#include "platform/X11WindowSystem.h"

#include "tests/capture/XTestScreen.h"

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

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

// A real GTK 3 window that draws its own frame, with the hints a compositing window manager that knows
// client-side frames gives it: GTK then surrounds the window with invisible shadow margins and says how wide
// they are.
class GtkFrameTest : public X11WindowSystemTest {
protected:
    void SetUp() override
    {
        X11WindowSystemTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (std::system("/usr/bin/python3 -c \"import gi; gi.require_version('Gtk', '3.0'); "
                        "from gi.repository import Gtk\" >/dev/null 2>&1")
            != 0)
            GTEST_SKIP() << "needs GTK 3 for Python (python3-gi, gir1.2-gtk-3.0)";
        check = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
        const long self = long(check);
        SetCardinals(check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, { self });
        SetCardinals(DefaultRootWindow(dpy), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, { self });
        SetCardinals(DefaultRootWindow(dpy), "_NET_SUPPORTED", XA_ATOM, { long(display->Atom("_GTK_FRAME_EXTENTS")) });
        XSetSelectionOwner(dpy, display->Atom("_NET_WM_CM_S0"), check, CurrentTime);
        XSync(dpy, False);
    }

    void TearDown() override
    {
        if (gtkPid > 0) {
            kill(gtkPid, SIGTERM);
            waitpid(gtkPid, nullptr, 0);
        }
        if (check) {
            for (const char* hint : { "_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED" })
                XDeleteProperty(dpy, DefaultRootWindow(dpy), display->Atom(hint));
            XDestroyWindow(dpy, check);
            XSync(dpy, False);
        }
        X11WindowSystemTest::TearDown();
    }

    // Starts the GTK window and returns its X window.
    Window StartGtkWindow()
    {
        const char* script = R"(
import gi, sys
gi.require_version('Gtk', '3.0')
from gi.repository import Gtk
w = Gtk.Window()
bar = Gtk.HeaderBar()
bar.set_show_close_button(True)
w.set_titlebar(bar)
w.set_default_size(300, 200)
w.connect('map-event', lambda *a: print(w.get_window().get_xid(), flush=True))
w.show_all()
Gtk.main()
)";
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return 0;
        gtkPid = fork();
        if (gtkPid == 0) {
            dup2(pipeFds[1], STDOUT_FILENO);
            close(pipeFds[0]);
            execl("/usr/bin/python3", "python3", "-c", script, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeFds[1]);
        FILE* out = fdopen(pipeFds[0], "r");
        unsigned long window = 0;
        if (!out || fscanf(out, "%lu", &window) != 1)
            window = 0;
        if (out)
            fclose(out);
        return Window(window);
    }

    bool HasProperty(Window window, const char* name) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(
            dpy, window, display->Atom(name), 0, 4, False, AnyPropertyType, &type, &format, &count, &remaining, &data);
        if (data)
            XFree(data);
        return count == 4;
    }

    Window check = 0;
    pid_t gtkPid = -1;
};

TEST_F(GtkFrameTest, WindowRectLeavesOutTheShadowMarginsOfAClientSideFrame)
{
    const Window window = StartGtkWindow();
    ASSERT_NE(window, 0u) << "the GTK window did not start";
    XWindowAttributes outer {};
    ASSERT_TRUE(WaitFor([&] {
        return HasProperty(window, "_GTK_FRAME_EXTENTS") && XGetWindowAttributes(dpy, window, &outer)
            && outer.map_state == IsViewable;
    })) << "GTK declared no frame extents";
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
    const std::optional<ImageRect> rect = windowSystem->WindowRect(window);
    ASSERT_TRUE(rect);
    // The shadows lie on every side, widest below.
    EXPECT_GT(rect->left, x);
    EXPECT_GT(rect->top, y);
    EXPECT_LT(rect->right, x + outer.width);
    EXPECT_LT(rect->bottom, y + outer.height);
    // What is left is the window as GTK lays it out: its content of 300 x 200 below the header bar.
    EXPECT_EQ(rect->Width(), 300);
    EXPECT_GT(rect->Height(), 200);
    EXPECT_LT(rect->Height(), 300);
}
