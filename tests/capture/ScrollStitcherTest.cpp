#include "capture/ScrollStitcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

namespace {

constexpr int kWidth = 64;
constexpr int kBarWidth = 12;

// A page of distinct rows, with blank (white) runs, shown through a window with fixed bands and a scroll
// bar whose thumb follows the position.
struct Scene {
    int pageRows = 1000;
    int viewRows = 200; // rows of the page visible at once
    int header = 0;
    int footer = 0;
    std::vector<std::pair<int, int>> blanks; // [first, last) page rows that are white
    int periodicFrom = 1 << 30; // from this row to periodicTo the page repeats every 20 rows
    int periodicTo = 0;

    void PageRow(int row, uint8_t* out) const
    {
        if (row >= periodicFrom && row < periodicTo)
            row = periodicFrom + (row - periodicFrom) % 20;
        const bool blank = std::any_of(
            blanks.begin(), blanks.end(), [row](const auto& run) { return row >= run.first && row < run.second; });
        for (int x = 0; x < kWidth; ++x) {
            out[x * 3] = blank ? 255 : uint8_t(row * 7 + x);
            out[x * 3 + 1] = blank ? 255 : uint8_t(row >> 3);
            out[x * 3 + 2] = blank ? 255 : uint8_t(row * 13);
        }
    }

    ImageBuffer View(int offset) const
    {
        ImageBuffer image;
        image.Create(kWidth, header + viewRows + footer, 24);
        for (int y = 0; y < image.Height(); ++y) {
            uint8_t* row = image.Row(y);
            if (y < header || y >= header + viewRows)
                std::memset(row, y < header ? 0x40 : 0x80, size_t(kWidth) * 3);
            else
                PageRow(offset + y - header, row);
            const bool thumb = y >= offset / 10 && y < offset / 10 + 20;
            std::memset(row + (kWidth - kBarWidth) * 3, thumb ? 0x20 : 0xe0, size_t(kBarWidth) * 3);
        }
        return image;
    }

    // What the stitched picture must be: the bands once and the page rows up to lastOffset's view, once each.
    ImageBuffer Expected(int lastOffset, int outputWidth) const
    {
        ImageBuffer image;
        image.Create(outputWidth, header + lastOffset + viewRows + footer, 24);
        const ImageBuffer first = View(0);
        const ImageBuffer last = View(lastOffset);
        std::vector<uint8_t> row(size_t(kWidth) * 3);
        for (int y = 0; y < image.Height(); ++y) {
            const int pageRow = y - header;
            if (y < header)
                std::memcpy(row.data(), first.Row(y), row.size());
            else if (pageRow < lastOffset + viewRows)
                PageRow(pageRow, row.data());
            else
                std::memcpy(row.data(), last.Row(y - lastOffset), row.size());
            std::memcpy(image.Row(y), row.data(), size_t(outputWidth) * 3);
        }
        return image;
    }
};

struct Case {
    const char* name;
    Scene scene;
    std::vector<int> notches; // how far each notch would move the page
};

int FirstDifferentRow(const ImageBuffer& a, const ImageBuffer& b)
{
    for (int y = 0; y < std::min(a.Height(), b.Height()); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), size_t(a.Width()) * 3) != 0)
            return y;
    return a.Height() == b.Height() ? -1 : std::min(a.Height(), b.Height());
}

} // namespace

TEST(ScrollStitcherTest, EveryPageRowAppearsOnceWithTheBandsOnce)
{
    const std::vector<Case> cases = {
        { "even notches, last one short", { 1000, 200, 0, 0, {} }, std::vector<int>(12, 120) },
        { "sticky header and status bar", { 900, 180, 30, 16, {} }, std::vector<int>(12, 100) },
        { "uneven notches (smooth scrolling caught midway)", { 800, 200, 8, 0, {} },
            { 50, 170, 3, 90, 1, 120, 120, 120, 120 } },
        { "blank runs longer than a notch", { 1200, 200, 20, 10, { { 0, 40 }, { 300, 450 }, { 700, 820 } } },
            std::vector<int>(12, 100) },
        { "blank bottom of the view at the start", { 700, 200, 0, 0, { { 120, 200 } } }, std::vector<int>(8, 90) },
        // Every multiple of 20 fits there; the shift measured before is the one that is right.
        { "repeating rows after distinct ones", { 800, 200, 0, 0, {}, 300, 480 }, std::vector<int>(12, 60) },
        { "does not scroll", { 150, 200, 10, 10, {} }, { 120 } },
        { "one-row notches", { 260, 200, 4, 4, {} }, std::vector<int>(70, 1) },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const Scene& scene = test.scene;
        const int maxOffset = std::max(scene.pageRows - scene.viewRows, 0);
        ScrollStitcher stitcher(kWidth - kBarWidth);
        stitcher.Start(scene.View(0));
        int offset = 0;
        ScrollStitcher::Outcome outcome = ScrollStitcher::Outcome::Moved;
        for (int notch : test.notches) {
            offset = std::min(offset + notch, maxOffset);
            outcome = stitcher.Add(scene.View(offset));
            if (outcome != ScrollStitcher::Outcome::Moved)
                break;
        }
        EXPECT_EQ(outcome, ScrollStitcher::Outcome::Still) << "the notches must reach the end";
        const ImageBuffer stitched = stitcher.Stitch(kWidth - kBarWidth);
        const ImageBuffer expected = scene.Expected(offset, kWidth - kBarWidth);
        ASSERT_EQ(stitched.Width(), expected.Width());
        EXPECT_EQ(stitched.Height(), expected.Height());
        EXPECT_EQ(FirstDifferentRow(stitched, expected), -1);
    }
}

TEST(ScrollStitcherTest, ContentThatChangesOtherwiseIsNotStitched)
{
    const Scene scene { 1000, 200, 0, 0, {} };
    ScrollStitcher stitcher(kWidth - kBarWidth);
    stitcher.Start(scene.View(0));
    ImageBuffer changed = scene.View(0);
    for (int y = 0; y < changed.Height(); y += 2)
        std::memset(changed.Row(y), 0x33, size_t(kWidth) * 3);
    EXPECT_EQ(stitcher.Add(std::move(changed)), ScrollStitcher::Outcome::Lost);
    EXPECT_EQ(stitcher.Strips(), 0);
    EXPECT_EQ(stitcher.Stitch(kWidth).Height(), scene.viewRows);
}
