#include "ImageTestUtil.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "tests/capture/CaptureFakes.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class AutoSaveTest : public ::testing::Test {
protected:
    AutoSaveTest()
    {
        rig.configPath = dir.filePath("config.ini").toStdString();
        rig.settings.IsAudoSave = 1;
        rig.settings.ImageSavePath = dir.path().toStdString();
        rig.settings.CapAppViewMode = int(ViewMode::NewWindow);
    }

    std::string Folder() const { return dir.path().toStdString(); }
    int StoredStartNum() const { return IniFile(rig.configPath.c_str()).ReadInt("AudoSaveSet", "StartNum", -999); }

    QTemporaryDir dir;
    fakes::Rig rig { testutil::MakeImage(32, 24, 24) };
};

TEST_F(AutoSaveTest, FileName_FollowsPathTitleNumberAndFormat)
{
    CaptureSettings s;
    s.ImageSavePath = "/home/u/shots";
    s.ImageSaveTitle = "Snap";
    s.StartNum = 1;
    EXPECT_EQ(CapturePipeline::AutoSaveFileName(s), "/home/u/shots/Snap1.bmp");
    s.ImageFormat = 1;
    s.StartNum = 120;
    EXPECT_EQ(CapturePipeline::AutoSaveFileName(s), "/home/u/shots/Snap120.jpg");
    s.ImageFormat = 2;
    s.StartNum = -3;
    EXPECT_EQ(CapturePipeline::AutoSaveFileName(s), "/home/u/shots/Snap-3.png");
    s.ImageFormat = 3;
    s.StartNum = 7;
    EXPECT_EQ(CapturePipeline::AutoSaveFileName(s), "/home/u/shots/Snap7.gif");
    // A path that already ends in a separator gets a second one.
    s.ImageSavePath = "/home/u/shots/";
    EXPECT_EQ(CapturePipeline::AutoSaveFileName(s), "/home/u/shots//Snap7.gif");
    // Formats outside 0..3 add no extension.
    s.ImageFormat = 7;
    EXPECT_EQ(CapturePipeline::AutoSaveFileName(s), "/home/u/shots//Snap7");
    s.ImageFormat = -1;
    EXPECT_EQ(CapturePipeline::AutoSaveFileName(s), "/home/u/shots//Snap7");
}

TEST_F(AutoSaveTest, EachCaptureTakesTheNextNumberAndKeepsItInConfig)
{
    rig.settings.StartNum = 41;
    CapturePipeline pipeline = rig.Pipeline();
    pipeline.CaptureFullScreen();
    EXPECT_EQ(rig.settings.StartNum, 42);
    EXPECT_EQ(StoredStartNum(), 42);
    pipeline.CaptureFullScreen();
    EXPECT_EQ(StoredStartNum(), 43);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Snap41.bmp")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Snap42.bmp")));
    const QImage saved(dir.filePath("Snap42.bmp"));
    ASSERT_EQ(saved.size(), QSize(32, 24));
    const testutil::Bgra expected = testutil::Distinct(5, 6);
    EXPECT_EQ(saved.pixel(5, 6), qRgb(expected.r, expected.g, expected.b));
    // The second document carries the second file's name.
    EXPECT_EQ(rig.documents.documents[1].path, Folder() + "/Snap42.bmp");
}

TEST_F(AutoSaveTest, NumberingSurvivesACrash)
{
    IniFile(rig.configPath.c_str()).WriteString("AudoSaveSet", "ImageSavePath", Folder().c_str());
    IniFile(rig.configPath.c_str()).WriteInt("AudoSaveSet", "IsAudoSave", 1);
    // A child process loads the settings, saves two captures and dies without any orderly shutdown.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        fakes::Rig crashing(testutil::MakeImage(32, 24, 24));
        crashing.settings = LoadCaptureSettings(rig.configPath);
        crashing.configPath = rig.configPath;
        CapturePipeline pipeline = crashing.Pipeline();
        pipeline.SetDelayOverride(0);
        pipeline.CaptureFullScreen();
        pipeline.CaptureFullScreen();
        abort();
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("Snap2.bmp")));
    const qint64 firstSize = QFileInfo(dir.filePath("Snap1.bmp")).size();

    // The restarted program continues after the last saved file instead of overwriting Snap1.
    rig.settings = LoadCaptureSettings(rig.configPath);
    EXPECT_EQ(rig.settings.StartNum, 3);
    rig.screen.SetImage(testutil::MakeImage(8, 8, 24));
    rig.Pipeline().CaptureFullScreen();
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Snap3.bmp")));
    EXPECT_EQ(QFileInfo(dir.filePath("Snap1.bmp")).size(), firstSize);
    EXPECT_EQ(StoredStartNum(), 4);
}

