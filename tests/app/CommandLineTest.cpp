#include "app/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, AnythingButAVerbStartsTheWindowProgram)
{
    // File names (there or not) open nothing; -platform and its kind are Qt's.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>> {
             {}, { "/no/such/shot.bmp" }, { "/" }, { "-platform", "xcb" }, { "-style", "fusion", "shot.png" } })
        EXPECT_EQ(RunCommandLine(args), -1) << (args.empty() ? "" : args.front());
}

TEST(CommandLine, HelpListsEveryVerbAndOption)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunCommandLine({ "--help" }), 0);
    const std::string usage = testing::internal::GetCapturedStdout();
    for (const char* word : { "capture", "full|active|region|window|fixed|scroll", "--delay", "--output", "--clipboard",
             "--cursor", "--screen", "convert", "apply", "info", "send", "highlight", "capture-window" })
        EXPECT_NE(usage.find(word), std::string::npos) << word;
}
