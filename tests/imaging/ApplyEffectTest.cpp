#include "ImageTestUtil.h"
#include "imaging/ImageBuffer.h"
#include "imaging/PixelEffect.h"
#include "imaging/ProgressSink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ProgressLog : public ProgressSink {
public:
    void Reset() override
    {
        log.push_back(-1);
        ProgressSink::Reset();
    }
    void SetPosition(int percent) override
    {
        log.push_back(percent);
        ProgressSink::SetPosition(percent);
    }
    std::vector<int> log; // -1 marks a reset
};

// Records every call; visits through the vtable.
class CallRecorder : public PixelEffect {
public:
    bool CanApply(const ImageBuffer& image) const override { return allow && PixelEffect::CanApply(image); }
    int Mode() const override { return mode; }
    void Begin(ImageBuffer& image) override
    {
        calls.push_back("begin");
        if (growTo > 0)
            image.Create(growTo, 1, 32);
    }
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override
    {
        calls.push_back(std::to_string(x) + "," + std::to_string(y));
        EXPECT_EQ(pixel, image.PixelAddress(x, y));
    }
    void ProcessImage(ImageBuffer&, ProgressSink*) override { calls.push_back("image"); }
    void End(ImageBuffer&) override { calls.push_back("end"); }

    bool allow = true;
    int mode = 1;
    int growTo = 0;
    std::vector<std::string> calls;
};

// The same visits through the inlined row loop.
class InlinedRecorder final : public PixelEffectImpl<InlinedRecorder> {
public:
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel)
    {
        visits.push_back(std::to_string(x) + "," + std::to_string(y));
        EXPECT_EQ(pixel, image.PixelAddress(x, y));
        pixel[0] = uint8_t(visits.size());
    }
    std::vector<std::string> visits;
};

} // namespace

TEST(ApplyEffect, VisitsRowByRowLeftToRightAndReportsProgress)
{
    ImageBuffer image = testutil::MakeImage(2, 3, 32);
    CallRecorder effect;
    ProgressLog progress;
    image.ApplyEffect(effect, &progress);
    EXPECT_EQ(effect.calls, (std::vector<std::string> { "begin", "0,0", "1,0", "0,1", "1,1", "0,2", "1,2", "end" }));
    EXPECT_EQ(progress.log, (std::vector<int> { -1, 33, 66, 100 }));
}

TEST(ApplyEffect, InlinedLoopKeepsTheSameOrderAtEveryDepth)
{
    for (int bpp : { 24, 32 }) {
        ImageBuffer image = testutil::MakeImage(3, 2, bpp);
        InlinedRecorder effect;
        image.ApplyEffect(effect);
        EXPECT_EQ(effect.visits, (std::vector<std::string> { "0,0", "1,0", "2,0", "0,1", "1,1", "2,1" }));
        EXPECT_EQ(image.PixelAddress(2, 1)[0], 6) << "the effect wrote through the pixel pointer";
    }
}

TEST(ApplyEffect, RefusedEffectIsNeverBegun)
{
    ImageBuffer image = testutil::MakeImage(2, 2, 32);
    CallRecorder refused;
    refused.allow = false;
    ProgressLog progress;
    image.ApplyEffect(refused, &progress);
    EXPECT_TRUE(refused.calls.empty());
    EXPECT_TRUE(progress.log.empty());

    // Pixel effects need pixels and at least 24 bits.
    CallRecorder onEmpty;
    ImageBuffer empty;
    empty.ApplyEffect(onEmpty);
    EXPECT_TRUE(onEmpty.calls.empty());
    ImageBuffer indexed;
    indexed.Create(2, 2, 8);
    CallRecorder onIndexed;
    indexed.ApplyEffect(onIndexed);
    EXPECT_TRUE(onIndexed.calls.empty());
}

TEST(ApplyEffect, WholeImageModeCallsProcessImageOnce)
{
    ImageBuffer image = testutil::MakeImage(2, 2, 32);
    CallRecorder effect;
    effect.mode = 0;
    image.ApplyEffect(effect);
    EXPECT_EQ(effect.calls, (std::vector<std::string> { "begin", "image", "end" }));
}

TEST(ApplyEffect, VisitsTheSizeThatBeginLeaves)
{
    ImageBuffer image = testutil::MakeImage(1, 2, 32);
    CallRecorder effect;
    effect.growTo = 3;
    image.ApplyEffect(effect);
    EXPECT_EQ(effect.calls, (std::vector<std::string> { "begin", "0,0", "1,0", "2,0", "end" }));
}

TEST(PixelEffectSnapshot, TakesADeepCopyAndReplacesTheEarlierOne)
{
    class SnapshotEffect final : public PixelEffectImpl<SnapshotEffect> {
    public:
        void Begin(ImageBuffer& image) override { TakeSourceSnapshot(image); }
        void ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel) { pixel[0] = 0; }
    } effect;
    ImageBuffer image = testutil::MakeImage(2, 2, 32);
    image.ApplyEffect(effect);
    ASSERT_NE(effect.SourceSnapshot(), nullptr);
    EXPECT_EQ(effect.SourceSnapshot()->PixelAddress(1, 1)[0], testutil::Distinct(1, 1).b);
    EXPECT_EQ(image.PixelAddress(1, 1)[0], 0);

    image.ApplyEffect(effect);
    EXPECT_EQ(effect.SourceSnapshot()->PixelAddress(1, 1)[0], 0) << "a second run snapshots the new input";
}
