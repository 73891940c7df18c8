#include "tests/app/AppTestSupport.h"

#include <QDBusConnection>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Xdo(const QStringList& args)
{
    QProcess xdotool;
    xdotool.start("xdotool", args);
    xdotool.waitForFinished(10000);
    return QString::fromLatin1(xdotool.readAllStandardOutput()).trimmed();
}

// x, y, width, height of a window as xdotool reports it.
QRect Geometry(const QString& window)
{
    QRect rect;
    for (const QString& line : Xdo({ "getwindowgeometry", "--shell", window }).split('\n')) {
        const QStringList pair = line.split('=');
        const int value = pair.value(1).toInt();
        if (pair[0] == "X")
            rect.moveLeft(value);
        else if (pair[0] == "Y")
            rect.moveTop(value);
        else if (pair[0] == "WIDTH")
            rect.setWidth(value);
        else if (pair[0] == "HEIGHT")
            rect.setHeight(value);
    }
    return rect;
}

// The real program on the test's X server, its Capture menu opened and its item clicked with the pointer.
class CaptureMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string why = MissingKeyboardTestNeeds(); !why.empty())
            GTEST_SKIP() << why;
        EnsureApp();
        executable_ = CopyProgramInto(programDir_.path());
        ASSERT_FALSE(executable_.isEmpty());
        QFile config(programDir_.path() + "/config.ini");
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        // Default capture settings; auto-save keeps what the capture read.
        config.write(QString("[CaptureSet]\nCapAppViewMode=2\n"
                             "[AudoSaveSet]\nIsAudoSave=1\nImageSavePath=%1\nImageSaveTitle=Snap\nImageFormat=2\n")
                         .arg(shots_.path())
                         .toUtf8());
        config.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", configHome_.path());
        lumora_.setProcessEnvironment(env);
        lumora_.start(executable_, {});
        ASSERT_TRUE(WaitFor(
            [&] {
                window_ = Xdo(
                    { "search", "--onlyvisible", "--pid", QString::number(lumora_.processId()), "--name", "^Lumora" })
                              .section('\n', 0, 0);
                return !window_.isEmpty();
            },
            30000));
    }

    void TearDown() override
    {
        lumora_.kill();
        lumora_.waitForFinished(5000);
    }

    // The program's visible windows: the main window, and its menu while one is open.
    QStringList Windows() const
    {
        QStringList windows
            = Xdo({ "search", "--onlyvisible", "--pid", QString::number(lumora_.processId()), "--name", "" })
                  .split('\n', Qt::SkipEmptyParts);
        windows.sort();
        return windows;
    }

    // The whole screen as another run of the program reads it.
    QImage Screen() const
    {
        const QString file = grabs_.path() + "/screen.png";
        QFile::remove(file);
        QProcess::execute(executable_, { "capture", "full", "--delay", "0", "--output", file });
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }

    // The screen once the program has finished painting: two reads in a row agree.
    QImage SettledScreen() const
    {
        QImage previous = Screen();
        QImage current;
        WaitFor(
            [&] {
                current = Screen();
                const bool same = current == previous;
                previous = current;
                return same;
            },
            10000, 300);
        return current;
    }

    // The rectangle of the one window that opened beside those already shown, or an empty one.
    QRect OpenMenu(const QStringList& shown) const
    {
        QRect menu;
        WaitFor([&] {
            QStringList windows = Windows();
            for (const QString& window : shown)
                windows.removeAll(window);
            menu = windows.size() == 1 ? Geometry(windows.front()) : QRect();
            return !menu.isEmpty();
        });
        return menu;
    }

    QTemporaryDir programDir_;
    QTemporaryDir configHome_;
    QTemporaryDir shots_;
    QTemporaryDir grabs_;
    QString executable_;
    QProcess lumora_;
    QString window_;
};

TEST_F(CaptureMenuTest, FullScreenChosenFromTheMenuDoesNotShowTheMenu)
{
    const QRect frame = Geometry(window_);
    Xdo({ "mousemove", QString::number(frame.center().x()), QString::number(frame.center().y()) });
    Xdo({ "windowfocus", "--sync", window_ });
    const QStringList shown = Windows();
    // Where the Capture menu opens tells where its title is; then it is opened again by a click.
    Xdo({ "key", "alt+c" });
    const QRect first = OpenMenu(shown);
    ASSERT_FALSE(first.isEmpty()) << "Alt+C opened no menu";
    Xdo({ "key", "Escape" });
    ASSERT_TRUE(WaitFor([&] { return Windows() == shown; }))
        << Windows().join(",").toStdString() << " instead of " << shown.join(",").toStdString();
    const QImage before = SettledScreen();

    Xdo({ "mousemove", QString::number(first.left() + 10), QString::number(first.top() - 8), "click", "1" });
    const QRect menu = OpenMenu(shown);
    ASSERT_EQ(menu, first) << "the click opened no menu, or another one";
    Screen().save(OutputFolder() + "/capture_menu_open.png");
    // "&Full Screen" is the first item.
    Xdo({ "mousemove", QString::number(menu.left() + 30), QString::number(menu.top() + 12), "click", "1" });

    const QString file = shots_.path() + "/Snap1.png";
    ASSERT_TRUE(WaitFor([&] { return QImage(file).width() > 0; }, 30000)) << "no capture was made";
    const QImage captured = QImage(file).convertToFormat(QImage::Format_RGB32);
    captured.save(OutputFolder() + "/capture_menu_result.png");
    ASSERT_EQ(captured.size(), before.size());
    // The menu's lower half: its upper half lies over toolbar buttons, one of which the pointer now
    // rests on and highlights.
    const QRect area = QRect(menu.left(), menu.center().y(), menu.width(), menu.height() / 2) & captured.rect();
    EXPECT_EQ(captured.copy(area), before.copy(area)) << "the menu is still drawn in the capture";
}

TEST_F(CaptureMenuTest, RegionAskedOverTheBusOpensTheOverlayAndCapturesTheDraggedArea)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no D-Bus session bus";
    Xdo({ "mousemove", "10", "10" });
    const QImage before = SettledScreen();
    // The bus name is taken right after the window shows; ask until it answers.
    ASSERT_TRUE(WaitFor([&] { return QProcess::execute(executable_, { "send", "capture", "2" }) == 0; }, 30000, 500));
    // The overlay shows its panel, framed in blue, in one corner of the screen.
    ASSERT_TRUE(WaitFor(
        [&] {
            const QImage screen = Screen();
            auto panelAt = [&](int x, int y, int inward) {
                return screen.pixel(x, y) == qRgb(0, 0, 255)
                    && screen.pixel(x + inward, y + inward) == qRgb(150, 150, 150);
            };
            return !screen.isNull() && (panelAt(0, 0, 1) || panelAt(screen.width() - 1, screen.height() - 1, -1));
        },
        30000, 200))
        << "no overlay showed";
    Xdo({ "mousemove", "100", "120", "mousedown", "1", "mousemove", "300", "200", "mouseup", "1" });

    const QString file = shots_.path() + "/Snap1.png";
    ASSERT_TRUE(WaitFor([&] { return QImage(file).width() > 0; }, 30000)) << "no capture was made";
    const QImage captured = QImage(file).convertToFormat(QImage::Format_RGB32);
    captured.save(OutputFolder() + "/capture_region_over_bus.png");
    before.save(OutputFolder() + "/capture_region_over_bus_before.png");
    EXPECT_EQ(captured, before.copy(100, 120, 200, 80));
}

} // namespace
