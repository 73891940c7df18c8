#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CloseSequencePrompts.h"
#include "app/CommandIds.h"
#include "editor/bars/CParamBar.h"
#include "editor/bars/ParamPanel.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/document/ImageCommands.h"
#include "editor/objects/LineObject.h"
#include "editor/ui/CKestrelView.h"
#include "tests/app/AppTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace CommandId;

namespace {
// Closing is not under test here: every question is answered so that nothing is kept or written.
struct SilentPrompts : CloseSequencePrompts {
    ExitAnswer AskSaveOnExit(const QString&) override { return ExitAnswer::No; }
    SaveImageAnswer AskSaveImage() override { return SaveImageAnswer::No; }
    std::optional<QString> AskSavePath(const QString&, const QString&) override { return std::nullopt; }
    void ReportSaveFailure(const QString&) override { }
    void ReportOpenFailure(const QString&) override { }
};

struct DefaultStore : ShellSettingsStore {
    ShellSettings Load() override { return {}; }
    void SaveOnClose(const ShellSettings&) override { }
};

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

class FrameViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApp();
        services.settings = &store;
        services.prompts = &prompts;
        services.autostartPath = dir.path() + "/autostart/Lumora.desktop";
        services.helpFolder = dir.path() + "/help";
        frame = std::make_unique<CMainFrame>(services);
        frame->resize(1200, 900);
        frame->show();
    }

    QString Pane(int id) const { return frame->StatusPane(id)->text(); }
    bool Enabled(int id) const { return frame->Action(id)->isEnabled(); }

    // A file of the given size for a second tab that differs from File New's picture.
    CChildFrame* OpenPicture(int width, int height, QColor colour)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(colour);
        const QString path = dir.path() + QString("/%1x%2.bmp").arg(width).arg(height);
        EXPECT_TRUE(picture.save(path, "BMP"));
        frame->OpenDocumentFile(path);
        return frame->ActiveDocument();
    }

    static QImage Shown(CChildFrame& child)
    {
        QApplication::processEvents();
        return child.View().viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    void Activate(CChildFrame* child)
    {
        frame->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(child->parentWidget()));
        QApplication::processEvents();
    }

    QTemporaryDir dir;
    DefaultStore store;
    SilentPrompts prompts;
    FrameServices services;
    std::unique_ptr<CMainFrame> frame;
};
} // namespace

TEST_F(FrameViewTest, NewDocumentShowsItsWhitePictureOnTheGreyMargin)
{
    CChildFrame* child = frame->NewDocument();
    ASSERT_EQ(frame->ActiveDocument(), child);
    EXPECT_TRUE(child->View().isVisible());
    EXPECT_EQ(child->View().Document(), &child->Document());

    const QImage shown = Shown(*child);
    // At 100 % image pixel (0, 0) sits at viewport (5, 5); the 640 x 480 picture ends at (644, 484).
    ASSERT_GE(shown.width(), 660);
    ASSERT_GE(shown.height(), 500);
    EXPECT_EQ(shown.pixel(2, 2), CKestrelView::kBackground);
    EXPECT_EQ(shown.pixel(5, 5), kWhite);
    EXPECT_EQ(shown.pixel(644, 484), kWhite);
    EXPECT_EQ(shown.pixel(645, 100), CKestrelView::kBackground);
    EXPECT_EQ(shown.pixel(100, 485), CKestrelView::kBackground);
}

TEST_F(FrameViewTest, StatusPanesFollowTheActiveTabAndItsZoom)
{
    CChildFrame* first = frame->NewDocument();
    EXPECT_EQ(Pane(StatusPaneId::ImageSize), "  Size: 640 x 480");
    EXPECT_EQ(Pane(StatusPaneId::Zoom), "Zoom: 100%");

    CChildFrame* second = OpenPicture(100, 50, Qt::red);
    ASSERT_NE(second, first);
    EXPECT_EQ(Pane(StatusPaneId::ImageSize), "  Size: 100 x 50");
    frame->OnCommand(ZoomIn);
    EXPECT_EQ(Pane(StatusPaneId::Zoom), "Zoom: 150%");

    Activate(first);
    EXPECT_EQ(Pane(StatusPaneId::ImageSize), "  Size: 640 x 480");
    EXPECT_EQ(Pane(StatusPaneId::Zoom), "Zoom: 100%");
    // A background tab's view changing must not overwrite the active tab's texts.
    second->View().OnZoomIn();
    EXPECT_EQ(Pane(StatusPaneId::Zoom), "Zoom: 100%");

    Activate(second);
    EXPECT_EQ(Pane(StatusPaneId::ImageSize), "  Size: 100 x 50");
    EXPECT_EQ(Pane(StatusPaneId::Zoom), "Zoom: 200%");

    // With the last tab gone the panes say what they said before the first.
    frame->OnCommand(FileClose);
    EXPECT_TRUE(WaitFor([&] { return Pane(StatusPaneId::ImageSize) == "  Size: 640 x 480"; }));
    frame->OnCommand(FileClose);
    EXPECT_TRUE(WaitFor([&] { return frame->Documents().empty(); }));
    QApplication::processEvents();
    EXPECT_EQ(Pane(StatusPaneId::ImageSize).trimmed().toStdString(), "Size: 0 x 0");
    EXPECT_EQ(Pane(StatusPaneId::Zoom).trimmed().toStdString(), "Zoom: 100%");
}

