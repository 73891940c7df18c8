#include "editor/document/ImageClipboard.h"
#include "ImageTestUtil.h"
#include "editor/codecs/ImageBytes.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/objects/HighlightObject.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

using testutil::Bgra;
using testutil::PixelAt;
using Answer = ImageClipboard::ExpandAnswer;
using Result = ImageClipboard::PasteResult;

namespace {

constexpr Bgra kWhite { 255, 255, 255, 255 };

Bgra Pasted(int x, int y)
{
    return { uint8_t(x), uint8_t(y), 200, 255 };
}

// The desktop side as a test sees it: what was offered, what is on offer, what the user answers.
class ImageClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureGuiApplication();
        doc.Image() = testutil::MakeImage(150, 150, 32);
    }

    ImageClipboard Clipboard()
    {
        return ImageClipboard(
            [this](const ImageBuffer& image) {
                offered = image;
                return true;
            },
            [this](std::string& type, std::vector<char>& bytes) {
                if (onOffer.empty())
                    return false;
                type = offerType;
                bytes = onOffer;
                return true;
            },
            [this] {
                ++questions;
                return answer;
            });
    }

    void Offer(const ImageBuffer& image, const std::string& type = "image/png")
    {
        offerType = type;
        onOffer = EncodeImageBytes(image, type);
    }

    const ImageBuffer& Picture() const { return doc.Image(); }

    CKestrelDoc doc;
    std::optional<ImageBuffer> offered;
    std::string offerType;
    std::vector<char> onOffer;
    Answer answer = Answer::Cancel;
    int questions = 0;
};

} // namespace

TEST_F(ImageClipboardTest, CopyTakesTheSelectionOrTheWholePictureWithoutObjects)
{
    auto highlight = std::make_unique<HighlightObject>();
    highlight->SetRect({ 0, 0, 150, 150 });
    doc.Objects().AppendObject(std::move(highlight));
    struct Case {
        ImageRect selection;
        ImageRect expected;
    };
    const Case cases[] = {
        { { 10, 20, 40, 30 }, { 10, 20, 40, 30 } }, { {}, { 0, 0, 150, 150 } },
        { { 140, 145, 170, 160 }, { 140, 145, 150, 150 } }, // clipped to the picture
    };
    for (const Case& c : cases) {
        offered.reset();
        ASSERT_TRUE(Clipboard().Copy(doc, c.selection));
        ASSERT_TRUE(offered);
        ASSERT_EQ(offered->Width(), c.expected.Width());
        ASSERT_EQ(offered->Height(), c.expected.Height());
        for (int y : { 0, c.expected.Height() - 1 })
            for (int x : { 0, c.expected.Width() - 1 })
                EXPECT_EQ(PixelAt(*offered, x, y), PixelAt(Picture(), c.expected.left + x, c.expected.top + y))
                    << "the highlight over the picture is not part of the copy";
    }
    EXPECT_FALSE(doc.CanUndo()) << "copying changes nothing";
}

TEST_F(ImageClipboardTest, CutWhitensTheSelectionAndUndoBringsItBack)
{
    const ImageBuffer before(Picture());
    ASSERT_TRUE(Clipboard().Cut(doc, { 5, 5, 25, 15 }));
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->Width(), 20);
    EXPECT_EQ(PixelAt(*offered, 0, 0), PixelAt(before, 5, 5));
    EXPECT_EQ(PixelAt(Picture(), 5, 5), kWhite);
    EXPECT_EQ(PixelAt(Picture(), 24, 14), kWhite);
    EXPECT_EQ(PixelAt(Picture(), 25, 14), PixelAt(before, 25, 14));
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(PixelAt(Picture(), 5, 5), PixelAt(before, 5, 5));

    doc.History().Clear();
    ASSERT_TRUE(Clipboard().Cut(doc, {}));
    EXPECT_EQ(offered->Width(), 150);
    EXPECT_FALSE(doc.CanUndo()) << "without a selection nothing is erased";
}

TEST_F(ImageClipboardTest, ACutThatCannotReachTheClipboardErasesNothing)
{
    ImageClipboard failing([](const ImageBuffer&) { return false; }, {}, {});
    const ImageBuffer before(Picture());
    EXPECT_FALSE(failing.Cut(doc, { 5, 5, 25, 15 }));
    EXPECT_EQ(PixelAt(Picture(), 5, 5), PixelAt(before, 5, 5));
}

TEST_F(ImageClipboardTest, ALargerPictureAsksWhetherToExpand)
{
    const ImageBuffer bitmap = testutil::MakeImage(200, 100, 24, Pasted);
    const ImageBuffer before(Picture());
    struct Case {
        Answer answer;
        Result result;
        int width, height;
    };
    const Case cases[] = {
        { Answer::Yes, Result::Expanded, 200, 150 },
        { Answer::No, Result::Pasted, 150, 150 },
        { Answer::Cancel, Result::Cancelled, 150, 150 },
    };
    for (const char* type : { "image/png", "image/bmp" }) {
        Offer(bitmap, type);
        for (const Case& c : cases) {
            answer = c.answer;
            questions = 0;
            doc.History().Clear();
            ASSERT_EQ(Clipboard().Paste(doc), c.result) << type;
            EXPECT_EQ(questions, 1);
            ASSERT_EQ(Picture().Width(), c.width) << type;
            ASSERT_EQ(Picture().Height(), c.height) << type;
            if (c.answer == Answer::Cancel) {
                EXPECT_FALSE(doc.CanUndo());
                continue;
            }
            EXPECT_EQ(PixelAt(Picture(), 0, 0), Pasted(0, 0));
            EXPECT_EQ(PixelAt(Picture(), 149, 99), Pasted(149, 99));
            EXPECT_EQ(PixelAt(Picture(), 149, 100), PixelAt(before, 149, 100)) << "below the paste";
            if (c.answer == Answer::Yes) {
                EXPECT_EQ(PixelAt(Picture(), 199, 99), Pasted(199, 99));
                EXPECT_EQ(PixelAt(Picture(), 150, 100), kWhite) << "below the paste's right part";
                EXPECT_EQ(PixelAt(Picture(), 199, 149), kWhite);
            }
            ASSERT_TRUE(doc.Undo());
            EXPECT_EQ(Picture().Width(), 150);
            EXPECT_EQ(PixelAt(Picture(), 0, 0), PixelAt(before, 0, 0));
        }
    }
}

TEST_F(ImageClipboardTest, ASmallerPicturePastesWithoutAQuestion)
{
    Offer(testutil::MakeImage(20, 10, 32, Pasted));
    doc.Image().ConvertTo(24);
    ASSERT_EQ(Clipboard().Paste(doc), Result::Pasted);
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(Picture().BitCount(), 32);
    EXPECT_EQ(PixelAt(Picture(), 19, 9), Pasted(19, 9));
    EXPECT_TRUE(doc.CanUndo());
}

TEST_F(ImageClipboardTest, NothingUsableOnTheClipboardChangesNothing)
{
    EXPECT_EQ(Clipboard().Paste(doc), Result::Nothing);
    offerType = "image/bmp";
    onOffer = { 'B', 'M', 0, 0 };
    EXPECT_EQ(Clipboard().Paste(doc), Result::Nothing);
    offerType = "image/png";
    onOffer = std::vector<char>(64, 'x');
    EXPECT_EQ(Clipboard().Paste(doc), Result::Nothing);
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(questions, 0);
}
