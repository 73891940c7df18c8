#include "capture/WindowMap.h"
#include "ImageTestUtil.h"
#include "tests/capture/CaptureFakes.h"

#include <gtest/gtest.h>

namespace {

class WindowMapTest : public ::testing::Test {
protected:
    fakes::Log log;
    fakes::Windows windows { log };
};

TEST_F(WindowMapTest, EachSampleHoldsTheTopmostWindowOverIt)
{
    // Screen 20 x 10: 6 x 3 samples at x = 0, 3, ..., 15 and y = 0, 3, 6.
    windows.stacking = { 1, 2 };
    windows.rects[1] = { 0, 0, 20, 10 };
    windows.rects[2] = { 4, 2, 10, 7 }; // covers sample columns x = 6, 9 and rows y = 3, 6
    const WindowMap map = WindowMap::Build(windows, { 20, 10 });
    ASSERT_EQ(map.Width(), 6);
    ASSERT_EQ(map.Height(), 3);
    const std::vector<WindowId> expected = {
        1, 1, 1, 1, 1, 1, //
        1, 1, 2, 2, 1, 1, //
        1, 1, 2, 2, 1, 1, //
    };
    EXPECT_EQ(map.Entries(), expected);
    // The sample at (3, 3) stands for x 3 to 5.
    EXPECT_EQ(map.At(5, 4), 1u);
    EXPECT_EQ(map.At(6, 4), 2u);
}

TEST_F(WindowMapTest, PointsWithoutASampleHaveNoWindow)
{
    windows.stacking = { 1 };
    windows.rects[1] = { -50, -50, 100, 100 };
    // 20 x 11: 6 x 3 samples; x 18 and 19 and the last two rows fall outside the samples.
    const WindowMap map = WindowMap::Build(windows, { 20, 11 });
    EXPECT_EQ(map.At(17, 8), 1u);
    EXPECT_EQ(map.At(18, 0), 0u); // would otherwise read the next row's first sample
    EXPECT_EQ(map.At(0, 9), 0u);
    EXPECT_EQ(map.At(-1, 0), 0u);
}

TEST_F(WindowMapTest, WindowsWithoutRectanglesAreLeftOut)
{
    windows.stacking = { 1, 7 };
    windows.rects[1] = { 0, 0, 9, 9 };
    const WindowMap map = WindowMap::Build(windows, { 9, 9 });
    EXPECT_EQ(map.Entries(), std::vector<WindowId>(9, 1));
}

TEST_F(WindowMapTest, WindowObjectCaptureHandsTheMapToTheOverlay)
{
    fakes::Rig rig(testutil::MakeImage(30, 30, 24));
    rig.windows.stacking = { 4 };
    rig.windows.rects[4] = { 9, 9, 30, 30 };
    rig.overlay.result = ImageRect { 9, 9, 30, 30 };
    rig.Pipeline().CaptureWindowObject();
    EXPECT_EQ(rig.overlay.lastRequest.windowMapWidth, 10);
    ASSERT_EQ(rig.overlay.lastMap.size(), 100u);
    EXPECT_EQ(rig.overlay.lastMap.back(), 4u);
    EXPECT_EQ(rig.overlay.lastMap.front(), 0u);
}

TEST_F(WindowMapTest, MessageTypesSelectTheirKinds)
{
    fakes::Rig rig(testutil::MakeImage(8, 8, 24));
    rig.settings.CapAppViewMode = int(ViewMode::DoNotExport);
    rig.overlay.result = ImageRect { 0, 0, 2, 2 };
    CapturePipeline pipeline = rig.Pipeline();
    EXPECT_EQ(pipeline.CaptureByMessageType(0), 1);
    EXPECT_EQ(pipeline.CaptureByMessageType(1), 1);
    EXPECT_EQ(pipeline.CaptureByMessageType(2), 1);
    EXPECT_EQ(pipeline.CaptureByMessageType(3), 0); // no foreground window in this rig
    rig.log.clear();
    EXPECT_EQ(pipeline.CaptureByMessageType(4), 0);
    EXPECT_EQ(pipeline.CaptureByMessageType(-1), 0);
    EXPECT_TRUE(rig.log.empty());
}

} // namespace
