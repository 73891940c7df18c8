#include "editor/codecs/BmpCodec.h"
#include "editor/codecs/DibCodec.h"
#include "editor/codecs/FreeImageCodec.h"
#include "editor/codecs/TgaCodec.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Every file of the regression corpus goes through its decoder (the sanitizer build watches every byte
// read and written). Files named ok-* must decode, bad-* must be refused; anything else (inputs found by
// fuzzing) only has to come back without harm.
namespace {

std::filesystem::path CorpusFolder(const char* kind)
{
    const char* data = std::getenv("LUMORA_TEST_DATA");
    return std::filesystem::path(data ? data : LUMORA_SOURCE_TEST_DATA) / "corpus" / kind;
}

// Reads every pixel byte of every row, so that a bad row table shows up under the sanitizers.
unsigned SumOfPixels(const ImageBuffer& image)
{
    const size_t rowBytes = (size_t(image.Width()) * size_t(image.BitCount()) + 7) / 8;
    unsigned sum = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (size_t i = 0; i < rowBytes; ++i)
            sum += image.Row(y)[i];
    return sum;
}

template <typename Codec> void RunCorpus(const char* kind)
{
    const auto folder = CorpusFolder(kind);
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        const auto bytes = codectest::ReadBytes(entry.path().string());
        Codec codec;
        // An exact-size copy, so that any read past the end is a heap overflow the sanitizer reports.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() + 1]);
        std::copy(bytes.begin(), bytes.end(), exact.get());
        const bool decoded = codec.Decode(bytes.empty() ? nullptr : exact.get(), bytes.size());
        if (name.starts_with("ok-")) {
            EXPECT_TRUE(decoded) << name;
        } else if (name.starts_with("bad-")) {
            EXPECT_FALSE(decoded) << name;
        }
        EXPECT_EQ(codec.DecodedImages().size(), decoded ? 1u : 0u) << name;
        if (decoded) {
            const ImageBuffer& image = *codec.DecodedImages().front();
            ASSERT_FALSE(image.IsEmpty()) << name;
            EXPECT_LE(image.Width(), BmpCodec::kMaxSide) << name;
            EXPECT_LE(image.Height(), BmpCodec::kMaxSide) << name;
            if (image.PixelBytes() <= (size_t(64) << 20))
                (void)SumOfPixels(image);
        }
        ++files;
    }
    EXPECT_GE(files, 10) << "the hand-made cases are missing from " << folder;
}

} // namespace

TEST(DecoderCorpus, BmpFiles)
{
    RunCorpus<BmpCodec>("bmp");
}

TEST(DecoderCorpus, TgaFiles)
{
    RunCorpus<TgaCodec>("tga");
}

TEST(DecoderCorpus, FilesReadThroughFreeImage)
{
    RunCorpus<FreeImageCodec>("freeimage");
}

TEST(DecoderCorpus, ClipboardDibBlocks)
{
    RunCorpus<DibCodec>("dib");
}
