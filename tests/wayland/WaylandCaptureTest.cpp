#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/FrameCapture.h"
#include "capture/CCapDialog.h"
#include "capture/OverlayWindow.h"
#include "platform/PngFileReader.h"
#include "platform/PortalGlobalShortcuts.h"
#include "platform/PortalScreenSource.h"
#include "tests/capture/ProcessOutput.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <vector>

// The desktop cases run inside tests/wayland/wayland_rig.sh, which CTest starts once per layout with the
// RIG_* settings below in the environment. The compositor has no pointer: the overlay is driven in process,
// with the toolkit's own pointer and key events sent to its windows.
namespace {

const std::string kLumora = LUMORA_EXECUTABLE;
// Where the wlroots portal always writes its picture.
const QString kPortalFile = QStringLiteral("/tmp/out.png");

std::string Setting(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

QSize SizeSetting(const char* name, const char* fallback)
{
    const std::string text = Setting(name, fallback);
    return { std::stoi(text), std::stoi(text.substr(text.find('x') + 1)) };
}

QRgb ColourSetting(const char* name, const char* fallback)
{
    return QColor(QString::fromStdString(Setting(name, fallback))).rgb() & 0xFFFFFF;
}

struct Rig {
    QSize first = SizeSetting("RIG_SIZE", "1280x800");
    QSize second = SizeSetting("RIG_SIZE2", "800x600");
    QRgb firstColour = ColourSetting("RIG_BG", "#336699");
    QRgb secondColour = ColourSetting("RIG_BG2", Setting("RIG_BG", "#336699").c_str());
    int outputs = std::stoi(Setting("RIG_OUTPUTS", "1"));
    // The second output lies right of the first, top edges aligned.
    QRect SecondRect() const { return { first.width(), 0, second.width(), second.height() }; }
};

// Pixels of the area that differ from the colour.
int Differing(const QImage& image, const QRect& area, QRgb colour)
{
    int wrong = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            wrong += (image.pixel(x, y) & 0xFFFFFF) != colour;
    return wrong;
}

int Lines(const std::string& text)
{
    return int(std::count(text.begin(), text.end(), '\n'));
}

class WaylandDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Setting("WLRIG_DIR", "").empty())
            GTEST_SKIP() << "runs inside tests/wayland/wayland_rig.sh";
    }

    ProcessOutput Capture(const std::string& arguments, const std::string& output)
    {
        return ProcessOutput::Run(Quoted(kLumora) + " capture " + arguments + " --output " + Quoted(output));
    }

    QTemporaryDir dir;
    Rig rig;
};

// A picture where every pixel tells its place, so that any shift or flip shows.
QRgb Pattern(int x, int y)
{
    return qRgb((x * 7) & 255, (y * 5) & 255, (x + 3 * y) & 255) & 0xFFFFFF;
}

// Another program's window as a user has it: a full-screen Wayland window showing the pattern.
class PatternWindow final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QImage image(size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, Pattern(x, y));
        QPainter(this).drawImage(0, 0, image);
    }
};

// The in-process cases' application object, a client of the rig's compositor.
void EnsureWaylandApp()
{
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "wayland");
        static int argc = 1;
        static char name[] = "wayland_tests";
        static char* argv[] = { name, nullptr };
        return new QApplication(argc, argv);
    }();
    (void)app;
}

// The colour the compositor shows at a point, read with grim (the rig's own tool, not ours).
QRgb ShownAt(int x, int y)
{
    const ProcessOutput run
        = ProcessOutput::Run("grim -t ppm -g '" + std::to_string(x) + "," + std::to_string(y) + " 1x1' - 2>/dev/null");
    const QImage pixel = QImage::fromData(QByteArray::fromStdString(run.out), "PPM");
    return pixel.isNull() ? 0xFFFFFFFF : pixel.pixel(0, 0) & 0xFFFFFF;
}

bool WaitUntilShown(int x, int y, QRgb colour)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (ShownAt(x, y) == colour)
            return true;
        QThread::msleep(50);
    }
    return false;
}

} // namespace

