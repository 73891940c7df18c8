// The pieces the filters stand on: the C library's random sequence, edge padding and the grey map.
#include "ImageTestUtil.h"
#include "tests/imaging/FilterReference.h"

#include "imaging/filters/EdgePadding.h"
#include "imaging/filters/IntensityMapEffect.h"
#include "imaging/filters/RandSequence.h"
#include "imaging/filters/SlidingWindowMode.h"
#include "imaging/filters/WindowMode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

TEST(RandSequence, GivesExactlyWhatRandGivesAfterSrand)
{
#ifndef __GLIBC__
    GTEST_SKIP() << "the sequence is that of the GNU C library";
#endif
    for (unsigned seed : { 0u, 1u, 2u, 42u, 1765000000u, 2147483647u, 2147483648u, 4294967295u }) {
        RandSequence sequence(seed);
        std::srand(seed);
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(sequence.Next(), std::rand()) << "seed " << seed << ", draw " << i;
    }
}

TEST(RandSequence, DiscardLandsWhereSingleDrawsWould)
{
    // Short skips step; long ones jump through the recurrence, also from a state mid-ring.
    for (uint64_t count : { 0ull, 1ull, 30ull, 123ull, 124ull, 125ull, 1000ull, 65537ull, 1000003ull }) {
        for (int already : { 0, 5 }) {
            RandSequence stepped(4242), jumped(4242);
            for (int i = 0; i < already; ++i) {
                stepped.Next();
                jumped.Next();
            }
            for (uint64_t i = 0; i < count; ++i)
                stepped.Next();
            jumped.Discard(count);
            for (int i = 0; i < 40; ++i)
                ASSERT_EQ(jumped.Next(), stepped.Next()) << "after " << count << ", draw " << i;
        }
    }
}

TEST(RandSequence, BlocksContinueTheSameSequence)
{
    // Mixed single draws and blocks of awkward lengths give what single draws alone give.
    RandSequence single(777), mixed(777);
    std::vector<int> expected;
    for (int i = 0; i < 5000; ++i)
        expected.push_back(single.NextShort());
    std::vector<int> actual;
    for (size_t block : { 0, 1, 30, 31, 32, 1023, 1024, 1025, 7 }) {
        actual.push_back(mixed.NextShort());
        std::vector<uint16_t> draws(block);
        mixed.FillShort(draws.data(), block);
        actual.insert(actual.end(), draws.begin(), draws.end());
    }
    while (actual.size() < expected.size())
        actual.push_back(mixed.NextShort());
    EXPECT_EQ(actual, expected);
    for (int v : actual)
        ASSERT_LE(v, RandSequence::kShortMax);
}

TEST(EdgePadding, RowsMatchACopyExpandedWithReplication)
{
    std::mt19937 random(3);
    for (int bpp : { 24, 32 })
        for (int margin : { 0, 1, 2, 5 })
            for (auto [w, h] : { std::pair { 1, 1 }, { 3, 1 }, { 1, 4 }, { 6, 5 } }) {
                const ImageBuffer image = filterref::RandomImage(w, h, bpp, random, 256, true);
                ImageBuffer expected(image);
                expected.Expand(true, margin, margin, margin, margin);
                const size_t step = size_t(bpp / 8), bytes = size_t(w + 2 * margin) * step;
                std::vector<uint8_t> padded(bytes);
                for (int y = 0; y < h; ++y) {
                    PadRowWithEdges(image.Row(y), size_t(w), step, size_t(margin), padded.data());
                    EXPECT_EQ(std::memcmp(padded.data(), expected.Row(y + margin), bytes), 0)
                        << bpp << " bpp, margin " << margin << ", row " << y;
                }
            }
}

TEST(IntensityMap, RebuildsTheImageAsGreysAt8Bpp)
{
    // Red 255 alone: 255 * 30 / 100 = 76; green 255: 150.45 -> 150; blue 255: 28.05 -> 28.
    ImageBuffer image = testutil::MakeImage(3, 2, 32, [](int x, int y) {
        const uint8_t v = y == 0 ? 255 : 0;
        return testutil::Bgra { uint8_t(x == 0 ? v : 0), uint8_t(x == 1 ? v : 0), uint8_t(x == 2 ? v : 0), 9 };
    });
    image.SetOrigin(-4, 6);
    IntensityMapEffect greys;
    image.ApplyEffect(greys);
    ASSERT_EQ(image.BitCount(), 8);
    ASSERT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Row(0)[0], 28);
    EXPECT_EQ(image.Row(0)[1], 150);
    EXPECT_EQ(image.Row(0)[2], 76);
    EXPECT_EQ(image.Row(1)[1], 0);
    EXPECT_EQ(image.OriginX(), -4);
    EXPECT_EQ(image.OriginY(), 6);
}

