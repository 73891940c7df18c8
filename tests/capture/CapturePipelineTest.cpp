#include "ImageTestUtil.h"
#include "platform/GrabScreenRect.h"
#include "tests/capture/CaptureFakes.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// An 8-bpp image (grey palette, all pixels 0).
ImageBuffer PaletteImage(int width, int height)
{
    ImageBuffer image;
    image.Create(width, height, 8);
    return image;
}

using testutil::Bgra;

// The colour of a pixel without alpha: documents hold 32 bpp, the screen and the clipboard 24.
Bgra Colour(const ImageBuffer& image, int x, int y)
{
    Bgra c = testutil::PixelAt(image, x, y);
    c.a = 0;
    return c;
}

// The fake screen: 64 x 48 with a colour that differs at every position.
ImageBuffer ScreenImage()
{
    return testutil::MakeImage(64, 48, 24);
}

// Expects image to show the fake screen's rectangle, pixel for pixel.
void ExpectShowsScreen(const ImageBuffer& image, const ImageBuffer& screen, const ImageRect& rect)
{
    ASSERT_GE(image.BitCount(), 24);
    ASSERT_EQ(image.Width(), rect.Width());
    ASSERT_EQ(image.Height(), rect.Height());
    for (int y = 0; y < rect.Height(); ++y)
        for (int x = 0; x < rect.Width(); ++x)
            ASSERT_EQ(Colour(image, x, y), Colour(screen, rect.left + x, rect.top + y)) << x << "," << y;
}

class CapturePipelineTest : public ::testing::Test {
protected:
    CapturePipelineTest() { rig.settings.CapAppViewMode = int(ViewMode::NewWindow); }

    const ImageBuffer& Captured() const { return rig.documents.documents.back().image; }

    fakes::Rig rig { ScreenImage() };
};

TEST_F(CapturePipelineTest, GrabScreenRect_RefusesEmptyRectanglesAndShallowScreens)
{
    ImageBuffer image = testutil::MakeImage(3, 2, 32);
    EXPECT_FALSE(GrabScreenRect(image, rig.screen, 10, 10, 10, 20));
    EXPECT_FALSE(GrabScreenRect(image, rig.screen, 10, 10, 5, 20));
    rig.screen.SetBitsPerPixel(8);
    EXPECT_FALSE(GrabScreenRect(image, rig.screen, 0, 0, 4, 4));
    // The image is left as it was.
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.BitCount(), 32);
    rig.screen.SetBitsPerPixel(16);
    ASSERT_TRUE(GrabScreenRect(image, rig.screen, 2, 3, 12, 9));
    ExpectShowsScreen(image, rig.screen.Image(), { 2, 3, 12, 9 });
}

TEST_F(CapturePipelineTest, GrabScreenRect_LeavesOffScreenPartsBlack)
{
    ImageBuffer image;
    ASSERT_TRUE(GrabScreenRect(image, rig.screen, 60, -2, 66, 3));
    EXPECT_EQ(Colour(image, 0, 0), (Bgra { 0, 0, 0, 0 }));
    EXPECT_EQ(Colour(image, 3, 2), Colour(rig.screen.Image(), 63, 0));
    EXPECT_EQ(Colour(image, 4, 2), (Bgra { 0, 0, 0, 0 }));
}

TEST_F(CapturePipelineTest, FullScreen_WaitsTheDelayAndCapturesTheWholeScreen)
{
    rig.settings.CapDelayTime = 900;
    EXPECT_EQ(rig.Pipeline().CaptureFullScreen(), 1);
    EXPECT_EQ(rig.log, (fakes::Log { "sleep 900", "new document", "editor", "minimise" }));
    ExpectShowsScreen(Captured(), rig.screen.Image(), { 0, 0, 64, 48 });
}

TEST_F(CapturePipelineTest, FullScreen_HidesAndRestoresAsConfigured)
{
    rig.settings.HideWndBeforCap = 1;
    rig.settings.RestoreWndAftCap = 1;
    rig.settings.CapAppViewMode = int(ViewMode::DoNotExport);
    rig.Pipeline().CaptureFullScreen();
    EXPECT_EQ(rig.log, (fakes::Log { "hide", "sleep 800", "show" }));
}

