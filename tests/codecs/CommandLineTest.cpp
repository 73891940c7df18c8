#include "editor/codecs/SaveImageFile.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

using codectest::TempFolder;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built lumora executable with arguments (each quoted), capturing both output streams; launcher,
// when given, is the command line that starts it.
RunResult RunLumora(const TempFolder& folder, const std::vector<std::string>& args, const std::string& launcher = {})
{
#ifdef LUMORA_EXECUTABLE
    std::string command = launcher + " '" + LUMORA_EXECUTABLE + "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " >'" + (folder / "stdout") + "' 2>'" + (folder / "stderr") + "'";
    const int status = std::system(command.c_str());
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto out = codectest::ReadBytes(folder / "stdout");
    const auto err = codectest::ReadBytes(folder / "stderr");
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    std::filesystem::remove(folder / "stdout");
    std::filesystem::remove(folder / "stderr");
    return result;
#else
    (void)folder;
    (void)args;
    (void)launcher;
    return {};
#endif
}

size_t LineCount(const std::string& text)
{
    return size_t(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef LUMORA_EXECUTABLE
        GTEST_SKIP() << "the lumora executable is not part of this build";
#endif
    }
};

TEST_F(CommandLine, ConvertWritesTheFormatOfTheOutputName)
{
    TempFolder folder;
    const ImageBuffer image = testutil::MakeImage(12, 7, 24);
    ASSERT_TRUE(SaveImageFile(image, folder / "in.bmp"));
    for (const char* out : { "out.png", "out.tga", "out.PCX", "out.tif" }) {
        const RunResult run = RunLumora(folder, { "convert", folder / "in.bmp", folder / out });
        EXPECT_EQ(run.exitCode, 0) << out << ": " << run.err;
        EXPECT_EQ(run.err, "") << out;
        ImageBuffer loaded;
        ASSERT_TRUE(loaded.Load(folder / out)) << out;
        EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(image)) << out;
    }
    for (const char* out : { "out.tga", "out.tif" }) {
        const RunResult info = RunLumora(folder, { "info", folder / out });
        EXPECT_EQ(info.exitCode, 0) << out;
        EXPECT_EQ(info.out, "width=12 height=7 bpp=24 tag=0\n") << out;
        EXPECT_EQ(info.err, "") << out << ": the TIFF library's chatter stays out of the output";
    }
}

TEST_F(CommandLine, UnreadableOrUnwritableFilesGiveOneErrorLine)
{
    TempFolder folder;
    codectest::WriteBytes(folder / "bad.bmp", { 'B', 'M', 0, 0, 0 });
    RunResult run = RunLumora(folder, { "convert", folder / "bad.bmp", folder / "out.png" });
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(LineCount(run.err), 1u) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "out.png"));

    ASSERT_TRUE(SaveImageFile(testutil::MakeImage(40, 40, 24), folder / "whole.tif"));
    auto tiff = codectest::ReadBytes(folder / "whole.tif");
    tiff.resize(60);
    codectest::WriteBytes(folder / "cut.tif", tiff);
    run = RunLumora(folder, { "info", folder / "cut.tif" });
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(LineCount(run.err), 1u) << run.err;

    run = RunLumora(folder, { "info", folder / "missing.png" });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "lumora: Cannot open " + (folder / "missing.png") + ": the file does not exist.\n");
    EXPECT_EQ(run.out, "");

    ASSERT_TRUE(SaveImageFile(codectest::MakePaletteImage(4, 4, 1), folder / "mono.bmp"));
    run = RunLumora(folder, { "convert", folder / "mono.bmp", folder / "mono.tga" });
    EXPECT_NE(run.exitCode, 0) << "one-bit images have no TGA form";
    EXPECT_EQ(LineCount(run.err), 1u) << run.err;

    run = RunLumora(folder, { "convert", folder / "mono.bmp", folder / "no-such-folder/x.png" });
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(LineCount(run.err), 1u) << run.err;

    run = RunLumora(folder, { "convert", folder / "mono.bmp" });
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(LineCount(run.err), 1u) << run.err;
}

