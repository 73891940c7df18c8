#include "capture/ScrollingCapture.h"
#include "capture/ScrollStitcher.h"
#include "platform/ScrollInput.h"
#include "tests/capture/CaptureFakes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A tall page seen through a window on a fake screen; each wheel notch moves it by a set distance.
class ScrollingScreen final : public ScreenSource, public ScrollInput {
public:
    ScrollingScreen(int pageRows, int windowRows, int notch)
        : windowRows_(windowRows)
        , notch_(notch)
    {
        page.Create(kWidth, pageRows, 24);
        for (int y = 0; y < pageRows; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint8_t* p = page.Row(y) + x * 3;
                p[0] = uint8_t(y);
                p[1] = uint8_t(y >> 8);
                p[2] = uint8_t(x);
            }
    }

    int BitsPerPixel() const override { return 24; }
    ScreenSize PrimaryScreenSize() const override { return { kWidth, windowRows_ }; }
    bool ReadPixels(const ImageRect& rect, ImageBuffer& image) override
    {
        for (int y = rect.top; y < rect.bottom; ++y)
            std::memcpy(image.Row(y - rect.top), page.Row(offset + y) + rect.left * 3, size_t(rect.Width()) * 3);
        return true;
    }
    std::optional<CursorImage> Cursor() override { return std::nullopt; }

    void PlacePointer(int x, int y) override
    {
        log.push_back("pointer " + std::to_string(x) + "," + std::to_string(y));
    }
    void RestorePointer() override { log.push_back("pointer back"); }
    void WheelDown() override
    {
        ++notches;
        target_ = std::min(std::max(target_, offset) + notch_, page.Height() - windowRows_);
        if (rowsPerFrame == 0)
            offset = target_;
        behind = std::max(behind, target_ - offset);
    }
    // A smooth scroll: the content moves towards where the notches sent it, rowsPerFrame every 16 ms.
    void AdvanceTo(int64_t now)
    {
        for (; frame_ < now / 16; ++frame_)
            offset = std::min(offset + rowsPerFrame, std::max(target_, offset));
    }
    bool EscapeDown() override { return escapeAfter >= 0 && notches >= escapeAfter; }

    static constexpr int kWidth = 40;
    ImageBuffer page;
    int offset = 0;
    int notches = 0;
    int escapeAfter = -1;
    int rowsPerFrame = 0;
    // The most rows the notches sent were ahead of the content.
    int behind = 0;
    fakes::Log log;

private:
    int windowRows_;
    int notch_;
    int target_ = 0;
    int64_t frame_ = 0;
};

bool SameRows(const ImageBuffer& image, const ImageBuffer& page, int rows, int width)
{
    if (image.Height() != rows || image.Width() != width)
        return false;
    for (int y = 0; y < rows; ++y)
        if (std::memcmp(image.Row(y), page.Row(y), size_t(width) * 3) != 0)
            return false;
    return true;
}

struct Clock {
    int64_t now = 0;
    ScrollingScreen* screen = nullptr;
    ScrollingCapture::Hooks Hooks(std::function<bool()> stop = {})
    {
        return { std::move(stop), {},
            [this](int ms) {
                now += ms;
                if (screen)
                    screen->AdvanceTo(now);
            },
            [this] { return now; } };
    }
};

} // namespace

TEST(ScrollingCaptureTest, StopsAtTheEndAtTheStepLimitOrOnEscWithRowsUpToThere)
{
    struct Case {
        const char* name;
        int pageRows;
        int notch;
        int escapeAfter;
        int rowsPerFrame; // 0: each notch moves the content at once
        int expectedRows;
        int minSteps;
        int maxSteps;
    };
    const Case cases[] = {
        { "to the end", 1000, 70, -1, 0, 1000, 13, 13 },
        { "step limit", 30000, 30, -1, 0, 100 + 199 * 30, 199, 199 },
        { "Esc after three notches", 1000, 70, 3, 0, 100 + 3 * 70, 3, 3 },
        // Notches go out while the content still moves; the last ones may only finish what earlier ones began.
        { "smooth, to the end", 3000, 70, -1, 10, 3000, 42, 43 },
        { "smooth, step limit", 30000, 30, -1, 4, 100 + 199 * 30, 199, 199 },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ScrollingScreen screen(test.pageRows, 100, test.notch);
        screen.escapeAfter = test.escapeAfter;
        screen.rowsPerFrame = test.rowsPerFrame;
        Clock clock;
        clock.screen = &screen;
        ScrollingCapture capture(screen, screen, clock.Hooks());
        const ImageBuffer image = capture.Run({ 0, 0, ScrollingScreen::kWidth, 100 }, 8);
        EXPECT_TRUE(SameRows(image, screen.page, test.expectedRows, ScrollingScreen::kWidth - 8));
        EXPECT_GE(capture.Steps(), test.minSteps);
        EXPECT_LE(capture.Steps(), test.maxSteps);
        EXPECT_LE(screen.behind, int((ScrollingCapture::kLeadNotches + 1) * test.notch))
            << "the notches ran too far ahead of the content";
        EXPECT_EQ(screen.log, (fakes::Log { "pointer 20,50", "pointer back" }));
    }
}