TEST(ScreensInPictureTest, MonitorsAreMappedByTheirPlaceAndThePictureScale)
{
    struct Case {
        const char* name;
        std::vector<LogicalScreen> screens;
        int pictureWidth;
        std::vector<ImageRect> expected;
    };
    const Case cases[] = {
        { "one monitor", { { { 0, 0, 1280, 800 }, 1 } }, 1280, { { 0, 0, 1280, 800 } } },
        { "primary right of the other", { { { 800, 0, 2080, 800 }, 1 }, { { 0, 0, 800, 600 }, 1 } }, 2080,
            { { 800, 0, 2080, 800 }, { 0, 0, 800, 600 } } },
        { "picture at twice the logical size", { { { 0, 0, 1280, 800 }, 2 }, { { 1280, 0, 2080, 600 }, 1 } }, 4160,
            { { 0, 0, 2560, 1600 }, { 2560, 0, 4160, 1200 } } },
        { "a monitor left of and above the origin", { { { 0, 0, 100, 100 }, 1 }, { { -50, -20, 0, 80 }, 1 } }, 150,
            { { 50, 20, 150, 120 }, { 0, 0, 50, 100 } } },
        { "no picture yet: the largest scale", { { { 0, 0, 640, 400 }, 1.5 }, { { 640, 0, 1280, 400 }, 1 } }, 0,
            { { 0, 0, 960, 600 }, { 960, 0, 1920, 600 } } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapScreensToPicture(c.screens, c.pictureWidth), c.expected) << c.name;
}

TEST(PngFileReaderTest, EveryPngKindComesOutAsTheSameOpaqueColours)
{
    QImage source(37, 11, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, Pattern(x * 9, y * 13));
    const QImage gray = source.convertToFormat(QImage::Format_Grayscale8);
    struct Case {
        const char* name;
        QImage written;
        QImage expected;
    };
    const Case cases[] = {
        { "8-bit RGB", source.convertToFormat(QImage::Format_RGB888), source },
        { "8-bit RGBA", source.convertToFormat(QImage::Format_ARGB32), source },
        { "16-bit RGBA", source.convertToFormat(QImage::Format_RGBA64), source },
        { "grey", gray, gray.convertToFormat(QImage::Format_RGB32) },
        { "palette", source.convertToFormat(QImage::Format_Indexed8), source.convertToFormat(QImage::Format_Indexed8) },
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = dir.filePath(QStringLiteral("kind.png"));
        ASSERT_TRUE(c.written.save(path, "PNG")) << c.name;
        const ImageBuffer read = ReadPngFile(path.toStdString());
        ASSERT_EQ(read.Width(), source.width()) << c.name;
        ASSERT_EQ(read.Height(), source.height()) << c.name;
        int wrong = 0;
        for (int y = 0; y < read.Height(); ++y)
            for (int x = 0; x < read.Width(); ++x) {
                const uint8_t* bgr = read.Row(y) + x * 3;
                wrong += qRgb(bgr[2], bgr[1], bgr[0]) != c.expected.pixel(x, y);
            }
        EXPECT_EQ(wrong, 0) << c.name;
    }
    const QString notPng = dir.filePath(QStringLiteral("picture.bmp"));
    ASSERT_TRUE(source.save(notPng, "BMP"));
    EXPECT_TRUE(ReadPngFile(notPng.toStdString()).IsEmpty());
    EXPECT_TRUE(ReadPngFile(dir.filePath(QStringLiteral("missing.png")).toStdString()).IsEmpty());
}

// Writes the pattern as an 8-bit PNG with every row under one filter (or interlaced), as libpng does.
bool WritePatternPng(const QString& path, int colour, int filter, int interlace)
{
    constexpr int kWidth = 29, kHeight = 7;
    FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const int channels = colour == PNG_COLOR_TYPE_RGB ? 3 : 4;
    std::vector<png_byte> pixels(size_t(kWidth * kHeight * channels));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            png_byte* p = &pixels[size_t((y * kWidth + x) * channels)];
            const QRgb rgb = Pattern(x * 9, y * 13);
            p[0] = png_byte(qRed(rgb));
            p[1] = png_byte(qGreen(rgb));
            p[2] = png_byte(qBlue(rgb));
            if (channels == 4)
                p[3] = png_byte(x * 8); // alpha must not leak into the colours
        }
    std::vector<png_bytep> rows;
    for (int y = 0; y < kHeight; ++y)
        rows.push_back(&pixels[size_t(y * kWidth * channels)]);
    const bool ok = file && info && !setjmp(png_jmpbuf(png));
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(
            png, info, kWidth, kHeight, 8, colour, interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, 0, filter);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, info);
    }
    png_destroy_write_struct(&png, &info);
    if (file)
        std::fclose(file);
    return ok;
}

