#include "platform/X11ScreenSource.h"
#include "tests/capture/CaptureFakes.h"
#include "tests/capture/ProcessOutput.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Last: it brings the X headers.
#include "tests/capture/DummyXorgSuite.h"

namespace {

constexpr uint32_t kLeftColour = 0xC02010;
constexpr uint32_t kPrimaryColour = 0x1040E0;

// Two monitors with the primary one not at the desktop's origin: DUMMY0 (1024 x 768) at (0, 0) and the
// primary DUMMY1 (800 x 600) at (1024, 0). `xrandr --listmonitors` lists the primary first.
class MultiMonitorTest : public DummyXorgSuite {
protected:
    void SetUp() override
    {
        DummyXorgSuite::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(server->Xrandr("--output DUMMY0 --mode 1024x768 --pos 0x0"));
        server->Xrandr("--addmode DUMMY1 800x600"); // fails harmlessly when a previous test added it
        ASSERT_TRUE(server->Xrandr("--output DUMMY1 --mode 800x600 --right-of DUMMY0 --primary"));
        Fill({ 0, 0, 1024, 768 }, kLeftColour);
        Fill({ 1024, 0, 1824, 600 }, kPrimaryColour);
    }

    static ProcessOutput CaptureCommand(const std::string& options)
    {
        return ProcessOutput::Run(
            "DISPLAY=" + server->Name() + " " + Quoted(LUMORA_EXECUTABLE) + " capture full --delay 0 " + options);
    }

    static uint32_t Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

    QTemporaryDir dir;
};

TEST_F(MultiMonitorTest, FullScreenIsThePrimaryMonitorAtItsOwnPlace)
{
    X11ScreenSource screen(server->Display());
    EXPECT_EQ(screen.PrimaryScreenRect(), (ImageRect { 1024, 0, 1824, 600 }));
    fakes::Rig rig { ImageBuffer() };
    rig.settings.CapAppViewMode = int(ViewMode::NewWindow);
    CaptureServices services = rig.Services();
    CapturePipeline pipeline(rig.settings,
        CaptureServices { screen, services.windows, services.mainWindow, services.clipboard, services.sound,
            services.documents, nullptr, services.writeImage, services.sleep, "", "" });
    pipeline.SetDelayOverride(0);
    ASSERT_EQ(pipeline.CaptureFullScreen(), 1);
    ASSERT_EQ(rig.documents.documents.size(), 1u);
    const ImageBuffer& image = rig.documents.documents[0].image;
    ASSERT_EQ(image.Width(), 800);
    ASSERT_EQ(image.Height(), 600);
    for (const auto& [x, y] : { std::pair { 0, 0 }, { 799, 0 }, { 0, 599 }, { 799, 599 } })
        EXPECT_EQ(image.GetPixelValue(x, y) & 0xFFFFFF, kPrimaryColour) << x << ", " << y;
}

TEST_F(MultiMonitorTest, CommandLineTakesTheDesktopOrOneMonitor)
{
    struct Case {
        const char* options;
        int width, height;
        uint32_t topLeft;
    };
    for (const Case c : { Case { "", 800, 600, kPrimaryColour }, Case { "--screen 0", 800, 600, kPrimaryColour },
             Case { "--screen 1", 1024, 768, kLeftColour }, Case { "--screen all", 1824, 768, kLeftColour } }) {
        const std::string output = dir.filePath("shot.png").toStdString();
        const ProcessOutput run = CaptureCommand(std::string(c.options) + " --output " + Quoted(output));
        ASSERT_EQ(run.exitCode, 0) << c.options;
        const QImage image(QString::fromStdString(output));
        ASSERT_EQ(image.size(), QSize(c.width, c.height)) << c.options;
        EXPECT_EQ(Rgb(image, 0, 0), c.topLeft) << c.options;
        EXPECT_EQ(Rgb(image, c.width - 1, c.height - 1), c.topLeft == kLeftColour && c.width > 1024 ? 0u : c.topLeft)
            << c.options << ": below the smaller monitor the desktop shows nothing";
    }
    const std::string all = dir.filePath("shot.png").toStdString();
    ASSERT_EQ(CaptureCommand("--screen all --output " + Quoted(all)).exitCode, 0);
    EXPECT_EQ(Rgb(QImage(QString::fromStdString(all)), 1024, 0), kPrimaryColour);

    for (const char* bad : { "--screen 2", "--screen -1", "--screen left" })
        EXPECT_EQ(CaptureCommand(std::string(bad) + " --output x.png 2>/dev/null").exitCode, 2) << bad;
}

} // namespace