TEST_F(FrameViewTest, ZoomCommandsAreEnabledByTheActiveViewAndStopAtTheEnds)
{
    EXPECT_FALSE(Enabled(ZoomIn));
    EXPECT_FALSE(Enabled(ZoomOut));
    CChildFrame* child = frame->NewDocument();
    const CKestrelView& view = child->View();
    EXPECT_TRUE(Enabled(ZoomIn));
    EXPECT_TRUE(Enabled(ZoomOut));
    EXPECT_FALSE(Enabled(ZoomActual));

    // The tool bar buttons are the menu's actions, so they share the state.
    auto* toolbar = frame->findChild<QToolBar*>("toolbar157");
    ASSERT_NE(toolbar, nullptr);
    for (int id : { ZoomIn, ZoomOut, ZoomActual })
        EXPECT_TRUE(toolbar->actions().contains(frame->Action(id))) << id;

    for (int i = 0; i < 4; ++i)
        frame->Action(ZoomOut)->trigger();
    EXPECT_EQ(view.ZoomStep(), 0);
    EXPECT_FALSE(Enabled(ZoomOut));
    EXPECT_TRUE(Enabled(ZoomActual));
    frame->OnCommand(ZoomOut);
    EXPECT_EQ(view.ZoomStep(), 0);
    EXPECT_EQ(Pane(StatusPaneId::Zoom), "Zoom: 10%");

    for (int i = 0; i < 9; ++i)
        frame->Action(ZoomIn)->trigger();
    EXPECT_EQ(view.ZoomStep(), 9);
    EXPECT_FALSE(Enabled(ZoomIn));
    frame->OnCommand(ZoomIn);
    EXPECT_EQ(view.ZoomStep(), 9);
    EXPECT_EQ(Pane(StatusPaneId::Zoom), "Zoom: 800%");

    // A fresh tab starts at 100 %, and the actions follow it, then follow the old tab back.
    CChildFrame* other = frame->NewDocument();
    EXPECT_TRUE(Enabled(ZoomIn));
    EXPECT_FALSE(Enabled(ZoomActual));
    Activate(child);
    EXPECT_FALSE(Enabled(ZoomIn));
    frame->Action(ZoomActual)->trigger();
    EXPECT_EQ(view.ZoomStep(), 4);
    EXPECT_FALSE(Enabled(ZoomActual));
    EXPECT_EQ(other->View().ZoomStep(), 4);
}

TEST_F(FrameViewTest, InvertRunsOnTheActiveDocumentAndUndoRedoFollowItsHistory)
{
    CChildFrame* child = frame->NewDocument();
    EXPECT_FALSE(Enabled(EditUndo));
    EXPECT_FALSE(Enabled(EditRedo));
    ASSERT_TRUE(Enabled(20020));

    // The document announces the new picture while the command still runs: the wait cursor is up then.
    Qt::CursorShape whileRunning = Qt::ArrowCursor;
    QObject::connect(&child->Document(), &CKestrelDoc::Updated, frame.get(), [&] {
        if (const QCursor* cursor = QApplication::overrideCursor())
            whileRunning = cursor->shape();
    });
    frame->Action(20020)->trigger();
    EXPECT_EQ(whileRunning, Qt::WaitCursor);
    // Inverting white gives black, on screen as in the document.
    EXPECT_EQ(Shown(*child).pixel(100, 100), kBlack);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(Enabled(EditUndo));
    EXPECT_FALSE(Enabled(EditRedo));

    // Another tab has its own history.
    CChildFrame* other = frame->NewDocument();
    EXPECT_FALSE(Enabled(EditUndo));
    EXPECT_EQ(Shown(*other).pixel(100, 100), kWhite);
    Activate(child);
    EXPECT_TRUE(Enabled(EditUndo));

    frame->Action(EditUndo)->trigger();
    EXPECT_EQ(Shown(*child).pixel(100, 100), kWhite);
    EXPECT_FALSE(Enabled(EditUndo));
    EXPECT_TRUE(Enabled(EditRedo));
    frame->OnCommand(EditUndo); // nothing left: no effect
    EXPECT_TRUE(child->Document().CanRedo());

    frame->Action(EditRedo)->trigger();
    EXPECT_EQ(Shown(*child).pixel(100, 100), kBlack);
    EXPECT_TRUE(Enabled(EditUndo));
    EXPECT_FALSE(Enabled(EditRedo));
    EXPECT_EQ(Shown(*other).pixel(100, 100), kWhite);
}