TEST(PngFileReaderTest, EveryRowFilterAndLayoutOfDesktopPicturesDecodes)
{
    struct Case {
        const char* name;
        int filter;
        int interlace;
    };
    const Case cases[] = {
        { "none", PNG_FILTER_NONE, PNG_INTERLACE_NONE },
        { "sub", PNG_FILTER_SUB, PNG_INTERLACE_NONE },
        { "up", PNG_FILTER_UP, PNG_INTERLACE_NONE },
        { "average", PNG_FILTER_AVG, PNG_INTERLACE_NONE },
        { "paeth", PNG_FILTER_PAETH, PNG_INTERLACE_NONE },
        { "interlaced", PNG_FILTER_PAETH, PNG_INTERLACE_ADAM7 },
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("filtered.png"));
    for (const int colour : { PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA })
        for (const Case& c : cases) {
            const std::string name = std::string(c.name) + (colour == PNG_COLOR_TYPE_RGB ? " RGB" : " RGBA");
            ASSERT_TRUE(WritePatternPng(path, colour, c.filter, c.interlace)) << name;
            const ImageBuffer read = ReadPngFile(path.toStdString());
            ASSERT_EQ(read.Width(), 29) << name;
            ASSERT_EQ(read.Height(), 7) << name;
            int wrong = 0;
            for (int y = 0; y < read.Height(); ++y)
                for (int x = 0; x < read.Width(); ++x) {
                    const uint8_t* bgr = read.Row(y) + x * 3;
                    wrong += (qRgb(bgr[2], bgr[1], bgr[0]) & 0xFFFFFF) != Pattern(x * 9, y * 13);
                }
            EXPECT_EQ(wrong, 0) << name;
        }
    // A picture cut short inside its pixel data is refused, not padded.
    ASSERT_TRUE(WritePatternPng(path, PNG_COLOR_TYPE_RGB, PNG_FILTER_NONE, PNG_INTERLACE_NONE));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray whole = file.readAll();
    const qsizetype data = whole.indexOf("IDAT");
    ASSERT_GT(data, 0);
    file.resize(data + 40);
    file.close();
    EXPECT_TRUE(ReadPngFile(path.toStdString()).IsEmpty());
}

TEST(PortalGlobalShortcutsTest, SuggestedTriggersUseTheShortcutsTextForm)
{
    struct Case {
        int virtualKey, modBits;
        const char* expected;
    };
    const Case cases[] = {
        { 'F', 6, "CTRL+SHIFT+f" },
        { 0x77, 1 | 8, "ALT+LOGO+F8" },
        { '7', 2 | 1 | 4, "CTRL+ALT+SHIFT+7" },
        { 0x2C, 0, "Print" },
        { 0, 6, "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(PortalGlobalShortcuts::TriggerText(c.virtualKey, c.modBits).toStdString(), c.expected) << c.expected;
}

TEST_F(WaylandDesktopTest, WlrootsPortalOffersNoGlobalShortcuts)
{
    // What the hot-key dialog's list of commands rests on: this portal really lacks the interface.
    EXPECT_FALSE(PortalGlobalShortcuts::Available());
}

TEST_F(WaylandDesktopTest, FullScreenIsWhatTheOutputsShow)
{
    struct Case {
        std::string arguments;
        QSize size;
    };
    const QSize all(rig.first.width() + (rig.outputs > 1 ? rig.second.width() : 0),
        std::max(rig.first.height(), rig.outputs > 1 ? rig.second.height() : 0));
    // The portal decides about the pointer: --cursor changes nothing and is no error.
    std::vector<Case> cases { { "full", rig.first }, { "full --screen 0", rig.first }, { "full --screen all", all },
        { "full --cursor", rig.first } };
    if (rig.outputs > 1)
        cases.push_back({ "full --screen 1", rig.second });
    for (const Case& c : cases) {
        const std::string output = dir.filePath("full.png").toStdString();
        const ProcessOutput run = Capture(c.arguments, output);
        ASSERT_EQ(run.exitCode, 0) << c.arguments;
        EXPECT_EQ(run.out, output + "\n");
        EXPECT_FALSE(QFile::exists(kPortalFile)) << "the portal's picture is left in /tmp";
        const QImage image(QString::fromStdString(output));
        ASSERT_EQ(image.size(), c.size) << c.arguments;
        const bool second = c.arguments.ends_with("1");
        EXPECT_EQ(
            Differing(image, { { 0, 0 }, rig.first.boundedTo(c.size) }, second ? rig.secondColour : rig.firstColour), 0)
            << c.arguments;
        if (c.size == all && rig.outputs > 1) {
            EXPECT_EQ(Differing(image, rig.SecondRect(), rig.secondColour), 0) << c.arguments;
        }
        QFile::remove(QString::fromStdString(output));
    }
}

TEST_F(WaylandDesktopTest, GeometryRegionIsExactAndClippedToTheScreen)
{
    const int w = rig.first.width();
    const int h = rig.first.height();
    struct Case {
        std::string geometry;
        QSize size;
    };
    const Case cases[] = { { "100x50+10+20", { 100, 50 } },
        { "100x60+" + std::to_string(w - 30) + "+" + std::to_string(h - 20), { 30, 20 } },
        { std::to_string(w) + "x" + std::to_string(h) + "+0+0", { w, h } } };
    for (const Case& c : cases) {
        const std::string output = dir.filePath("region.png").toStdString();
        const ProcessOutput run = Capture("region --geometry " + c.geometry, output);
        ASSERT_EQ(run.exitCode, 0) << c.geometry;
        const QImage image(QString::fromStdString(output));
        ASSERT_EQ(image.size(), c.size) << c.geometry;
        EXPECT_EQ(Differing(image, image.rect(), rig.firstColour), 0) << c.geometry;
        QFile::remove(QString::fromStdString(output));
    }
}

TEST_F(WaylandDesktopTest, KindsWaylandCannotDoSayOneLineAndExit2)
{
    for (const char* arguments : { "window", "window --window 12", "active", "scroll", "scroll --window 12" }) {
        const std::string output = dir.filePath("none.png").toStdString();
        const ProcessOutput run = ProcessOutput::Run(
            Quoted(kLumora) + " capture " + arguments + " --output " + Quoted(output) + " 2>&1 >/dev/null");
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(run.out.rfind("lumora: capture ", 0), 0u) << arguments << ": " << run.out;
        EXPECT_NE(run.out.find("Wayland"), std::string::npos) << run.out;
        EXPECT_EQ(Lines(run.out), 1) << run.out;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(output))) << arguments;
    }
}

