#include "editor/codecs/SandboxedDecoder.h"
#include "editor/codecs/DecoderReply.h"
#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/SaveImageFile.h"
#include "editor/document/ImageClipboard.h"
#include "tests/codecs/CodecTestUtil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using codectest::TempFolder;

namespace {

std::filesystem::path HostileFolder()
{
    const char* data = std::getenv("LUMORA_TEST_DATA");
    return std::filesystem::path(data ? data : LUMORA_SOURCE_TEST_DATA) / "hostile";
}

std::vector<uint8_t> PngOf(const ImageBuffer& image, const TempFolder& folder)
{
    EXPECT_TRUE(SaveImageFile(image, folder / "picture.png"));
    return codectest::ReadBytes(folder / "picture.png");
}

ImageBuffer UniformImage(int width, int height)
{
    ImageBuffer image;
    image.Create(width, height, 24);
    std::fill(image.Pixels(), image.Pixels() + image.PixelBytes(), uint8_t(90));
    return image;
}

// A reply file as the decoder leaves it, or with one change made on the way.
enum class Tamper { None, Unsealed, OneByteShort, OneByteLong };

int ReplyFile(const ImageBuffer& image, Tamper tamper)
{
    const int honest = memfd_create("reply", MFD_ALLOW_SEALING);
    std::vector<RgbQuad> palette;
    EXPECT_TRUE(DecoderReply::Write(honest, DecoderReply::PageOf(image, palette)));
    if (tamper == Tamper::None)
        return honest;
    std::vector<uint8_t> bytes(size_t(lseek(honest, 0, SEEK_END)));
    EXPECT_EQ(pread(honest, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
    close(honest);
    if (tamper == Tamper::OneByteShort)
        bytes.pop_back();
    if (tamper == Tamper::OneByteLong)
        bytes.push_back(0);
    const int copy = memfd_create("reply", MFD_ALLOW_SEALING);
    EXPECT_EQ(write(copy, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    if (tamper != Tamper::Unsealed)
        fcntl(copy, F_ADD_SEALS, F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW);
    return copy;
}

} // namespace

TEST(SandboxedDecoder, FilesThatCrashTheDecoderEndInOneErrorAndLeaveThisProcessAlone)
{
    const ImageBuffer before = testutil::MakeImage(5, 3, 24);
    int files = 0;
    // Only the files that must be refused: the others are real pictures, however large.
    std::ifstream expected(HostileFolder() / "expected.txt");
    for (std::string line; std::getline(expected, line);) {
        std::istringstream words(line);
        std::string name, outcome;
        if (!(words >> name >> outcome) || name[0] == '#' || outcome != "refused")
            continue;
        const std::filesystem::directory_entry entry(HostileFolder() / name);
        ++files;
        ImageBuffer image(before);
        EXPECT_NE(LoadImageFile(image, entry.path().string()), LoadOutcome::kLoaded) << entry.path();
        EXPECT_EQ(codectest::Colours(image), codectest::Colours(before))
            << entry.path() << ": a failed load changes nothing";
        const std::vector<uint8_t> bytes = codectest::ReadBytes(entry.path().string());
        bool decoderFailed = false;
        EXPECT_TRUE(ImageClipboard::DecodeOffer("image/png", { bytes.begin(), bytes.end() }, &decoderFailed).IsEmpty())
            << entry.path() << ": the same bytes offered on the clipboard";
    }
    EXPECT_GE(files, 7);
    TempFolder folder;
    const ImageBuffer picture = testutil::MakeImage(6, 4, 24);
    ASSERT_TRUE(SaveImageFile(picture, folder / "after.png"));
    ImageBuffer loaded;
    EXPECT_EQ(LoadImageFile(loaded, folder / "after.png"), LoadOutcome::kLoaded) << "decoding goes on";
    EXPECT_EQ(codectest::Colours(loaded), codectest::Colours(picture));
}

TEST(SandboxedDecoder, RunningOutOfMemoryIsAFailureAndNoPictureIsARefusal)
{
    TempFolder folder;
    // 4000 x 4000 at 24 bpp: 48 MB for FreeImage's bitmap, from a small file.
    const std::vector<uint8_t> large = PngOf(UniformImage(4000, 4000), folder);
    const std::vector<uint8_t> small = PngOf(UniformImage(100, 100), folder);
    const std::vector<uint8_t> junk { 'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c' };
    struct Case {
        const char* name;
        const std::vector<uint8_t>& bytes;
        SandboxedDecoder::Limits limits;
        SandboxedDecoder::Outcome outcome;
    };
    const Case cases[] = {
        { "within the default limits", large, SandboxedDecoder::DefaultLimits(), SandboxedDecoder::Outcome::kDecoded },
        { "past a 40 MB address space", large, { int64_t(40) << 20, 10 }, SandboxedDecoder::Outcome::kFailed },
        { "small within 40 MB", small, { int64_t(40) << 20, 10 }, SandboxedDecoder::Outcome::kDecoded },
        { "no picture", junk, SandboxedDecoder::DefaultLimits(), SandboxedDecoder::Outcome::kRefused },
    };
    for (const Case& c : cases) {
#ifdef LUMORA_DECODER_UNDER_SANITIZER
        if (c.limits.addressSpaceBytes < SandboxedDecoder::DefaultLimits().addressSpaceBytes)
            continue; // the sanitizer build's decoder runs without an address-space limit
#endif
        const SandboxedDecoder::Result result = SandboxedDecoder::Decode(c.bytes.data(), c.bytes.size(), c.limits);
        EXPECT_EQ(result.outcome, c.outcome) << c.name;
        EXPECT_EQ(result.image != nullptr, c.outcome == SandboxedDecoder::Outcome::kDecoded) << c.name;
    }
}

// Each spare decoder makes the reply pages of the size last decoded: a smaller picture must trim them and a
// larger one add to them, at either depth.
TEST(SandboxedDecoder, PicturesOfChangingSizesComeBackWhole)
{
    TempFolder folder;
    const struct {
        int width, height, bpp;
    } pictures[] = { { 64, 48, 24 }, { 16, 9, 24 }, { 300, 200, 24 }, { 300, 200, 24 }, { 7, 3, 32 }, { 90, 70, 32 } };
    for (const auto& p : pictures) {
        const ImageBuffer picture = testutil::MakeImage(p.width, p.height, p.bpp, [](int x, int y) {
            return testutil::Bgra { uint8_t(x), uint8_t(y), uint8_t(x + y), uint8_t(100 + x % 50) };
        });
        const std::vector<uint8_t> png = PngOf(picture, folder);
        const SandboxedDecoder::Result result = SandboxedDecoder::Decode(png.data(), png.size());
        ASSERT_EQ(result.outcome, SandboxedDecoder::Outcome::kDecoded) << p.width << "x" << p.height;
        EXPECT_TRUE(codectest::SamePixelBytes(*result.image, picture)) << p.width << "x" << p.height;
    }
}

// Opens from several threads at once share the spares and the thread that starts them: every picture comes
// back whole, and none waits for ever for a spare.
TEST(SandboxedDecoder, PicturesOpenedFromSeveralThreadsAtOnceComeBackWhole)
{
    TempFolder folder;
    std::vector<ImageBuffer> pictures;
    std::vector<std::vector<uint8_t>> pngs;
    for (int i = 0; i < 4; ++i) {
        pictures.push_back(testutil::MakeImage(40 + 70 * i, 20 + 11 * i, i % 2 ? 32 : 24, [i](int x, int y) {
            return testutil::Bgra { uint8_t(x * i), uint8_t(y), uint8_t(x + y), uint8_t(60 + y) };
        }));
        pngs.push_back(PngOf(pictures.back(), folder));
    }
    std::atomic<int> whole = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 4; ++round) {
                const size_t i = size_t(t + round) % pngs.size();
                const SandboxedDecoder::Result result = SandboxedDecoder::Decode(pngs[i].data(), pngs[i].size());
                whole += result.image && codectest::SamePixelBytes(*result.image, pictures[i]);
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(whole, 12);
}

TEST(DecoderReply, ReadsBackOnlyAnUnchangedSealedReply)
{
    ImageBuffer palette = codectest::MakePaletteImage(7, 5, 8);
    palette.SetTag(70);
    ImageBuffer masked;
    const uint32_t masks[3] = { 0xF800, 0x07E0, 0x001F };
    BitmapInfoHeader header;
    header.biWidth = 3;
    header.biHeight = 2;
    header.biBitCount = 16;
    header.biCompression = kBiBitfields;
    ASSERT_TRUE(masked.CreateFromInfo(header, masks));
    masked.Row(1)[2] = 0x5A;

    for (const ImageBuffer* image : { &palette, &masked }) {
        const int fd = ReplyFile(*image, Tamper::None);
        const std::unique_ptr<ImageBuffer> read = DecoderReply::Read(fd);
        close(fd);
        ASSERT_NE(read, nullptr) << image->BitCount();
        EXPECT_EQ(read->BitCount(), image->BitCount());
        EXPECT_EQ(read->Tag(), image->Tag());
        EXPECT_EQ(read->RedMask(), image->RedMask());
        EXPECT_EQ(codectest::Colours(*read), codectest::Colours(*image)) << image->BitCount();
        EXPECT_EQ(std::vector<uint8_t>(read->Pixels(), read->Pixels() + read->PixelBytes()),
            std::vector<uint8_t>(image->Pixels(), image->Pixels() + image->PixelBytes()));
        // The mapped reply is the image's own memory: the program paints on it.
        read->Row(0)[0] ^= 0xFF;
    }
    for (Tamper tamper : { Tamper::Unsealed, Tamper::OneByteShort, Tamper::OneByteLong }) {
        const int fd = ReplyFile(palette, tamper);
        EXPECT_EQ(DecoderReply::Read(fd), nullptr) << int(tamper);
        close(fd);
    }
}
