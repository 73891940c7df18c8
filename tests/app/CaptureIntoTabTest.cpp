#include "tests/app/AppTestSupport.h"

#include <QDBusConnection>
#include <QFile>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// After gtest and Qt: the X headers' macros (None, Bool, Status) clash with them.
#include <X11/Xlib.h>

#include <functional>
#include <optional>
#include <vector>

namespace {
// Three blocks of colours found nowhere else on the screen, placed at the screen's top-left corner.
struct Block {
    int x, y, w, h;
    QRgb colour;
};
constexpr Block kPattern[] = {
    { 0, 0, 60, 40, qRgb(0x10, 0xA0, 0x50) },
    { 60, 0, 60, 40, qRgb(0xC0, 0x30, 0x20) },
    { 0, 40, 120, 40, qRgb(0x20, 0x40, 0xE0) },
};
constexpr int kPatternWidth = 120;
constexpr int kPatternHeight = 80;
constexpr QRgb kViewGrey = qRgb(148, 148, 148);
constexpr int kViewMargin = 5;

// Starts the real executable on the test's X server with a hot key for full-screen capture, and checks
// what it shows in its tabs by reading the screen back.
class CaptureIntoTabTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string why = MissingKeyboardTestNeeds(); !why.empty())
            GTEST_SKIP() << why;
        EnsureApp();
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        if (DefaultDepth(display_, DefaultScreen(display_)) < 24)
            GTEST_SKIP() << "the pattern's colours need a true-colour screen";
        executable_ = CopyProgramInto(programDir_.path());
        ASSERT_FALSE(executable_.isEmpty());
    }

    void TearDown() override
    {
        RemovePattern();
        if (lumora_) {
            lumora_->kill();
            lumora_->waitForFinished(5000);
            delete lumora_;
        }
        if (display_)
            XCloseDisplay(display_);
    }

    void StartLumora()
    {
        QFile config(programDir_.path() + "/config.ini");
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        // Ctrl+Alt+Shift+F captures the full screen into a new tab; auto-save keeps the very image the
        // tab received.
        config.write(QString("[AppSet]\nIsEnableHotkey=1\n"
                             "[CapFullScreen]\nHotkey=70\nHotkeyMask=7\n"
                             "[CaptureSet]\nCapAppViewMode=0\nRestoreWndAftCap=1\n"
                             "[AudoSaveSet]\nIsAudoSave=1\nImageSavePath=%1\nImageSaveTitle=Snap\nImageFormat=2\n")
                         .arg(shots_.path())
                         .toUtf8());
        config.close();
        lumora_ = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", configHome_.path());
        lumora_->setProcessEnvironment(env);
        lumora_->start(executable_, {});
        ASSERT_TRUE(WaitFor([&] { return !LumoraWindow().isEmpty(); }, 30000))
            << lumora_->readAllStandardError().toStdString();
    }

    QString LumoraWindow() const { return ShownMainWindow(lumora_->processId()); }

    // Override-redirect windows stay where they are put and above the program's window.
    void ShowPattern()
    {
        for (const Block& block : kPattern) {
            XSetWindowAttributes attributes {};
            attributes.override_redirect = True;
            attributes.background_pixel = block.colour & 0xFFFFFF;
            const Window window = XCreateWindow(display_, DefaultRootWindow(display_), block.x, block.y,
                unsigned(block.w), unsigned(block.h), 0, CopyFromParent, InputOutput, CopyFromParent,
                CWOverrideRedirect | CWBackPixel, &attributes);
            XMapRaised(display_, window);
            pattern_.push_back(window);
        }
        XSync(display_, False);
    }

    void RemovePattern()
    {
        for (Window window : pattern_)
            XDestroyWindow(display_, window);
        pattern_.clear();
        if (display_)
            XSync(display_, False);
    }

    // The whole screen as another run of the program reads it, with no delay.
    QImage GrabScreen(const QString& name) const
    {
        const QString file = grabs_.path() + "/" + name + ".png";
        QFile::remove(file);
        QProcess capture;
        capture.start(executable_, { "capture", "full", "--delay", "0", "--output", file });
        capture.waitForFinished(30000);
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }

    static bool PatternAt(const QImage& image, QPoint origin)
    {
        for (const Block& block : kPattern) {
            for (int y = block.y; y < block.y + block.h; y += 3) {
                for (int x = block.x; x < block.x + block.w; x += 3) {
                    if (image.pixel(origin + QPoint(x, y)) != block.colour)
                        return false;
                }
            }
        }
        return true;
    }

    // The first pixel where two images of one size differ, (-1, -1) when none does.
    static QPoint FirstDifference(const QImage& a, const QImage& b)
    {
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                if (a.pixel(x, y) != b.pixel(x, y))
                    return { x, y };
            }
        }
        return { -1, -1 };
    }

    // Where the pattern shows with the view's grey margin above and to its left: the image's top-left
    // corner inside a tab at 100 %.
    static std::optional<QPoint> PatternInView(const QImage& screen)
    {
        for (int y = kViewMargin; y + kPatternHeight <= screen.height(); ++y) {
            for (int x = kViewMargin; x + kPatternWidth <= screen.width(); ++x) {
                if (screen.pixel(x, y) != kPattern[0].colour || screen.pixel(x - 1, y) != kViewGrey
                    || screen.pixel(x, y - 1) != kViewGrey)
                    continue;
                if (PatternAt(screen, { x, y }))
                    return QPoint(x, y);
            }
        }
        return std::nullopt;
    }

    // Captures with trigger and checks the image handed to the new tab (kept by auto-save as shot) and
    // what the tab then shows.
    void CheckCaptureIntoTab(const std::function<void()>& trigger, const QString& shot, const QString& label)
    {
        const QString window = LumoraWindow();
        ASSERT_FALSE(window.isEmpty());
        ShowPattern();
        const QImage before = GrabScreen(label + "_before");
        ASSERT_FALSE(before.isNull());
        ASSERT_TRUE(PatternAt(before, { 0, 0 })) << "the pattern windows are not on the screen";
        trigger();
        const QString file = shots_.path() + "/" + shot;
        ASSERT_TRUE(WaitFor([&] { return QImage(file).width() > 0; }, 30000))
            << "no capture was made: " << lumora_->readAllStandardError().toStdString();
        // The screen did not change between the grab and the capture: pattern windows on top, the
        // program's window untouched below them.
        EXPECT_EQ(QImage(file).convertToFormat(QImage::Format_RGB32), before) << "the capture is not the screen";

        RemovePattern();
        std::optional<QPoint> origin;
        QImage after;
        const bool shown = WaitFor(
            [&] {
                after = GrabScreen(label + "_after");
                origin = after.isNull() ? std::nullopt : PatternInView(after);
                // Also wait for the program to repaint where the pattern windows were.
                return origin.has_value() && !PatternAt(after, { 0, 0 });
            },
            30000, 500);
        after.save(OutputFolder() + "/capture_into_tab_" + label + ".png");
        ASSERT_TRUE(shown) << "the capture is not shown in a tab";
        // The new tab is the active document, named after the file auto-save wrote.
        EXPECT_EQ(WindowName(window).toStdString(), ("Lumora - " + shot).toStdString());
        // Drawn at 100 %: its pixels equal the screen's, on the view's grey. The part compared reaches past
        // the program's own window as it was captured, so an older tab (which showed an earlier screen)
        // cannot pass for the new one.
        const QSize compared(origin->x() + kPatternWidth, origin->y() + kPatternHeight);
        ASSERT_TRUE(QRect(*origin, compared).bottomRight().y() < after.height());
        EXPECT_EQ(FirstDifference(after.copy(QRect(*origin, compared)), before.copy(QRect(QPoint(0, 0), compared))),
            QPoint(-1, -1))
            << "tab at " << origin->x() << "," << origin->y();
        for (int i = 1; i <= kViewMargin; ++i) {
            EXPECT_EQ(after.pixel(*origin - QPoint(i, 0)), kViewGrey) << "left margin at " << i;
            EXPECT_EQ(after.pixel(*origin - QPoint(0, i)), kViewGrey) << "top margin at " << i;
        }
        // and no wider: the view's edge lies just beyond the margin.
        EXPECT_NE(after.pixel(*origin - QPoint(kViewMargin + 1, 0)), kViewGrey) << "left margin too wide";
        EXPECT_NE(after.pixel(*origin - QPoint(0, kViewMargin + 1)), kViewGrey) << "top margin too high";
    }

    Display* display_ = nullptr;
    std::vector<Window> pattern_;
    QTemporaryDir programDir_;
    QTemporaryDir configHome_;
    QTemporaryDir shots_;
    QTemporaryDir grabs_;
    QString executable_;
    QProcess* lumora_ = nullptr;
};
} // namespace

TEST_F(CaptureIntoTabTest, HotKeyThenSendEachOpenATabShowingTheScreen)
{
    XServerTurn turn;
    ASSERT_TRUE(turn.Held());
    StartLumora();
    if (HasFatalFailure())
        return;

    ASSERT_TRUE(WaitUntilGrabbedElsewhere('F', 7)) << "the program never grabbed its hot key";
    CheckCaptureIntoTab(
        [] {
            QProcess::execute("xdotool", { "key", "--clearmodifiers", "ctrl+alt+shift+f" });
        },
        "Snap1.png", "hotkey");
    if (HasFatalFailure())
        return;

    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no D-Bus session bus";
    CheckCaptureIntoTab(
        [&] {
            // The bus name is taken right after the window shows; ask until it answers.
            WaitFor([&] { return QProcess::execute(executable_, { "send", "capture", "0" }) == 0; }, 30000, 500);
        },
        "Snap2.png", "send");
}