TEST_F(CommandLine, ApplyRunsTheMenuCommandAndKeepsAnOpaqueImage)
{
    TempFolder folder;
    const ImageBuffer image = testutil::MakeImage(5, 3, 24, [](int x, int y) {
        return testutil::Bgra { uint8_t(x * 10), uint8_t(y * 20), 200, 0 };
    });
    ASSERT_TRUE(SaveImageFile(image, folder / "in.bmp"));

    RunResult run = RunLumora(folder, { "apply", folder / "in.bmp", folder / "inverted.bmp", "invert" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ImageBuffer inverted;
    ASSERT_TRUE(inverted.Load(folder / "inverted.bmp"));
    EXPECT_EQ(inverted.BitCount(), 32);
    EXPECT_EQ(testutil::PixelAt(inverted, 4, 2), (testutil::Bgra { 255 - 40, 255 - 40, 55, 255 }));

    run = RunLumora(folder, { "apply", folder / "in.bmp", folder / "resized.bmp", "resize", "10", "6", "good" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ImageBuffer resized;
    ASSERT_TRUE(resized.Load(folder / "resized.bmp"));
    EXPECT_EQ(resized.Width(), 10);
    EXPECT_EQ(resized.Height(), 6);
    // Nearest neighbour doubling: destination (9, 5) reads source (4, 2).
    EXPECT_EQ(testutil::PixelAt(resized, 9, 5), (testutil::Bgra { 40, 40, 200, 255 }));

    run = RunLumora(folder, { "apply", folder / "in.bmp", folder / "levelled.bmp", "level", "0", "100", "r" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
}

TEST_F(CommandLine, ApplyRefusesUnknownEffectsAndWrongValueCountsWithoutWriting)
{
    TempFolder folder;
    ASSERT_TRUE(SaveImageFile(testutil::MakeImage(2, 2, 24), folder / "in.bmp"));
    const std::vector<std::vector<std::string>> bad {
        { "sharpen" },
        { "invert", "3" },
        { "grid", "4" },
        { "rotate", "ninety" },
        { "level", "1", "2", "x" },
        { "resize", "3", "3", "best" },
        { "tone", "0", "256", "0" },
        // Sizes no image can hold: exactly 2^31 bytes at 32 bpp, more, and none at all.
        { "resize", "536870912", "1", "good" },
        { "resize", "65536", "65536", "better" },
        { "resize", "0", "5", "good" },
    };
    for (const auto& words : bad) {
        std::vector<std::string> args { "apply", folder / "in.bmp", folder / "out.bmp" };
        args.insert(args.end(), words.begin(), words.end());
        const RunResult run = RunLumora(folder, args);
        EXPECT_EQ(run.exitCode, 2) << words[0];
        EXPECT_EQ(LineCount(run.err), 1u) << words[0] << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder / "out.bmp")) << words[0];
    }
    const RunResult missing = RunLumora(folder, { "apply", folder / "absent.bmp", folder / "out.bmp", "blur" });
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(LineCount(missing.err), 1u) << missing.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bmp"));
}

TEST_F(CommandLine, AFailingDecoderIsOneLineAndExitTwo)
{
    TempFolder folder;
    // 8000 x 8000 at 24 bpp is 192 MB for the decoder's bitmap; under an address space of 200 MB, which the
    // decoder inherits, it runs out of memory while the program does not.
    ImageBuffer image;
    ASSERT_TRUE(image.Create(8000, 8000, 24));
    ASSERT_TRUE(SaveImageFile(image, folder / "large.png"));
    const std::string limited = "prlimit --as=" + std::to_string(200 << 20);
    for (const char* verb : { "info", "convert" }) {
        std::vector<std::string> args { verb, folder / "large.png" };
        if (std::string(verb) == "convert")
            args.push_back(folder / "out.bmp");
        const RunResult run = RunLumora(folder, args, limited);
        EXPECT_EQ(run.exitCode, 2) << verb << ": " << run.err;
        EXPECT_EQ(run.err, "lumora: cannot read " + (folder / "large.png") + ": the decoder failed\n") << verb;
        EXPECT_EQ(run.out, "") << verb;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bmp"));
    const RunResult small = RunLumora(folder, { "info", folder / "large.png" });
    EXPECT_EQ(small.exitCode, 0) << "without the limit the same file reads: " << small.err;
}
