#include "app/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SetOldTime(const QString& path)
{
    utimbuf times { 1000000000, 1000000000 };
    ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
}

time_t ModifiedTime(const QString& path)
{
    struct stat info { };
    stat(QFile::encodeName(path).constData(), &info);
    return info.st_mtime;
}
} // namespace

TEST(AutostartEntry, DefaultPathFollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/some/config");
    EXPECT_EQ(AutostartEntry::DefaultPath(), "/some/config/autostart/Lumora.desktop");
    // A relative value is invalid by the base-directory rules and falls back to ~/.config.
    qputenv("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(AutostartEntry::DefaultPath(), QDir::homePath() + "/.config/autostart/Lumora.desktop");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(AutostartEntry::DefaultPath(), QDir::homePath() + "/.config/autostart/Lumora.desktop");
    qputenv("XDG_CONFIG_HOME", saved);
}

TEST(AutostartEntry, WritesTheEntryWithTheExecutableAndCreatesTheFolder)
{
    QTemporaryDir dir;
    AutostartEntry entry(dir.path() + "/autostart/Lumora.desktop");
    EXPECT_FALSE(entry.Exists());
    ASSERT_TRUE(entry.Write("/opt/lumora/bin/lumora"));
    const QByteArray text = ReadAll(entry.FilePath());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nName=Lumora\n"));
    EXPECT_TRUE(text.contains("\nExec=/opt/lumora/bin/lumora\n"));
}

TEST(AutostartEntry, TurningOnTwiceWritesOnce)
{
    QTemporaryDir dir;
    AutostartEntry entry(dir.path() + "/autostart/Lumora.desktop");
    ASSERT_TRUE(entry.Write("/usr/bin/lumora"));
    SetOldTime(entry.FilePath());
    ASSERT_TRUE(entry.Write("/usr/bin/lumora"));
    EXPECT_EQ(ModifiedTime(entry.FilePath()), 1000000000);
    // A different executable is a different entry and is written.
    ASSERT_TRUE(entry.Write("/usr/local/bin/lumora"));
    EXPECT_NE(ModifiedTime(entry.FilePath()), 1000000000);
    EXPECT_TRUE(ReadAll(entry.FilePath()).contains("Exec=/usr/local/bin/lumora\n"));
}

TEST(AutostartEntry, RemoveDeletesTheEntryAndAMissingOneIsFine)
{
    QTemporaryDir dir;
    AutostartEntry entry(dir.path() + "/autostart/Lumora.desktop");
    ASSERT_TRUE(entry.Write("/usr/bin/lumora"));
    EXPECT_TRUE(entry.Remove());
    EXPECT_FALSE(entry.Exists());
    EXPECT_TRUE(entry.Remove());
}

TEST(AutostartEntry, UnwritableFolderReportsFailure)
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/autostart");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    AutostartEntry entry(dir.path() + "/autostart/Lumora.desktop");
    EXPECT_FALSE(entry.Write("/usr/bin/lumora"));
}

TEST(AutostartEntry, ExecQuotesPathsThatNeedIt)
{
    // Desktop entry rules: reserved characters force double quotes; inside them " ` $ \ take a
    // backslash; then the value's own string escaping doubles every backslash; % becomes %%.
    EXPECT_EQ(AutostartEntry::QuoteExec("/usr/bin/lumora"), "/usr/bin/lumora");
    EXPECT_EQ(AutostartEntry::QuoteExec("/home/a b/lumora"), "\"/home/a b/lumora\"");
    EXPECT_EQ(AutostartEntry::QuoteExec("/home/$x/lumora"), "\"/home/\\\\$x/lumora\"");
    EXPECT_EQ(AutostartEntry::QuoteExec("/opt/100%/lumora"), "/opt/100%%/lumora");
}