TEST_F(FrameViewTest, ImageCommandsNeedADocumentAndDialogCommandsOpenTheirDialogOverIt)
{
    std::vector<int> commands;
    for (int id = kFirstImageCommand; id <= kLastImageCommand; ++id) {
        if (frame->Action(id))
            commands.push_back(id);
    }
    ASSERT_FALSE(commands.empty());
    for (int id : commands)
        EXPECT_FALSE(Enabled(id)) << "no document: " << id;

    CChildFrame* child = frame->NewDocument();
    for (int id : commands)
        EXPECT_TRUE(Enabled(id)) << id;

    // "Posterize" from the menu: one undo step.
    WhenModal<QDialog>([](QDialog& dialog) {
        auto* bar = dialog.findChild<QSlider*>("control1014");
        bar->setValue(2);
        dialog.accept();
    });
    frame->Action(20038)->trigger();
    EXPECT_TRUE(Enabled(EditUndo));
    EXPECT_EQ(child->Document().History().UndoCount(), 1u);
    // "RGB Value": red down by 128 shows on the view once OK is pressed.
    WhenModal<QDialog>([](QDialog& dialog) {
        dialog.findChild<QSlider*>("control1014")->setValue(-128);
        dialog.accept();
    });
    frame->Action(20016)->trigger();
    EXPECT_EQ(qRed(Shown(*child).pixel(100, 100)), 127);
    EXPECT_EQ(child->Document().History().UndoCount(), 2u);
}

TEST_F(FrameViewTest, PrintPreviewDrawsTheActivePicture)
{
    EXPECT_FALSE(Enabled(FilePrint));
    EXPECT_FALSE(Enabled(FilePrintPreview));
    frame->NewDocument();
    EXPECT_TRUE(Enabled(FilePrint));
    EXPECT_TRUE(Enabled(FilePrintPreview));

    int pages = -1;
    // The dialog runs modally: a timer inside its loop reads the preview and closes it.
    QTimer closer;
    closer.setInterval(50);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(top);
            if (!dialog || !dialog->isVisible())
                continue;
            // The preview has pages only when the view drew into it.
            if (auto* preview = dialog->findChild<QPrintPreviewWidget*>())
                pages = preview->pageCount();
            closer.stop();
            dialog->reject();
        }
    });
    closer.start();
    frame->OnCommand(FilePrintPreview);
    EXPECT_EQ(pages, 1);
}

TEST_F(FrameViewTest, PrintSendsThePictureToThePrinterChosenInTheDialog)
{
    frame->NewDocument();
    const QString pdf = dir.path() + "/printed.pdf";
    bool asked = false;
    QTimer closer;
    closer.setInterval(50);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QPrintDialog*>(top);
            if (!dialog || !dialog->isVisible())
                continue;
            asked = true;
            // No printer is needed: the dialog's printer is turned into a file before it is accepted.
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(pdf);
            closer.stop();
            dialog->done(QDialog::Accepted);
        }
    });
    closer.start();
    frame->OnCommand(FilePrint);
    EXPECT_TRUE(asked);
    // The file exists only when the view painted on the printer; its picture page is over a kilobyte.
    EXPECT_GT(QFileInfo(pdf).size(), 1000) << QFileInfo(pdf).size();
}