// A capture from another process (the command line, a second window program): it loads config.ini,
// auto-saves once and ends.
void AutoSaveInChildProcess(const std::string& configPath, int captures)
{
    fakes::Rig other(testutil::MakeImage(4, 4, 24));
    other.settings = LoadCaptureSettings(configPath);
    other.configPath = configPath;
    CapturePipeline pipeline = other.Pipeline();
    for (int i = 0; i < captures; ++i)
        pipeline.AutoSaveCapture(other.screen.Image());
    _exit(0);
}

TEST_F(AutoSaveTest, ProcessesCapturingAlternatelyNeverShareANumber)
{
    IniFile(rig.configPath.c_str()).WriteString("AudoSaveSet", "ImageSavePath", Folder().c_str());
    IniFile(rig.configPath.c_str()).WriteInt("AudoSaveSet", "IsAudoSave", 1);
    rig.settings = LoadCaptureSettings(rig.configPath);
    CapturePipeline window = rig.Pipeline();
    std::vector<std::string> names;
    for (int round = 0; round < 3; ++round) {
        names.push_back(window.AutoSaveCapture(testutil::MakeImage(4, 4, 24)).value_or(""));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            AutoSaveInChildProcess(rig.configPath, 1);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(names,
        (std::vector<std::string> { Folder() + "/Snap1.bmp", Folder() + "/Snap3.bmp", Folder() + "/Snap5.bmp" }));
    for (int n = 1; n <= 6; ++n)
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(QString("Snap%1.bmp").arg(n)))) << n;
    EXPECT_EQ(StoredStartNum(), 7);
    // Closing the window program keeps the higher number the other process left.
    SaveSettingsOnClose(rig.configPath, rig.settings);
    EXPECT_EQ(StoredStartNum(), 7);
}

TEST_F(AutoSaveTest, ProcessesCapturingAtOnceEachGetTheirOwnNumbers)
{
    IniFile(rig.configPath.c_str()).WriteString("AudoSaveSet", "ImageSavePath", Folder().c_str());
    IniFile(rig.configPath.c_str()).WriteInt("AudoSaveSet", "IsAudoSave", 1);
    constexpr int kProcesses = 6;
    constexpr int kCaptures = 5;
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            AutoSaveInChildProcess(rig.configPath, kCaptures);
        children.push_back(child);
    }
    for (pid_t child : children)
        waitpid(child, nullptr, 0);
    const QStringList files = QDir(dir.path()).entryList({ "Snap*.bmp" }, QDir::Files);
    EXPECT_EQ(files.size(), kProcesses * kCaptures) << files.join(' ').toStdString();
    EXPECT_EQ(StoredStartNum(), kProcesses * kCaptures + 1);
}

TEST_F(AutoSaveTest, AFailedWriteStillUsesTheNumberButNamesNoDocument)
{
    rig.writeImage = [](const ImageBuffer&, const std::string&) { return false; };
    CapturePipeline pipeline = rig.Pipeline();
    const std::optional<std::string> name = pipeline.AutoSaveCapture(testutil::MakeImage(4, 4, 24));
    ASSERT_TRUE(name);
    EXPECT_EQ(*name, Folder() + "/Snap1.bmp");
    ASSERT_TRUE(pipeline.LastAutoSave());
    EXPECT_FALSE(pipeline.LastAutoSave()->written);
    EXPECT_EQ(StoredStartNum(), 2);
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "path " + *name), 0);
}

TEST_F(AutoSaveTest, FormatWithoutExtensionIsHandedToTheWriterAsIs)
{
    rig.settings.ImageFormat = 7;
    CapturePipeline pipeline = rig.Pipeline();
    pipeline.AutoSaveCapture(testutil::MakeImage(4, 4, 24));
    EXPECT_EQ(rig.log.front(), "save " + Folder() + "/Snap1");
    // The Qt writer cannot choose a format for it.
    EXPECT_FALSE(pipeline.LastAutoSave()->written);
}

TEST_F(AutoSaveTest, OffMeansNoFileAndNoNumber)
{
    rig.settings.IsAudoSave = 0;
    CapturePipeline pipeline = rig.Pipeline();
    EXPECT_FALSE(pipeline.AutoSaveCapture(testutil::MakeImage(4, 4, 24)));
    EXPECT_EQ(rig.settings.StartNum, 1);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(rig.configPath)));
}

} // namespace
