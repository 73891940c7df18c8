#include "editor/codecs/SaveImageFile.h"
#include "editor/codecs/CodecRegistry.h"
#include "editor/codecs/DefaultCodecRegistry.h"
#include "editor/codecs/SaveCodecRegistry.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

using codectest::TempFolder;

TEST(CodecRegistries, ReadAndWriteTheDescribedFormats)
{
    const DefaultCodecRegistry reading;
    const SaveCodecRegistry writing;
    for (ImageFormat format : { kFormatBmp, kFormatPcx, kFormatJpeg, kFormatGif, kFormatTga, kFormatTiff, kFormatPng,
             kFormatPsd, kFormatIco, kFormatXpm })
        EXPECT_NE(reading.CreateCodec(format), nullptr) << format;
    for (ImageFormat format : { kFormatNone, kFormatTsx })
        EXPECT_EQ(reading.CreateCodec(format), nullptr) << format;
    for (ImageFormat format : { kFormatBmp, kFormatJpeg, kFormatGif, kFormatTga, kFormatTiff, kFormatPng })
        EXPECT_NE(writing.CreateCodec(format), nullptr) << format;
    for (ImageFormat format : { kFormatNone, kFormatPcx, kFormatPsd, kFormatIco, kFormatXpm, kFormatTsx })
        EXPECT_EQ(writing.CreateCodec(format), nullptr) << format;
}

TEST(CodecRegistries, SaveImageFileLeavesTheCurrentRegistryInPlace)
{
    TempFolder folder;
    const auto before = CurrentRegistry();
    ASSERT_TRUE(SaveImageFile(testutil::MakeImage(2, 2, 24), folder / "a.png"));
    EXPECT_EQ(CurrentRegistry(), before);

    // ImageBuffer::Save uses the current registry: the reading one has no PNG writer.
    const ImageBuffer image = testutil::MakeImage(2, 2, 24);
    EXPECT_FALSE(image.Save(folder / "b.png", -1));
    EXPECT_TRUE(image.Save(folder / "b.bmp", -1));
    SetCurrentRegistry(std::make_shared<SaveCodecRegistry>());
    EXPECT_TRUE(image.Save(folder / "b.png", -1));
    ImageBuffer loaded;
    EXPECT_FALSE(loaded.Load(folder / "b.png")) << "the save registry reads only BMP and TGA";
    EXPECT_TRUE(loaded.Load(folder / "b.bmp"));
    SetCurrentRegistry(std::make_shared<DefaultCodecRegistry>());
    EXPECT_TRUE(loaded.Load(folder / "b.png"));
}

TEST(ImageBufferLoad, KeepsOriginAndTagOfTheDecodedImageAndOnlyTheFirstFrame)
{
    TempFolder folder;
    ImageBuffer image = testutil::MakeImage(3, 2, 24);
    ASSERT_TRUE(SaveImageFile(image, folder / "a.bmp"));
    ImageBuffer target = testutil::MakeImage(9, 9, 32);
    target.SetOrigin(5, 6);
    target.SetTag(3);
    ASSERT_TRUE(target.Load(folder / "a.bmp"));
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(target.BitCount(), 24);
    // The decoded image starts at the origin with tag 0, and Load copies it whole.
    EXPECT_EQ(target.OriginX(), 0);
    EXPECT_EQ(target.Tag(), 0);
    EXPECT_TRUE(codectest::SamePixelBytes(target, image));
}