TEST_F(CapturePipelineTest, FullScreen_AlwaysReportsACaptureEvenWhenTheScreenCannotBeRead)
{
    rig.screen.SetBitsPerPixel(8);
    rig.settings.CopyToClipboard = 1;
    EXPECT_EQ(rig.Pipeline().CaptureFullScreen(), 1);
    // No clipboard step for an image without pixels; the editor still gets its (unchanged) document.
    EXPECT_EQ(rig.log, (fakes::Log { "sleep 800", "new document", "editor", "minimise" }));
    EXPECT_TRUE(Captured().IsEmpty());
    EXPECT_TRUE(rig.documents.documents.back().modified);
}

TEST_F(CapturePipelineTest, DelayOverride_ReplacesTheConfiguredWait)
{
    CapturePipeline pipeline = rig.Pipeline();
    pipeline.SetDelayOverride(0);
    pipeline.CaptureFullScreen();
    EXPECT_EQ(rig.log.front(), "new document");
}

TEST_F(CapturePipelineTest, DeliverCapture_RunsClipboardEditorAndFileInOrder)
{
    QTemporaryDir dir;
    rig.settings.CopyToClipboard = 1;
    rig.settings.PlaySoundWhenCap = 1;
    rig.settings.IsAudoSave = 1;
    rig.settings.ImageSavePath = dir.path().toStdString();
    rig.Pipeline().CaptureFullScreen();
    const std::string file = dir.path().toStdString() + "/Snap1.bmp";
    EXPECT_EQ(rig.log,
        (fakes::Log { "sleep 800", "clipboard", "sound /opt/lumora/capture.wav", "new document", "editor",
            "save " + file, "path " + file, "minimise" }));
    ExpectShowsScreen(rig.clipboard.last, rig.screen.Image(), { 0, 0, 64, 48 });
}

TEST_F(CapturePipelineTest, Cursor_IsDrawnWithItsHotSpotOverThePointer)
{
    // A 2 x 2 cursor: opaque red, fully transparent, half-transparent white (premultiplied 0x80), opaque
    // blue; hot spot (1, 1) over pointer (10, 20), so its top-left pixel lands on (9, 19).
    rig.screen.SetCursor(CursorImage { 10, 20, 1, 1, 2, 2, { 0xFFFF0000, 0x00000000, 0x80808080, 0xFF0000FF } });
    rig.settings.IncludeCursor = 1;
    const ImageBuffer& screen = rig.screen.Image();
    // Full screen reads the screen itself; a region is cut from the overlay's 32-bit frozen picture.
    rig.overlay.result = ImageRect { 0, 0, 64, 48 };
    for (const bool region : { false, true }) {
        SCOPED_TRACE(region ? "region" : "full screen");
        region ? rig.Pipeline().CaptureRegion() : rig.Pipeline().CaptureFullScreen();
        const ImageBuffer& image = Captured();
        EXPECT_EQ(Colour(image, 9, 19), (Bgra { 0, 0, 255, 0 }));
        EXPECT_EQ(Colour(image, 10, 19), Colour(screen, 10, 19));
        // 0x80 + screen * (255 - 128) / 255, rounded to nearest, per channel.
        const Bgra under = Colour(screen, 9, 20);
        auto blend = [](uint8_t s) { return uint8_t(0x80 + (s * 127 + 127) / 255); };
        EXPECT_EQ(Colour(image, 9, 20), (Bgra { blend(under.b), blend(under.g), blend(under.r), 0 }));
        EXPECT_EQ(Colour(image, 10, 20), (Bgra { 255, 0, 0, 0 }));
        EXPECT_EQ(Colour(image, 11, 21), Colour(screen, 11, 21));
    }
}

TEST_F(CapturePipelineTest, Cursor_PartlyOffTheImageIsClipped)
{
    rig.screen.SetCursor(CursorImage { 0, 0, 1, 1, 2, 2, { 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFF00FF00 } });
    rig.settings.IncludeCursor = 1;
    rig.Pipeline().CaptureFullScreen();
    EXPECT_EQ(Colour(Captured(), 0, 0), (Bgra { 0, 255, 0, 0 }));
    EXPECT_EQ(Colour(Captured(), 1, 0), Colour(rig.screen.Image(), 1, 0));
}

TEST_F(CapturePipelineTest, ActiveWindow_CapturesTheForegroundRectangleAfterOneSecond)
{
    rig.windows.foreground = 5;
    rig.windows.rects[5] = { 10, 4, 30, 24 };
    rig.settings.CapDelayTime = 3000;
    rig.settings.IncludeCursor = 1;
    rig.screen.SetCursor(CursorImage { 15, 10, 0, 0, 1, 1, { 0xFFFF0000 } });
    EXPECT_EQ(rig.Pipeline().CaptureActiveWindow(), 1);
    EXPECT_EQ(rig.log, (fakes::Log { "sleep 1000", "new document", "editor", "hide" }));
    // The pointer is never drawn into active-window captures.
    ExpectShowsScreen(Captured(), rig.screen.Image(), { 10, 4, 30, 24 });
}