TEST(IntensityMap, AcceptsLowDepthsThroughTheirColours)
{
    // An 8-bpp image of grey-ramp palette indices: grey of (i, i, i) is i.
    ImageBuffer image;
    image.Create(4, 1, 8);
    for (int x = 0; x < 4; ++x)
        image.Row(0)[x] = uint8_t(60 * x);
    IntensityMapEffect greys;
    EXPECT_TRUE(greys.CanApply(image));
    EXPECT_FALSE(greys.CanApply(ImageBuffer()));
    image.ApplyEffect(greys);
    ASSERT_EQ(image.BitCount(), 8);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(image.Row(0)[x], 60 * x);
}

TEST(WindowMode, RunsOf16And32AgreeWithTheScan)
{
    // Grey rows of few values (many ties); runs of 32 (AVX2 where the processor has it, else 16) and of 16
    // must match a plain scan of each window.
    std::mt19937 random(8);
    std::uniform_int_distribution<int> grey(0, 3);
    for (int window : { 3, 5, 7 }) {
        // The windows start 3 bytes into each row; the row loop may read kRowMargin bytes either side.
        const size_t margin = windowmode::kRowMargin;
        std::vector<std::vector<uint8_t>> rows(
            size_t(window), std::vector<uint8_t>(margin + 3 + 32 + size_t(window) + margin));
        std::vector<const uint8_t*> pointers;
        for (auto& row : rows) {
            for (auto& v : row)
                v = uint8_t(grey(random) * 60);
            pointers.push_back(row.data() + margin + 3);
        }
        int8_t wide[32], narrow[32];
        windowmode::ChooseRow(pointers.data(), window, 32, 32, wide);
        windowmode::ChooseRow(pointers.data(), window, 32, 16, narrow);
        for (int lane = 0; lane < 32; ++lane) {
            int counts[256] = {}, best = 0, position = -1;
            for (int p = 0; p < window * window; ++p)
                if (++counts[pointers[size_t(p / window)][lane + p % window]] > best) {
                    best = counts[pointers[size_t(p / window)][lane + p % window]];
                    position = p;
                }
            EXPECT_EQ(wide[lane], position) << "window " << window << ", lane " << lane;
            EXPECT_EQ(narrow[lane], position) << "window " << window << ", lane " << lane;
        }
    }
}

TEST(SlidingWindowMode, EveryFormAgreesWithTheScan)
{
    // Consecutive rows, so the column counts slide down; the largest window fills a column count; three
    // levels tie many greys at the top count, 256 levels leave many counts of 1 or 2.
    std::mt19937 random(21);
    const int width = 37, height = 4, margin = SlidingWindowMode::kRowMargin;
    for (int window : { 9, 31, SlidingWindowMode::kMaxWindow })
        for (int levels : { 3, 256 }) {
            std::uniform_int_distribution<int> grey(0, levels - 1);
            std::vector<std::vector<uint8_t>> greys(
                size_t(height + window - 1), std::vector<uint8_t>(size_t(margin + width + window - 1)));
            for (auto& row : greys)
                for (auto& value : row)
                    value = uint8_t(grey(random) * (255 / (levels - 1)));
            // Each form this processor has; the others fall back to a narrower one.
            for (const auto lanes : { SlidingWindowMode::Lanes::One, SlidingWindowMode::Lanes::Sixteen,
                     SlidingWindowMode::Lanes::ThirtyTwo }) {
                SlidingWindowMode mode(lanes);
                std::vector<int32_t> rows(width), columns(width);
                for (int y = 0; y < height; ++y) {
                    std::vector<const uint8_t*> pointers;
                    for (int i = 0; i < window; ++i)
                        pointers.push_back(greys[size_t(y + i)].data() + margin);
                    mode.ChooseRow(pointers.data(), y, width, window, rows.data(), columns.data());
                    for (int x = 0; x < width; ++x) {
                        int counts[256] = {}, best = 0, row = 0, column = 0;
                        for (int i = 0; i < window; ++i)
                            for (int j = 0; j < window; ++j)
                                if (++counts[pointers[size_t(i)][x + j]] > best) {
                                    best = counts[pointers[size_t(i)][x + j]];
                                    row = i;
                                    column = j;
                                }
                        EXPECT_EQ(rows[size_t(x)], row) << "window " << window << ", row " << y << ", x " << x;
                        EXPECT_EQ(columns[size_t(x)], column) << "window " << window << ", row " << y << ", x " << x;
                    }
                }
            }
        }
}