TEST_F(WaylandDesktopTest, ClipboardHoldsTheCaptureAfterTheProgramEnds)
{
    const std::string output = dir.filePath("copied.png").toStdString();
    const ProcessOutput run = Capture("region --geometry 64x48+5+7 --clipboard", output);
    ASSERT_EQ(run.exitCode, 0);
    const ProcessOutput pasted = ProcessOutput::Run("wl-paste --type image/png");
    ASSERT_EQ(pasted.exitCode, 0);
    const QImage fromClipboard = QImage::fromData(QByteArray::fromStdString(pasted.out), "PNG");
    const QImage saved(QString::fromStdString(output));
    ASSERT_EQ(fromClipboard.size(), QSize(64, 48));
    EXPECT_EQ(fromClipboard.convertToFormat(QImage::Format_RGB32), saved.convertToFormat(QImage::Format_RGB32));
}

TEST_F(WaylandDesktopTest, ClipboardWithoutWlCopySaysSoInOneLine)
{
    const std::string output = dir.filePath("none.png").toStdString();
    const ProcessOutput run = ProcessOutput::Run("env PATH=" + Quoted(dir.path().toStdString()) + " " + Quoted(kLumora)
        + " capture full --clipboard --output " + Quoted(output) + " 2>&1 >/dev/null");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.out.find("wl-clipboard"), std::string::npos) << run.out;
    EXPECT_EQ(Lines(run.out), 1) << run.out;
}

// A capture without delay asks the portal before anything else; when the command then fails, the picture
// the portal writes meanwhile must still be deleted, not left in /tmp.
TEST_F(WaylandDesktopTest, ACommandThatFailsAfterAskingLeavesNoPicture)
{
    const std::string output = dir.filePath("none.png").toStdString();
    struct Case {
        std::string command;
        int exitCode;
    };
    const Case cases[] = {
        { "env PATH=" + Quoted(dir.path().toStdString()) + " " + Quoted(kLumora)
                + " capture full --delay 0 --clipboard",
            2 },
        { Quoted(kLumora) + " capture region --delay 0 --geometry 10x10+9000+0", 1 },
    };
    for (const Case& c : cases) {
        QFile::remove(kPortalFile);
        const ProcessOutput run = ProcessOutput::Run(c.command + " --output " + Quoted(output) + " 2>/dev/null");
        EXPECT_EQ(run.exitCode, c.exitCode) << c.command;
        // A picture left behind appears once the portal has written it.
        for (int i = 0; i < 10 && !QFile::exists(kPortalFile); ++i)
            QThread::msleep(50);
        EXPECT_FALSE(QFile::exists(kPortalFile)) << c.command;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(output))) << c.command;
    }
}

