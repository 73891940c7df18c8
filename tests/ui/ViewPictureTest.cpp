#include "tests/ui/ViewTestSupport.h"

#include "editor/objects/ShapeObject.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>

#include <functional>

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kWhite = 0xFFFFFFFF;

class ViewPictureTest : public ViewTestBase {
protected:
    // A filled red rectangle over image pixels 22..35 x 5..20.
    ShapeObject* AddRedBox(ImageRect rect = { 22, 5, 35, 20 })
    {
        auto box = std::make_unique<ShapeObject>();
        box->shape = ShapeObject::kFilledRectangle;
        box->borderColour = 0x0000FF;
        box->fillColour = 0x0000FF;
        box->SetRect(rect);
        return static_cast<ShapeObject*>(document_.Objects().AppendObject(std::move(box)));
    }

    static QRgb Halved(QRgb colour) { return qRgb(qRed(colour) >> 1, qGreen(colour) >> 1, qBlue(colour) >> 1); }
};

} // namespace

TEST_F(ViewPictureTest, Objects_Should_BeDrawnOverTheImage_WithoutChangingTheDocument)
{
    SetPicture(40, 30);
    AddRedBox();
    auto view = MakeView();
    const QImage picture = Grab(*view, "object_on_image");
    EXPECT_EQ(picture.pixel(2, 2), kGrey);
    EXPECT_EQ(picture.pixel(5 + 3, 5 + 3), ColourAt(3, 3));
    EXPECT_EQ(picture.pixel(5 + 28, 5 + 12), kRed);
    EXPECT_EQ(picture.pixel(5 + 10, 5 + 25), ColourAt(10, 25));
    // The document keeps its own pixel under the box.
    const auto* row = reinterpret_cast<const uint32_t*>(document_.Image().Row(12));
    EXPECT_EQ(row[28], ColourAt(28, 12));
}

