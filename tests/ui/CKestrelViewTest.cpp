#include "tests/ui/ViewTestSupport.h"

#include "editor/objects/LineObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/ui/ViewZoom.h"

#include <QPainter>
#include <QScrollBar>

#include <functional>
#include <vector>

namespace {

class CKestrelViewTest : public ViewTestBase { };

} // namespace

TEST_F(CKestrelViewTest, FreshView_Should_ShowTheImageAtActualSize_WithItsCornerAtFiveFive)
{
    SetPicture(40, 30);
    auto view = MakeView();
    EXPECT_EQ(view->ZoomStep(), 4);
    EXPECT_EQ(view->ZoomText(), "Zoom: 100%");
    EXPECT_EQ(view->SizeText(), "  Size: 40 x 30");
    EXPECT_EQ(view->ScrollExtent(), QSize(50, 40));
    EXPECT_EQ(view->CurrentTool(), CKestrelView::ToolMove);
    EXPECT_EQ(view->ViewCursor().shape(), Qt::OpenHandCursor);
    EXPECT_EQ(view->SelectedObject(), nullptr);

    const QImage picture = Grab(*view, "fresh");
    EXPECT_EQ(picture.pixel(4, 4), kGrey);
    EXPECT_EQ(picture.pixel(5, 5), ColourAt(0, 0));
    EXPECT_EQ(picture.pixel(44, 34), ColourAt(39, 29));
    EXPECT_EQ(picture.pixel(20, 17), ColourAt(15, 12));
    EXPECT_EQ(picture.pixel(45, 35), kGrey);
    EXPECT_EQ(picture.pixel(45, 20), kGrey);
    EXPECT_EQ(picture.pixel(199, 149), kGrey);
}

TEST_F(CKestrelViewTest, ZoomCommands_Should_WalkTheTenSteps_AndBeDisabledAtTheEnds)
{
    SetPicture(40, 30);
    auto view = MakeView();
    std::vector<int> steps;
    std::vector<QString> texts;
    QObject::connect(view.get(), &CKestrelView::ZoomChanged, [&](int step) { steps.push_back(step); });
    QObject::connect(view.get(), &CKestrelView::ZoomTextChanged, [&](const QString& text) { texts.push_back(text); });

    EXPECT_FALSE(view->CanActualSize());
    view->OnActualSize();
    EXPECT_TRUE(steps.empty());

    for (int i = 0; i < 4; ++i)
        view->OnZoomOut();
    EXPECT_EQ(view->ZoomStep(), 0);
    EXPECT_FALSE(view->CanZoomOut());
    EXPECT_TRUE(view->CanZoomIn());
    EXPECT_TRUE(view->CanActualSize());
    view->OnZoomOut();
    EXPECT_EQ(view->ZoomStep(), 0);

    const char* expected[] = { "Zoom: 10%", "Zoom: 25%", "Zoom: 50%", "Zoom: 75%", "Zoom: 100%", "Zoom: 150%",
        "Zoom: 200%", "Zoom: 400%", "Zoom: 600%", "Zoom: 800%" };
    EXPECT_EQ(view->ZoomText(), expected[0]);
    for (int i = 1; i <= 9; ++i) {
        view->OnZoomIn();
        EXPECT_EQ(view->ZoomStep(), i);
        EXPECT_EQ(view->ZoomText(), expected[i]);
        EXPECT_EQ(texts.back(), expected[i]);
    }
    EXPECT_FALSE(view->CanZoomIn());
    EXPECT_TRUE(view->CanZoomOut());
    view->OnZoomIn();
    EXPECT_EQ(view->ZoomStep(), 9);
    // Four steps down, nine up; the refused commands announced nothing.
    EXPECT_EQ(steps.size(), 13u);

    view->OnActualSize();
    EXPECT_EQ(view->ZoomStep(), 4);
    EXPECT_FALSE(view->CanActualSize());

    // The Zoom tool's jumps stay inside the table.
    view->SetZoomStep(7);
    EXPECT_EQ(view->ZoomStep(), 7);
    view->SetZoomStep(10);
    view->SetZoomStep(-1);
    EXPECT_EQ(view->ZoomStep(), 7);
}

