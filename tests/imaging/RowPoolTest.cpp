// Effects whose rows may run on several threads give the same bytes as the plain row-by-row run.
#include "tests/imaging/FilterReference.h"

#include "imaging/ProgressSink.h"
#include "imaging/RowPool.h"
#include "imaging/colour/BrightnessEffect.h"
#include "imaging/colour/ColorLevelEffect.h"
#include "imaging/colour/ColorToneEffect.h"
#include "imaging/colour/GrayScaleEffect.h"
#include "imaging/colour/HueSaturationEffect.h"
#include "imaging/colour/InvertEffect.h"
#include "imaging/colour/PosterizeEffect.h"
#include "imaging/colour/RgbValueEffect.h"
#include "imaging/filters/ColorNoiseEffect.h"
#include "imaging/filters/ConvolutionEffect.h"
#include "imaging/filters/EmbossEffect.h"
#include "imaging/filters/GridEffect.h"
#include "imaging/filters/HalftoneEffect.h"
#include "imaging/filters/MonoNoiseEffect.h"
#include "imaging/filters/MosaicEffect.h"
#include "imaging/filters/OilPaintEffect.h"
#include "imaging/filters/SplashEffect.h"
#include "imaging/geometry/FlipHorizontalEffect.h"
#include "imaging/geometry/FlipVerticalEffect.h"
#include "imaging/geometry/FreeRotateEffect.h"
#include "imaging/geometry/Rotate270Effect.h"
#include "imaging/geometry/Rotate90Effect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <thread>
#include <vector>

namespace {

using Factory = std::function<std::unique_ptr<ImageEffect>()>;

template <class Effect, class... Args> Factory Make(Args... args)
{
    return [=] { return std::make_unique<Effect>(args...); };
}

// Restores one thread per core when a test ends.
class RowPoolTest : public ::testing::Test {
protected:
    void TearDown() override { RowPool::Shared().SetThreads(0); }
};

bool SameBytes(const ImageBuffer& a, const ImageBuffer& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitCount() != b.BitCount())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), size_t(a.Width()) * size_t(a.BitCount() / 8)) != 0)
            return false;
    return true;
}

// Runs the same effect object twice, as the adjustment dialogs do (thumbnail, then document), so that an
// effect that draws random numbers must also leave its sequence where the plain run leaves it.
std::vector<ImageBuffer> RunTwice(const Factory& make, const ImageBuffer& image, int threads)
{
    RowPool::Shared().SetThreads(threads);
    auto effect = make();
    std::vector<ImageBuffer> out { image, image };
    for (ImageBuffer& copy : out)
        copy.ApplyEffect(*effect);
    return out;
}

} // namespace

TEST_F(RowPoolTest, EffectsGiveTheSameBytesOnEveryThreadCount)
{
    const std::vector<std::pair<const char*, Factory>> effects = {
        { "invert", Make<InvertEffect>(7) },
        { "invert red", Make<InvertEffect>(1) },
        { "brightness", Make<BrightnessEffect>(150) },
        { "posterize", Make<PosterizeEffect>(3) },
        { "levels", Make<ColorLevelEffect>(30, 220, 7) },
        { "grey", Make<GrayScaleEffect>() },
        { "rgb value", Make<RgbValueEffect>(20, -30, 40) },
        { "tone", Make<ColorToneEffect>(uint8_t(254), uint8_t(168), uint8_t(33)) },
        { "hue/saturation", Make<HueSaturationEffect>(150, 80) },
        { "flip horizontal", Make<FlipHorizontalEffect>() },
        { "flip vertical", Make<FlipVerticalEffect>() },
        { "rotate 90", Make<Rotate90Effect>() },
        { "rotate 270", Make<Rotate270Effect>() },
        { "free rotation", Make<FreeRotateEffect>(33) },
        { "halftone", Make<HalftoneEffect>() },
        { "emboss", Make<EmbossEffect>(2) },
        { "grid", Make<GridEffect>(20, 40) },
        { "colour noise", Make<ColorNoiseEffect>(100, 99u) },
        { "mono noise", Make<MonoNoiseEffect>(50, 99u) },
        { "splash", Make<SplashEffect>(7, 99u) },
        { "oil paint, small window", Make<OilPaintEffect>(2) },
        { "oil paint, sliding window", Make<OilPaintEffect>(5) },
        // Bands of cells that straddle blocks, and one taller than a block.
        { "mosaic", Make<MosaicEffect>(10) },
        { "mosaic, large cells", Make<MosaicEffect>(100) },
        // In place: a block reads input rows of the blocks next to it.
        { "blur", Make<ConvolutionEffect>(std::vector<int32_t> { 1, 2, 1, 2, 4, 2, 1, 2, 1 }, 3, 16, 0) },
        { "5 x 5 kernel", Make<ConvolutionEffect>(std::vector<int32_t>(25, 1), 5, 20, -3) },
    };
    std::mt19937 random(5);
    // Odd sizes: blocks and bands that end short, quarter-turn tiles with leftovers.
    for (int bpp : { 32, 24 }) {
        const ImageBuffer image = filterref::RandomImage(403, 301, bpp, random, 8, bpp == 32);
        for (const auto& [name, make] : effects) {
            const std::vector<ImageBuffer> plain = RunTwice(make, image, 1);
            const std::vector<ImageBuffer> shared = RunTwice(make, image, 3);
            EXPECT_TRUE(SameBytes(plain[0], shared[0])) << name << " at " << bpp << " bpp";
            EXPECT_TRUE(SameBytes(plain[1], shared[1])) << name << " at " << bpp << " bpp, second run";
        }
    }
}

