#include "editor/codecs/StampLibrary.h"
#include "editor/codecs/SaveImageFile.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

using codectest::TempFolder;

TEST(StampLibrary, ListsEveryEntrySortedWithOneThumbnailEach)
{
    TempFolder folder;
    const std::string stamps = folder / "stamps";
    std::filesystem::create_directory(stamps);
    ASSERT_TRUE(SaveImageFile(testutil::MakeImage(90, 60, 32,
                                  [](int x, int) {
                                      return testutil::Bgra { 0, 0, uint8_t(x < 45 ? 255 : 0), 255 };
                                  }),
        stamps + "/b-red.png"));
    ASSERT_TRUE(SaveImageFile(codectest::MakePaletteImage(13, 5, 1), stamps + "/a-mono.bmp"));
    codectest::WriteBytes(stamps + "/c-notes.txt", { 'h', 'i' });
    std::filesystem::create_directory(stamps + "/d-folder");

    const StampLibrary library = LoadStampLibrary(folder.Path().string() + "/");
    ASSERT_EQ(library.paths.size(), 4u);
    EXPECT_EQ(library.paths[0], stamps + "/a-mono.bmp");
    EXPECT_EQ(library.paths[3], stamps + "/d-folder") << "folders are entries too";
    ASSERT_EQ(library.thumbnails.size(), 4u);
    for (const ImageBuffer& thumbnail : library.thumbnails) {
        EXPECT_EQ(thumbnail.Width(), 36);
        EXPECT_EQ(thumbnail.Height(), 27);
        EXPECT_EQ(thumbnail.BitCount(), 24);
    }
    // Nearest-neighbour: thumbnail column x samples source column x * 90 / 36, so 17 -> 42 (red), 18 -> 45.
    EXPECT_EQ(testutil::PixelAt(library.thumbnails[1], 17, 5), (testutil::Bgra { 0, 0, 255, 0 }));
    EXPECT_EQ(testutil::PixelAt(library.thumbnails[1], 18, 5), (testutil::Bgra { 0, 0, 0, 0 }));
    EXPECT_EQ(testutil::PixelAt(library.thumbnails[2], 3, 3), (testutil::Bgra { 0, 0, 0, 0 })) << "blank";

    const ImageBuffer stamp = LoadStampImage(library, 0);
    EXPECT_EQ(stamp.BitCount(), 1) << "at the depth its codec produced";
    EXPECT_EQ(stamp.Width(), 13);
    EXPECT_TRUE(LoadStampImage(library, 2).IsEmpty());
    EXPECT_TRUE(LoadStampImage(library, 4).IsEmpty());
    EXPECT_TRUE(LoadStampImage(library, -1).IsEmpty());
}

TEST(StampLibrary, MissingFolderGivesAnEmptyLibrary)
{
    TempFolder folder;
    const StampLibrary library = LoadStampLibrary(folder.Path().string() + "/");
    EXPECT_TRUE(library.paths.empty());
    EXPECT_TRUE(library.thumbnails.empty());
}
