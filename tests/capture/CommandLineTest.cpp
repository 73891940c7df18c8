#include "settings/IniFile.h"
#include "tests/capture/ProcessOutput.h"

#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "tests/capture/XTestScreen.h"

namespace {

const std::string kLumora = LUMORA_EXECUTABLE;

uint32_t Stripes(int x, int y)
{
    return (x / 8 % 2 ? 0xFF8000u : 0x0040C0u) ^ uint32_t(y & 0x1F);
}

TEST(CommandLineTest, WithoutADisplayFailsWithOneLine)
{
    QTemporaryDir dir;
    const std::string output = dir.filePath("x.png").toStdString();
    const ProcessOutput run = ProcessOutput::Run(
        "env -u DISPLAY " + Quoted(kLumora) + " capture full --delay 0 --output " + Quoted(output) + " 2>&1");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("lumora: ", 0), 0u) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(output)));
}

TEST(CommandLineTest, RejectsBadArguments)
{
    for (const char* arguments : { "capture", "capture everything", "capture full --delay soon",
             "capture full --delay -5", "capture full --output", "capture full --frobnicate" })
        EXPECT_EQ(ProcessOutput::Run(Quoted(kLumora) + " " + arguments + " 2>/dev/null").exitCode, 2) << arguments;
}

TEST(CommandLineTest, BadScriptingValuesGiveOneUsageLine)
{
    for (const char* arguments : { "capture region --geometry 200x80", "capture region --geometry 0x8+1+1",
             "capture window --window 0", "capture window --window zz", "capture fixed --size 100",
             "capture full --geometry 10x10+0+0", "capture region --size 10x10", "capture fixed --window 12" }) {
        const ProcessOutput run = ProcessOutput::Run(Quoted(kLumora) + " " + arguments + " 2>&1");
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(run.out.rfind("usage: lumora capture ", 0), 0u) << arguments << ": " << run.out;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
    }
}

class CommandLineCaptureTest : public XTestScreen {
protected:
    void ExpectStripes(const QImage& image)
    {
        ASSERT_EQ(image.width(), width);
        ASSERT_EQ(image.height(), height);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                wrong += (image.pixel(x, y) & 0xFFFFFF) != Stripes(x, y);
        EXPECT_EQ(wrong, 0);
    }

    QTemporaryDir dir;
};

TEST_F(CommandLineCaptureTest, OutputAndClipboardHoldTheScreen)
{
    const XServerTurn turn; // the clipboard is the server's
    MakePatternWindow(Stripes);
    const std::string output = dir.filePath("shot.png").toStdString();
    const ProcessOutput run
        = ProcessOutput::Run(Quoted(kLumora) + " capture full --delay 0 --clipboard --output " + Quoted(output));
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, output + "\n");
    ExpectStripes(QImage(QString::fromStdString(output)));

    if (QStandardPaths::findExecutable("xclip").isEmpty())
        GTEST_SKIP() << "needs xclip to read the clipboard";
    const ProcessOutput pasted = ProcessOutput::Run("xclip -selection clipboard -t image/png -o");
    ASSERT_EQ(pasted.exitCode, 0);
    ExpectStripes(QImage::fromData(QByteArray::fromStdString(pasted.out), "PNG"));
    const Window window = MakeWindow(0, 0, 1, 1, 0);
    XSetSelectionOwner(dpy, display->Atom("CLIPBOARD"), window, CurrentTime);
    XSync(dpy, False);
}

TEST_F(CommandLineCaptureTest, WithoutOptionsFollowsConfigAndKeepsCounting)
{
    MakePatternWindow(Stripes);
    // config.ini lives beside the executable, so the test runs its own copy.
    const QString copy = dir.filePath("lumora");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(kLumora), copy));
    const std::string config = dir.filePath("config.ini").toStdString();
    const std::string folder = dir.filePath("shots").toStdString();
    IniFile ini(config.c_str());
    ini.WriteInt("AudoSaveSet", "IsAudoSave", 1);
    ini.WriteString("AudoSaveSet", "ImageSavePath", folder.c_str());
    ini.WriteString("AudoSaveSet", "ImageSaveTitle", "Cap");
    ini.WriteInt("AudoSaveSet", "ImageFormat", 2);
    ini.WriteInt("AudoSaveSet", "StartNum", 5);
    ini.WriteInt("CaptureSet", "CapDelayTime", 100);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));

    const std::string command = Quoted(copy.toStdString()) + " capture full --delay 0";
    const ProcessOutput first = ProcessOutput::Run(command);
    const ProcessOutput second = ProcessOutput::Run(command);
    ASSERT_EQ(first.exitCode, 0);
    ASSERT_EQ(second.exitCode, 0);
    EXPECT_EQ(first.out, folder + "/Cap5.png\n");
    EXPECT_EQ(second.out, folder + "/Cap6.png\n");
    ExpectStripes(QImage(QString::fromStdString(folder + "/Cap6.png")));
    EXPECT_EQ(ini.ReadInt("AudoSaveSet", "StartNum", 0), 7);
    // The delay is the settings' business; the file keeps what the user stored.
    EXPECT_EQ(ini.ReadInt("CaptureSet", "CapDelayTime", 0), 100);
}

TEST_F(CommandLineCaptureTest, AWaylandSessionIsNamedInOneLineAndTheCaptureStillRuns)
{
    MakePatternWindow(Stripes);
    const std::string output = dir.filePath("w.png").toStdString();
    const std::string capture = Quoted(kLumora) + " capture full --delay 0 --output " + Quoted(output);
    struct Case {
        const char* environment;
        bool named;
    };
    for (const Case c : { Case { "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=", true },
             Case { "XDG_SESSION_TYPE=x11 WAYLAND_DISPLAY=wayland-0", true },
             Case { "XDG_SESSION_TYPE=x11 WAYLAND_DISPLAY=", false } }) {
        // Only the error stream comes back.
        const ProcessOutput run
            = ProcessOutput::Run("env " + std::string(c.environment) + " " + capture + " 2>&1 >/dev/null");
        EXPECT_EQ(run.exitCode, 0) << c.environment;
        EXPECT_EQ(run.out.find("Wayland") != std::string::npos, c.named) << c.environment << ": " << run.out;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), c.named ? 1 : 0) << run.out;
        ExpectStripes(QImage(QString::fromStdString(output)));
    }
}

TEST_F(CommandLineCaptureTest, UnwritableOutputFails)
{
    const ProcessOutput run = ProcessOutput::Run(Quoted(kLumora) + " capture full --delay 0 --output "
        + Quoted(dir.filePath("no/such/x.png").toStdString()) + " 2>&1");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.rfind("lumora: cannot write", 0), 0u) << run.out;
}

} // namespace