// The portal answers on the bus, the clipboard needs the compositor: with WAYLAND_DISPLAY naming no
// compositor the screen is still read (as one picture, no monitors known) but wl-copy fails.
TEST_F(WaylandDesktopTest, AClipboardThatCannotBeTakenIsAFailure)
{
    const std::string output = dir.filePath("copied.png").toStdString();
    const ProcessOutput run = ProcessOutput::Run("env WAYLAND_DISPLAY=wayland-gone " + Quoted(kLumora)
        + " capture full --delay 0 --clipboard --output " + Quoted(output) + " 2>&1 >/dev/null");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "lumora: cannot take the clipboard\n");
}

// Runs on a desktop started without the portal (RIG_PORTAL=0).
using WaylandNoPortalTest = WaylandDesktopTest;

TEST_F(WaylandNoPortalTest, OneLineSaysWhatToInstall)
{
    const std::string output = dir.filePath("none.png").toStdString();
    const ProcessOutput run
        = ProcessOutput::Run(Quoted(kLumora) + " capture full --output " + Quoted(output) + " 2>&1 >/dev/null");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out.rfind("lumora: ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("install xdg-desktop-portal"), std::string::npos) << run.out;
    EXPECT_EQ(Lines(run.out), 1) << run.out;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(output)));
}

TEST_F(WaylandDesktopTest, AnotherProgramsWindowIsCapturedPixelForPixel)
{
    EnsureWaylandApp();
    PatternWindow window;
    window.showFullScreen();
    ASSERT_TRUE(WaitUntilShown(
        rig.first.width() - 1, rig.first.height() - 1, Pattern(rig.first.width() - 1, rig.first.height() - 1)))
        << "the window never covered the first output";

    struct Case {
        std::string arguments;
        QRect area;
    };
    const Case cases[] = {
        { "full", { { 0, 0 }, rig.first } }, { "region --geometry 200x100+37+23", { 37, 23, 200, 100 } },
        { "region --geometry 1x1+" + std::to_string(rig.first.width() - 1) + "+0", { rig.first.width() - 1, 0, 1, 1 } }
    };
    for (const Case& c : cases) {
        const std::string output = dir.filePath("window.png").toStdString();
        ASSERT_EQ(Capture(c.arguments, output).exitCode, 0) << c.arguments;
        const QImage image(QString::fromStdString(output));
        ASSERT_EQ(image.size(), c.area.size()) << c.arguments;
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                wrong += (image.pixel(x, y) & 0xFFFFFF) != Pattern(c.area.x() + x, c.area.y() + y);
        EXPECT_EQ(wrong, 0) << c.arguments;
    }
    window.close();
    EXPECT_TRUE(WaitUntilShown(0, 0, rig.firstColour)) << "the background did not come back";
}

namespace {

// One step of a user on the overlay, in device pixels of the desktop.
struct OverlayStep {
    enum class Kind { Move, Press, Release, Key } kind;
    int x = 0;
    int y = 0;
    Qt::Key key = Qt::Key_unknown;
};

// Sends the step as the toolkit's own event to the overlay's window over that point.
void Send(const CCapDialog& overlay, const OverlayStep& step)
{
    QWindow* target = overlay.Windows().front()->windowHandle();
    QPoint local;
    for (const auto& window : overlay.Windows()) {
        const ImageRect shows = window->DeviceRect();
        if (step.x >= shows.left && step.x < shows.right && step.y >= shows.top && step.y < shows.bottom) {
            target = window->windowHandle();
            local = QPointF((step.x - shows.left) / window->Scale(), (step.y - shows.top) / window->Scale()).toPoint();
        }
    }
    switch (step.kind) {
    case OverlayStep::Kind::Move:
        QTest::mouseMove(target, local);
        break;
    case OverlayStep::Kind::Press:
        QTest::mousePress(target, Qt::LeftButton, {}, local);
        break;
    case OverlayStep::Kind::Release:
        QTest::mouseRelease(target, Qt::LeftButton, {}, local);
        break;
    case OverlayStep::Kind::Key:
        QTest::keyClick(target, step.key);
        break;
    }
}

// The window program's settings for captures auto-saved as PNG files and kept out of the editor, the main
// window left as it is.
CaptureSettings AutoSaving(const QString& folder, const char* title)
{
    CaptureSettings settings;
    settings.IsAudoSave = 1;
    settings.ImageSavePath = folder.toStdString();
    settings.ImageSaveTitle = title;
    settings.ImageFormat = 2;
    settings.CapAppViewMode = int(ViewMode::DoNotExport);
    settings.RestoreWndAftCap = 1;
    settings.HideWndBeforCap = settings.CapDelayTime = settings.PlaySoundWhenCap = settings.NotifyWhenHidden = 0;
    return settings;
}

QMessageBox* ShownMessage()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

} // namespace

