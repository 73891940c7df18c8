#include "app/CommandLine.h"
#include "TextPicture.h"
#include "app/CaptureCommand.h"
#include "editor/codecs/SaveImageFile.h"
#include "tests/app/AppTestSupport.h"

#include <QTemporaryDir>

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
             "--cursor", "--screen", "convert", "apply", "info", "send", "highlight", "capture-window", "ocr",
             "--region", "--lang" })
        EXPECT_NE(usage.find(word), std::string::npos) << word;
}

TEST(CommandLine, OnlyCapturesThatShowNoWindowRunWithoutTheToolkit)
{
    // The small front executable runs these with an empty toolkit; a wrong "no" there would call it.
    const std::pair<std::vector<std::string>, bool> cases[] = {
        { { "full", "--output", "a.png" }, false },
        { { "active", "--delay", "0" }, false },
        { { "full", "--screen", "all", "--cursor" }, false },
        { { "region", "--geometry", "10x10+0+0" }, false },
        { { "window", "--window", "0x1e00004" }, false },
        { { "region" }, true },
        { { "window" }, true },
        { { "fixed", "--size", "100x50" }, true },
        { { "scroll", "--window", "42" }, true },
        { { "scroll" }, true },
        // Mistakes get the whole program's answer.
        { {}, true },
        { { "everything" }, true },
        { { "full", "--geometry", "10x10+0+0" }, true },
        { { "full", "--delay" }, true },
    };
    for (const auto& [args, needs] : cases)
        EXPECT_EQ(CaptureNeedsToolkit(args), needs) << testing::PrintToString(args);
}

TEST(CommandLine, OcrPrintsTheTextOfAPictureFileAndRefusesWhatItCannotRead)
{
    EnsureApp();
    QTemporaryDir dir;
    const std::string path = dir.filePath("text.png").toStdString();
    QStringList lines;
    ASSERT_TRUE(SaveImageFile(textpicture::Paragraph({ "DejaVu Sans Mono", 12, true }, 600, &lines), path));

    testing::internal::CaptureStdout();
    EXPECT_EQ(RunCommandLine({ "ocr", path }), 0);
    const QString printed = QString::fromStdString(testing::internal::GetCapturedStdout());
    EXPECT_GE(textpicture::CharacterAccuracy(lines.join(' '), printed), 0.98) << printed.toStdString();
    EXPECT_TRUE(printed.endsWith('\n'));

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>> { { "ocr" },
             { "ocr", path, "--full" }, { "ocr", path, "--lang", "xx" }, { "ocr", "--region", "10x10" },
             { "ocr", dir.filePath("absent.png").toStdString() }, { "ocr", path, "--colour" } }) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(RunCommandLine(args), 2) << args.back();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << args.back();
    }
}
