#include "CommandLine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(CommandLine, NoArgumentsOrAFileNameStartTheWindowProgram)
{
    EXPECT_EQ(RunCommandLine({}), -1);
    QTemporaryDir dir;
    const std::string file = (dir.path() + "/shot.bmp").toStdString();
    EXPECT_EQ(RunCommandLine({ file }), 2); // not there: an unknown verb
    FILE* created = fopen(file.c_str(), "wb");
    ASSERT_NE(created, nullptr);
    fclose(created);
    EXPECT_EQ(RunCommandLine({ file }), -1);
}

TEST(CommandLine, HelpSucceedsAndUnknownVerbsFail)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunCommandLine({ "--help" }), 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("lumora send"), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine({ "captur" }), 2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("unknown command"), std::string::npos);
}