// The window program's capture routines in process, with the pattern as its main window (left on show):
// region and fixed rectangle through the overlay over the portal's picture, cut pixel for pixel; the
// kinds Wayland cannot do say so in one line.
TEST_F(WaylandDesktopTest, WindowProgramOverlayCutsThePortalPictureExactly)
{
    EnsureWaylandApp();
    PatternWindow pattern;
    pattern.showFullScreen();
    const int w = rig.first.width();
    ASSERT_TRUE(WaitUntilShown(w - 1, 0, Pattern(w - 1, 0))) << "the pattern never covered the first output";

    using K = OverlayStep::Kind;
    const auto right = OverlayStep { K::Key, 0, 0, Qt::Key_Right };
    const auto down = OverlayStep { K::Key, 0, 0, Qt::Key_Down };
    struct Case {
        const char* name;
        CaptureMode mode;
        std::vector<OverlayStep> steps;
        std::optional<QRect> cut;
    };
    std::vector<Case> cases {
        { "region dragged", CaptureMode::Region,
            { { K::Move, 40, 30 }, { K::Press, 40, 30 }, { K::Move, 240, 130 }, { K::Release, 240, 130 } },
            QRect(40, 30, 200, 100) },
        { "fixed rectangle cut at the monitor's corner", CaptureMode::FixedRect,
            { { K::Move, 5, 5 }, { K::Press, 5, 5 }, { K::Release, 5, 5 } }, QRect(0, 0, 45, 35) },
        { "fixed rectangle moved by the arrow keys", CaptureMode::FixedRect,
            { { K::Move, 300, 200 }, right, right, right, down, down, { K::Press, 300, 200 },
                { K::Release, 300, 200 } },
            QRect(263, 172, 80, 60) },
        { "Esc cancels", CaptureMode::Region, { { K::Move, 10, 10 }, { K::Key, 0, 0, Qt::Key_Escape } }, {} },
        { "window", CaptureMode::WindowObject, {}, {} },
        { "active window", CaptureMode::ActiveWindow, {}, {} },
        { "scrolling", CaptureMode::ScrollingWindow, {}, {} },
    };
    if (rig.outputs > 1)
        cases.push_back({ "fixed rectangle at the second monitor's corner", CaptureMode::FixedRect,
            { { K::Move, w + 795, 595 }, { K::Press, w + 795, 595 }, { K::Release, w + 795, 595 } },
            QRect(w + 755, 565, 45, 35) });

    CaptureSettings settings = AutoSaving(dir.path(), "Cut");
    settings.FixRectWidth = 80;
    settings.FixRectHeight = 60;
    FrameCapture capture(settings, pattern, nullptr, {}, {});
    ASSERT_TRUE(capture.ReadsThroughPortal());
    for (const Case& c : cases) {
        const bool refused = c.steps.empty();
        capture.Overlay()->SetShownHandler([&] {
            for (const OverlayStep& step : c.steps)
                Send(*capture.Overlay(), step);
            // Ends an overlay the steps failed to end (a no-op after them): a fault fails, never hangs.
            Send(*capture.Overlay(), { K::Key, 0, 0, Qt::Key_Escape });
        });
        const int number = settings.StartNum;
        capture.RequestCapture(int(c.mode));
        const QString file = dir.filePath(QStringLiteral("Cut%1.png").arg(number));
        if (refused) {
            QMessageBox* box = ShownMessage();
            ASSERT_NE(box, nullptr) << c.name;
            EXPECT_TRUE(box->text().contains("Wayland")) << c.name;
            EXPECT_FALSE(box->text().contains('\n')) << c.name;
            box->close();
        }
        if (!c.cut) {
            EXPECT_FALSE(QFile::exists(file)) << c.name;
            EXPECT_EQ(settings.StartNum, number) << c.name;
            continue;
        }
        const QImage image(file);
        ASSERT_EQ(image.size(), c.cut->size()) << c.name;
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QPoint at = c.cut->topLeft() + QPoint(x, y);
                const QRgb expected = at.x() < w ? Pattern(at.x(), at.y()) : rig.secondColour;
                wrong += (image.pixel(x, y) & 0xFFFFFF) != expected;
            }
        EXPECT_EQ(wrong, 0) << c.name;
    }
    pattern.close();
    EXPECT_TRUE(WaitUntilShown(0, 0, rig.firstColour)) << "the background did not come back";
}

