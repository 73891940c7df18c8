#include "ImageTestUtil.h"
#include "editor/codecs/DibCodec.h"
#include "editor/codecs/ImageBytes.h"
#include "editor/codecs/MemoryImageCodec.h"

#include <gtest/gtest.h>

#include <cstring>

using testutil::Bgra;
using testutil::PixelAt;

namespace {

// The picture a codec decoded from bytes, or an empty one.
template <typename Codec, typename Call> ImageBuffer DecodeWith(const std::vector<char>& bytes, Call call)
{
    Codec codec;
    if (!(codec.*call)(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
        return {};
    return std::move(*codec.TakeImages().front());
}

// Same colours everywhere; the decoded side is 32 bpp.
int WrongPixels(const ImageBuffer& decoded, const ImageBuffer& original)
{
    if (decoded.Width() != original.Width() || decoded.Height() != original.Height())
        return -1;
    int wrong = 0;
    for (int y = 0; y < original.Height(); ++y)
        for (int x = 0; x < original.Width(); ++x) {
            const Bgra a = PixelAt(decoded, x, y);
            const Bgra b = PixelAt(original, x, y);
            wrong += a.b != b.b || a.g != b.g || a.r != b.r;
        }
    return wrong;
}

} // namespace

// The clipboard's encoder is the file writers; what it writes, the paste side reads back exactly.
TEST(ClipboardCodecTest, EncodedPicturesReadBackThroughThePastePath)
{
    for (int bpp : { 24, 32 }) {
        const ImageBuffer image = testutil::MakeImage(7, 5, bpp);
        const std::vector<char> bmp = EncodeImageBytes(image, "image/bmp");
        EXPECT_EQ(WrongPixels(DecodeWith<DibCodec>(bmp, &DibCodec::DecodeBmpFile), image), 0) << bpp;
        const std::vector<char> png = EncodeImageBytes(image, "image/png");
        EXPECT_EQ(WrongPixels(DecodeWith<MemoryImageCodec>(png, &MemoryImageCodec::Decode), image), 0) << bpp;
    }
    EXPECT_TRUE(EncodeImageBytes(testutil::MakeImage(2, 2, 24), "image/gif").empty());
    EXPECT_TRUE(EncodeImageBytes(ImageBuffer(), "image/png").empty());
}

TEST(ClipboardCodecTest, BmpHoldsTheRowsBottomUpBehindBothHeaders)
{
    const ImageBuffer image = testutil::MakeImage(3, 2, 24);
    const std::vector<char> bmp = EncodeImageBytes(image, "image/bmp");
    // 14 + 40 header bytes, then two rows of 3 * 3 bytes padded to 12.
    ASSERT_EQ(bmp.size(), size_t(14 + 40 + 2 * 12));
    EXPECT_EQ(std::string(bmp.data(), 2), "BM");
    EXPECT_EQ(uint8_t(bmp[10]), 54);
    const uint8_t* bottomLeft = image.PixelAddress(0, 1);
    EXPECT_EQ(uint8_t(bmp[54]), bottomLeft[0]);
    EXPECT_EQ(uint8_t(bmp[56]), bottomLeft[2]);
}

// A palette shorter than the depth allows is declared by the colour count; the rows follow it.
TEST(ClipboardCodecTest, AShortPaletteIsReadAsDeclared)
{
    BitmapInfoHeader header;
    header.biWidth = 2;
    header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biClrUsed = 2;
    std::vector<char> dib(sizeof header + 2 * 4 + 4);
    std::memcpy(dib.data(), &header, sizeof header);
    const uint8_t palette[8] = { 0, 0, 255, 0, 255, 0, 0, 0 }; // red, blue
    std::memcpy(dib.data() + sizeof header, palette, sizeof palette);
    dib[sizeof header + 8] = 1;
    const ImageBuffer image = DecodeWith<DibCodec>(dib, &DibCodec::Decode);
    ASSERT_EQ(image.BitCount(), 32);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgra { 255, 0, 0, 255 }));
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgra { 0, 0, 255, 255 }));
}
