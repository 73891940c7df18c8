#include "editor/objects/FontResolver.h"
#include "editor/objects/ObjectRenderer.h"
#include "editor/objects/TextObject.h"
#include "tests/objects/ObjectTestUtil.h"

#include <gtest/gtest.h>

using objtest::Bgra;
using objtest::kWhite;
using objtest::PixelAt;

namespace {

constexpr Bgra kGrey { 128, 128, 128, 255 };
constexpr Bgra kYellow { 0, 255, 255, 255 };

TextObject MakeText(const QString& text, ImageRect rect)
{
    TextObject object;
    object.text = text;
    object.SetRect(rect);
    object.backColour = 0x00FFFF; // yellow
    object.textColour = 0x000000;
    object.fontFace = QStringLiteral("DejaVu Sans");
    return object;
}

ImageBuffer Render(const TextObject& object, Bgra background = kGrey, int width = 200, int height = 120)
{
    ImageBuffer target = objtest::SolidImage(width, height, background);
    ObjectRenderer::RenderObject(object, target);
    return target;
}

// The box of the pixels that are neither the background nor the box colour: the ink.
ImageRect InkBounds(const ImageBuffer& image, Bgra background)
{
    return objtest::ChangedBounds(image, background);
}

} // namespace

TEST(TextObjectRenderTest, TransparentBoxShowsOnlyTheGlyphs)
{
    TextObject text = MakeText(QStringLiteral("Hello"), { 20, 20, 180, 100 });
    text.boxStyle = TextObject::kTransparentBox;
    const ImageBuffer target = Render(text);
    const int ink = objtest::CountChanged(target, kGrey);
    EXPECT_GT(ink, 40);
    EXPECT_LT(ink, 160 * 80 / 4);
    // Every changed pixel moved toward the black text colour.
    for (int y = 0; y < target.Height(); ++y)
        for (int x = 0; x < target.Width(); ++x) {
            const Bgra p = PixelAt(target, x, y);
            ASSERT_TRUE(p.r <= 128 && p.g <= 128 && p.b <= 128 && p.a == 255) << x << ", " << y;
        }
    EXPECT_EQ(PixelAt(target, 21, 98), kGrey);
}

TEST(TextObjectRenderTest, SolidBoxCoversTheImageWithItsBackColour)
{
    const TextObject text = MakeText(QStringLiteral("Hello"), { 20, 20, 180, 100 });
    const ImageBuffer target = Render(text);
    EXPECT_EQ(objtest::ChangedBounds(target, kGrey), (ImageRect { 20, 20, 180, 100 }));
    EXPECT_EQ(PixelAt(target, 20, 20), kYellow);
    EXPECT_EQ(PixelAt(target, 179, 99), kYellow);
    EXPECT_GT(objtest::CountChanged(target, kYellow), 200 * 120 - 160 * 80 + 40); // grey outside plus the glyphs
}

TEST(TextObjectRenderTest, EmptyTextStillPaintsASolidBackground)
{
    TextObject text = MakeText(QString(), { 10, 10, 60, 40 });
    const ImageBuffer solid = Render(text);
    EXPECT_EQ(objtest::ChangedBounds(solid, kGrey), (ImageRect { 10, 10, 60, 40 }));
    EXPECT_EQ(objtest::CountChanged(solid, kYellow), 200 * 120 - 50 * 30);

    text.boxStyle = TextObject::kTransparentBox;
    EXPECT_EQ(objtest::CountChanged(Render(text), kGrey), 0);
}

TEST(TextObjectRenderTest, TextStartsAtTheTopAndFollowsTheAlignment)
{
    // One short word in a wide, tall box: its ink sits in the top rows, at the left, in the middle or at
    // the right.
    TextObject text = MakeText(QStringLiteral("Word"), { 0, 0, 300, 200 });
    text.backColour = 0xFFFFFF;
    ImageRect boxes[3];
    for (int alignment = 0; alignment < 3; ++alignment) {
        text.alignment = alignment;
        boxes[alignment] = InkBounds(Render(text, kWhite, 300, 200), kWhite);
        ASSERT_FALSE(boxes[alignment].IsEmpty());
        EXPECT_LT(boxes[alignment].top, 10);
        EXPECT_LT(boxes[alignment].bottom, 30);
    }
    EXPECT_LT(boxes[0].left, 10);
    EXPECT_NEAR((boxes[1].left + boxes[1].right) / 2, 150, 4);
    EXPECT_GT(boxes[2].right, 290);
    EXPECT_EQ(boxes[0].Width(), boxes[2].Width());
}