// The window program itself, started on the rig's compositor and, as on Xwayland, as an X11 program inside
// the Wayland session (its X server here is Xvfb, standing in for Xwayland's, whose screens are the outputs):
// a capture asked for on the session bus reads the portal, lands in a tab and stays on the clipboard after
// the program has ended.
TEST_F(WaylandDesktopTest, WindowProgramCapturesIntoATabThroughThePortal)
{
    struct Case {
        const char* name;
        std::string start;
    };
    std::vector<Case> cases { { "on Wayland", "env QT_QPA_PLATFORM=wayland" } };
    if (rig.outputs == 1)
        cases.push_back({ "on X11 in the Wayland session",
            "xvfb-run -a -s '-screen 0 " + std::to_string(rig.first.width()) + "x" + std::to_string(rig.first.height())
                + "x24 -nolisten tcp' env QT_QPA_PLATFORM=xcb" });
    const std::string app = QFileInfo(QString::fromStdString(kLumora)).absolutePath().toStdString() + "/lumora-app";
    for (const Case& c : cases) {
        QTemporaryDir home;
        const QString shots = home.filePath("shots");
        QFile config(home.filePath("lumora/config.ini"));
        ASSERT_TRUE(
            QDir().mkpath(shots) && QDir().mkpath(home.filePath("lumora")) && config.open(QIODevice::WriteOnly));
        // Hidden for the capture after a wait long enough for the compositor to take the window away.
        config.write(
            QStringLiteral("[CaptureSet]\nCapAppViewMode=0\nHideWndBeforCap=1\nRestoreWndAftCap=1\n"
                           "CapDelayTime=600\nCopyToClipboard=1\nNotifyWhenHidden=0\n"
                           "[AudoSaveSet]\nIsAudoSave=1\nImageSavePath=%1\nImageSaveTitle=Snap\nImageFormat=2\n")
                .arg(shots)
                .toUtf8());
        config.close();
        const std::string pidFile = home.filePath("app.pid").toStdString();
        ProcessOutput::Run("cd " + Quoted(home.path().toStdString())
            + " && XDG_CONFIG_HOME=" + Quoted(home.path().toStdString()) + " " + c.start + " sh -c 'echo $$ > "
            + pidFile + "; exec " + Quoted(app) + "' >app.log 2>&1 &");
        // The program is up once it answers on the bus.
        QElapsedTimer waited;
        waited.start();
        bool asked = false;
        while (!asked && waited.elapsed() < 30000) {
            asked = ProcessOutput::Run(Quoted(kLumora) + " send capture full 2>/dev/null").exitCode == 0;
            if (!asked)
                QThread::msleep(200);
        }
        const QString saved = shots + "/Snap1.png";
        while (asked && !QFile::exists(saved) && waited.elapsed() < 30000)
            QThread::msleep(100);
        QThread::msleep(300);
        const std::string tree = ProcessOutput::Run("swaymsg -t get_tree").out;
        int pid = 0;
        std::ifstream(pidFile) >> pid;
        for (int i = 0; pid > 0 && i < 100 && (i > 0 || kill(pid, SIGTERM) == 0) && !ProcessEnded(pid); ++i)
            QThread::msleep(50);
        ASSERT_TRUE(asked) << c.name << ": the program never answered on the bus";
        const QImage image(saved);
        ASSERT_EQ(image.size(), rig.first) << c.name;
        EXPECT_EQ(Differing(image, image.rect(), rig.firstColour), 0) << c.name << ": not what the output shows";
        if (c.start.find("wayland") != std::string::npos) {
            EXPECT_NE(tree.find("\"Lumora - Snap1"), std::string::npos) << "no tab took the capture";
        }
        const ProcessOutput pasted = ProcessOutput::Run("wl-paste --type image/png");
        ASSERT_EQ(pasted.exitCode, 0) << c.name;
        EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(pasted.out), "PNG").convertToFormat(QImage::Format_RGB32),
            image.convertToFormat(QImage::Format_RGB32))
            << c.name << ": the clipboard did not outlive the program";
    }
}

