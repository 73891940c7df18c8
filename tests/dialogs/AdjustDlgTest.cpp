#include "imaging/dialogs/AdjustDlg.h"
#include "imaging/colour/PosterizeEffect.h"
#include "imaging/dialogs/CBrightConDlg.h"
#include "imaging/dialogs/HueStrip.h"
#include "imaging/dialogs/LiveDocumentPreview.h"
#include "imaging/dialogs/PreviewPicture.h"
#include "imaging/filters/OilPaintEffect.h"
#include "tests/dialogs/DialogTestSupport.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSlider>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using testutil::Bgra;
using testutil::MakeImage;
using testutil::PixelAt;

namespace {

Bgra Opaque(Bgra c)
{
    return { c.b, c.g, c.r, 255 };
}

ImageBuffer Gradient(int w, int h)
{
    return MakeImage(w, h, 32, [](int x, int y) {
        return Bgra { uint8_t(x * 7), uint8_t(y * 5), uint8_t(x + y), 255 };
    });
}

QColor ShownAt(QWidget& dialog, QPoint point)
{
    return dialog.grab().toImage().pixelColor(point);
}

struct ScaleCase {
    int width, height;
    double scale;
    int thumbWidth, thumbHeight;
};

class AdjustDlgScale : public ::testing::TestWithParam<ScaleCase> { };

TEST_P(AdjustDlgScale, ThumbnailFitsTheAreaByTheSmallerRatioAndIsDrawnCentred)
{
    const ScaleCase c = GetParam();
    auto document = MakeDocument(MakeImage(c.width, c.height, 32, [](int, int) { return Bgra { 0, 0, 200, 255 }; }));
    AdjustDlg dialog(document->target, 172); // opens with no change to the picture
    dialog.show();
    EXPECT_DOUBLE_EQ(dialog.PreviewScale(), c.scale);
    EXPECT_EQ(dialog.Thumbnail().Width(), c.thumbWidth);
    EXPECT_EQ(dialog.Thumbnail().Height(), c.thumbHeight);
    EXPECT_EQ(dialog.Thumbnail().BitCount(), 24);

    // The picture sits in the middle of the area; around it the area's own fill shows.
    const QRect area = dialog.PreviewArea();
    EXPECT_EQ(ShownAt(dialog, area.center()), QColor(200, 0, 0));
    if (c.thumbWidth < area.width()) {
        EXPECT_EQ(ShownAt(dialog, area.topLeft() + QPoint(1, area.height() / 2)), PreviewPicture::AreaFill());
    }
    EXPECT_EQ(ShownAt(dialog, area.topLeft() - QPoint(1, 1)), PreviewPicture::Frame());
}

INSTANTIATE_TEST_SUITE_P(Sizes, AdjustDlgScale,
    ::testing::Values(ScaleCase { 100, 50, 1, 100, 50 }, ScaleCase { 280, 210, 1, 280, 210 },
        ScaleCase { 1120, 420, 0.25, 280, 105 }, ScaleCase { 400, 840, 0.25, 100, 210 }));

TEST(AdjustDlg, ColorLevelOpensUnchangedAndTheChannelRadioRefreshesAtOnce)
{
    auto document = MakeDocument(Gradient(40, 30));
    AdjustDlg dialog(document->target, 172);
    dialog.show();
    SaveScreenshot(dialog, "adjust_172_color_level");
    EXPECT_EQ(dialog.windowTitle(), "Color level");
    ImageBuffer unchanged = dialog.Thumbnail();
    unchanged.ConvertTo(32);
    unchanged.SetAlpha(0);
    ImageBuffer shown = dialog.Preview();
    shown.SetAlpha(0);
    EXPECT_TRUE(SamePixels(shown, unchanged));

    // Move "Down" without a refresh, then let the "R" radio alone bring it in: only red stretches.
    dialog.Trackbar(0)->blockSignals(true);
    dialog.Trackbar(0)->setValue(100);
    dialog.Trackbar(0)->blockSignals(false);
    dialog.findChild<QRadioButton*>("control1019")->click();
    EXPECT_EQ(dialog.Values().channel, 1);
    EXPECT_EQ(dialog.Values().first, 100);
    const Bgra before = PixelAt(unchanged, 10, 10);
    const Bgra after = PixelAt(dialog.Preview(), 10, 10);
    EXPECT_EQ(after.b, before.b);
    EXPECT_EQ(after.g, before.g);
    EXPECT_NE(after.r, before.r);
}

struct LiveCase {
    int templateId;
    int value;
};

class AdjustDlgLive : public ::testing::TestWithParam<LiveCase> { };

TEST_P(AdjustDlgLive, PreviewShowsOnTheDocumentCancelRestoresOkRecordsOneEntry)
{
    const LiveCase c = GetParam();
    const ImageBuffer original = Gradient(60, 40);
    auto document = MakeDocument(original);
    {
        AdjustDlg dialog(document->target, c.templateId);
        dialog.PreviewCheck()->setChecked(true);
        dialog.Trackbar(0)->setValue(c.value);
        ASSERT_TRUE(WaitUntil([&] { return !dialog.Live().IsBusy(); }));
        EXPECT_FALSE(SamePixels(document->Image(), original));
        dialog.reject();
        EXPECT_TRUE(SamePixels(document->Image(), original));
        EXPECT_FALSE(document->CanUndo());
    }
    AdjustDlg dialog(document->target, c.templateId);
    dialog.PreviewCheck()->setChecked(true);
    dialog.Trackbar(0)->setValue(c.value);
    dialog.accept();
    EXPECT_EQ(document->History().UndoCount(), 1u);
    // The entry takes the document back to where the dialog found it.
    document->Undo();
    EXPECT_TRUE(SamePixels(document->Image(), original));
}

INSTANTIATE_TEST_SUITE_P(Templates, AdjustDlgLive,
    ::testing::Values(LiveCase { 195, 2 }, LiveCase { 201, 30 }, LiveCase { 192, 5 }, LiveCase { 173, 90 }));

TEST(AdjustDlg, RotatePreviewChangesTheDocumentSizeAndAlwaysFitsWithBlackCorners)
{
    auto document = MakeDocument(MakeImage(400, 300, 32, [](int, int) { return Bgra { 255, 255, 255, 255 }; }));
    AdjustDlg dialog(document->target, 201);
    dialog.show();
    dialog.PreviewCheck()->setChecked(true);
    for (int angle : { 0, 45, 90, 135, 200, 360 }) {
        dialog.Trackbar(0)->setValue(angle);
        const QRect placed = PreviewPicture::Placement(
            dialog.PreviewArea(), QSize(dialog.Preview().Width(), dialog.Preview().Height()), true);
        EXPECT_TRUE(dialog.PreviewArea().contains(placed)) << angle;
    }
    dialog.Trackbar(0)->setValue(45);
    ASSERT_TRUE(WaitUntil([&] { return !dialog.Live().IsBusy(); }));
    SaveScreenshot(dialog, "adjust_201_rotate");
    EXPECT_GT(document->Image().Width(), 400);
    EXPECT_EQ(Opaque(PixelAt(dialog.Preview(), 0, 0)), (Bgra { 0, 0, 0, 255 }));
    EXPECT_EQ(PixelAt(dialog.Preview(), dialog.Preview().Width() / 2, dialog.Preview().Height() / 2).r, 255);
}

TEST(AdjustDlg, DraggingOverTheHueStripPicksColoursAndLeavingItKeepsTheLast)
{
    auto document = MakeDocument(Gradient(50, 50));
    AdjustDlg dialog(document->target, 200);
    dialog.show();
    SaveScreenshot(dialog, "adjust_200_color_tone");
    EXPECT_EQ(dialog.Values().toneRed, 254);
    EXPECT_EQ(dialog.Values().toneGreen, 168);
    EXPECT_EQ(dialog.Values().toneBlue, 33);
    HueStrip* strip = dialog.Strip();
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, strip->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(strip, &event);
    };
    send(QEvent::MouseButtonPress, { 10, 5 }, Qt::LeftButton);
    EXPECT_EQ(dialog.Values().toneRed, HueStrip::ColumnColour(10).red());
    const uint8_t firstPreview = PixelAt(dialog.Preview(), 20, 20).b;
    send(QEvent::MouseMove, { 150, 20 }, Qt::LeftButton);
    const QColor picked = HueStrip::ColumnColour(150);
    EXPECT_EQ(QColor(dialog.Values().toneRed, dialog.Values().toneGreen, dialog.Values().toneBlue), picked);
    EXPECT_NE(PixelAt(dialog.Preview(), 20, 20).b, firstPreview);
    // Outside the strip nothing is picked, held button or not.
    send(QEvent::MouseMove, { 150, 60 }, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, { 300, 60 }, Qt::NoButton);
    send(QEvent::MouseMove, { 30, 5 }, Qt::NoButton);
    EXPECT_EQ(QColor(dialog.Values().toneRed, dialog.Values().toneGreen, dialog.Values().toneBlue), picked);
}