TEST_F(CKestrelViewTest, ScrollExtent_Should_BeTheZoomedImagePlusTen_AtEveryStep)
{
    SetPicture(1003, 57);
    auto view = MakeView(200, 150);
    for (int i = 0; i < 4; ++i)
        view->OnZoomOut();
    // R(z * 1003) + 10 and R(z * 57) + 10 for z = 0.1, 0.25, 0.5, 0.75, 1, 1.5, 2, 4, 6, 8:
    // e.g. 0.1: 100.3 -> 100 and 5.7 -> 6; 0.25: 250.75 -> 251 and 14.25 -> 14; 1.5: 1504.5 -> 1505 and
    // 85.5 -> 86.
    const QSize expected[] = { { 110, 16 }, { 261, 24 }, { 512, 39 }, { 762, 53 }, { 1013, 67 }, { 1515, 96 },
        { 2016, 124 }, { 4022, 238 }, { 6028, 352 }, { 8034, 466 } };
    for (int step = 0; step < 10; ++step) {
        if (step > 0)
            view->OnZoomIn();
        EXPECT_EQ(view->ScrollExtent(), expected[step]) << step;
        // The client area is 200 x 150; the bars scroll over the rest.
        EXPECT_EQ(view->horizontalScrollBar()->maximum(), std::max(0, expected[step].width() - 200)) << step;
        EXPECT_EQ(view->verticalScrollBar()->maximum(), std::max(0, expected[step].height() - 150)) << step;
        // A click in the trough moves a tenth of the extent, an arrow a hundredth (at least one pixel).
        EXPECT_EQ(view->horizontalScrollBar()->pageStep(), expected[step].width() / 10) << step;
        EXPECT_EQ(view->verticalScrollBar()->pageStep(), std::max(1, expected[step].height() / 10)) << step;
        EXPECT_EQ(view->horizontalScrollBar()->singleStep(), std::max(1, expected[step].width() / 100)) << step;
    }
}

TEST_F(CKestrelViewTest, TenPercent_Should_Show1003PixelsAs100)
{
    SetPicture(1003, 57);
    auto view = MakeView(200, 150);
    view->SetZoomStep(0);
    const QImage picture = Grab(*view, "ten_percent");
    // Client 5 to 104 is the picture (100 pixels), 105 the margin again; rows 5 to 10 (6 pixels).
    EXPECT_NE(picture.pixel(104, 7), kGrey);
    EXPECT_EQ(picture.pixel(105, 7), kGrey);
    EXPECT_NE(picture.pixel(50, 10), kGrey);
    EXPECT_EQ(picture.pixel(50, 11), kGrey);
    // Each client pixel shows the image pixel under its centre: 0.5 / (100 / 1003) = 5.0 -> column 5,
    // 0.5 / (6 / 57) = 4.75 -> row 4.
    EXPECT_EQ(picture.pixel(5, 5), ColourAt(5, 4));
}

TEST_F(CKestrelViewTest, Zoom_Should_StretchEveryImagePixel)
{
    SetPicture(40, 30);
    auto view = MakeView();
    view->SetZoomStep(6);
    const QImage picture = Grab(*view, "two_hundred_percent");
    // At 200 % image pixel (3, 3) covers client 5 + 6 .. 5 + 7 in both directions.
    for (QPoint client : { QPoint(11, 11), QPoint(12, 12), QPoint(11, 12) })
        EXPECT_EQ(picture.pixel(client), ColourAt(3, 3));
    EXPECT_EQ(picture.pixel(13, 13), ColourAt(4, 4));
    // 40 * 2 = 80 wide: client 84 is the last column of the picture.
    EXPECT_EQ(picture.pixel(84, 64), ColourAt(39, 29));
    EXPECT_EQ(picture.pixel(85, 64), kGrey);
}

