#include "ReviewPictures.h"
#include "controls/CHyperLink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_.resize(400, 120);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    CHyperLink* AddLink(const QString& text, const QString& target = {})
    {
        auto* link = new CHyperLink(text, target, &window_);
        link->move(20, 20);
        link->show();
        return link;
    }

    // Clicks the link and returns the text of the message box it shows, if any.
    static QString ClickForMessage(CHyperLink& link)
    {
        QString message;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                answer.stop();
                message = box->text();
                box->accept();
            }
        });
        answer.start(20);
        QTest::mouseClick(&link, Qt::LeftButton);
        return message;
    }

    QWidget window_;
};

TEST_F(HyperLinkTest, OpensItsOwnTextAndTurnsVisited)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("lumoratest", &catcher, "Open");
    CHyperLink* link = AddLink("lumoratest://pages/home");
    EXPECT_EQ(link->URL(), "lumoratest://pages/home");
    EXPECT_EQ(link->toolTip(), link->URL());
    EXPECT_EQ(link->TextColour(), QColor(0, 0, 238));
    const QString message = ClickForMessage(*link);
    QDesktopServices::unsetUrlHandler("lumoratest");
    EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl("lumoratest://pages/home"));
    EXPECT_TRUE(link->IsVisited());
    EXPECT_EQ(link->TextColour(), QColor(85, 26, 139));
    const QImage picture = KeepPicture(*link, "hyperlink_visited");
    bool visitedInk = false;
    for (int y = 0; y < picture.height() && !visitedInk; ++y)
        for (int x = 0; x < picture.width() && !visitedInk; ++x)
            visitedInk = picture.pixel(x, y) == qRgb(85, 26, 139);
    EXPECT_TRUE(visitedInk) << "the text is drawn in the visited colour";
}

TEST_F(HyperLinkTest, HoverUnderlinesAndLeavingRestores)
{
    CHyperLink* link = AddLink("Lumora home page", "lumoratest://home");
    EXPECT_FALSE(link->font().underline());
    QTest::mouseMove(link, link->rect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return link->IsOver(); }, 1000));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->TextColour(), QColor(255, 0, 0));
    KeepPicture(window_, "hyperlink_hover");

    QTest::mouseMove(&window_, QPoint(350, 100));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !link->IsOver(); }, 1000));
    EXPECT_FALSE(link->font().underline());
    EXPECT_EQ(link->TextColour(), QColor(0, 0, 238));
}

TEST_F(HyperLinkTest, TargetThatCannotOpenIsReported)
{
    QTemporaryDir dir;
    const struct {
        QString target;
        const char* text;
    } cases[] = {
        { dir.path() + "/missing.html", "The specified file was not found." },
        { dir.path() + "/no-folder/missing.html", "The specified path was not found." },
    };
    for (const auto& c : cases) {
        CHyperLink* link = AddLink("Support", c.target);
        EXPECT_EQ(ClickForMessage(*link), QString("Unable to open hyperlink:\n\n") + c.text);
        EXPECT_FALSE(link->IsVisited());
        EXPECT_EQ(link->TextColour(), QColor(0, 0, 238));
        delete link;
    }
}

TEST_F(HyperLinkTest, ResizesToItsTextKeepingTheAlignedEdge)
{
    const struct {
        Qt::Alignment alignment;
        const char* kept;
    } cases[] = { { Qt::AlignLeft, "left" }, { Qt::AlignHCenter, "centre" }, { Qt::AlignRight, "right" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kept);
        CHyperLink* link = AddLink("Home");
        link->setAlignment(c.alignment | Qt::AlignTop);
        const QRect before = link->geometry();
        link->setText("A much longer text for the same link");
        link->AdjustToText();
        const QRect after = link->geometry();
        EXPECT_GT(after.width(), before.width());
        EXPECT_EQ(after.top(), before.top());
        EXPECT_LE(std::abs(after.width() - link->fontMetrics().horizontalAdvance(link->text())), 2);
        if (c.alignment == Qt::AlignLeft)
            EXPECT_EQ(after.left(), before.left());
        else if (c.alignment == Qt::AlignRight)
            EXPECT_EQ(after.right(), before.right());
        else
            EXPECT_LE(std::abs(after.center().x() - before.center().x()), 1);
        delete link;
    }
}

} // namespace

#include "HyperLinkTest.moc"
