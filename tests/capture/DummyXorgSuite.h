#pragma once

// gtest before the X headers, whose macros (None, Bool, Status) clash with it.
#include <gtest/gtest.h>

#include "imaging/BitmapTypes.h"
#include "tests/capture/DummyXorg.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

// Tests that share one Xorg server of their own (dummy driver, several monitors): started before the suite's
// first test, stopped after its last; every test is skipped when the server cannot start. Derived SetUps
// call this one first and return when IsSkipped().
class DummyXorgSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new DummyXorg; }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    void SetUp() override
    {
        if (!server->Failure().empty())
            GTEST_SKIP() << server->Failure();
        dpy = server->Display().Get();
    }

    void TearDown() override
    {
        if (!dpy)
            return;
        for (Window window : windows)
            XDestroyWindow(dpy, window);
        windows.clear();
        XSync(dpy, False);
    }

    // A window of one colour (0xRRGGBB) over the rectangle, above every other, removed after the test.
    Window Fill(const ImageRect& rect, uint32_t colour)
    {
        XSetWindowAttributes attributes {};
        attributes.override_redirect = True;
        attributes.background_pixel = colour;
        const Window window = XCreateWindow(dpy, DefaultRootWindow(dpy), rect.left, rect.top, unsigned(rect.Width()),
            unsigned(rect.Height()), 0, CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel,
            &attributes);
        windows.push_back(window);
        XMapRaised(dpy, window);
        XClearWindow(dpy, window);
        XSync(dpy, False);
        return window;
    }

    static inline DummyXorg* server = nullptr;
    Display* dpy = nullptr;
    std::vector<Window> windows;
};
