#include "platform/DetachedSoundPlayer.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

using Commands = std::vector<DetachedSoundPlayer::Command>;

// A stand-in player that records its arguments at once and reports completion two seconds later.
class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        player = Path("player.sh");
        std::ofstream(player) << "#!/bin/sh\necho \"$@\" > '" << Path("args") << "'\nsleep 2\necho done > '"
                              << Path("done") << "'\n";
        QFile::setPermissions(QString::fromStdString(player), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        wav = Path("capture.wav");
        std::ofstream(wav) << "RIFF";
    }

    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    bool Exists(const char* name) const { return QFile::exists(dir.filePath(name)); }

    QTemporaryDir dir;
    std::string player;
    std::string wav;
};

TEST_F(SoundPlayerTest, StartsTheFirstPlayerFoundAndDoesNotWait)
{
    DetachedSoundPlayer sound(Commands { { "no-such-player-on-this-machine", {} }, { player, { "-q" } } });
    ASSERT_TRUE(sound.Play(wav));
    // The player needs two seconds; returning before it finished shows that nothing waited for it.
    EXPECT_FALSE(Exists("done"));
    for (int i = 0; i < 500 && !Exists("args"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream args(Path("args"));
    std::string line;
    std::getline(args, line);
    EXPECT_EQ(line, "-q " + wav);
}

TEST_F(SoundPlayerTest, MissingFileOrPlayerPlaysNothing)
{
    DetachedSoundPlayer sound(Commands { { player, {} } });
    EXPECT_FALSE(sound.Play(Path("missing.wav")));
    EXPECT_FALSE(sound.Play(dir.path().toStdString()));
    DetachedSoundPlayer noPlayer(Commands { { "no-such-player-on-this-machine", {} } });
    EXPECT_FALSE(noPlayer.Play(wav));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(Exists("args"));
}

} // namespace
