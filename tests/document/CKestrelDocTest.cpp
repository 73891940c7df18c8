#include "editor/document/CKestrelDoc.h"
#include "ImageTestUtil.h"
#include "editor/document/ImageCommands.h"
#include "editor/document/ResizeCommand.h"
#include "editor/objects/HighlightObject.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>

using testutil::Bgra;
using testutil::PixelAt;

class CKestrelDocTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApplication(); }
    ScratchDir dir;
};

TEST_F(CKestrelDocTest, UntitledDocumentsAreNumberedInTurn)
{
    CKestrelDoc first, second;
    first.OnNewDocument();
    second.OnNewDocument();
    const int n = first.Title().mid(7).toInt();
    EXPECT_TRUE(first.Title().startsWith("Capture"));
    EXPECT_GE(n, 1);
    EXPECT_EQ(second.Title(), QString("Capture%1").arg(n + 1));
}

TEST_F(CKestrelDocTest, NewImageIsOpaqueWhiteAndModified)
{
    CKestrelDoc doc;
    doc.OnNewDocument();
    EXPECT_FALSE(doc.IsModified());
    doc.MakeNewImage();
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(doc.Image().Width(), 640);
    ASSERT_EQ(doc.Image().Height(), 480);
    EXPECT_EQ(doc.Image().BitCount(), 32);
    EXPECT_EQ(PixelAt(doc.Image(), 639, 479), (Bgra { 255, 255, 255, 255 }));
    EXPECT_FALSE(doc.CanUndo()) << "New records no history";
}

TEST_F(CKestrelDocTest, AFileThatDoesNotDecodeOpensNothingAndLeavesTheDocumentAsItWas)
{
    const std::string junk = dir.File("junk.png");
    std::ofstream(junk) << "not a picture";
    const std::string empty = dir.File("empty.bmp");
    std::ofstream { empty };
    for (const std::string& path : { junk, empty, dir.File("absent.png") }) {
        CKestrelDoc doc;
        doc.MakeNewImage();
        const QString title = doc.Title();
        EXPECT_FALSE(doc.OnOpenDocument(path)) << path;
        EXPECT_EQ(doc.Image().Width(), 640) << path;
        EXPECT_EQ(doc.Title(), title) << path;
        EXPECT_TRUE(doc.PathName().empty()) << path;
    }
}

TEST_F(CKestrelDocTest, OpenedImagesBecomeThirtyTwoBits)
{
    const std::string path = dir.File("small.bmp");
    ASSERT_TRUE(testutil::MakeImage(3, 2, 24).Save(path, 0));
    CKestrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.Image().BitCount(), 32);
    EXPECT_EQ(PixelAt(doc.Image(), 2, 1),
        (Bgra { testutil::Distinct(2, 1).b, testutil::Distinct(2, 1).g, testutil::Distinct(2, 1).r, 255 }));
    EXPECT_FALSE(doc.IsModified()) << "an opened file closes without a prompt";
}

TEST_F(CKestrelDocTest, SavingWritesTheCompositeAndKeepsObjectsSeparate)
{
    CKestrelDoc doc;
    doc.OnNewDocument();
    doc.MakeNewImage();
    auto highlight = std::make_unique<HighlightObject>();
    highlight->SetRect({ 10, 10, 20, 20 });
    highlight->transparency = 0;
    highlight->colour = 0x0000FF; // red
    doc.Objects().AppendObject(std::move(highlight));

    const std::string path = dir.File("out.bmp");
    ASSERT_TRUE(doc.SaveAs(path));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.Title(), "out.bmp");
    EXPECT_EQ(doc.Objects().Size(), 1u);
    EXPECT_EQ(PixelAt(doc.Image(), 15, 15), (Bgra { 255, 255, 255, 255 })) << "the document image is untouched";

    ImageBuffer saved;
    ASSERT_TRUE(saved.Load(path));
    const Bgra inside = PixelAt(saved, 15, 15);
    EXPECT_EQ(inside.r, 255);
    EXPECT_EQ(inside.g, 0);
    EXPECT_EQ(inside.b, 0);
}

TEST_F(CKestrelDocTest, AFailedSaveKeepsNameTitleAndModifiedFlag)
{
    CKestrelDoc doc;
    doc.OnNewDocument();
    doc.MakeNewImage();
    const QString title = doc.Title();
    EXPECT_FALSE(doc.SaveAs(dir.File("no-such-folder/out.png")));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Title(), title);
    EXPECT_TRUE(doc.PathName().empty());
}

