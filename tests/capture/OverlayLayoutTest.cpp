#include "capture/OverlayLayout.h"
#include "capture/OverlayPainter.h"
#include "imaging/ImageBuffer.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

using namespace OverlayLayout;

constexpr int kW = 1920;
constexpr int kH = 1080;
constexpr ImageRect kScreen { 0, 0, kW, kH };

TEST(OverlayLayoutTest, PanelFlipsAtItsThresholds)
{
    struct Case {
        OverlayMode mode;
        bool before;
        int x, y;
        bool after;
    };
    const Case cases[] = {
        { OverlayMode::Region, false, 191, 321, false }, // clear of both corners
        { OverlayMode::Region, false, 190, 500, true }, // the left 191 columns
        { OverlayMode::Region, false, 500, 320, true }, // the top 321 rows
        { OverlayMode::Region, true, 1729, 500, true }, // 191 from the right edge: stays
        { OverlayMode::Region, true, 1730, 500, false }, // the right 191 columns
        { OverlayMode::Region, true, 500, 759, true },
        { OverlayMode::Region, true, 500, 760, false }, // the bottom 320 rows
        { OverlayMode::Region, false, 100, 900, false }, // both at once: the bottom-right test wins
        { OverlayMode::FixedRect, false, 500, 320, true },
        { OverlayMode::WindowObject, false, 500, 130, true }, // window picking's shorter panel
        { OverlayMode::WindowObject, false, 500, 131, false },
        { OverlayMode::WindowObject, true, 500, 949, true },
        { OverlayMode::WindowObject, true, 500, 950, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(PanelAtBottomRight(c.before, c.mode, c.x, c.y, kScreen), c.after)
            << "mode " << int(c.mode) << " at " << c.x << "," << c.y;
}

TEST(OverlayLayoutTest, PanelAndMagnifierSitInTheirCorner)
{
    EXPECT_EQ(PanelRect(OverlayMode::Region, false, kScreen), (ImageRect { 0, 0, 190, 320 }));
    EXPECT_EQ(PanelRect(OverlayMode::Region, true, kScreen), (ImageRect { kW - 190, kH - 320, kW, kH }));
    EXPECT_EQ(PanelRect(OverlayMode::WindowObject, true, kScreen), (ImageRect { kW - 190, kH - 130, kW, kH }));
    EXPECT_EQ(MagnifierRect(false, kScreen), (ImageRect { 15, 15, 175, 175 }));
    EXPECT_EQ(MagnifierRect(true, kScreen), (ImageRect { kW - 175, kH - 305, kW - 15, kH - 145 }));
}

TEST(OverlayLayoutTest, FixedRectangleShrinksAtTheEdgesWhileTheFocusRectangleKeepsItsSize)
{
    EXPECT_EQ(ClampedFixedRect(10, 500, 100, 80, kScreen), (ImageRect { 0, 460, 60, 540 }));
    EXPECT_EQ(CentredRect(10, 500, 100, 80), (ImageRect { -40, 460, 60, 540 }));
    EXPECT_EQ(ClampedFixedRect(kW - 1, kH - 1, 100, 80, kScreen), (ImageRect { kW - 51, kH - 41, kW, kH }));
    // Integer halves: an odd size loses a pixel.
    EXPECT_EQ(ClampedFixedRect(500, 500, 81, 81, kScreen), (ImageRect { 460, 460, 540, 540 }));
}

TEST(OverlayLayoutTest, PanelScalesAndKeepsToAMonitorAwayFromTheDesktopOrigin)
{
    // A 2x monitor right of another one: panel 380 x 640 device pixels in its own corners.
    const ImageRect monitor { 1920, 200, 1920 + 3840, 200 + 2160 };
    struct Case {
        bool bottomRight;
        double scale;
        ImageRect panel, magnifier;
    };
    const Case cases[] = {
        { false, 2, { 1920, 200, 2300, 840 }, { 1950, 230, 2270, 550 } },
        { true, 2, { 5380, 1720, 5760, 2360 }, { 5410, 1750, 5730, 2070 } },
        { false, 1.5, { 1920, 200, 2205, 680 }, { 1943, 223, 2183, 463 } }, // 22.5 rounds away from zero
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PanelRect(OverlayMode::Region, c.bottomRight, monitor, c.scale), c.panel) << c.scale;
        EXPECT_EQ(MagnifierRect(c.bottomRight, monitor, c.scale), c.magnifier) << c.scale;
    }
    // The thresholds are the scaled panel's, measured from this monitor's edges.
    EXPECT_TRUE(PanelAtBottomRight(false, OverlayMode::Region, 1920 + 380, 1500, monitor, 2));
    EXPECT_FALSE(PanelAtBottomRight(false, OverlayMode::Region, 1920 + 381, 1500, monitor, 2));
    EXPECT_TRUE(PanelAtBottomRight(false, OverlayMode::Region, 3000, 200 + 640, monitor, 2));
    EXPECT_FALSE(PanelAtBottomRight(true, OverlayMode::Region, 3000, 200 + 2160 - 640, monitor, 2));
    // The fixed rectangle shrinks at this monitor's edge, not the desktop's; an absurd size stays sane.
    EXPECT_EQ(ClampedFixedRect(1930, 500, 100, 80, monitor), (ImageRect { 1920, 460, 1980, 540 }));
    // An absurd size is the monitor's own, centred on the pointer like any other, then cut.
    EXPECT_EQ(ClampedFixedRect(3840, 1280, 2147483647, 2147483647, monitor), monitor);
    EXPECT_EQ(ClampedFixedRect(3000, 1000, 2147483647, 2147483647, monitor), (ImageRect { 1920, 200, 4920, 2080 }));
}

TEST(OverlayLayoutTest, SizeLabelIsCentredOrGoesAboveLeftWhenItDoesNotFit)
{
    EXPECT_EQ(SizeLabelPlace({ 400, 400, 420, 410 }, 37, 16).x, 363);
    EXPECT_EQ(SizeLabelPlace({ 400, 400, 420, 410 }, 37, 16).y, 384);
    EXPECT_EQ(SizeLabelPlace({ 100, 100, 300, 200 }, 40, 16).x, 180);
    EXPECT_EQ(SizeLabelPlace({ 100, 100, 300, 200 }, 40, 16).y, 142);
    // Wide enough but too low: above-left all the same.
    EXPECT_EQ(SizeLabelPlace({ 100, 100, 300, 110 }, 40, 16).x, 60);
    EXPECT_EQ(Normalised(300, 200, 100, 120), (ImageRect { 100, 120, 300, 200 }));
}

TEST(OverlayLayoutTest, MagnifierInvertsTheCrossHairButTheCentreAndStretchesWithoutSmoothing)
{
    ImageBuffer around;
    ASSERT_TRUE(around.Create(kMagnifierSource, kMagnifierSource, 24));
    for (int y = 0; y < kMagnifierSource; ++y)
        for (int x = 0; x < kMagnifierSource; ++x) {
            uint8_t* p = around.PixelAddress(x, y);
            p[0] = uint8_t(x * 8);
            p[1] = uint8_t(y * 8);
            p[2] = 0x40;
        }
    const QImage picture = OverlayPainter::Magnify(around, 160);
    ASSERT_EQ(picture.size(), QSize(160, 160));
    // Source pixel s covers the targets t with t * 31 / 160 == s: the centre (15) covers 78..82.
    EXPECT_EQ(picture.pixel(80, 80), qRgb(0x40, 15 * 8, 15 * 8));
    EXPECT_EQ(picture.pixel(78, 82), qRgb(0x40, 15 * 8, 15 * 8));
    EXPECT_EQ(picture.pixel(20, 80), qRgb(0xBF, 255 - 15 * 8, 255 - 3 * 8)); // middle row, inverted
    EXPECT_EQ(picture.pixel(80, 159), qRgb(0xBF, 255 - 30 * 8, 255 - 15 * 8)); // middle column
    EXPECT_EQ(picture.pixel(83, 77), qRgb(0x40, 14 * 8, 16 * 8)); // beside the cross: untouched
}

// A mouse move repaints only what Touched names, so whatever Paint changes must lie in it, or the screen keeps
// stale or missing marks.
TEST(OverlayLayoutTest, TouchedHoldsEveryPixelThatPaintChanges)
{
    const ImageRect desktop { 0, 0, 900, 600 };
    const ImageRect left { 0, 0, 500, 600 };
    const ImageRect right { 500, 0, 900, 400 };
    QImage magnifier(160, 160, QImage::Format_RGB32);
    magnifier.fill(Qt::darkCyan);
    struct Case {
        const char* what;
        OverlayMode mode;
        ImageRect monitor;
        double scale;
        bool bottomRight;
        int x, y, fixedWidth, fixedHeight;
        ImageRect selection, windowRect;
    };
    const Case cases[] = {
        { "a selection", OverlayMode::Region, left, 1, false, 300, 300, 0, 0, { 220, 250, 300, 300 }, {} },
        { "at twice the scale", OverlayMode::Region, right, 2, true, 600, 100, 0, 0, { 550, 40, 600, 100 }, {} },
        { "fixed, across monitors", OverlayMode::FixedRect, left, 1, false, 480, 300, 120, 90, {}, {} },
        { "fixed, larger than its monitor", OverlayMode::FixedRect, right, 1, false, 650, 150, 1000000000, 1000000000,
            {}, {} },
        { "window", OverlayMode::WindowObject, left, 1, true, 100, 100, 0, 0, {}, { 50, 60, 400, 350 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OverlayView view;
        view.mode = c.mode;
        view.desktop = desktop;
        view.monitor = c.monitor;
        view.scale = c.scale;
        view.panelBottomRight = c.bottomRight;
        view.magnifier = magnifier.scaled(Scaled(kMagnifierSize, c.scale), Scaled(kMagnifierSize, c.scale));
        view.currentX = c.x;
        view.currentY = c.y;
        view.fixedWidth = c.fixedWidth;
        view.fixedHeight = c.fixedHeight;
        view.selection = c.selection;
        view.windowRect = c.windowRect;
        QImage before(desktop.Width(), desktop.Height(), QImage::Format_RGB32);
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                before.setPixel(x, y, qRgb(x * 3, y * 5, 0x55));
        QImage after = before;
        OverlayPainter painter(QFont("DejaVu Sans", 9));
        {
            QPainter on(&after);
            painter.Paint(on, view);
        }
        const QRegion touched = painter.Touched(view);
        int changed = 0;
        int outside = 0;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                if (before.pixel(x, y) != after.pixel(x, y)) {
                    ++changed;
                    outside += !touched.contains(QPoint(x, y));
                }
        EXPECT_GT(changed, 0);
        EXPECT_EQ(outside, 0);
    }
}

} // namespace