namespace {

int Count(const std::string& text, const std::string& part)
{
    int found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

} // namespace

// From the command line the overlay covers every output with a full-screen window; the compositor may close
// windows, and closing the overlay cancels the capture.
TEST_F(WaylandDesktopTest, CommandLineOverlayCoversEveryOutputAndClosingItCancels)
{
    for (const char* kind : { "region", "fixed" }) {
        const std::string output = dir.filePath("overlay.png").toStdString();
        const std::string log = dir.filePath("overlay.log").toStdString();
        ProcessOutput::Run("(" + Quoted(kLumora) + " capture " + kind + " --output " + Quoted(output) + " >"
            + Quoted(log) + " 2>&1; echo $? >" + Quoted(log + ".rc") + ") >/dev/null 2>&1 &");
        QElapsedTimer waited;
        waited.start();
        int shown = 0;
        while (shown < rig.outputs && waited.elapsed() < 20000) {
            QThread::msleep(100);
            shown = Count(ProcessOutput::Run("swaymsg -t get_tree").out, "\"app_id\": \"lumora-app\"");
        }
        EXPECT_EQ(shown, rig.outputs) << kind;
        ProcessOutput::Run("swaymsg '[app_id=\"lumora-app\"] kill' >/dev/null");
        while (!QFile::exists(QString::fromStdString(log + ".rc")) && waited.elapsed() < 30000)
            QThread::msleep(100);
        QThread::msleep(100);
        EXPECT_EQ(ProcessOutput::Run("cat " + Quoted(log + ".rc")).out, "1\n") << kind;
        EXPECT_EQ(ProcessOutput::Run("cat " + Quoted(log)).out, "lumora: capture cancelled\n") << kind;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(output))) << kind;
        QFile::remove(QString::fromStdString(log + ".rc"));
    }
}

// A portal whose backend never answers: the capture ends after the time limit with one line. The backend
// is stopped (SIGSTOP) for the call and goes on afterwards; the picture it then writes is removed.
TEST_F(WaylandDesktopTest, APortalThatNeverAnswersEndsAfterTheTimeLimit)
{
    const ProcessOutput owner
        = ProcessOutput::Run("dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus "
                             "/org/freedesktop/DBus org.freedesktop.DBus.GetConnectionUnixProcessID "
                             "string:org.freedesktop.impl.portal.desktop.wlr");
    // The answer reads "uint32 PID".
    std::istringstream answer(owner.out);
    std::string type;
    int backend = 0;
    answer >> type >> backend;
    ASSERT_EQ(type, "uint32") << owner.out;
    ASSERT_TRUE(ProcessOutput::Run("cat /proc/" + std::to_string(backend) + "/cmdline").out.find("portal-wlr")
        != std::string::npos)
        << owner.out;
    ASSERT_EQ(kill(backend, SIGSTOP), 0);
    const std::string output = dir.filePath("late.png").toStdString();
    QElapsedTimer took;
    took.start();
    const ProcessOutput run = ProcessOutput::Run("env LUMORA_PORTAL_TIMEOUT=1.5 " + Quoted(kLumora)
        + " capture full --output " + Quoted(output) + " 2>&1 >/dev/null");
    const qint64 elapsed = took.elapsed();
    // The window program: one message, and neither an empty capture nor an auto-save number taken.
    EnsureWaylandApp();
    QWidget frame;
    CaptureSettings settings = AutoSaving(dir.path(), "Late");
    qputenv("LUMORA_PORTAL_TIMEOUT", "1.5");
    FrameCapture capture(settings, frame, nullptr, {}, {});
    qunsetenv("LUMORA_PORTAL_TIMEOUT");
    capture.RequestCapture(int(CaptureMode::FullScreen));
    kill(backend, SIGCONT);
    QMessageBox* box = ShownMessage();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "The screen could not be read: the desktop portal gave no screenshot within 1.5 s.");
    EXPECT_EQ(settings.StartNum, AutoSaving(dir.path(), "Late").StartNum);
    box->close();
    frame.close();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "lumora: the desktop portal gave no screenshot within 1.5 s\n");
    EXPECT_GE(elapsed, 1500);
    EXPECT_LT(elapsed, 10000);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(output)));
    for (int i = 0; i < 30 && !QFile::exists(kPortalFile); ++i)
        QThread::msleep(100);
    QFile::remove(kPortalFile);
}

TEST_F(WaylandDesktopTest, TrayModeWithoutATrayHostNeverHidesTheWindow)
{
    // The rig's bus has no StatusNotifierWatcher, so nothing could bring a hidden window back.
    EnsureWaylandApp();
    CMainFrame frame;
    frame.OnCommand(CommandId::TrayMode);
    ASSERT_TRUE(frame.Settings().trayMode);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.showMinimized();
    QTest::qWait(300);
    EXPECT_TRUE(frame.isVisible());
}
