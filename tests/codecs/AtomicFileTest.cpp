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

TEST(AtomicFile, SavingThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links; // link name, what it points to
        std::string target; // the file that must receive the bytes, relative to the folder
    };
    TempFolder folder;
    const std::string real = folder / "real";
    std::filesystem::create_directory(real);
    const Case cases[] = {
        { "absolute", { { "a.png", real + "/a.png" } }, "real/a.png" },
        { "relative", { { "b.png", "real/b.png" } }, "real/b.png" },
        { "chain", { { "c.png", "real/c-link.png" }, { "real/c-link.png", "c.png" } }, "real/c.png" },
        { "dangling", { { "d.png", "real/new.png" } }, "real/new.png" },
    };
    const ImageBuffer image = testutil::MakeImage(3, 2, 24);
    for (const Case& c : cases) {
        for (const auto& [link, to] : c.links)
            std::filesystem::create_symlink(to, folder.Path() / link);
        const std::filesystem::path target = folder.Path() / c.target;
        if (std::string(c.name) != "dangling") {
            ASSERT_TRUE(AtomicFile::WriteAll(target, "old")) << c.name;
        }
        const std::string saved = folder / c.links.front().first;
        ASSERT_TRUE(SaveImageFile(image, saved)) << c.name;
        for (const auto& [link, to] : c.links)
            EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / link)) << c.name << ": " << link;
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(target))) << c.name;
        ImageBuffer back;
        ASSERT_TRUE(back.Load(target)) << c.name;
        EXPECT_EQ(back.Width(), 3) << c.name;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Path()))
        EXPECT_EQ(entry.path().extension(), entry.is_directory() ? "" : ".png") << entry.path();
}
