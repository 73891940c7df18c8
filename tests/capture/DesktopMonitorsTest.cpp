#include "capture/DesktopMonitors.h"
#include "imaging/ImageBuffer.h"

#include <gtest/gtest.h>

namespace {

// An L of three monitors: nothing shows x >= 640, y >= 768, nor x >= 1024, 600 <= y < 768.
const std::vector<ImageRect> kL = { { 0, 0, 1024, 768 }, { 1024, 0, 1824, 600 }, { 0, 768, 640, 1248 } };

TEST(DesktopMonitorsTest, ClipKeepsTheBoxOfWhatMonitorsShow)
{
    struct Case {
        ImageRect rect, expected;
    };
    const Case cases[] = {
        { { 100, 100, 200, 200 }, { 100, 100, 200, 200 } }, // on one monitor
        { { 500, 500, 1300, 700 }, { 500, 500, 1300, 700 } }, // across the hole, every corner region shown
        { { 1500, 500, 1800, 700 }, { 1500, 500, 1800, 600 } }, // half in the hole
        { { 1200, 1000, 1300, 1100 }, {} }, // all in the hole
        { { -50, -50, 10, 10 }, { 0, 0, 10, 10 } }, // off the desktop
    };
    for (const Case& c : cases)
        EXPECT_EQ(DesktopMonitors::Clip(c.rect, kL), c.expected) << c.rect.left << "," << c.rect.top;
}

TEST(DesktopMonitorsTest, BlankOutsidePaintsOnlyWhatNoMonitorShowsBlack)
{
    // The image covers desktop (600, 550) to (1100, 800).
    ImageBuffer image;
    ASSERT_TRUE(image.Create(500, 250, 24));
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 500 * 3; ++x)
            image.Row(y)[x] = 0xAA;
    DesktopMonitors::BlankOutside(image, 600, 550, kL);
    struct Case {
        int x, y; // desktop point
        bool shown;
    };
    const Case cases[] = { { 600, 550, true }, { 1099, 599, true }, { 1024, 600, false }, { 1023, 767, true },
        { 639, 768, true }, { 640, 768, false }, { 1099, 799, false } };
    for (const Case& c : cases)
        EXPECT_EQ(image.GetPixelValue(c.x - 600, c.y - 550) & 0xFFFFFF, c.shown ? 0xAAAAAAu : 0u) << c.x << "," << c.y;
}

} // namespace