TEST_F(CapturePipelineTest, ActiveWindow_HidingRaisesTheWindowBelowAndRestoreComesForward)
{
    rig.windows.foreground = 5;
    rig.windows.below = 9;
    rig.windows.rects[5] = { 0, 0, 8, 8 };
    rig.settings.HideWndBeforCap = 1;
    rig.settings.RestoreWndAftCap = 1;
    rig.settings.CapAppViewMode = int(ViewMode::DoNotExport);
    EXPECT_EQ(rig.Pipeline().CaptureActiveWindow(), 1);
    EXPECT_EQ(rig.log, (fakes::Log { "below 77", "hide", "top 9", "sleep 1000", "foreground", "show-noactivate" }));
}

TEST_F(CapturePipelineTest, ActiveWindow_AtNegativeCoordinatesIsRefused)
{
    rig.settings.CopyToClipboard = 1;
    rig.windows.foreground = 5;
    for (const ImageRect rect :
        { ImageRect { -8, -8, 72, 56 }, ImageRect { 4, -1, 20, 20 }, ImageRect { 4, 4, 4, 20 } }) {
        rig.log.clear();
        rig.windows.rects[5] = rect;
        EXPECT_EQ(rig.Pipeline().CaptureActiveWindow(), 0);
        EXPECT_EQ(rig.log, (fakes::Log { "sleep 1000", "foreground", "show-noactivate" }));
    }
    rig.log.clear();
    rig.windows.foreground = 0;
    EXPECT_EQ(rig.Pipeline().CaptureActiveWindow(), 0);
    EXPECT_TRUE(rig.documents.documents.empty());
}

TEST_F(CapturePipelineTest, CopyImageToClipboard_SkipsImagesWithoutPixelsOrBelow24Bits)
{
    CapturePipeline pipeline = rig.Pipeline();
    pipeline.CopyImageToClipboard(ImageBuffer());
    pipeline.CopyImageToClipboard(PaletteImage(4, 4));
    EXPECT_TRUE(rig.log.empty());
    pipeline.CopyImageToClipboard(testutil::MakeImage(4, 4, 32));
    EXPECT_EQ(rig.log, (fakes::Log { "clipboard" }));
}

TEST_F(CapturePipelineTest, HandToEditor_NewWindowOpensADocumentPerCapture)
{
    CapturePipeline pipeline = rig.Pipeline();
    const ImageBuffer image = testutil::MakeImage(5, 4, 24);
    pipeline.HandToEditor(image);
    pipeline.HandToEditor(image);
    ASSERT_EQ(rig.documents.documents.size(), 2u);
    const ImageBuffer& stored = rig.documents.documents[1].image;
    EXPECT_EQ(stored.BitCount(), 32);
    EXPECT_EQ(testutil::PixelAt(stored, 4, 3),
        (Bgra { Colour(image, 4, 3).b, Colour(image, 4, 3).g, Colour(image, 4, 3).r, 255 }));
    EXPECT_TRUE(rig.documents.documents[0].undo.empty());
}

TEST_F(CapturePipelineTest, HandToEditor_ReplaceImageWithNoDocumentCreatesOneAndRecordsItsBlankImage)
{
    rig.settings.CapAppViewMode = int(ViewMode::ReplaceImage);
    rig.Pipeline().HandToEditor(testutil::MakeImage(5, 4, 24));
    EXPECT_EQ(rig.log, (fakes::Log { "new document", "snapshot", "editor" }));
    ASSERT_EQ(rig.documents.documents.size(), 1u);
    ASSERT_EQ(rig.documents.documents[0].undo.size(), 1u);
    EXPECT_TRUE(rig.documents.documents[0].undo[0].IsEmpty());
    EXPECT_EQ(rig.documents.documents[0].image.Width(), 5);
}

TEST_F(CapturePipelineTest, HandToEditor_ReplaceImageKeepsThePreviousImageForUndo)
{
    rig.settings.CapAppViewMode = int(ViewMode::ReplaceImage);
    CapturePipeline pipeline = rig.Pipeline();
    pipeline.HandToEditor(testutil::MakeImage(5, 4, 24));
    pipeline.HandToEditor(testutil::MakeImage(7, 2, 24));
    ASSERT_EQ(rig.documents.documents.size(), 1u);
    const auto& document = rig.documents.documents[0];
    ASSERT_EQ(document.undo.size(), 2u);
    EXPECT_EQ(document.undo[1].Width(), 5);
    EXPECT_EQ(document.image.Width(), 7);
}