// Whatever changes the objects, told or not, the next paint shows them as they are.
TEST_F(ViewPictureTest, Composite_Should_FollowTheObjects_AnnouncedOrNot)
{
    struct Case {
        const char* name;
        std::function<void(ShapeObject&)> change;
        QPoint at;
        QRgb expected;
    };
    const Case cases[] = {
        { "recoloured", [](ShapeObject& box) { box.fillColour = box.borderColour = 0x00FF00; }, { 33, 17 },
            0xFF00FF00 },
        { "moved",
            [](ShapeObject& box) {
                box.SetRect({ 2, 5, 15, 20 });
            },
            { 33, 17 }, ColourAt(28, 12) },
        { "moved, new place",
            [](ShapeObject& box) {
                box.SetRect({ 2, 5, 15, 20 });
            },
            { 12, 17 }, kRed },
        { "removed", [this](ShapeObject& box) { document_.Objects().RemoveObject(&box); }, { 33, 17 },
            ColourAt(28, 12) },
        { "covered",
            [this](ShapeObject&) {
                AddRedBox({ 0, 0, 40, 30 })->fillColour = 0x00FF00;
            },
            { 10, 25 }, 0xFF00FF00 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document_.Objects().ClearObjects();
        SetPicture(40, 30);
        ShapeObject* box = AddRedBox();
        auto view = MakeView();
        EXPECT_EQ(Grab(*view).pixel(33, 17), kRed);
        c.change(*box);
        EXPECT_EQ(Grab(*view).pixel(c.at), c.expected);
    }
}

TEST_F(ViewPictureTest, CropPreview_Should_DimOutsideTheRectangle_AndFrameIt)
{
    SetPicture(40, 30);
    auto view = MakeView();
    view->SetCurrentTool(CKestrelView::ToolCrop);
    view->MakeDarkenedImage();
    view->SetImageSelection({ 10, 5, 30, 25 });
    const QImage picture = Grab(*view, "crop_preview");
    EXPECT_TRUE(view->IsSelectionValid());
    EXPECT_EQ(picture.pixel(5 + 2, 5 + 15), Halved(ColourAt(2, 15)));
    EXPECT_EQ(picture.pixel(5 + 35, 5 + 28), Halved(ColourAt(35, 28)));
    EXPECT_EQ(picture.pixel(5 + 20, 5 + 15), ColourAt(20, 15));
    EXPECT_EQ(picture.pixel(5 + 25, 5 + 20), ColourAt(25, 20));
    // Corner handle: white inside the square around (10, 5).
    EXPECT_EQ(picture.pixel(5 + 8, 5 + 3), kWhite);
    // The document is not dimmed.
    const auto* row = reinterpret_cast<const uint32_t*>(document_.Image().Row(15));
    EXPECT_EQ(row[2], ColourAt(2, 15));

    // Another tool shows the plain picture.
    view->SetCurrentTool(CKestrelView::ToolMove);
    EXPECT_EQ(Grab(*view).pixel(5 + 2, 5 + 15), ColourAt(2, 15));
}

TEST_F(ViewPictureTest, CropPreview_Should_ShowThePlainPicture_WhenTheDimmedCopyIsOfAnotherSize)
{
    SetPicture(40, 30);
    auto view = MakeView();
    view->SetCurrentTool(CKestrelView::ToolCrop);
    view->MakeDarkenedImage();
    view->SetImageSelection({ 10, 5, 30, 25 });
    // The image grew after the copy was made: reading the copy there would run past its end.
    document_.Image() = MakePicture(60, 50);
    document_.UpdateAllViews();
    const QImage picture = Grab(*view);
    EXPECT_EQ(picture.pixel(5 + 55, 5 + 45), ColourAt(55, 45));
    EXPECT_EQ(picture.pixel(5 + 2, 5 + 15), ColourAt(2, 15));
}

TEST_F(ViewPictureTest, Handles_Should_MoveFivePixels_WithTheShadow)
{
    SetPicture(40, 30);
    ShapeObject* box = AddRedBox({ 8, 6, 30, 24 });
    box->shape = ShapeObject::kRectangle;
    auto view = MakeView();
    view->SetSelectedObject(box);
    QImage picture = Grab(*view, "handles");
    // Handle centres: the corner (8, 6) and the top midpoint 8 + 22 / 2 = 19.
    EXPECT_EQ(picture.pixel(5 + 8, 5 + 6), kWhite);
    EXPECT_EQ(picture.pixel(5 + 19, 5 + 6), kWhite);
    EXPECT_EQ(picture.pixel(5 + 30, 5 + 24), kWhite);
    EXPECT_NE(picture.pixel(5 + 13, 5 + 11), kWhite);

    box->shadow = true;
    document_.UpdateAllViews();
    picture = Grab(*view, "handles_shadow");
    EXPECT_EQ(picture.pixel(5 + 13, 5 + 11), kWhite);
    EXPECT_EQ(picture.pixel(5 + 24, 5 + 11), kWhite);
    EXPECT_EQ(picture.pixel(5 + 8, 5 + 6), ColourAt(8, 6));
}

TEST_F(ViewPictureTest, Handles_Should_ScaleWithTheZoom)
{
    SetPicture(40, 30);
    ShapeObject* box = AddRedBox({ 8, 6, 30, 24 });
    auto view = MakeView();
    view->SetSelectedObject(box);
    view->SetZoomStep(6);
    const QImage picture = Grab(*view);
    // At 200 % the handle at image (8, 6) is a 16-pixel circle around client (5 + 17, 5 + 13).
    EXPECT_EQ(picture.pixel(5 + 17, 5 + 13), kWhite);
    EXPECT_EQ(picture.pixel(5 + 17 + 4, 5 + 13), kWhite);
    EXPECT_EQ(picture.pixel(5 + 17, 5 + 13 - 4), kWhite);
}

TEST_F(ViewPictureTest, Handles_Should_NotBeDrawn_ForAnObjectTheDocumentNoLongerHolds)
{
    SetPicture(40, 30);
    ShapeObject stray;
    stray.SetRect({ 8, 6, 30, 24 });
    auto view = MakeView();
    view->SetSelectedObject(&stray);
    const QImage picture = Grab(*view);
    EXPECT_EQ(picture.pixel(5 + 8, 5 + 6), ColourAt(8, 6));
}

TEST_F(ViewPictureTest, PlacingTools_Should_ShowTheSelectionAsAnInvertedDottedFrame)
{
    SetPicture(40, 30);
    auto view = MakeView();
    view->SetImageSelection({ 10, 10, 30, 20 });
    EXPECT_EQ(Grab(*view).pixel(5 + 10, 5 + 10), ColourAt(10, 10));
    for (int tool :
        { CKestrelView::ToolText, CKestrelView::ToolRectangle, CKestrelView::ToolHighlight, CKestrelView::ToolStamp }) {
        view->SetCurrentTool(tool);
        const QImage picture = Grab(*view, tool == CKestrelView::ToolRectangle ? "focus_frame" : "");
        EXPECT_EQ(picture.pixel(5 + 10, 5 + 10), ColourAt(10, 10) ^ 0x00FFFFFFu) << tool;
        EXPECT_EQ(picture.pixel(5 + 20, 5 + 15), ColourAt(20, 15)) << tool;
    }
}

TEST_F(ViewPictureTest, DrawingRoutine_Should_PaintAnyDevice_AsTheScreenShowsIt)
{
    SetPicture(40, 30);
    AddRedBox();
    auto view = MakeView();
    view->SetZoomStep(5);
    const QImage screen = Grab(*view);
    QImage device(200, 150, QImage::Format_RGB32);
    device.fill(ViewTestBase::kGrey);
    {
        QPainter painter(&device);
        view->DrawPicture(painter, QPoint(5, 5), device.rect());
    }
    EXPECT_EQ(device, screen);
}

TEST_F(ViewPictureTest, Print_Should_WriteAPage)
{
    SetPicture(40, 30);
    AddRedBox();
    auto view = MakeView();
    const QString path = QString::fromStdString(::testing::TempDir() + "lumora_view_print.pdf");
    QFile::remove(path);
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    view->Print(&printer);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    // The picture goes in as an image object.
    EXPECT_TRUE(pdf.contains("/Subtype /Image"));
}

TEST_F(ViewPictureTest, ReducedPicture_Should_LookTheSame_WithAndWithoutOverlays)
{
    SetPicture(400, 300);
    auto view = MakeView(200, 150);
    view->SetZoomStep(1);
    const QImage plain = Grab(*view, "quarter");
    // At 25 % client pixel 5 + d shows image pixel (d + 0.5) * 4: d = 10 -> 42, d = 37 -> 150.
    EXPECT_EQ(plain.pixel(5 + 10, 5 + 37), ColourAt(42, 150));
    EXPECT_EQ(plain.pixel(5 + 99, 5 + 74), ColourAt(398, 298));
    EXPECT_EQ(plain.pixel(105, 50), kGrey);

    // A focus frame in the top-left corner makes the view stretch the full-size picture instead.
    view->SetCurrentTool(CKestrelView::ToolRectangle);
    view->SetImageSelection({ 0, 0, 8, 8 });
    const QImage framed = Grab(*view);
    int differing = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            if ((x > 8 || y > 8) && plain.pixel(x, y) != framed.pixel(x, y))
                ++differing;
    EXPECT_EQ(differing, 0);
}
