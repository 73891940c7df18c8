#include "ocr/TextRecognizer.h"
#include "ocr/OcrPage.h"

#include "TextPicture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

TEST(TextRecognizerTest, ReadsScreenTextOfEachFontSizeAndPolarityAlmostWithoutError)
{
    const textpicture::Style styles[] = {
        { "Liberation Sans", 12, false },
        { "Liberation Sans", 12, true },
        { "Liberation Sans", 16, false },
        { "Liberation Sans", 16, true },
        { "DejaVu Sans Mono", 12, false },
        { "DejaVu Sans Mono", 12, true },
        { "DejaVu Sans Mono", 16, false },
        { "DejaVu Sans Mono", 16, true },
    };
    TextRecognizer recognizer;
    ASSERT_TRUE(recognizer.Ready()) << "English data (tesseract-ocr-eng) is not installed";
    for (const textpicture::Style& style : styles) {
        SCOPED_TRACE(testing::Message() << style.family << " " << style.pixelSize << " px"
                                        << (style.lightOnDark ? " light on dark" : " dark on light"));
        QStringList lines;
        const ImageBuffer picture = textpicture::Paragraph(style, 640, &lines);
        const TextRecognizer::Result result = recognizer.Read(picture);
        ASSERT_EQ(result.outcome, TextRecognizer::Outcome::Read);
        const QString read = QString::fromStdString(result.text);
        EXPECT_GE(textpicture::CharacterAccuracy(lines.join(' '), read), 0.98) << read.toStdString();
        // Lines stay lines: the paragraph is not run together into one.
        EXPECT_GE(read.count('\n'), lines.size() - 1);
    }
}

TEST(TextRecognizerTest, ReadsALightWindowOnADarkDesktopAndADarkPanelBesideIt)
{
    // A screen of mixed grounds: the commonest colour of the whole picture is not every text's ground.
    QStringList light;
    QStringList dark;
    const ImageBuffer window = textpicture::Paragraph({ "Liberation Sans", 12, false }, 560, &light);
    const ImageBuffer panel = textpicture::Paragraph({ "DejaVu Sans Mono", 12, true }, 420, &dark);
    ImageBuffer screen;
    ASSERT_TRUE(screen.Create(1280, 720, 24));
    std::fill(screen.Pixels(), screen.Pixels() + screen.PixelBytes(), uint8_t(0x10));
    ASSERT_TRUE(screen.Paste(window, 100, 300));
    ASSERT_TRUE(screen.Paste(panel, 100, 40));

    TextRecognizer recognizer;
    const QString read = QString::fromStdString(recognizer.Read(screen).text);
    EXPECT_GE(textpicture::CharacterAccuracy(dark.join(' ') + ' ' + light.join(' '), read), 0.95) << read.toStdString();
}

TEST(TextRecognizerTest, ReportsProgressAndStopsWhenCancelled)
{
    TextRecognizer recognizer;
    ASSERT_TRUE(recognizer.Ready());
    const ImageBuffer picture = textpicture::Paragraph({ "Liberation Sans", 16, false }, 640);

    int last = -1;
    bool rising = true;
    const TextRecognizer::Result read = recognizer.Read(picture, [&](int percent) {
        rising = rising && percent >= last;
        last = percent;
    });
    EXPECT_EQ(read.outcome, TextRecognizer::Outcome::Read);
    EXPECT_TRUE(rising);
    EXPECT_EQ(last, 100);

    std::atomic<bool> cancel { true };
    const TextRecognizer::Result cancelled = recognizer.Read(picture, {}, &cancel);
    EXPECT_EQ(cancelled.outcome, TextRecognizer::Outcome::Cancelled);
    EXPECT_TRUE(cancelled.text.empty());
    // The recogniser is still good for the next picture.
    EXPECT_EQ(recognizer.Read(picture).outcome, TextRecognizer::Outcome::Read);
}

TEST(TextRecognizerTest, WithoutLanguageDataNothingIsListedAndReadingSaysSo)
{
    QTemporaryDir empty;
    const char* before = std::getenv("TESSDATA_PREFIX");
    const std::string saved = before ? before : "";
    setenv("TESSDATA_PREFIX", empty.path().toLocal8Bit().constData(), 1);
    const std::vector<std::string> languages = TextRecognizer::AvailableLanguages();
    TextRecognizer recognizer;
    const TextRecognizer::Result result
        = recognizer.Read(textpicture::Paragraph({ "Liberation Sans", 16, false }, 320));
    if (before)
        setenv("TESSDATA_PREFIX", saved.c_str(), 1);
    else
        unsetenv("TESSDATA_PREFIX");

    EXPECT_TRUE(languages.empty());
    EXPECT_FALSE(recognizer.Ready());
    EXPECT_EQ(result.outcome, TextRecognizer::Outcome::NoLanguageData);
    const std::vector<std::string> installed = TextRecognizer::AvailableLanguages();
    EXPECT_NE(std::find(installed.begin(), installed.end(), "eng"), installed.end());
    EXPECT_EQ(std::find(installed.begin(), installed.end(), "osd"), installed.end());
}

} // namespace

TEST(TextRecognizerTest, TinyTextOnA4KScreenIsEnlargedOnlyAsFarAsMemoryAllows)
{
    const textpicture::Style tiny { "Liberation Sans", 7, false };
    QStringList lines;
    // A blank line between lines of text, so that each line stands apart as on most screens.
    for (int i = 0; i < 150; ++i)
        lines << textpicture::kParagraph << QString();
    const ImageBuffer screen = textpicture::Render(lines, tiny, 3840, 2160);
    const OcrPage page = TextRecognizer().Prepare(screen);
    EXPECT_GT(page.Width(), screen.Width());
    EXPECT_LE(double(page.Width()) * page.Height(), 40e6);
}