TEST_F(CapturePipelineTest, DoNotExportAndUnknownModesLeaveDocumentsUntouched)
{
    QTemporaryDir dir;
    rig.documents.CreateNewCaptureDocument();
    rig.documents.documents[0].path = "/keep/me.png";
    rig.log.clear();
    rig.settings.IsAudoSave = 1;
    rig.settings.ImageSavePath = dir.path().toStdString();
    for (int mode : { 2, 7, -1 }) {
        rig.settings.CapAppViewMode = mode;
        rig.Pipeline().CaptureFullScreen();
    }
    ASSERT_EQ(rig.documents.documents.size(), 1u);
    EXPECT_EQ(rig.documents.documents[0].path, "/keep/me.png");
    EXPECT_TRUE(rig.documents.documents[0].image.IsEmpty());
    EXPECT_FALSE(rig.documents.documents[0].modified);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Snap3.bmp")));
}

TEST_F(CapturePipelineTest, SoundPlaysOnlyWhenConfigured)
{
    CapturePipeline pipeline = rig.Pipeline();
    rig.settings.CapAppViewMode = int(ViewMode::DoNotExport);
    pipeline.HandToEditor(testutil::MakeImage(2, 2, 24));
    EXPECT_TRUE(rig.log.empty());
    rig.settings.PlaySoundWhenCap = 1;
    pipeline.HandToEditor(testutil::MakeImage(2, 2, 24));
    EXPECT_EQ(rig.log, (fakes::Log { "sound /opt/lumora/capture.wav" }));
}

TEST_F(CapturePipelineTest, OverlayKinds_CutTheChosenRectangleFromTheFrozenScreen)
{
    const ImageBuffer before = rig.screen.Image();
    rig.overlay.result = ImageRect { 3, 5, 13, 9 };
    // The live screen changes while the overlay is open; the capture must show the moment it opened.
    rig.overlay.whileOpen
        = [this] { rig.screen.SetImage(testutil::MakeImage(64, 48, 24, [](int, int) { return Bgra {}; })); };
    rig.settings.HideWndBeforCap = 1;
    EXPECT_EQ(rig.Pipeline().CaptureRegion(), 1);
    EXPECT_EQ(
        rig.log, (fakes::Log { "hide", "sleep 800", "overlay 0", "new document", "editor", "minimise", "invalidate" }));
    ExpectShowsScreen(Captured(), before, { 3, 5, 13, 9 });
    EXPECT_EQ(rig.overlay.frozenSize.width, 64);
}

TEST_F(CapturePipelineTest, OverlayRegionChosenForItsText_GoesToTheReaderInsteadOfAnywhereElse)
{
    const ImageBuffer before = rig.screen.Image();
    rig.overlay.result = ImageRect { 3, 5, 13, 9 };
    rig.overlay.textWanted = true;
    rig.settings.HideWndBeforCap = 1;
    rig.settings.CopyToClipboard = 1;
    rig.settings.IsAudoSave = 1;
    std::vector<ImageBuffer> read;
    CaptureServices services = rig.Services();
    services.readText = [&read](const ImageBuffer& region) { read.push_back(region); };
    CapturePipeline pipeline(rig.settings, std::move(services));
    EXPECT_EQ(pipeline.CaptureRegion(), 1);
    // No clipboard picture, no document, no file: the window comes back for the text's dialog.
    EXPECT_EQ(rig.log, (fakes::Log { "hide", "sleep 800", "overlay 0", "show-noactivate" }));
    ASSERT_EQ(read.size(), 1u);
    ExpectShowsScreen(read.front(), before, { 3, 5, 13, 9 });
}

TEST_F(CapturePipelineTest, OverlayKinds_PassTheirModeAndFixedSize)
{
    rig.settings.FixRectWidth = 20;
    rig.settings.FixRectHeight = 10;
    rig.Pipeline().CaptureFixedRect();
    EXPECT_EQ(rig.overlay.lastRequest.mode, OverlayMode::FixedRect);
    EXPECT_EQ(rig.overlay.lastRequest.fixedWidth, 20);
    EXPECT_EQ(rig.overlay.lastRequest.fixedHeight, 10);
}

