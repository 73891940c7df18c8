#include "editor/codecs/GifFrameScan.h"

#include <cstring>

namespace {

class Reader {
public:
    Reader(const uint8_t* bytes, size_t length)
        : bytes_(bytes)
        , length_(length)
    {
    }

    bool Has(size_t count) const { return count <= length_ - at_; }
    bool AtEnd() const { return at_ >= length_; }
    uint8_t Byte() { return bytes_[at_++]; }
    int Word()
    {
        const int value = bytes_[at_] | bytes_[at_ + 1] << 8;
        at_ += 2;
        return value;
    }
    void Skip(size_t count) { at_ += count; }
    const uint8_t* Here() const { return bytes_ + at_; }

    // Walks a chain of sub-blocks up to its terminator; returns the data bytes, or nothing when cut.
    std::optional<size_t> SubBlocks()
    {
        size_t total = 0;
        while (Has(1)) {
            const uint8_t size = Byte();
            if (size == 0)
                return total;
            if (!Has(size))
                return std::nullopt;
            Skip(size);
            total += size;
        }
        return std::nullopt;
    }

private:
    const uint8_t* bytes_;
    size_t length_;
    size_t at_ = 0;
};

size_t ColourTableBytes(uint8_t flags)
{
    return flags & 0x80 ? size_t(3) << ((flags & 7) + 1) : 0;
}

} // namespace

std::optional<std::vector<GifFrame>> ScanGifFrames(const uint8_t* bytes, size_t length)
{
    Reader in(bytes, length);
    if (!bytes || !in.Has(13) || (std::memcmp(in.Here(), "GIF87a", 6) != 0 && std::memcmp(in.Here(), "GIF89a", 6) != 0))
        return std::nullopt;
    in.Skip(10);
    const uint8_t screenFlags = in.Byte();
    in.Skip(2);
    if (!in.Has(ColourTableBytes(screenFlags)))
        return std::nullopt;
    in.Skip(ColourTableBytes(screenFlags));

    std::vector<GifFrame> frames;
    // A file that ends after its last complete frame, without a trailer, still holds those frames.
    while (!in.AtEnd()) {
        const uint8_t introducer = in.Byte();
        if (introducer == 0x3B)
            break;
        if (introducer == 0x21) {
            if (!in.Has(1))
                return std::nullopt;
            in.Skip(1);
            if (!in.SubBlocks())
                return std::nullopt;
        } else if (introducer == 0x2C) {
            if (!in.Has(9))
                return std::nullopt;
            in.Skip(4);
            GifFrame frame;
            frame.width = in.Word();
            frame.height = in.Word();
            const uint8_t flags = in.Byte();
            if (!in.Has(ColourTableBytes(flags) + 1))
                return std::nullopt;
            in.Skip(ColourTableBytes(flags));
            frame.codeSize = in.Byte();
            const std::optional<size_t> data = in.SubBlocks();
            if (!data)
                return std::nullopt;
            frame.dataBytes = *data;
            frames.push_back(frame);
        } else {
            break; // what follows is nothing a decoder reads
        }
    }
    return frames;
}