TEST_F(CKestrelDocTest, ImageCommandsLeaveAnOpaqueThirtyTwoBitImage)
{
    CKestrelDoc doc;
    doc.OnNewDocument();
    doc.Image() = testutil::MakeImage(2, 2, 24, [](int, int) { return Bgra { 10, 20, 30, 0 }; });
    ASSERT_TRUE(doc.RunImageCommand(20020)); // invert
    EXPECT_EQ(doc.Image().BitCount(), 32);
    EXPECT_EQ(PixelAt(doc.Image(), 1, 1), (Bgra { 245, 235, 225, 255 }));
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(PixelAt(doc.Image(), 1, 1), (Bgra { 10, 20, 30, 255 })) << "the snapshot was taken at 32 bits";

    // An id of the range without an entry only normalises the image, and records nothing.
    doc.Image().PixelAddress(0, 0)[3] = 7;
    const size_t entries = doc.History().UndoCount();
    ASSERT_TRUE(doc.RunImageCommand(20099));
    EXPECT_EQ(PixelAt(doc.Image(), 0, 0).a, 255);
    EXPECT_EQ(doc.History().UndoCount(), entries);

    EXPECT_FALSE(doc.RunImageCommand(20035)) << "Emboss needs its dialog";
}

namespace {

// Inverts rows until it reaches the lower half of the picture, then runs out of memory.
class FailsHalfWay final : public ImageEffect {
public:
    bool CanApply(const ImageBuffer& image) const override { return !image.IsEmpty(); }
    bool RowsInAnyOrder() const override { return true; }
    void ProcessRows(ImageBuffer& image, int first, int end, int) override
    {
        if (end > image.Height() / 2)
            throw std::bad_alloc();
        for (int y = first; y < end; ++y)
            for (int i = 0; i < image.Width() * 4; ++i)
                image.Row(y)[i] = uint8_t(~image.Row(y)[i]);
    }
};

} // namespace

TEST_F(CKestrelDocTest, AChangeThatRunsOutOfMemoryLeavesThePictureAndSaysSoOnce)
{
    CKestrelDoc doc;
    doc.OnNewDocument();
    doc.Image() = testutil::MakeImage(400, 400, 32, [](int x, int y) {
        return Bgra { uint8_t(x), uint8_t(y), 9, 255 };
    });
    const ImageBuffer before = doc.Image();
    const size_t entries = doc.History().UndoCount();
    int failures = 0;
    QObject::connect(&doc, &CKestrelDoc::ChangeFailed, [&failures] { ++failures; });
    FailsHalfWay effect;
    EXPECT_FALSE(doc.ApplyImageEffect(&effect));
    ASSERT_EQ(doc.Image().Height(), 400);
    for (int y = 0; y < 400; ++y)
        ASSERT_EQ(std::memcmp(doc.Image().Row(y), before.Row(y), 400 * 4), 0) << "row " << y;
    EXPECT_EQ(doc.History().UndoCount(), entries) << "no step for a change that did not happen";
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(doc.RunImageEffect(&effect));
    EXPECT_EQ(failures, 2);
}

#if !defined(__SANITIZE_ADDRESS__)
namespace {

// With room for 300 MB more, resizes a 100 x 100 document to 20,000,000 x 1: 80 MB of pixels and 480 MB
// of columns. Exits 0 when the resize failed and the document kept its picture.
[[noreturn]] void ResizeWithoutRoomForColumns()
{
    CKestrelDoc doc;
    doc.Image() = testutil::MakeImage(100, 100, 32);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t room = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(300) << 20);
    const rlimit limit { room, room };
    setrlimit(RLIMIT_AS, &limit);
    const bool resized = doc.ApplyHistoryEntry(std::make_unique<ResizeCommand>(20000000, 1, ResizeCommand::Better));
    std::exit(!resized && doc.Image().Width() == 100 && doc.Image().Height() == 100 ? 0 : 1);
}

} // namespace

// The bilinear resize keeps a table of 24 bytes per new column besides the two pictures: with room for the
// new picture but not for its table, the document keeps its picture.
TEST_F(CKestrelDocTest, AResizeWithoutRoomForItsColumnTableLeavesThePicture)
{
    // A child of its own, started afresh: a fork of this process would hold the row pool without its threads.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ResizeWithoutRoomForColumns(), ::testing::ExitedWithCode(0), "");
}
#endif

TEST(ImageCommandTable, EveryMenuEntryHasItsKind)
{
    for (int id : { 20004, 20005, 20006, 20007, 20019, 20020, 20041, 20042, 20051 }) {
        ASSERT_NE(FindImageCommand(id), nullptr) << id;
        EXPECT_EQ(FindImageCommand(id)->kind, ImageCommandKind::Direct) << id;
        EXPECT_NE(CreateDirectEffect(id), nullptr) << id;
    }
    for (int id : { 20002, 20014, 20016, 20017, 20033, 20034, 20035, 20036, 20037, 20038, 20040, 20050 }) {
        ASSERT_NE(FindImageCommand(id), nullptr) << id;
        EXPECT_EQ(FindImageCommand(id)->kind, ImageCommandKind::Dialog) << id;
        EXPECT_EQ(CreateDirectEffect(id), nullptr) << id;
    }
    EXPECT_EQ(FindImageCommand(20005)->menuText, "Filp Horizontally");
    EXPECT_EQ(FindImageCommand(20033)->dialogTemplate, 190);
    EXPECT_EQ(FindImageCommand(20010)->kind, ImageCommandKind::Other);
    EXPECT_EQ(FindImageCommand(20099), nullptr);
}
