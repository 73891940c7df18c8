#include "ImageTestUtil.h"
#include "editor/codecs/ImageBytes.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/document/ImageClipboard.h"
#include "editor/document/ResizeCommand.h"
#include "editor/objects/HighlightObject.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

class ModifiedFlagTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureGuiApplication();
        ASSERT_TRUE(testutil::MakeImage(6, 4, 24).Save(opened, 0));
    }

    // Copy and Paste against a clipboard that holds a 3 x 2 picture and takes whatever is offered.
    static ImageClipboard Clipboard()
    {
        static const std::vector<char> bytes = EncodeImageBytes(testutil::MakeImage(3, 2, 32), "image/png");
        return ImageClipboard([](const ImageBuffer&) { return true; },
            [](std::string& type, std::vector<char>& offered) {
                type = "image/png";
                offered = bytes;
                return true;
            },
            [] { return ImageClipboard::ExpandAnswer::No; });
    }

    ScratchDir dir;
    const std::string opened = dir.File("opened.bmp");
};

} // namespace

TEST_F(ModifiedFlagTest, EveryUndoableChange_Should_MarkAnOpenedFile_AndUndoBackClearsIt)
{
    struct Case {
        const char* name;
        std::function<void(CKestrelDoc&)> change;
    };
    const Case cases[] = {
        { "invert", [](CKestrelDoc& d) { d.RunImageCommand(20020); } },
        { "rotate 90", [](CKestrelDoc& d) { d.RunImageCommand(20004); } },
        { "flip horizontally", [](CKestrelDoc& d) { d.RunImageCommand(20005); } },
        { "flip vertically", [](CKestrelDoc& d) { d.RunImageCommand(20006); } },
        { "a dialog's effect",
            [](CKestrelDoc& d) {
                AddBlueEffect effect(9);
                d.RunImageEffect(&effect);
            } },
        { "resize", [](CKestrelDoc& d) { d.ApplyHistoryEntry(std::make_unique<ResizeCommand>(3, 3, 1)); } },
        { "cut",
            [](CKestrelDoc& d) {
                Clipboard().Cut(d, { 0, 0, 2, 2 });
            } },
        { "paste", [](CKestrelDoc& d) { Clipboard().Paste(d); } },
        { "annotation",
            [](CKestrelDoc& d) {
                d.RecordUndoSnapshot(std::as_const(d).Image());
                d.Objects().AppendObject(std::make_unique<HighlightObject>());
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CKestrelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(opened));
        ASSERT_FALSE(doc.IsModified());
        c.change(doc);
        EXPECT_TRUE(doc.IsModified()) << "closing must ask before the change is lost";
        ASSERT_TRUE(doc.Undo());
        EXPECT_FALSE(doc.IsModified()) << "back at the file's state";
        ASSERT_TRUE(doc.Redo());
        EXPECT_TRUE(doc.IsModified());
    }
}

// A script of steps, and whether the document reads as modified after each: e an effect, u undo, r redo,
// s save, n File New's picture, z a history that records nothing.
TEST_F(ModifiedFlagTest, UndoAndRedo_Should_ClearTheFlagExactlyAtTheSavedState_WhileItCanBeReached)
{
    struct Case {
        const char* name;
        std::string steps;
        std::string modified;
    };
    const Case cases[] = {
        { "save, then away and back", "esuruu", "101011" },
        { "saved while undone", "eeusrur", "1110101" },
        { "a new step drops the redo that held the save", "eesueuurr", "110111111" },
        { "the opened state pushed out by the limit", "eeeeeeeeeeeuuuuuuuuuu", std::string(21, '1') },
        { "saved one step in: still reachable at the limit", "esEuuuuuuuuuu", "10" + std::string(10, '1') + "0" },
        { "a new picture was never saved", "neu", "111" },
        { "a change that cannot be recorded", "zeu", "011" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CKestrelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(opened));
        AddBlueEffect effect;
        std::string seen;
        for (char step : c.steps) {
            switch (step) {
            case 'e':
                doc.ApplyImageEffect(&effect);
                break;
            case 'E': // ten effects at once
                for (int i = 0; i < CKestrelDoc::kHistoryLimit; ++i)
                    doc.ApplyImageEffect(&effect);
                break;
            case 'u':
                doc.Undo();
                break;
            case 'r':
                doc.Redo();
                break;
            case 's':
                ASSERT_TRUE(doc.OnSaveDocument(dir.File("saved.png")));
                break;
            case 'n':
                doc.MakeNewImage();
                break;
            case 'z':
                doc.History().SetLimit(0);
                break;
            }
            seen += doc.IsModified() ? '1' : '0';
        }
        EXPECT_EQ(seen, c.modified);
    }
}
