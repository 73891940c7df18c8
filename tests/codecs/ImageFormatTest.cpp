#include "editor/codecs/ImageFormat.h"

#include <gtest/gtest.h>

TEST(FormatFromName, LooksUpTheLowerCasedTextAfterTheLastDot)
{
    EXPECT_EQ(FormatFromName("photo.JPG"), kFormatJpeg);
    EXPECT_EQ(FormatFromName("/a/b/scan.Tiff"), kFormatTiff);
    EXPECT_EQ(FormatFromName("x.jpeg"), kFormatJpeg);
    EXPECT_EQ(FormatFromName("archive.tar.png"), kFormatPng);
    EXPECT_EQ(FormatFromName("strip.tsx"), kFormatTsx);
    EXPECT_EQ(FormatFromName("x.PcX"), kFormatPcx);
}

TEST(FormatFromName, NoDotOrUnknownExtensionIsNoFormat)
{
    EXPECT_EQ(FormatFromName("README"), kFormatNone);
    EXPECT_EQ(FormatFromName("picture."), kFormatNone);
    EXPECT_EQ(FormatFromName("notes.txt"), kFormatNone);
    EXPECT_EQ(FormatFromName("x.jpgx"), kFormatNone);
    // The last dot may sit in a folder name: the "extension" is then the rest of the path.
    EXPECT_EQ(FormatFromName("/home/me/shots.d/capture"), kFormatNone);
    EXPECT_EQ(FormatFromName("/home/me/v1.png/capture"), kFormatNone);
    EXPECT_EQ(ExtensionOf("/home/me/shots.d/capture"), "d/capture");
}
