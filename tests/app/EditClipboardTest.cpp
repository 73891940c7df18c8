#include "ImageTestUtil.h"
#include "TextPicture.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTextResultDlg.h"
#include "app/CloseSequencePrompts.h"
#include "app/CommandIds.h"
#include "editor/codecs/ImageBytes.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/ui/CKestrelView.h"
#include "tests/app/AppTestSupport.h"

#include <QAction>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <utility>

using namespace CommandId;

namespace {

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

QRgb Colour(const ImageBuffer& image, int x, int y)
{
    const testutil::Bgra c = testutil::PixelAt(image, x, y);
    return qRgb(c.r, c.g, c.b);
}

// The Edit menu against the real X clipboard, with xclip as the other program.
class EditClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable("xclip").isEmpty())
            GTEST_SKIP() << "needs an X display and xclip";
        EnsureApp();
        services.settings = &store;
        services.prompts = &prompts;
        services.autostartPath = dir.path() + "/autostart/Lumora.desktop";
        services.askExpand = [this] {
            ++questions;
            return ImageClipboard::ExpandAnswer::Yes;
        };
        frame = std::make_unique<CMainFrame>(services);
        frame->resize(900, 700);
        frame->show();
        child = frame->NewDocument();
        child->Document().SetImage(testutil::MakeImage(300, 200, 32));
        child->Document().UpdateAllViews();
    }

    void TearDown() override
    {
        // Taking the clipboard back ends whatever serves it. The xclip left serving must not hold the
        // test's output open, or the test runner waits for it.
        if (child)
            QProcess::execute("sh", { "-c", "echo -n x | xclip -selection clipboard -i >/dev/null 2>&1" });
    }

    static QByteArray Xclip(const QStringList& arguments, const QByteArray& input = {})
    {
        QProcess xclip;
        xclip.start("xclip", QStringList { "-selection", "clipboard" } + arguments);
        xclip.write(input);
        xclip.closeWriteChannel();
        xclip.waitForFinished(10000);
        return xclip.readAllStandardOutput();
    }

    // xclip hands the selection to a child and returns before the child owns it: wait until the
    // clipboard offers the type.
    static bool WaitUntilOffered(const QByteArray& type)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (Xclip({ "-t", "TARGETS", "-o" }).split('\n').contains(type))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    const ImageBuffer& Picture() const { return std::as_const(child->Document()).Image(); }

    // The clipboard is the server's: other tests must not take it in between.
    XServerTurn turn;
    QTemporaryDir dir;
    DefaultStore store;
    SilentPrompts prompts;
    FrameServices services;
    std::unique_ptr<CMainFrame> frame;
    CChildFrame* child = nullptr;
    int questions = 0;
};

} // namespace

TEST_F(EditClipboardTest, CopyOffersTheViewSelectionToOtherPrograms)
{
    ASSERT_TRUE(frame->Action(EditCopy)->isEnabled());
    child->View().SetImageSelection({ 10, 20, 110, 70 });
    frame->Action(EditCopy)->trigger();
    const QImage copied = QImage::fromData(Xclip({ "-t", "image/png", "-o" }), "PNG");
    ASSERT_EQ(copied.size(), QSize(100, 50));
    for (QPoint p : { QPoint(0, 0), QPoint(99, 49), QPoint(37, 12) })
        EXPECT_EQ(copied.pixel(p), Colour(Picture(), 10 + p.x(), 20 + p.y())) << p.x() << "," << p.y();
}

TEST_F(EditClipboardTest, PasteOfALargerPictureExpandsAndUndoes)
{
    const ImageBuffer offered = testutil::MakeImage(400, 100, 32, [](int x, int y) {
        return testutil::Bgra { uint8_t(x), uint8_t(y), 99, 255 };
    });
    const std::vector<char> png = EncodeImageBytes(offered, "image/png");
    Xclip({ "-t", "image/png", "-i" }, QByteArray(png.data(), qsizetype(png.size())));
    ASSERT_TRUE(WaitUntilOffered("image/png"));

    child->View().SetImageSelection({ 10, 10, 50, 50 });
    frame->Action(EditPaste)->trigger();
    EXPECT_EQ(questions, 1);
    ASSERT_EQ(Picture().Width(), 400);
    ASSERT_EQ(Picture().Height(), 200);
    EXPECT_EQ(Colour(Picture(), 399, 99), Colour(offered, 399, 99));
    EXPECT_EQ(Colour(Picture(), 399, 100), qRgb(255, 255, 255));
    EXPECT_TRUE(child->View().CanvasSelection().IsEmpty()) << "the expanded picture drops the selection";

    ASSERT_TRUE(frame->Action(EditUndo)->isEnabled());
    frame->Action(EditUndo)->trigger();
    EXPECT_EQ(Picture().Width(), 300);
}

TEST_F(EditClipboardTest, CopyTextPutsTheTextOfTheSelectionOnTheClipboardAndInItsDialog)
{
    QStringList lines;
    ImageBuffer picture = textpicture::Paragraph({ "Liberation Sans", 12, false }, 520, &lines);
    ASSERT_TRUE(picture.ConvertTo(32));
    ASSERT_GE(lines.size(), 4);
    child->Document().SetImage(picture);
    child->Document().UpdateAllViews();
    // The first two lines only: text outside the selection must not be read.
    const int lineSpacing = QFontMetrics(textpicture::FontOf({ "Liberation Sans", 12, false })).lineSpacing();
    child->View().SetImageSelection({ 0, 0, picture.Width(), 10 + 2 * lineSpacing + 2 });
    ASSERT_TRUE(frame->Action(EditCopyText)->isEnabled());

    frame->Action(EditCopyText)->trigger();
    CTextResultDlg* dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = frame->findChild<CTextResultDlg*>()) != nullptr; }, 30000));
    const QString expected = lines.mid(0, 2).join(' ');
    EXPECT_GE(textpicture::CharacterAccuracy(expected, dialog->Text()), 0.98) << dialog->Text().toStdString();

    // Another program reads the clipboard while this one serves it from its event loop.
    QProcess xclip;
    xclip.start("xclip", { "-selection", "clipboard", "-o" });
    ASSERT_TRUE(WaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(QString::fromUtf8(xclip.readAllStandardOutput()), dialog->Text());
    dialog->close();
}
