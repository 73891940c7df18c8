#include "ImageTestUtil.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/document/ResizeCommand.h"
#include "editor/objects/HighlightObject.h"
#include "imaging/ProgressSink.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

using testutil::Bgra;
using testutil::PixelAt;

namespace {

class EditHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureGuiApplication();
        doc.OnNewDocument();
        doc.Image() = testutil::MakeImage(4, 3, 32, [](int, int) { return Bgra { 0, 50, 60, 255 }; });
    }
    uint8_t Blue() const { return doc.Image().PixelAddress(0, 0)[0]; }

    CKestrelDoc doc;
};

} // namespace

TEST_F(EditHistoryTest, ElevenEffectsKeepTheLastTenUndoable)
{
    AddBlueEffect effect;
    for (int i = 0; i < 11; ++i)
        doc.ApplyImageEffect(&effect);
    EXPECT_EQ(Blue(), 11);
    int undone = 0;
    while (doc.Undo())
        ++undone;
    EXPECT_EQ(undone, 10);
    EXPECT_EQ(Blue(), 1) << "the first effect fell out of the history";
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.CanRedo());
}

TEST_F(EditHistoryTest, UndoAndRedoSwapWholeStates)
{
    AddBlueEffect effect(7);
    doc.ApplyImageEffect(&effect);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Blue(), 0);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(Blue(), 7);
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(Blue(), 7) << "each redo refreshes the state it left";
    EXPECT_FALSE(doc.Redo());
}

TEST_F(EditHistoryTest, ANewActionClearsRedo)
{
    AddBlueEffect effect;
    doc.ApplyImageEffect(&effect);
    doc.ApplyImageEffect(&effect);
    doc.Undo();
    ASSERT_TRUE(doc.CanRedo());
    doc.RecordUndoSnapshot(doc.Image());
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_EQ(doc.History().UndoCount(), 2u);
}

TEST_F(EditHistoryTest, UndoOfResizeBringsBackSizeAndObjects)
{
    auto highlight = std::make_unique<HighlightObject>();
    highlight->SetRect({ 1, 1, 3, 2 });
    doc.Objects().AppendObject(std::move(highlight));

    doc.ApplyHistoryEntry(std::make_unique<ResizeCommand>(8, 6, ResizeCommand::Good));
    EXPECT_EQ(doc.Image().Width(), 8);
    doc.Objects().ClearObjects(); // a later edit that was not recorded
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Image().Width(), 4);
    EXPECT_EQ(doc.Image().Height(), 3);
    ASSERT_EQ(doc.Objects().Size(), 1u);
    EXPECT_EQ(doc.Objects().Front()->Kind(), ObjectKind::Highlight);

    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.Image().Width(), 8);
    EXPECT_EQ(doc.Objects().Size(), 0u) << "redo brings back the state that undo left";
}

TEST_F(EditHistoryTest, BilinearResizeReportsThroughTheProgressHook)
{
    std::vector<int> seen;
    class Sink : public ProgressSink {
    public:
        explicit Sink(std::vector<int>& seen)
            : seen_(seen)
        {
        }
        void SetPosition(int p) override { seen_.push_back(p); }

    private:
        std::vector<int>& seen_;
    };
    int busy = 0;
    doc.SetProgressFactory([&] { return std::make_unique<Sink>(seen); });
    doc.SetBusyHandler([&](bool on) { busy += on ? 1 : 10; });
    doc.ApplyHistoryEntry(std::make_unique<ResizeCommand>(2, 2, ResizeCommand::Better));
    EXPECT_EQ(seen, (std::vector<int> { 0, 50 }));
    EXPECT_EQ(busy, 11) << "the wait cursor is shown and removed once";
}

TEST_F(EditHistoryTest, AnEffectOnAnEmptyImageStillRecordsAnEntry)
{
    doc.Image().Destroy();
    AddBlueEffect effect;
    doc.ApplyImageEffect(&effect);
    EXPECT_TRUE(doc.CanUndo());
    EXPECT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.Image().IsEmpty());
}