TEST_F(FrameViewTest, ScreenshotWithADocument)
{
    CChildFrame* child = frame->NewDocument();
    frame->OnCommand(20020);
    frame->OnCommand(ZoomOut);
    QApplication::processEvents();
    EXPECT_EQ(Shown(*child).pixel(50, 50), kBlack);
    const QPixmap shot = frame->grab();
    ASSERT_FALSE(shot.isNull());
    const QString path = OutputFolder() + "/main_window_document.png";
    ASSERT_TRUE(shot.save(path, "PNG")) << path.toStdString();
}

TEST_F(FrameViewTest, ToolCommandsCheckTheActiveViewsTool_AndDeleteObjectNeedsASelection)
{
    const int tools[] = { ToolMove, ToolSelect, ToolCrop, ToolZoom, ToolText, ToolLine, ToolRectangle, ToolHighlight,
        ToolArrow, ToolStamp, ToolRedact, ToolStep, ToolPen };
    CChildFrame* first = frame->NewDocument();
    for (int chosen : tools) {
        frame->OnCommand(chosen);
        for (int tool : tools)
            EXPECT_EQ(frame->Action(tool)->isChecked(), tool == chosen) << chosen << " " << tool;
    }
    EXPECT_EQ(first->View().CurrentTool(), CKestrelView::ToolPen);
    EXPECT_EQ(frame->ParamBar()->CurrentKind(), CKestrelView::ToolPen);
    EXPECT_FALSE(Enabled(DeleteObject));

    // A rectangle drawn with the mouse is selected; the toolbar's Delete object removes it.
    frame->OnCommand(ToolRectangle);
    QWidget* port = first->View().viewport();
    QTest::mousePress(port, Qt::LeftButton, {}, { 20, 20 });
    QMouseEvent move(
        QEvent::MouseMove, QPointF(80, 60), port->mapToGlobal(QPointF(80, 60)), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(port, &move);
    QTest::mouseRelease(port, Qt::LeftButton, {}, { 80, 60 });
    ASSERT_EQ(first->Document().Objects().Size(), 1u);
    EXPECT_TRUE(frame->Action(ToolSelect)->isChecked());
    EXPECT_TRUE(Enabled(DeleteObject));
    frame->OnCommand(DeleteObject);
    EXPECT_TRUE(first->Document().Objects().IsEmpty());
    EXPECT_FALSE(Enabled(DeleteObject));
    EXPECT_TRUE(Enabled(EditUndo));

    // Each tab keeps its own tool.
    CChildFrame* second = frame->NewDocument();
    EXPECT_TRUE(frame->Action(ToolMove)->isChecked());
    Activate(first);
    EXPECT_TRUE(frame->Action(ToolSelect)->isChecked());
    EXPECT_NE(second, first);
}

TEST_F(FrameViewTest, ParamBarFollowsTheActiveTab_SoItsChangeRestylesThatTabsSelection)
{
    CChildFrame* lined = frame->NewDocument();
    auto made = std::make_unique<LineObject>();
    made->startX = 10, made->startY = 20, made->endX = 150, made->endY = 20;
    made->width = 7, made->style = LineObject::kDot, made->colour = 0x0000FF;
    auto* line = static_cast<LineObject*>(lined->Document().Objects().AppendObject(std::move(made)));
    lined->Document().UpdateAllViews();
    frame->OnCommand(ToolSelect);
    lined->View().PickObject({ 80, 20 });
    ASSERT_EQ(lined->View().SelectedObject(), line);

    CChildFrame* boxed = frame->NewDocument();
    frame->OnCommand(ToolRectangle);
    EXPECT_EQ(frame->ParamBar()->CurrentKind(), PanelKind::kRectangle);

    Activate(lined);
    ASSERT_EQ(frame->ParamBar()->CurrentKind(), PanelKind::kLine);
    auto* width = qobject_cast<QComboBox*>(frame->ParamBar()->Panel()->Control(PanelControl::kLineWidth));
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->currentText(), "7");
    width->setFocus();
    QTest::keyClick(width, Qt::Key_Down);
    EXPECT_EQ(line->width, 8);
    EXPECT_EQ(line->style, LineObject::kDot);
    EXPECT_EQ(line->colour, 0x0000FFu);
    EXPECT_EQ(lined->Document().History().UndoCount(), 1u);

    Activate(boxed);
    EXPECT_EQ(frame->ParamBar()->CurrentKind(), PanelKind::kRectangle);
    EXPECT_TRUE(boxed->Document().Objects().IsEmpty());
    // A new tab starts with the Move tool and its panel.
    OpenPicture(20, 10, Qt::red);
    EXPECT_EQ(frame->ParamBar()->CurrentKind(), PanelKind::kNoParameter);
}