TEST(HueStrip, EveryColumnIsASaturatedHueFromCyanRoundToCyan)
{
    EXPECT_EQ(HueStrip::ColumnColour(0), QColor(33, 254, 254));
    EXPECT_EQ(HueStrip::ColumnColour(HueStrip::kWidth / 2), QColor(254, 33, 33)); // red halfway
    int previousHue = -1;
    for (int x = 0; x < HueStrip::kWidth; ++x) {
        const QColor c = HueStrip::ColumnColour(x);
        EXPECT_EQ(std::max({ c.red(), c.green(), c.blue() }), 254) << x;
        EXPECT_EQ(std::min({ c.red(), c.green(), c.blue() }), 33) << x;
        // Hues only move one way round the circle.
        const int hue = (c.hue() - 180 + 360) % 360;
        EXPECT_GE(hue, previousHue) << x;
        previousHue = hue;
    }
}

TEST(LiveDocumentPreview, RequestsWhileBusyReplaceEachOtherAndOnlyTheNewestRuns)
{
    const ImageBuffer original = Gradient(900, 700);
    auto document = MakeDocument(original);
    LiveDocumentPreview live(document->target, original);
    int applied = 0;
    QObject::connect(&live, &LiveDocumentPreview::Applied, [&] { ++applied; });
    for (int radius : { 6, 4, 3, 2 }) {
        LiveDocumentPreview::Effects effects;
        effects.push_back(std::make_unique<OilPaintEffect>(radius));
        live.Request(std::move(effects));
    }
    EXPECT_TRUE(live.IsBusy());
    EXPECT_TRUE(live.HasWaiting());
    ASSERT_TRUE(WaitUntil([&] { return !live.IsBusy(); }, 60000));
    EXPECT_EQ(applied, 2); // the first, then only the newest
    ImageBuffer expected = original;
    OilPaintEffect newest(2);
    expected.ApplyEffect(newest);
    EXPECT_TRUE(SamePixels(document->Image(), expected));
}