TEST_F(CKestrelViewTest, Selection_Should_KeepItsImagePixels_WhenZoomed)
{
    SetPicture(40, 30);
    auto view = MakeView();
    view->SetImageSelection({ 10, 10, 21, 21 });
    EXPECT_EQ(view->CanvasSelection(), (ImageRect { 10, 10, 21, 21 }));
    view->OnZoomIn();
    // 10 * 1.5 = 15, 21 * 1.5 = 31.5 -> 32.
    EXPECT_EQ(view->CanvasSelection(), (ImageRect { 15, 15, 32, 32 }));
    EXPECT_EQ(view->ImageSelection(), (ImageRect { 10, 10, 21, 21 }));
    view->SetZoomStep(1);
    // 10 * 0.25 = 2.5 -> 3, 21 * 0.25 = 5.25 -> 5.
    EXPECT_EQ(view->CanvasSelection(), (ImageRect { 3, 3, 5, 5 }));
}

TEST_F(CKestrelViewTest, CropRectangleUnderFourCanvasPixels_Should_BeDiscardedAtTheNextPaint)
{
    SetPicture(40, 30);
    auto view = MakeView();
    view->SetCurrentTool(CKestrelView::ToolCrop);
    view->SetCanvasSelection({ 10, 10, 13, 25 });
    EXPECT_EQ(view->CanvasSelection(), (ImageRect { 10, 10, 13, 25 }));
    Grab(*view);
    EXPECT_EQ(view->CanvasSelection(), ImageRect {});
    EXPECT_EQ(view->ImageSelection(), ImageRect {});
    EXPECT_FALSE(view->IsSelectionValid());

    view->SetCanvasSelection({ 10, 10, 14, 14 });
    Grab(*view);
    EXPECT_TRUE(view->IsSelectionValid());
    EXPECT_EQ(view->CanvasSelection(), (ImageRect { 10, 10, 14, 14 }));

    // At 400 % four canvas pixels are one image pixel: the frame routine refuses that too.
    view->SetZoomStep(7);
    view->MakeDarkenedImage();
    view->SetCanvasSelection({ 8, 8, 24, 24 });
    EXPECT_EQ(view->ImageSelection(), (ImageRect { 2, 2, 6, 6 }));
    Grab(*view);
    EXPECT_TRUE(view->IsSelectionValid());
    view->SetCanvasSelection({ 8, 8, 20, 20 });
    Grab(*view);
    EXPECT_FALSE(view->IsSelectionValid());
    EXPECT_EQ(view->CanvasSelection(), ImageRect {});
}

TEST_F(CKestrelViewTest, Conversions_Should_AccountForMarginScrollAndZoom)
{
    SetPicture(400, 300);
    auto view = MakeView(200, 150);
    view->SetZoomStep(6);
    view->horizontalScrollBar()->setValue(37);
    view->verticalScrollBar()->setValue(21);
    EXPECT_EQ(view->ScrollPosition(), QPoint(37, 21));
    EXPECT_EQ(view->ClientToView({ 5, 5 }), QPoint(0, 0));
    EXPECT_EQ(view->ClientToCanvas({ 5, 5 }), QPoint(37, 21));
    // 37 / 2 = 18.5 -> 19, 21 / 2 = 10.5 -> 11; back: 38 - 37 + 5 = 6, 22 - 21 + 5 = 6.
    EXPECT_EQ(view->ClientToImage({ 5, 5 }), QPoint(19, 11));
    EXPECT_EQ(view->ImageToClient({ 19, 11 }), QPoint(6, 6));

    // What is shown agrees: client (0, 0) is canvas (32, 16), inside image pixel (16, 8).
    const QImage picture = Grab(*view, "scrolled");
    EXPECT_EQ(picture.pixel(0, 0), ColourAt(16, 8));
    EXPECT_EQ(picture.pixel(1, 1), ColourAt(16, 8));
    EXPECT_EQ(picture.pixel(2, 0), ColourAt(17, 8));

    view->SetZoomStep(3);
    view->horizontalScrollBar()->setValue(10);
    view->verticalScrollBar()->setValue(20);
    // Canvas (45 + 10, 35 + 20) = (55, 55); 55 / 0.75 = 73.3 -> 73; back 73 * 0.75 = 54.75 -> 55.
    EXPECT_EQ(view->ClientToImage({ 50, 40 }), QPoint(73, 73));
    EXPECT_EQ(view->ImageToClient({ 73, 73 }), QPoint(50, 40));
}

