#pragma once

// gtest and Qt come before the X headers, whose macros (None, Bool, Status) clash with them.
#include <gtest/gtest.h>

#include "XServerTurn.h"
#include "platform/X11Display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// Includes the X headers too, so it stays below Qt and gtest.
#include "PatternPixmap.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Windows of known content on the real X server named by $DISPLAY, made and removed by the test.
class XTestScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display and $DISPLAY is not set";
        // A server without clients resets itself (as Xvfb does between test processes) and refuses
        // connections for a moment while it does.
        for (int attempt = 0; attempt < 100 && !display; ++attempt) {
            display = X11Display::Open();
            if (!display)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(display) << "cannot open the X display: " << std::strerror(errno);
        dpy = display->Get();
        width = DisplayWidth(dpy, DefaultScreen(dpy));
        height = DisplayHeight(dpy, DefaultScreen(dpy));
    }

    void TearDown() override
    {
        if (!dpy)
            return;
        for (Window window : windows)
            XDestroyWindow(dpy, window);
        for (Pixmap pixmap : pixmaps)
            XFreePixmap(dpy, pixmap);
        XSync(dpy, False);
    }

    // A mapped window filled with one colour (0xRRGGBB). Override-redirect windows are placed exactly
    // where asked, even under a window manager.
    Window MakeWindow(int x, int y, int w, int h, uint32_t colour, bool overrideRedirect = true)
    {
        XSetWindowAttributes attributes {};
        attributes.override_redirect = overrideRedirect;
        attributes.background_pixel = colour;
        attributes.event_mask = StructureNotifyMask | ExposureMask;
        const Window window = XCreateWindow(dpy, DefaultRootWindow(dpy), x, y, unsigned(w), unsigned(h), 0,
            CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
        windows.push_back(window);
        Show(window);
        return window;
    }

    // A window covering the screen whose background shows pattern(x, y) (0xRRGGBB).
    Window MakePatternWindow(const std::function<uint32_t(int, int)>& pattern)
    {
        const Window window = MakeWindow(0, 0, width, height, 0, true);
        XUnmapWindow(dpy, window);
        const Pixmap pixmap = PatternPixmap(dpy, window, width, height, pattern);
        pixmaps.push_back(pixmap);
        XSetWindowBackgroundPixmap(dpy, window, pixmap);
        Show(window);
        return window;
    }

    // Maps the window and waits until the server (or the window manager) has shown it.
    void Show(Window window)
    {
        // A window manager that is still starting may drop the request, so it is repeated now and then.
        int tries = 0;
        const bool shown = WaitFor([&] {
            if (tries++ % 50 == 0) {
                XMapRaised(dpy, window);
                XSync(dpy, False);
            }
            XWindowAttributes attributes {};
            return XGetWindowAttributes(dpy, window, &attributes) && attributes.map_state == IsViewable;
        });
        ASSERT_TRUE(shown) << "window " << window << " was not mapped";
        XClearWindow(dpy, window);
        XSync(dpy, False);
    }

    bool WindowManagerRunning() const { return HasRootProperty("_NET_SUPPORTING_WM_CHECK", XA_WINDOW); }

    bool HasRootProperty(const char* name, Atom propertyType) const
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(dpy, DefaultRootWindow(dpy), display->Atom(name), 0, 1, False, propertyType, &type, &format,
            &count, &remaining, &data);
        const bool present = data && count >= 1;
        if (data)
            XFree(data);
        return present;
    }

    void SetCardinals(Window window, const char* name, Atom type, const std::vector<long>& values)
    {
        XChangeProperty(dpy, window, display->Atom(name), type, 32, PropModeReplace,
            reinterpret_cast<const unsigned char*>(values.data()), int(values.size()));
        XSync(dpy, False);
    }

    // Waits up to five seconds for a condition that another process brings about.
    static bool WaitFor(const std::function<bool()>& condition)
    {
        for (int i = 0; i < 500; ++i) {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return condition();
    }

    std::unique_ptr<X11Display> display;
    Display* dpy = nullptr;
    int width = 0;
    int height = 0;
    std::vector<Window> windows;
    std::vector<Pixmap> pixmaps;
};

// openbox for the length of one test, stopped even when the test fails. Its hints on the root window
// outlive it; they are taken away so that later tests see a display without a window manager.
class WindowManager {
public:
    WindowManager(const QString& program, Display* display)
        : display_(display)
    {
        pid_ = fork();
        if (pid_ == 0) {
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            execl(program.toLocal8Bit().constData(), "openbox", "--sm-disable", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~WindowManager()
    {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        for (const char* hint : { "_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "_NET_ACTIVE_WINDOW",
                 "_NET_CLIENT_LIST", "_NET_CLIENT_LIST_STACKING" })
            XDeleteProperty(display_, DefaultRootWindow(display_), XInternAtom(display_, hint, False));
        XSync(display_, False);
    }

private:
    Display* display_;
    pid_t pid_ = -1;
};
