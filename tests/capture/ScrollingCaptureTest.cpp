#include "capture/ScrollingCapture.h"
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
        offset = std::min(offset + notch_, page.Height() - windowRows_);
    }
    bool EscapeDown() override { return escapeAfter >= 0 && notches >= escapeAfter; }

    static constexpr int kWidth = 40;
    ImageBuffer page;
    int offset = 0;
    int notches = 0;
    int escapeAfter = -1;
    fakes::Log log;

private:
    int windowRows_;
    int notch_;
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
    ScrollingCapture::Hooks Hooks(std::function<bool()> stop = {})
    {
        return { std::move(stop), {}, [this](int ms) { now += ms; }, [this] { return now; } };
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
        int expectedRows;
        int expectedSteps;
    };
    const Case cases[] = {
        { "to the end", 1000, 70, -1, 1000, 13 },
        { "step limit", 30000, 30, -1, 100 + 199 * 30, 199 },
        { "Esc after three notches", 1000, 70, 3, 100 + 3 * 70, 3 },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ScrollingScreen screen(test.pageRows, 100, test.notch);
        screen.escapeAfter = test.escapeAfter;
        Clock clock;
        ScrollingCapture capture(screen, screen, clock.Hooks());
        const ImageBuffer image = capture.Run({ 0, 0, ScrollingScreen::kWidth, 100 }, 8);
        EXPECT_TRUE(SameRows(image, screen.page, test.expectedRows, ScrollingScreen::kWidth - 8));
        EXPECT_EQ(capture.Steps(), test.expectedSteps);
        EXPECT_EQ(screen.log, (fakes::Log { "pointer 20,50", "pointer back" }));
    }
}

TEST(ScrollingCaptureTest, SettleWaitsForTheWindowToStopChanging)
{
    ScrollingScreen screen(1000, 100, 0);
    ImageBuffer before;
    before.Create(ScrollingScreen::kWidth, 100, 24);
    screen.ReadPixels({ 0, 0, ScrollingScreen::kWidth, 100 }, before);
    int64_t now = 0;
    // The content moves 10 rows a frame for five frames, as a smooth scroll does.
    ScrollingCapture::Hooks hooks { {}, {},
        [&](int ms) {
            now += ms;
            screen.offset = int(std::min<int64_t>(now / 16, 5)) * 10;
        },
        [&] { return now; } };
    ScrollingCapture capture(screen, screen, hooks);
    const ImageBuffer settled = capture.WaitUntilSettled({ 0, 0, ScrollingScreen::kWidth, 100 }, before);
    EXPECT_EQ(settled.Row(0)[0], 50) << "the grab after the last frame";
    EXPECT_GE(now, 80 + ScrollingCapture::kQuietMs);

    // Nothing moves: the wait ends after the no-move limit with the same picture.
    now = 0;
    screen.offset = 0;
    hooks.sleep = [&](int ms) { now += ms; };
    ScrollingCapture still(screen, screen, hooks);
    const ImageBuffer same = still.WaitUntilSettled({ 0, 0, ScrollingScreen::kWidth, 100 }, before);
    EXPECT_EQ(std::memcmp(same.Pixels(), before.Pixels(), before.PixelBytes()), 0);
    EXPECT_GE(now, ScrollingCapture::kNoMoveMs);
    EXPECT_LT(now, ScrollingCapture::kSettleLimitMs);
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
            { "cleared", "sleep 300", "below 77", "hide", "top 5", "overlay 1", "sleep 100", "new document", "editor",
                "foreground", "show", "invalidate" } },
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
        pipeline.SetScrolling({ &screen, 8, {}, {}, [&] { rig.log.push_back("cleared"); }, [&] { return now; } });
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