TEST(ScrollingCaptureTest, FollowTakesEveryFrameOfASmoothScrollUntilItMovedEnoughOrSettled)
{
    struct Case {
        const char* name;
        int frames; // of 10 rows each, 16 ms apart, as a smooth scroll draws them
        int enough;
        int expectedMoved;
        int64_t minMs;
        int64_t maxMs;
    };
    const Case cases[] = {
        { "until settled", 5, 0, 50, 80 + ScrollingCapture::kQuietMs, 80 + 2 * ScrollingCapture::kQuietMs },
        { "until enough", 5, 20, 20, 32, 80 },
        { "nothing moves", 0, 0, 0, ScrollingCapture::kNoMoveMs, ScrollingCapture::kSettleLimitMs - 1 },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ScrollingScreen screen(1000, 100, 0);
        const ImageRect window { 0, 0, ScrollingScreen::kWidth, 100 };
        ImageBuffer previous;
        previous.Create(ScrollingScreen::kWidth, 100, 24);
        screen.ReadPixels(window, previous);
        ScrollStitcher stitcher(ScrollingScreen::kWidth);
        stitcher.Start(ImageBuffer(previous));
        int64_t now = 0;
        ScrollingCapture::Hooks hooks { {}, {},
            [&](int ms) {
                now += ms;
                screen.offset = int(std::min<int64_t>(now / 16, test.frames)) * 10;
            },
            [&] { return now; } };
        ScrollingCapture capture(screen, screen, hooks);
        EXPECT_EQ(capture.Follow(window, stitcher, previous, test.enough), test.expectedMoved);
        EXPECT_GE(now, test.minMs);
        EXPECT_LE(now, test.maxMs);
        EXPECT_EQ(previous.Row(0)[0], test.expectedMoved) << "the last frame taken";
        EXPECT_TRUE(SameRows(
            stitcher.Stitch(ScrollingScreen::kWidth), screen.page, 100 + test.expectedMoved, ScrollingScreen::kWidth));
    }
}

namespace {

struct PipelineCase {
    const char* name;
    WindowId target;
    std::optional<ImageRect> picked;
    bool restore;
    fakes::Log expected;
};

} // namespace

TEST(ScrollingCaptureTest, PipelineWaitsHidesPicksAndRestores)
{
    const ImageRect window { 0, 0, ScrollingScreen::kWidth, 100 };
    const PipelineCase cases[] = {
        { "cancelled pick", 0, std::nullopt, true,
            { "cleared", "sleep 300", "below 77", "hide", "top 5", "overlay 1", "show-noactivate" } },
        { "empty pick", 0, ImageRect { 3, 3, 3, 50 }, true,
            { "cleared", "sleep 300", "below 77", "hide", "top 5", "overlay 1", "show-noactivate" } },
        { "picked, restored", 0, window, true,
            { "cleared", "sleep 300", "below 77", "hide", "top 5", "overlay 1", "sleep 100", "top 6", "new document",
                "editor", "foreground", "top 6", "show", "invalidate" } },
        { "given window, minimised after", 9, std::nullopt, false,
            { "cleared", "sleep 300", "below 77", "hide", "top 5", "sleep 100", "top 9", "new document", "editor",
                "minimise", "invalidate" } },
    };
    for (const PipelineCase& test : cases) {
        SCOPED_TRACE(test.name);
        fakes::Rig rig { ImageBuffer() };
        ScrollingScreen screen(300, 100, 50);
        rig.settings.CapDelayTime = 300;
        rig.settings.RestoreWndAftCap = test.restore;
        rig.settings.CapAppViewMode = int(ViewMode::NewWindow);
        rig.windows.below = 5;
        rig.windows.rects[9] = window;
        rig.overlay.result = test.picked;
        rig.overlay.picked = 6;
        CaptureServices services = rig.Services();
        CaptureServices onScreen { screen, services.windows, services.mainWindow, services.clipboard, services.sound,
            services.documents, services.overlay, services.writeImage, {}, {}, {} };
        int64_t now = 0;
        onScreen.sleep = [&](int ms) {
            now += ms;
            if (ms >= 100)
                rig.log.push_back("sleep " + std::to_string(ms));
        };
        CapturePipeline pipeline(rig.settings, std::move(onScreen));
        pipeline.SetScrolling({ &screen, 8, {}, {}, [&] { rig.log.push_back("cleared"); }, [&] { return now; }, {}, {} });
        const bool delivered = test.picked && test.picked->Width() > 0;
        EXPECT_EQ(pipeline.CaptureScrollingWindow(test.target), delivered || test.target ? 1 : 0);
        EXPECT_EQ(rig.log, test.expected);
        if (delivered || test.target) {
            const ImageBuffer& image = rig.documents.documents.back().image;
            EXPECT_EQ(image.Width(), ScrollingScreen::kWidth - 8);
            EXPECT_EQ(image.Height(), 300);
        }
    }
}