TEST(LiveDocumentPreview, StopLeavesTheDocumentAsItIs)
{
    const ImageBuffer original = Gradient(900, 700);
    auto document = MakeDocument(original);
    LiveDocumentPreview live(document->target, original);
    LiveDocumentPreview::Effects effects;
    effects.push_back(std::make_unique<OilPaintEffect>(8));
    live.Request(std::move(effects));
    live.Stop();
    EXPECT_FALSE(live.IsBusy());
    QApplication::processEvents();
    EXPECT_TRUE(SamePixels(document->Image(), original));
}

TEST(CBrightConDlg, OpensWithoutRefreshAndOkRecordsTwoEntries)
{
    const ImageBuffer original = Gradient(80, 60);
    auto document = MakeDocument(original);
    CBrightConDlg dialog(document->target);
    dialog.show();
    SaveScreenshot(dialog, "brightness_contrast_171");
    EXPECT_TRUE(SamePixels(dialog.Preview(), original));
    dialog.PreviewCheck()->setChecked(true);
    dialog.BrightnessBar()->setValue(150);
    dialog.ContrastBar()->setValue(60);
    ASSERT_TRUE(WaitUntil([&] { return !dialog.Live().IsBusy(); }));
    EXPECT_FALSE(SamePixels(document->Image(), original));
    dialog.accept();
    EXPECT_EQ(document->History().UndoCount(), 2u);
    const ImageBuffer result = document->Image();
    document->Undo();
    document->Undo();
    EXPECT_TRUE(SamePixels(document->Image(), original));
    EXPECT_FALSE(SamePixels(result, original));
}

} // namespace
