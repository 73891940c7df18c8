#include "app/CaptureArguments.h"

#include <gtest/gtest.h>

namespace {

TEST(CaptureArgumentsTest, ReadsGeometrySizeAndWindowIds)
{
    using namespace CaptureArguments;
    EXPECT_EQ(ParseGeometry("200x80+100+120"), (ImageRect { 100, 120, 300, 200 }));
    EXPECT_EQ(ParseGeometry("10x5-3+0"), (ImageRect { -3, 0, 7, 5 }));
    for (const char* bad : { "", "200x80", "200x80+1", "0x80+1+1", "200x-8+1+1", "x80+1+1", "200x80+1+1+", "2e2x8+1+1",
             "99999x80+0+0", "200x80++1+1" })
        EXPECT_FALSE(ParseGeometry(bad)) << bad;
    EXPECT_EQ(ParseSize("100x60")->width, 100);
    EXPECT_EQ(ParseSize("100x60")->height, 60);
    for (const char* bad : { "100", "100x", "0x60", "100x60+1+1", "-5x5" })
        EXPECT_FALSE(ParseSize(bad)) << bad;
    EXPECT_EQ(ParseWindowId("0x1c00007"), WindowId(0x1c00007));
    EXPECT_EQ(ParseWindowId("29360135"), WindowId(29360135));
    for (const char* bad : { "0", "0x", "0x0", "-5", "12ab", "0xfffffffff" })
        EXPECT_FALSE(ParseWindowId(bad)) << bad;
}

} // namespace
