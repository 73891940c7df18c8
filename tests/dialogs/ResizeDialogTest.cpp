#include "app/DialogCommands.h"
#include "imaging/dialogs/CResizeDlg.h"
#include "tests/dialogs/DialogTestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using testutil::Bgra;
using testutil::MakeImage;
using testutil::PixelAt;

namespace {

TEST(CResizeDlg, KeepAspectRoundsHalfAwayFromZero)
{
    struct Case {
        int typed, openingTyped, openingOther, expected;
    };
    const Case cases[] = {
        { 150, 200, 100, 75 }, { 3, 200, 100, 2 }, // 1.5 rounds up
        { 1, 200, 100, 1 }, // 0.5 rounds up
        { 75, 100, 200, 150 }, { 0, 200, 100, 0 }, { -3, 200, 100, -2 }, // away from zero on the negative side too
        { 40000, 3, 100000, 1333333333 }, // the product is taken in 64 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(CResizeDlg::KeepAspect(c.typed, c.openingTyped, c.openingOther), c.expected) << c.typed;
}

TEST(CResizeDlg, TypingOneSideSetsTheOtherOnlyWhileKeepingTheAspect)
{
    CResizeDlg dialog(200, 100);
    dialog.show();
    SaveScreenshot(dialog, "resize_146");
    EXPECT_EQ(dialog.KeepAspectCheck()->text(), "Keep Aspect Radio");
    EXPECT_TRUE(dialog.BetterRadio()->isChecked());
    dialog.WidthEdit()->clear();
    QTest::keyClicks(dialog.WidthEdit(), "150");
    EXPECT_EQ(dialog.HeightEdit()->text(), "75");
    EXPECT_EQ(dialog.WidthEdit()->text(), "150"); // no echo back into the typed edit
    dialog.HeightEdit()->clear();
    QTest::keyClicks(dialog.HeightEdit(), "50");
    EXPECT_EQ(dialog.WidthEdit()->text(), "100");

    dialog.KeepAspectCheck()->setChecked(false);
    dialog.WidthEdit()->clear();
    QTest::keyClicks(dialog.WidthEdit(), "7");
    EXPECT_EQ(dialog.HeightEdit()->text(), "50");
    dialog.GoodRadio()->click();
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.NewWidth(), 7);
    EXPECT_EQ(dialog.NewHeight(), 50);
    EXPECT_EQ(dialog.Quality(), 0);
}

// Runs "Resize..." on document, filling in the dialog with width, height and quality.
void RunResize(CKestrelDoc& document, int width, int height, bool better)
{
    WhenModal<CResizeDlg>([=](CResizeDlg& dialog) {
        dialog.KeepAspectCheck()->setChecked(false);
        dialog.WidthEdit()->setText(QString::number(width));
        dialog.HeightEdit()->setText(QString::number(height));
        (better ? dialog.BetterRadio() : dialog.GoodRadio())->setChecked(true);
        dialog.accept();
    });
    DialogCommands::Run(document, 20009, nullptr);
}

TEST(ResizeCommandFlow, GoodDoublingRepeatsEveryPixel)
{
    const ImageBuffer original = MakeImage(3, 2, 32);
    auto document = MakeDocument(original);
    RunResize(*document, 6, 4, false);
    ASSERT_EQ(document->Image().Width(), 6);
    ASSERT_EQ(document->Image().Height(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PixelAt(document->Image(), x, y), PixelAt(original, x / 2, y / 2)) << x << "," << y;
    EXPECT_EQ(document->History().UndoCount(), 1u);
}

TEST(ResizeCommandFlow, BetterOnOnePixelGivesThatPixelEverywhere)
{
    const Bgra colour { 12, 34, 56, 255 };
    auto document = MakeDocument(MakeImage(1, 1, 32, [&](int, int) { return colour; }));
    RunResize(*document, 5, 3, true);
    ASSERT_EQ(document->Image().Width(), 5);
    ASSERT_EQ(document->Image().Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(PixelAt(document->Image(), x, y), colour);
}

TEST(ResizeCommandFlow, SizeBeyondMemoryLeavesTheDocumentAsItWasAndSaysSo)
{
    const ImageBuffer original = MakeImage(4, 3, 32);
    auto document = MakeDocument(original);
    QString said;
    // The message comes up after the resize dialog has closed.
    WhenModal<CResizeDlg>([&](CResizeDlg& dialog) {
        dialog.KeepAspectCheck()->setChecked(false);
        dialog.WidthEdit()->setText("200000");
        dialog.HeightEdit()->setText("200000");
        WhenModal<QMessageBox>([&](QMessageBox& box) {
            said = box.text();
            box.accept();
        });
        dialog.accept();
    });
    DialogCommands::Run(*document, 20009, nullptr);
    EXPECT_TRUE(said.contains("200000 x 200000")) << said.toStdString();
    EXPECT_TRUE(SamePixels(document->Image(), original));
    EXPECT_FALSE(document->CanUndo());
}

TEST(ResizeCommandFlow, CancelOnlyNormalisesTheImage)
{
    ImageBuffer original = MakeImage(4, 3, 32, [](int, int) { return Bgra { 1, 2, 3, 0 }; });
    auto document = MakeDocument(original);
    WhenModal<CResizeDlg>([](CResizeDlg& dialog) { dialog.reject(); });
    DialogCommands::Run(*document, 20009, nullptr);
    EXPECT_EQ(document->Image().Width(), 4);
    EXPECT_EQ(PixelAt(document->Image(), 2, 2), (Bgra { 1, 2, 3, 255 }));
    EXPECT_FALSE(document->CanUndo());
}

TEST(DialogCommands, AdjustmentCommandsOpenTheirTemplateAndNormaliseAfterwards)
{
    struct Case {
        int command;
        const char* caption;
    };
    // The menu's "Noisy" opens "Blot" and the other way round.
    const Case cases[] = { { 20002, "Rotate" }, { 20014, "Color Tone" }, { 20016, "RGB Value" },
        { 20017, "Color level" }, { 20033, "Blot" }, { 20034, "Noisy" }, { 20035, "Emboss" }, { 20036, "Oil Paint" },
        { 20037, "Splash" }, { 20038, "Posterize" }, { 20040, "Mosaic" }, { 20050, "3D Grid" },
        { 20012, "Hue/Saturation" }, { 20010, "Brightness/Contrast" } };
    for (const Case& c : cases) {
        auto document = MakeDocument(MakeImage(300, 200, 32, [](int x, int y) {
            return Bgra { uint8_t(x), uint8_t(y), 7, 0 };
        }));
        QString caption;
        WhenModal<QDialog>([&](QDialog& dialog) {
            caption = dialog.windowTitle();
            SaveScreenshot(dialog, dialog.objectName());
            dialog.reject();
        });
        EXPECT_TRUE(DialogCommands::Run(*document, c.command, nullptr));
        EXPECT_EQ(caption, c.caption);
        EXPECT_FALSE(document->CanUndo());
        // Hue/saturation and brightness/contrast leave the image as Cancel restored it.
        const bool normalised = c.command != 20012 && c.command != 20010;
        EXPECT_EQ(PixelAt(document->Image(), 1, 1).a, normalised ? 255 : 0) << c.command;
    }
    auto document = MakeDocument(MakeImage(8, 6, 32));
    EXPECT_FALSE(DialogCommands::Run(*document, 20020, nullptr));

    // Hue/saturation's OK is an image command of its own: one step, and normalised.
    auto adjusted = MakeDocument(MakeImage(8, 6, 32, [](int, int) { return Bgra { 10, 20, 30, 0 }; }));
    WhenModal<QDialog>([](QDialog& dialog) { dialog.accept(); });
    EXPECT_TRUE(DialogCommands::Run(*adjusted, 20012, nullptr));
    EXPECT_EQ(adjusted->History().UndoCount(), 1u);
    EXPECT_EQ(PixelAt(adjusted->Image(), 1, 1).a, 255);
}

} // namespace
