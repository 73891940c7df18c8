#include "settings/IniFile.h"
#include "settings/ModulePath.h"
#include "settings/StartNumLock.h"
#include "tests/settings/IniTestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        Set(value);
    }
    ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }
    void Set(const char* value) const
    {
        if (value)
            setenv(name_, value, 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace

TEST(ConfigLocation, PortableFileBesideTheExecutableElseTheUsersConfigFolder)
{
    IniScratch scratch;
    const std::string module = scratch.Path("bin") + "/";
    const std::string home = scratch.Path("home");
    const ScopedEnv homeEnv("HOME", home.c_str());
    const ScopedEnv xdg("XDG_CONFIG_HOME", scratch.Path("xdg").c_str());
    EXPECT_EQ(ConfigFilePathFor(module), scratch.Path("xdg") + "/lumora/config.ini");
    xdg.Set("relative/folder"); // not absolute: ignored, as the base directory rules say
    EXPECT_EQ(ConfigFilePathFor(module), home + "/.config/lumora/config.ini");
    xdg.Set(nullptr);
    const std::string user = ConfigFilePathFor(module);
    EXPECT_EQ(user, home + "/.config/lumora/config.ini");

    // The user's folder is made ready; config.ini appears with the first setting or auto-save number.
    EXPECT_TRUE(IniFile(user.c_str()).WriteInt("AppSet", "IsTrayMode", 1));
    EXPECT_EQ(IniFile(user.c_str()).ReadInt("AppSet", "IsTrayMode", 0), 1);
    EXPECT_EQ(StartNumLock::Take(user, 4), 4);
    EXPECT_EQ(StartNumLock::Take(user, 4), 5);
    EXPECT_EQ(IniFile(user.c_str()).ReadInt("AudoSaveSet", "StartNum", 0), 6);

    // A config.ini beside the executable wins: the program is used portably.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(module)));
    scratch.Write("bin/config.ini", "[AppSet]\n");
    EXPECT_EQ(ConfigFilePathFor(module), module + "config.ini");
}

TEST(ConfigLocation, ProgramFilesBesideTheExecutableElseInTheInstalledDataFolder)
{
    IniScratch scratch;
    const std::string bin = scratch.Path("prefix/bin") + "/";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(bin + "help")));
    EXPECT_EQ(DataFolderFor("help", bin), bin) << "a build tree keeps them beside the executable";
    EXPECT_EQ(DataFolderFor("capture.wav", bin), bin + "../share/lumora/") << "an installed program";
}
