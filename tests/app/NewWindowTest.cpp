#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CloseSequencePrompts.h"
#include "app/CommandIds.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/objects/LineObject.h"
#include "editor/ui/CKestrelView.h"
#include "tests/app/AppTestSupport.h"

#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTabBar>

#include <gtest/gtest.h>

namespace {
struct CountingPrompts : CloseSequencePrompts {
    ExitAnswer AskSaveOnExit(const QString& title) override
    {
        exitAsked << title;
        return ExitAnswer::No;
    }
    SaveImageAnswer AskSaveImage() override
    {
        ++imageAsked;
        return imageAnswer;
    }
    std::optional<QString> AskSavePath(const QString&, const QString&) override { return std::nullopt; }
    void ReportSaveFailure(const QString&) override { }
    void ReportOpenFailure(const QString&) override { }
    QStringList exitAsked;
    int imageAsked = 0;
    SaveImageAnswer imageAnswer = SaveImageAnswer::No;
};

class NewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApp();
        services.prompts = &prompts;
        frame = std::make_unique<CMainFrame>(services);
        frame->resize(900, 600);
        frame->show();
        frame->OnCommand(CommandId::FileNew);
        frame->OnCommand(CommandId::WindowNew);
        QApplication::processEvents();
    }

    void TearDown() override
    {
        for (CChildFrame* child : frame->Documents())
            child->SetModified(false);
        frame->close();
    }

    static QColor NearTheCorner(CKestrelView& view)
    {
        QImage picture(20, 20, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        QPainter painter(&picture);
        view.DrawPicture(painter, QPoint(0, 0), picture.rect());
        painter.end();
        return picture.pixelColor(10, 10);
    }

    // As the window's own close box does.
    void CloseActiveWindow()
    {
        frame->MdiArea()->activeSubWindow()->close();
        Settle();
    }

    void Settle()
    {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }

    CountingPrompts prompts;
    FrameServices services;
    std::unique_ptr<CMainFrame> frame;
};
} // namespace

TEST_F(NewWindowTest, OpensANumberedSecondTabOnTheSameDocument)
{
    const std::vector<CChildFrame*> windows = frame->Documents();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(&windows[0]->Document(), &windows[1]->Document());
    const QString title = windows[0]->Title();
    QTabBar* tabs = frame->TabBar();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), title + ":1");
    EXPECT_EQ(tabs->tabText(1), title + ":2");
    EXPECT_EQ(frame->ActiveDocument(), windows[1]);
    EXPECT_EQ(frame->windowTitle(), "Lumora - " + title + ":2");

    // A third, then closing the middle one renumbers the rest.
    frame->OnCommand(CommandId::WindowNew);
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(2), title + ":3");
    frame->MdiArea()->setActiveSubWindow(frame->MdiArea()->subWindowList(QMdiArea::CreationOrder)[1]);
    CloseActiveWindow();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), title + ":1");
    EXPECT_EQ(tabs->tabText(1), title + ":2");
}

TEST_F(NewWindowTest, AnEditThroughOneViewShowsInTheOther)
{
    const std::vector<CChildFrame*> windows = frame->Documents();
    ASSERT_EQ(windows.size(), 2u);
    CKestrelDoc& document = windows[0]->Document();
    // An object makes the views draw from their cached composites.
    auto line = std::make_unique<LineObject>();
    line->startX = line->endX = 600;
    line->startY = line->endY = 450;
    document.Objects().AppendObject(std::move(line));
    document.UpdateAllViews();
    ASSERT_EQ(NearTheCorner(windows[1]->View()), QColor(Qt::white));

    // Pixels changed the way the view's tools change them: through the view, not the document.
    const uint8_t black[4] = { 0, 0, 0, 255 };
    document.Image().FillRect({ 0, 0, CKestrelDoc::kNewWidth, CKestrelDoc::kNewHeight }, black);
    windows[0]->View().InvalidateComposite();
    EXPECT_EQ(NearTheCorner(windows[0]->View()), QColor(Qt::black));
    EXPECT_EQ(NearTheCorner(windows[1]->View()), QColor(Qt::black));
}

TEST_F(NewWindowTest, ClosingOneWindowKeepsTheDocumentAndOnlyTheLastAsks)
{
    CChildFrame* first = frame->Documents().front();
    const QString title = first->Title();
    first->SetModified(true);
    CloseActiveWindow();
    EXPECT_EQ(prompts.imageAsked, 0);
    ASSERT_EQ(frame->Documents().size(), 1u);
    CChildFrame* left = frame->Documents().front();
    EXPECT_EQ(left, first);
    EXPECT_TRUE(left->IsModified());
    EXPECT_EQ(frame->TabBar()->tabText(0), title);
    EXPECT_EQ(frame->windowTitle(), "Lumora - " + title);

    CloseActiveWindow();
    EXPECT_EQ(prompts.imageAsked, 1);
    EXPECT_TRUE(frame->Documents().empty());
}

// "Close" closes the document, every window of it, asking once.
TEST_F(NewWindowTest, CloseCommandClosesEveryWindowOfTheDocumentAskingOnce)
{
    struct Case {
        SaveImageAnswer answer;
        size_t windowsLeft;
    };
    for (const Case c : { Case { SaveImageAnswer::Cancel, 2 }, Case { SaveImageAnswer::No, 0 } }) {
        prompts.imageAsked = 0;
        prompts.imageAnswer = c.answer;
        frame->Documents().front()->SetModified(true);
        frame->OnCommand(CommandId::FileClose);
        Settle();
        EXPECT_EQ(prompts.imageAsked, 1);
        EXPECT_EQ(frame->Documents().size(), c.windowsLeft);
    }
}

TEST_F(NewWindowTest, ExitAsksOncePerDocumentNotPerWindow)
{
    frame->Documents().front()->SetModified(true);
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(prompts.exitAsked.size(), 1);
}
