#include "editor/codecs/FormatHeaderCheck.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

// Every file of tests/data/hostile/ opens as the program opens a file, by its name, and ends as its line
// in expected.txt says: one error, or the picture the file really holds.
namespace {

std::filesystem::path HostileFolder()
{
    const char* data = std::getenv("LUMORA_TEST_DATA");
    return std::filesystem::path(data ? data : LUMORA_SOURCE_TEST_DATA) / "hostile";
}

struct Expected {
    std::string outcome; // "refused" or WIDTHxHEIGHT
    bool guarded = false;
};

std::map<std::string, Expected> ReadExpected(const std::filesystem::path& file)
{
    std::map<std::string, Expected> expected;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string name, outcome, mark;
        words >> name >> outcome >> mark;
        expected[name] = { outcome, mark == "guarded" };
    }
    return expected;
}

} // namespace

TEST(HostileFiles, EachEndsWithOneErrorOrThePictureItHolds)
{
    const auto folder = HostileFolder();
    const auto expected = ReadExpected(folder / "expected.txt");
    ASSERT_GE(expected.size(), 40u) << folder;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name == "expected.txt")
            continue;
        ++files;
        const auto it = expected.find(name);
        if (it == expected.end()) {
            ADD_FAILURE() << name << " has no line in expected.txt";
            continue;
        }
        if (it->second.guarded) {
            const auto bytes = codectest::ReadBytes(entry.path().string());
            if (FormatHeaderCheck::Accepts(bytes.data(), bytes.size())) {
                ADD_FAILURE() << name << " passed the header check: not handed to the decoder";
                continue;
            }
        }
        ImageBuffer image;
        const bool loaded = image.Load(entry.path().string());
        if (it->second.outcome == "refused") {
            EXPECT_FALSE(loaded) << name;
            EXPECT_TRUE(image.IsEmpty()) << name;
        } else {
            EXPECT_TRUE(loaded) << name;
            EXPECT_EQ(std::to_string(image.Width()) + "x" + std::to_string(image.Height()), it->second.outcome) << name;
        }
    }
    EXPECT_EQ(size_t(files), expected.size()) << "a file named in expected.txt is missing";
}