TEST_F(CKestrelViewTest, Zoom_Should_LeaveTheScrollPositionToTheNewExtent)
{
    SetPicture(400, 300);
    auto view = MakeView(200, 150);
    view->horizontalScrollBar()->setValue(150);
    view->SetZoomStep(1);
    // 400 * 0.25 + 10 = 110 fits the 200-pixel client: nothing to scroll.
    EXPECT_EQ(view->ScrollPosition(), QPoint(0, 0));
}

TEST_F(CKestrelViewTest, DocumentUpdate_Should_RefreshSizeExtentAndStatusText)
{
    SetPicture(40, 30);
    auto view = MakeView();
    QString sizeText;
    QObject::connect(view.get(), &CKestrelView::SizeTextChanged, [&](const QString& text) { sizeText = text; });
    document_.Image() = MakePicture(64, 48);
    EXPECT_EQ(view->ImageSize(), QSize(40, 30));
    document_.UpdateAllViews();
    EXPECT_EQ(view->ImageSize(), QSize(64, 48));
    EXPECT_EQ(sizeText, "  Size: 64 x 48");
    EXPECT_EQ(view->ScrollExtent(), QSize(74, 58));
    const QImage picture = Grab(*view);
    EXPECT_EQ(picture.pixel(68, 52), ColourAt(63, 47));
}

TEST_F(CKestrelViewTest, SelectionClearRequest_Should_ForgetObjectAndRectangles)
{
    SetPicture(40, 30);
    auto view = MakeView();
    auto* line = document_.Objects().AppendObject(std::make_unique<LineObject>());
    view->SetSelectedObject(line);
    view->SetImageSelection({ 2, 2, 20, 20 });
    view->Drag().savedRect = { 1, 1, 9, 9 };
    emit document_.SelectionClearRequested();
    EXPECT_EQ(view->SelectedObject(), nullptr);
    EXPECT_EQ(view->CanvasSelection(), ImageRect {});
    EXPECT_EQ(view->ImageSelection(), ImageRect {});
    EXPECT_EQ(view->Drag().savedRect, ImageRect {});
}

TEST_F(CKestrelViewTest, NoDocument_Should_PaintOnlyTheGrey)
{
    auto view = MakeView(nullptr, 60, 40);
    EXPECT_EQ(view->SizeText(), "  Size: 0 x 0");
    EXPECT_EQ(view->ScrollExtent(), QSize(10, 10));
    const QImage picture = Grab(*view);
    for (QPoint point : { QPoint(0, 0), QPoint(5, 5), QPoint(30, 20), QPoint(59, 39) })
        EXPECT_EQ(picture.pixel(point), kGrey);
}

TEST_F(CKestrelViewTest, UndoAndRedo_Should_ClearTheSelection)
{
    SetPicture(40, 30);
    auto view = MakeView();
    document_.RecordUndoSnapshot(document_.Image());
    for (const auto& step : { std::function<bool()>([&] { return document_.Undo(); }),
             std::function<bool()>([&] { return document_.Redo(); }) }) {
        view->SetImageSelection({ 10, 10, 21, 21 });
        ASSERT_FALSE(view->ImageSelection().IsEmpty());
        ASSERT_TRUE(step());
        EXPECT_TRUE(view->ImageSelection().IsEmpty());
        EXPECT_TRUE(view->CanvasSelection().IsEmpty());
    }
}
