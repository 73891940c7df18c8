#include "editor/codecs/AtomicFile.h"
#include "editor/codecs/SaveImageFile.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

using codectest::ReadBytes;
using codectest::TempFolder;

namespace {

// Limits the size of any file this process writes, so that a save fails part-way as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_ {};
    void (*previous_)(int) = nullptr;
};

} // namespace

TEST(AtomicFile, ReplacesTheTargetOnlyOnCommit)
{
    TempFolder folder;
    const std::string target = folder / "config.ini";
    ASSERT_TRUE(AtomicFile::WriteAll(target, "old"));
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.Open());
        std::fputs("new", file.Stream());
        std::fflush(file.Stream());
        EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t> { 'o', 'l', 'd' })) << "not yet committed";
        EXPECT_EQ(folder.Names().size(), 2u);
    }
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t> { 'o', 'l', 'd' })) << "dropped without commit";
    EXPECT_EQ(folder.Names(), std::vector<std::string> { "config.ini" });

    AtomicFile file(target);
    ASSERT_TRUE(file.Open());
    std::fputs("new", file.Stream());
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t> { 'n', 'e', 'w' }));
    EXPECT_EQ(folder.Names(), std::vector<std::string> { "config.ini" });
    EXPECT_FALSE(file.Commit()) << "a file commits once";
}

TEST(AtomicFile, KeepsThePermissionsOfTheFileItReplaces)
{
    TempFolder folder;
    const std::string target = folder / "private.png";
    ASSERT_TRUE(AtomicFile::WriteAll(target, "x"));
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    ASSERT_TRUE(SaveImageFile(testutil::MakeImage(2, 2, 24), target));
    struct stat info { };
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(AtomicFile, MissingFolderOrFolderAsTargetFailsCleanly)
{
    TempFolder folder;
    EXPECT_FALSE(AtomicFile::WriteAll(folder / "absent/x.ini", "x"));
    std::filesystem::create_directory(folder.Path() / "dir.png");
    EXPECT_FALSE(SaveImageFile(testutil::MakeImage(2, 2, 24), folder / "dir.png"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "dir.png"));
    EXPECT_EQ(folder.Names(), std::vector<std::string> { "dir.png" }) << "no temporary file left";
}

TEST(AtomicFile, SaveThatFailsPartWayLeavesTheExistingFileUntouched)
{
    TempFolder folder;
    const ImageBuffer small = testutil::MakeImage(4, 4, 24);
    const ImageBuffer large = testutil::MakeImage(300, 300, 24);
    for (const char* name : { "a.bmp", "a.tga", "a.png", "a.jpg", "a.tif", "a.gif", "a.pcx" }) {
        const std::string path = folder / name;
        ASSERT_TRUE(SaveImageFile(small, path)) << name;
        const auto before = ReadBytes(path);
        {
            // The large image needs far more than 2000 bytes in every format.
            FileSizeLimit limit(2000);
            EXPECT_FALSE(SaveImageFile(large, path)) << name;
        }
        EXPECT_EQ(ReadBytes(path), before) << name;
        std::filesystem::remove(path);
        EXPECT_TRUE(folder.Names().empty()) << name << ": temporary file left behind";
    }
}
