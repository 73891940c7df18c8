#include "capture/ScrollProgressTip.h"

#include <gtest/gtest.h>

namespace {

TEST(ScrollProgressTipTest, PlaceIsBesideTheWindowOnAMonitorAndNeverOnIt)
{
    const std::vector<ImageRect> one = { { 0, 0, 1920, 1080 } };
    const std::vector<ImageRect> two = { { 0, 0, 1920, 1080 }, { 1920, 0, 3200, 1024 } };
    struct Case {
        const char* what;
        ImageRect window;
        const std::vector<ImageRect>* monitors;
        std::optional<ImageRect> expected;
    };
    const Case cases[] = {
        { "below", { 100, 100, 900, 700 }, &one, ImageRect { 100, 708, 400, 738 } },
        { "above when the window reaches the bottom", { 100, 100, 900, 1080 }, &one, ImageRect { 100, 62, 400, 92 } },
        { "right when it is as high as the monitor", { 0, 0, 900, 1080 }, &one, ImageRect { 908, 0, 1208, 30 } },
        { "kept on the monitor at its right edge", { 1800, 100, 1900, 700 }, &one, ImageRect { 1620, 708, 1920, 738 } },
        { "on the other monitor when it fills its own", { 0, 0, 1920, 1080 }, &two, ImageRect { 1928, 8, 2228, 38 } },
        { "nowhere when it fills the only monitor", { 0, 0, 1920, 1080 }, &one, std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollProgressTip::Place(c.window, 300, 30, *c.monitors), c.expected) << c.what;
}

} // namespace
