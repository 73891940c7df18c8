#include "editor/codecs/DecoderReply.h"

#include "editor/codecs/BmpCodec.h"
#include "process/WriteAll.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr uint32_t kMagic = 0x4c4d4450; // "PDML"
// Sealed against any change of size, so that the mapping the image keeps can never lose its pages. Not
// against writes: the reply is read once the decoder has ended, when this process holds the only
// descriptor, and a write seal would forbid the shared mapping that becomes the image's memory (a private
// one would keep the file's pages and a copy of every page the program paints on).
constexpr int kSeals = F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW;
// The pixels start at an offset that every page size divides, so that they can be mapped in place.
constexpr off_t kPixelOffset = 64 << 10;

struct ReplyHeader {
    uint32_t magic = kMagic;
    uint32_t masks[3] = {};
    BitmapInfoHeader info;
    int32_t tag = 0;
    int32_t paletteEntries = 0;
    uint64_t pixelBytes = 0;
};

bool ReadAllAt(int fd, void* data, size_t size, off_t offset)
{
    auto* bytes = static_cast<uint8_t*>(data);
    while (size > 0) {
        const ssize_t got = pread(fd, bytes, size, offset);
        if (got <= 0)
            return false;
        bytes += got;
        size -= size_t(got);
        offset += got;
    }
    return true;
}

// The pixel block of the reply as memory of this process, or an empty block when it cannot be mapped.
PixelBlock MapPixels(int fd, size_t bytes)
{
    if (bytes == 0)
        return {};
    PixelBlock block;
    // Populated at once: one call instead of a fault for every page the program touches first.
    void* pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd, kPixelOffset);
    if (pixels != MAP_FAILED)
        block.Adopt(static_cast<uint8_t*>(pixels), bytes);
    return block;
}

bool IsListedDepth(int bpp)
{
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

// The pixel bytes the header promises, or -1 when it lies outside the limits every decoder of ours keeps.
int64_t CheckedPixelBytes(const ReplyHeader& header)
{
    const BitmapInfoHeader& info = header.info;
    if (header.magic != kMagic || info.biWidth <= 0 || info.biHeight <= 0 || info.biWidth > BmpCodec::kMaxSide
        || info.biHeight > BmpCodec::kMaxSide || !IsListedDepth(info.biBitCount))
        return -1;
    if (header.paletteEntries != (info.biBitCount <= 8 ? 1 << info.biBitCount : 0))
        return -1;
    const int64_t bytes = ImageBuffer::StrideFor(info.biWidth, info.biBitCount) * info.biHeight;
    if (bytes >= ImageBuffer::kMaxPixelBytes || uint64_t(bytes) != header.pixelBytes)
        return -1;
    return bytes;
}

} // namespace

DecoderReply::Page DecoderReply::PageOf(const ImageBuffer& image, std::vector<RgbQuad>& palette)
{
    Page page;
    page.info = image.Header();
    page.masks[0] = image.RedMask();
    page.masks[1] = image.GreenMask();
    page.masks[2] = image.BlueMask();
    page.paletteEntries = image.PaletteSize();
    palette.resize(size_t(page.paletteEntries));
    image.GetPalette(0, page.paletteEntries, palette.data());
    page.palette = palette.data();
    page.tag = image.Tag();
    page.pixels = image.Pixels();
    page.pixelBytes = image.PixelBytes();
    return page;
}

std::span<uint8_t> DecoderReply::Prepare(int fd, size_t bytes)
{
    if (bytes == 0 || ftruncate(fd, kPixelOffset + off_t(bytes)) != 0)
        return {};
    // Mapped and populated: the pages are made and cleared now, not when the decoder first writes them.
    void* pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd, kPixelOffset);
    if (pixels == MAP_FAILED)
        return {};
    // Touched a second time, the pages become active on the kernel's page lists now, not when the
    // decoder's mapping goes at its exit, which the program waits for.
    madvise(pixels, bytes, MADV_POPULATE_WRITE);
    return { static_cast<uint8_t*>(pixels), bytes };
}

PixelBlock DecoderReply::ReservePixels(int fd, size_t bytes, std::span<uint8_t> prepared)
{
    if (bytes == 0 || ftruncate(fd, kPixelOffset + off_t(bytes)) != 0)
        return {};
    if (prepared.size() >= bytes) {
        // The truncation gave back the pages past the picture; the rest of the mapping is never touched.
        PixelBlock block;
        block.Adopt(prepared.data(), bytes);
        return block;
    }
    if (!prepared.empty())
        munmap(prepared.data(), prepared.size());
    return MapPixels(fd, bytes);
}

bool DecoderReply::Write(int fd, const Page& page)
{
    if (!page.pixels)
        return false;
    ReplyHeader header;
    header.info = page.info;
    std::memcpy(header.masks, page.masks, sizeof header.masks);
    header.tag = page.tag;
    header.paletteEntries = page.paletteEntries;
    header.pixelBytes = page.pixelBytes;
    static_assert(sizeof(ReplyHeader) + 256 * sizeof(RgbQuad) <= size_t(kPixelOffset));
    return WriteAll(fd, &header, sizeof header)
        && WriteAll(fd, page.palette, sizeof(RgbQuad) * size_t(page.paletteEntries))
        && (page.pixelsInReply
            || (ftruncate(fd, kPixelOffset + off_t(page.pixelBytes)) == 0
                && WriteAllAt(fd, page.pixels, page.pixelBytes, kPixelOffset)))
        && fcntl(fd, F_ADD_SEALS, kSeals) == 0;
}

std::unique_ptr<ImageBuffer> DecoderReply::Read(int fd)
{
    // Unsealed, the file could still change under the checks below.
    struct stat file { };
    if (fcntl(fd, F_GET_SEALS) != kSeals || fstat(fd, &file) != 0)
        return nullptr;
    ReplyHeader header;
    if (!ReadAllAt(fd, &header, sizeof header, 0))
        return nullptr;
    const int64_t pixelBytes = CheckedPixelBytes(header);
    const int64_t paletteBytes = int64_t(sizeof(RgbQuad)) * header.paletteEntries;
    if (pixelBytes < 0 || file.st_size != kPixelOffset + pixelBytes)
        return nullptr;

    auto image = std::make_unique<ImageBuffer>();
    RgbQuad palette[256];
    if (!ReadAllAt(fd, palette, size_t(paletteBytes), sizeof header))
        return nullptr;
    // The decoder's pages become the image's memory: no copy, and no fresh memory to fault in.
    PixelBlock pixels = MapPixels(fd, size_t(pixelBytes));
    if (!pixels.Data() || !image->CreateFromInfo(header.info, header.masks, std::move(pixels)))
        return nullptr;
    if (header.paletteEntries > 0)
        image->SetPalette(0, header.paletteEntries, palette);
    image->SetTag(header.tag);
    return image;
}