TEST_F(CapturePipelineTest, OverlayKinds_CancelledOrEmptySelectionCapturesNothing)
{
    for (const std::optional<ImageRect> result :
        { std::optional<ImageRect>(), std::optional<ImageRect>(ImageRect { 5, 5, 5, 9 }) }) {
        rig.log.clear();
        rig.overlay.result = result;
        EXPECT_EQ(rig.Pipeline().CaptureRegion(), 0);
        EXPECT_EQ(rig.log, (fakes::Log { "sleep 800", "overlay 0", "show-noactivate" }));
    }
}

TEST_F(CapturePipelineTest, WindowObject_HidesAlwaysAndRaisesTheWindowBelow)
{
    rig.windows.below = 12;
    rig.overlay.result = ImageRect { 0, 0, 4, 4 };
    rig.settings.RestoreWndAftCap = 1;
    EXPECT_EQ(rig.Pipeline().CaptureWindowObject(), 1);
    EXPECT_EQ(rig.log,
        (fakes::Log {
            "below 77", "hide", "sleep 800", "top 12", "overlay 1", "new document", "editor", "show", "invalidate" }));
}

TEST_F(CapturePipelineTest, GivenWindow_CapturesWithoutDelayOrHiding)
{
    rig.windows.rects[40] = { 1, 2, 11, 12 };
    rig.settings.CopyToClipboard = 1;
    EXPECT_EQ(rig.Pipeline().CaptureGivenWindow(40), 1);
    EXPECT_EQ(rig.log, (fakes::Log { "clipboard", "sleep 200", "new document", "editor", "show-normal" }));
    ExpectShowsScreen(Captured(), rig.screen.Image(), { 1, 2, 11, 12 });
    rig.log.clear();
    EXPECT_EQ(rig.Pipeline().CaptureGivenWindow(41), 0);
    EXPECT_TRUE(rig.log.empty());
}

TEST_F(CapturePipelineTest, HighlightMarksOneWindowAtATime)
{
    auto pipeline = rig.Pipeline();
    pipeline.HighlightWindow(7);
    pipeline.HighlightWindow(8);
    EXPECT_EQ(pipeline.CaptureGivenWindow(99), 0) << "a window without a rectangle is not captured";
    EXPECT_EQ(rig.log, (fakes::Log { "mark 7", "unmark 7", "mark 8", "unmark 8" }))
        << "a capture request takes the last mark away first";
}

TEST_F(CapturePipelineTest, CaptureRequestWithoutItsFlagStillTakesTheMarkAway)
{
    rig.windows.rects[40] = { 1, 2, 11, 12 };
    auto pipeline = rig.Pipeline();
    pipeline.HighlightWindow(7);
    EXPECT_EQ(pipeline.CaptureWindowRequest(false, 40), 0);
    EXPECT_EQ(pipeline.CaptureWindowRequest(false, 40), 0);
    EXPECT_EQ(rig.log, (fakes::Log { "mark 7", "unmark 7" })) << "nothing captured, the mark erased once";
    EXPECT_EQ(pipeline.CaptureWindowRequest(true, 40), 1);
    EXPECT_TRUE(rig.documents.documents.size() == 1);
}

TEST_F(CapturePipelineTest, CaptureDispatchesEveryCommandId)
{
    rig.windows.foreground = 5;
    rig.windows.rects[5] = { 0, 0, 8, 8 };
    rig.overlay.result = ImageRect { 0, 0, 4, 4 };
    CapturePipeline pipeline = rig.Pipeline();
    fakes::Wheel wheel;
    int64_t now = 0;
    pipeline.SetScrolling({ &wheel, 0, {}, {}, {}, [&] { return now += 10; }, {}, {} });
    EXPECT_EQ(pipeline.Capture(CaptureMode(32835)), 1);
    EXPECT_EQ(pipeline.Capture(CaptureMode(32794)), 1);
    EXPECT_EQ(pipeline.Capture(CaptureMode(32792)), 1);
    EXPECT_EQ(pipeline.Capture(CaptureMode(32793)), 1);
    EXPECT_EQ(pipeline.Capture(CaptureMode(32929)), 1);
    EXPECT_EQ(pipeline.Capture(CaptureMode(32921)), 1);
    EXPECT_EQ(wheel.notches, 1) << "a window that does not move ends the scrolling after one notch";
    EXPECT_EQ(pipeline.Capture(CaptureMode(1)), 0);
    EXPECT_EQ(rig.documents.documents.size(), 6u);
}

} // namespace
