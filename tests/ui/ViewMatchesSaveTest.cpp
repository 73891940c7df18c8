// What the view really paints (a grab of the widget) against what saving writes, for every kind of object
// made with its tool, at 100 % and 200 %, after creation, a move, undo and redo.
#include "editor/bars/CParamBar.h"
#include "editor/bars/ParamPanel.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/StampObject.h"
#include "editor/ui/CEditTxtDlg.h"
#include "tests/ui/ViewTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kImageWidth = 120;
constexpr int kImageHeight = 80;

class ViewMatchesSaveTest : public ViewTestBase {
protected:
    void SetUp() override
    {
        // A stamp with see-through corners, so that its shadow shows.
        QDir(folder_.path()).mkpath("stamps");
        QImage stamp(24, 16, QImage::Format_ARGB32);
        stamp.fill(Qt::transparent);
        QPainter painter(&stamp);
        painter.setBrush(QColor(200, 40, 90));
        painter.drawEllipse(2, 2, 20, 12);
        painter.end();
        ASSERT_TRUE(stamp.save(folder_.path() + "/stamps/a.png"));
        bar_ = std::make_unique<CParamBar>(nullptr, folder_.path().toStdString() + "/");
        SetPicture(kImageWidth, kImageHeight);
    }

    void TearDown() override { view_.reset(); }

    void Open(int zoomStep)
    {
        view_ = MakeView(300, 200);
        view_->SetParamBar(bar_.get());
        bar_->SetTargetResolver([this] { return view_.get(); });
        view_->SetZoomStep(zoomStep);
        QApplication::processEvents();
    }

    QPoint At(QPoint image) const { return view_->ImageToClient(image); }
    void Mouse(QEvent::Type type, QPoint image, Qt::MouseButtons buttons)
    {
        QWidget* port = view_->viewport();
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, At(image), port->mapToGlobal(At(image)), button, buttons, {});
        QApplication::sendEvent(port, &event);
        QApplication::processEvents();
    }
    void Drag(QPoint from, QPoint to)
    {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        Mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }

    // Types the words into the text dialog once it shows, as a user does, and confirms it.
    static void TypeIntoTextDialog()
    {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [poll] {
            if (auto* dialog = qobject_cast<CEditTxtDlg*>(QApplication::activeModalWidget())) {
                poll->stop();
                poll->deleteLater();
                if (auto* edit = dialog->findChild<QPlainTextEdit*>())
                    QTest::keyClicks(edit, "Hello text");
                dialog->accept();
            }
        });
        poll->start(5);
    }

    // Unselected, so that no handles are drawn; the rest of the picture must be what saving writes.
    void ExpectShownAsSaved(const std::string& step)
    {
        SCOPED_TRACE(step);
        view_->SelectTool(CKestrelView::ToolMove);
        QApplication::processEvents();
        const std::string path = ::testing::TempDir() + "lumora_view_saved.png";
        ASSERT_TRUE(document_.OnSaveDocument(path));
        const QImage saved = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(saved.size(), QSize(kImageWidth, kImageHeight));
        const QImage shown = Grab(*view_);
        const int scale = view_->ZoomStep() == 6 ? 2 : 1;
        int wrong = 0;
        QPoint first;
        for (int y = 0; y < kImageHeight * scale; ++y)
            for (int x = 0; x < kImageWidth * scale; ++x)
                if (shown.pixel(5 + x, 5 + y) != saved.pixel(x / scale, y / scale) && wrong++ == 0)
                    first = QPoint(x / scale, y / scale);
        EXPECT_EQ(wrong, 0) << "first at image (" << first.x() << ", " << first.y() << ")";
        if (wrong)
            Grab(*view_, "not_as_saved");
    }

    QTemporaryDir folder_;
    std::unique_ptr<CParamBar> bar_;
    std::unique_ptr<CKestrelView> view_;
};

} // namespace

TEST_F(ViewMatchesSaveTest, EveryKind_Should_BeShownAsSaved_AtEveryStep)
{
    struct Case {
        const char* name;
        int tool;
        bool shadow;
        QPoint grab; // a point of the object clear of its handles
        std::vector<QPoint> path = {}; // the pointer's way from press to release; a drag by default
    };
    // A wave there and back, long enough for a stroke drawn in several runs, each move redrawing only
    // its new end.
    std::vector<QPoint> wave;
    for (int i = 0; i < 200; ++i)
        wave.emplace_back(
            10 + (i < 100 ? i : 199 - i), 30 + (i < 100 ? 0 : 12) + int(std::lround(20 * std::sin(i / 6.0))));
    const Case cases[] = {
        { "text", CKestrelView::ToolText, false, { 50, 35 } },
        { "text with shadow", CKestrelView::ToolText, true, { 50, 35 } },
        { "line", CKestrelView::ToolLine, true, { 50, 35 } },
        { "arrow", CKestrelView::ToolArrow, false, { 50, 35 } },
        { "rectangle", CKestrelView::ToolRectangle, true, { 50, 15 } },
        { "highlight", CKestrelView::ToolHighlight, true, { 50, 35 } },
        { "stamp", CKestrelView::ToolStamp, true, { 50, 35 } },
        { "redaction", CKestrelView::ToolRedact, false, { 50, 35 } },
        { "step marker", CKestrelView::ToolStep, true, { 50, 35 }, { { 50, 35 } } },
        { "pen stroke", CKestrelView::ToolPen, true, wave[40] + QPoint(5, 5), wave },
        { "pen stroke without shadow", CKestrelView::ToolPen, false, wave[40], wave },
    };
    for (const int zoomStep : { 4, 6 }) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (zoomStep == 4 ? " at 100 %" : " at 200 %"));
            document_.Objects().ClearObjects();
            Open(zoomStep);
            view_->SelectTool(c.tool);
            bar_->Panel()->SetStampChoice(1);
            if (QWidget* shadow = bar_->Panel()->Control(PanelControl::kShadow);
                shadow && bar_->ReadValues().shadow != c.shadow)
                QTest::mouseClick(shadow, Qt::LeftButton);
            if (c.tool == CKestrelView::ToolText)
                TypeIntoTextDialog();
            if (c.path.empty()) {
                Drag({ 20, 15 }, { 80, 55 });
            } else {
                Mouse(QEvent::MouseButtonPress, c.path.front(), Qt::LeftButton);
                for (const QPoint& point : c.path)
                    Mouse(QEvent::MouseMove, point, Qt::LeftButton);
                Mouse(QEvent::MouseButtonRelease, c.path.back(), Qt::NoButton);
            }
            ASSERT_EQ(document_.Objects().Size(), 1u);
            if (const auto* stamp = dynamic_cast<const StampObject*>(document_.Objects().Back())) {
                ASSERT_FALSE(stamp->Image().IsEmpty());
            }
            if (const auto* pen = dynamic_cast<const PenObject*>(document_.Objects().Back())) {
                ASSERT_GT(pen->Points().size(), 2 * PenObject::kPiecesPerRun);
            }
            ExpectShownAsSaved("created");

            view_->SelectTool(CKestrelView::ToolSelect);
            Drag(c.grab, c.grab); // picks it
            Drag(c.grab, c.grab + QPoint(9, 6));
            ExpectShownAsSaved("moved");

            ASSERT_TRUE(document_.Undo());
            ExpectShownAsSaved("move undone");
            ASSERT_TRUE(document_.Undo());
            ExpectShownAsSaved("creation undone");
            ASSERT_TRUE(document_.Redo());
            ExpectShownAsSaved("creation redone");
            ASSERT_TRUE(document_.Redo());
            ExpectShownAsSaved("move redone");
        }
    }
}