TEST_F(EditHistoryTest, SetLimitTrimsFarRedoFirstThenOldestUndo)
{
    AddBlueEffect effect;
    for (int i = 0; i < 4; ++i)
        doc.ApplyImageEffect(&effect); // blue 1, 2, 3, 4
    doc.Undo();
    doc.Undo(); // undo holds the steps to 1 and 2; redo the steps to 3 (front) and 4 (back)
    doc.History().SetLimit(3);
    EXPECT_EQ(doc.History().UndoCount(), 2u);
    EXPECT_EQ(doc.History().RedoCount(), 1u);
    doc.History().SetLimit(1);
    EXPECT_EQ(doc.History().UndoCount(), 1u);
    EXPECT_EQ(doc.History().RedoCount(), 0u);
    doc.History().SetLimit(-5);
    EXPECT_EQ(doc.History().Limit(), 1);
    doc.History().SetLimit(0);
    doc.ApplyImageEffect(&effect);
    EXPECT_FALSE(doc.CanUndo()) << "a zero limit records nothing";
}

TEST_F(EditHistoryTest, SnapshotRoundTripKeepsPixelsAndObjectsTogether)
{
    auto first = std::make_unique<HighlightObject>();
    first->SetRect({ 0, 0, 2, 2 });
    doc.Objects().AppendObject(std::move(first));
    doc.RecordUndoSnapshot(doc.Image());
    doc.Image().PixelAddress(0, 0)[0] = 99;
    auto second = std::make_unique<HighlightObject>();
    second->SetRect({ 1, 1, 4, 3 });
    doc.Objects().AppendObject(std::move(second));

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Blue(), 0);
    ASSERT_EQ(doc.Objects().Size(), 1u);
    EXPECT_EQ(static_cast<const RectObject*>(doc.Objects().Front())->Rect(), (ImageRect { 0, 0, 2, 2 }));
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(Blue(), 99);
    EXPECT_EQ(doc.Objects().Size(), 2u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Blue(), 0) << "the snapshot's pixels were not changed by the redo";
}

namespace {

bool SamePixels(const ImageBuffer& a, const ImageBuffer& b)
{
    return a.Width() == b.Width() && a.Height() == b.Height() && a.BitCount() == b.BitCount()
        && std::equal(a.Pixels(), a.Pixels() + a.PixelBytes(), b.Pixels());
}

void AddHighlight(CKestrelDoc& doc, int left)
{
    auto highlight = std::make_unique<HighlightObject>();
    highlight->SetRect({ left, 0, left + 1, 1 });
    doc.Objects().AppendObject(std::move(highlight));
}

} // namespace

TEST_F(EditHistoryTest, ObjectEditsShareThePictureWithTheirSnapshots)
{
    const uint8_t* block = std::as_const(doc).Image().Pixels();
    for (int i = 0; i < CKestrelDoc::kHistoryLimit; ++i) {
        doc.RecordUndoSnapshot(std::as_const(doc).Image());
        AddHighlight(doc, i % 4);
    }
    while (doc.Undo()) { }
    EXPECT_EQ(doc.Objects().Size(), 0u);
    while (doc.Redo()) { }
    EXPECT_EQ(doc.Objects().Size(), size_t(CKestrelDoc::kHistoryLimit));
    EXPECT_EQ(std::as_const(doc).Image().Pixels(), block) << "no step copied the picture";
}

// Each row writes to the picture after a snapshot through a different path; undo and redo must bring
// back exactly the pixels on either side, and the write must not reach the entry that shared them.
TEST_F(EditHistoryTest, AWriteAfterASnapshotLeavesTheSnapshotExact)
{
    struct Case {
        const char* name;
        std::function<void(CKestrelDoc&)> write;
    };
    const Case cases[] = {
        { "pixel through Image()",
            [](CKestrelDoc& d) {
                testutil::SetPixel(d.Image(), 1, 1, Bgra { 9, 8, 7, 255 });
            } },
        { "effect",
            [](CKestrelDoc& d) {
                AddBlueEffect e(3);
                d.ApplyImageEffect(&e);
            } },
        { "replaced picture", [](CKestrelDoc& d) { d.SetImage(testutil::MakeImage(5, 2, 32)); } },
    };
    for (const Case& c : cases) {
        doc.History().Clear();
        doc.Image() = testutil::MakeImage(4, 3, 32);
        const ImageBuffer original(std::as_const(doc).Image());
        doc.RecordUndoSnapshot(std::as_const(doc).Image());
        AddHighlight(doc, 0);
        doc.RecordUndoSnapshot(std::as_const(doc).Image());
        c.write(doc);
        const ImageBuffer changed(std::as_const(doc).Image());
        ASSERT_FALSE(SamePixels(changed, original)) << c.name;
        while (doc.Undo()) { }
        EXPECT_TRUE(SamePixels(std::as_const(doc).Image(), original)) << c.name;
        while (doc.Redo()) { }
        EXPECT_TRUE(SamePixels(std::as_const(doc).Image(), changed)) << c.name;
    }
}