TEST_F(RowPoolTest, BilinearResizeGivesTheSameBytesOnEveryThreadCount)
{
    std::mt19937 random(8);
    for (int bpp : { 32, 24 }) {
        const ImageBuffer image = filterref::RandomImage(517, 389, bpp, random, 256, bpp == 32);
        for (auto [width, height] : { std::pair { 700, 450 }, std::pair { 258, 194 }, std::pair { 1000, 120 } }) {
            ImageBuffer plain(image), shared(image);
            RowPool::Shared().SetThreads(1);
            plain.ResizeBilinear(width, height);
            RowPool::Shared().SetThreads(2);
            shared.ResizeBilinear(width, height);
            EXPECT_TRUE(SameBytes(plain, shared)) << width << "x" << height << " at " << bpp << " bpp";
        }
    }
}

TEST_F(RowPoolTest, RunsEveryRowOnceAndReportsProgressOnTheCaller)
{
    RowPool& pool = RowPool::Shared();
    pool.SetThreads(4);
    std::vector<std::atomic<int>> visits(1000);
    std::vector<int> progress;
    const auto caller = std::this_thread::get_id();
    bool progressOnCaller = true;
    pool.Run(
        1000, 64,
        [&](int first, int end, int worker) {
            EXPECT_GE(worker, 0);
            EXPECT_LT(worker, pool.Threads());
            for (int y = first; y < end; ++y)
                ++visits[size_t(y)];
        },
        [&](int rowsDone) {
            progressOnCaller = progressOnCaller && std::this_thread::get_id() == caller;
            progress.push_back(rowsDone);
        });
    for (int y = 0; y < 1000; ++y)
        ASSERT_EQ(visits[size_t(y)], 1) << "row " << y;
    EXPECT_TRUE(progressOnCaller);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}

TEST_F(RowPoolTest, SharedRunReportsProgressUpToOneHundred)
{
    class Recorder : public ProgressSink {
    public:
        void SetPosition(int percent) override
        {
            seen.push_back(percent);
            ProgressSink::SetPosition(percent);
        }
        std::vector<int> seen;
    } progress;
    RowPool::Shared().SetThreads(2);
    std::mt19937 random(3);
    ImageBuffer image = filterref::RandomImage(400, 400, 32, random);
    InvertEffect invert;
    image.ApplyEffect(invert, &progress);
    ASSERT_FALSE(progress.seen.empty());
    EXPECT_TRUE(std::is_sorted(progress.seen.begin(), progress.seen.end()));
    EXPECT_EQ(progress.seen.back(), 100);
}

TEST_F(RowPoolTest, AThrowingProgressEndsTheRunAfterTheBlocksUnderWay)
{
    // A cancelled preview throws from its progress sink; blocks already running use the caller's image.
    RowPool& pool = RowPool::Shared();
    pool.SetThreads(3);
    std::atomic<int> running = 0, started = 0, finished = 0;
    struct Cancelled { };
    EXPECT_THROW(pool.Run(
                     10000, 8,
                     [&](int, int, int) {
                         ++started;
                         ++running;
                         std::this_thread::sleep_for(std::chrono::microseconds(200));
                         --running;
                         ++finished;
                     },
                     [](int) { throw Cancelled {}; }),
        Cancelled);
    EXPECT_EQ(running, 0) << "no block outlives the run";
    EXPECT_EQ(started, finished);
    EXPECT_LT(started, 10000 / 8) << "no block starts after the cancel";

    std::atomic<int> rows = 0;
    pool.Run(100, 8, [&](int first, int end, int) { rows += end - first; });
    EXPECT_EQ(rows, 100) << "the pool runs again afterwards";
}

TEST_F(RowPoolTest, AWorkerOutOfMemoryReachesTheCaller)
{
    // The caller's blocks wait until a worker has taken one, so some block fails on a worker however busy
    // the machine; every worker's block fails.
    RowPool& pool = RowPool::Shared();
    pool.SetThreads(3);
    std::atomic<bool> workerRan = false;
    const auto work = [&workerRan](int worker) {
        if (worker != 0) {
            workerRan = true;
            throw std::bad_alloc();
        }
        for (int i = 0; i < 2000 && !workerRan; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    std::atomic<int> running = 0;
    EXPECT_THROW(pool.Run(1000, 8,
                     [&](int, int, int worker) {
                         ++running;
                         try {
                             work(worker);
                         } catch (...) {
                             --running;
                             throw;
                         }
                         --running;
                     }),
        std::bad_alloc);
    EXPECT_EQ(running, 0) << "no block outlives the run";

    // Through an effect: ApplyEffect says it failed, and the pool runs again afterwards.
    class FailingOnWorkers final : public ImageEffect {
    public:
        explicit FailingOnWorkers(std::function<void(int)> work)
            : work_(std::move(work))
        {
        }
        bool CanApply(const ImageBuffer&) const override { return true; }
        bool RowsInAnyOrder() const override { return true; }
        void ProcessRows(ImageBuffer&, int, int, int worker) override { work_(worker); }

    private:
        std::function<void(int)> work_;
    } failing(work);
    workerRan = false;
    ImageBuffer image;
    ASSERT_TRUE(image.Create(512, 1024, 32));
    EXPECT_FALSE(image.ApplyEffect(failing));
    InvertEffect invert;
    EXPECT_TRUE(image.ApplyEffect(invert));
}