TEST(TextObjectRenderTest, SizeIsInPoints)
{
    // 16 points at 96 dots per inch are 21.3 pixels; a capital H of DejaVu Sans is 0.73 em tall, about
    // 15.5 pixels (16 pixels would give 11.7). At 32 points it is twice as tall.
    TextObject text = MakeText(QStringLiteral("H"), { 0, 0, 200, 120 });
    text.backColour = 0xFFFFFF;
    const ImageRect small = InkBounds(Render(text, kWhite), kWhite);
    EXPECT_GE(small.Height(), 14);
    EXPECT_LE(small.Height(), 17);
    text.fontSize = 32;
    const ImageRect large = InkBounds(Render(text, kWhite), kWhite);
    EXPECT_NEAR(large.Height(), 2 * small.Height(), 2);
}

TEST(TextObjectRenderTest, StylesChangeTheGlyphs)
{
    TextObject text = MakeText(QStringLiteral("Style"), { 0, 0, 200, 60 });
    text.backColour = 0xFFFFFF;
    text.alignment = TextObject::kAlignLeft;
    const ImageBuffer regular = Render(text, kWhite, 200, 60);
    const int regularInk = objtest::CountChanged(regular, kWhite);

    text.bold = true;
    EXPECT_GT(objtest::CountChanged(Render(text, kWhite, 200, 60), kWhite), regularInk * 11 / 10);
    text.bold = false;

    text.italic = true;
    const ImageBuffer italic = Render(text, kWhite, 200, 60);
    EXPECT_GT(objtest::CountDifferent(italic, regular), 20);
    text.italic = false;

    // An underline is one long run of ink below the letters.
    text.underline = true;
    const ImageBuffer underlined = Render(text, kWhite, 200, 60);
    const ImageRect letters = InkBounds(regular, kWhite);
    bool found = false;
    for (int y = letters.top; y < 60 && !found; ++y) {
        int run = 0;
        for (int x = letters.left; x < letters.right; ++x)
            run += PixelAt(underlined, x, y) == kWhite ? 0 : 1;
        found = run == letters.Width() && PixelAt(regular, letters.left + 1, y) == kWhite;
    }
    EXPECT_TRUE(found);
}

TEST(TextObjectRenderTest, SeveralLinesAndWrapping)
{
    TextObject text = MakeText(QStringLiteral("one\r\ntwo\nthree"), { 0, 0, 200, 120 });
    text.backColour = 0xFFFFFF;
    const ImageRect threeLines = InkBounds(Render(text, kWhite), kWhite);
    text.text = QStringLiteral("one");
    const ImageRect oneLine = InkBounds(Render(text, kWhite), kWhite);
    EXPECT_GT(threeLines.Height(), 2 * oneLine.Height() + 20);

    // Words that do not fit the width go onto the next line.
    text.text = QStringLiteral("alpha beta gamma delta");
    text.SetRect({ 0, 0, 70, 120 });
    const ImageRect wrapped = InkBounds(Render(text, kWhite), kWhite);
    EXPECT_GT(wrapped.Height(), 3 * oneLine.Height());
    EXPECT_LE(wrapped.right, 70);
}

// The same text drawn with two faces must give the same picture; pictures are saved when they differ.
TEST(TextObjectRenderTest, MissingFaceFallsBackToTheGenericSansSerif)
{
    TextObject text = MakeText(QStringLiteral("Fallback Ag"), { 0, 0, 200, 60 });
    text.fontFace = QStringLiteral("No Such Face Lumora");
    const ImageBuffer missing = Render(text, kWhite, 200, 60);
    text.fontFace = FontResolver::GenericSansSerif();
    const ImageBuffer generic = Render(text, kWhite, 200, 60);
    EXPECT_TRUE(objtest::SamePicture(missing, generic, "fallback"));

    // The comparison can tell faces apart.
    text.fontFace = QStringLiteral("Liberation Serif");
    EXPECT_GT(objtest::CountDifferent(Render(text, kWhite, 200, 60), generic), 20);
}

TEST(TextObjectRenderTest, ArialIsDrawnWithItsMetricCompatibleFace)
{
    TextObject text = MakeText(QStringLiteral("Arial Ag"), { 0, 0, 200, 60 });
    text.fontFace = QStringLiteral("Arial");
    const ImageBuffer arial = Render(text, kWhite, 200, 60);
    text.fontFace = QStringLiteral("Liberation Sans");
    EXPECT_TRUE(objtest::SamePicture(arial, Render(text, kWhite, 200, 60), "arial"));
    EXPECT_NE(FontResolver::Resolve(QStringLiteral("Arial")), FontResolver::GenericSansSerif());
}
