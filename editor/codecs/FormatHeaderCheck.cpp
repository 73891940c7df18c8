#include "editor/codecs/FormatHeaderCheck.h"

#include "editor/codecs/BmpCodec.h"
#include "editor/codecs/GifFrameScan.h"
#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string_view>

namespace {

// Bounds-checked reads of the file; a field past the end reads as absent.
class Bytes {
public:
    Bytes(const uint8_t* bytes, size_t length)
        : bytes_(bytes)
        , length_(length)
    {
    }
    size_t Length() const { return length_; }
    const uint8_t* Data() const { return bytes_; }
    bool Has(size_t at, size_t count) const { return at <= length_ && count <= length_ - at; }
    bool StartsWith(std::string_view text, size_t at = 0) const
    {
        return Has(at, text.size()) && std::memcmp(bytes_ + at, text.data(), text.size()) == 0;
    }
    int64_t U8(size_t at) const { return Has(at, 1) ? bytes_[at] : -1; }
    int64_t U16(size_t at, bool big) const { return Has(at, 2) ? int64_t(Value(at, 2, big)) : -1; }
    int64_t U32(size_t at, bool big) const { return Has(at, 4) ? int64_t(Value(at, 4, big)) : -1; }
    Bytes Sub(size_t at, size_t count) const { return Has(at, count) ? Bytes(bytes_ + at, count) : Bytes(bytes_, 0); }

private:
    uint64_t Value(size_t at, int count, bool big) const
    {
        uint64_t value = 0;
        for (int i = 0; i < count; ++i)
            value |= uint64_t(bytes_[at + size_t(i)]) << (8 * (big ? count - 1 - i : i));
        return value;
    }

    const uint8_t* bytes_;
    size_t length_;
};

constexpr bool kBig = true;
constexpr bool kLittle = false;

// The largest side and pixel block of our own decoders hold for every picture a file decodes to.
bool PictureFits(int64_t width, int64_t height, int bpp)
{
    return width >= 1 && height >= 1 && width <= BmpCodec::kMaxSide && height <= BmpCodec::kMaxSide && bpp >= 1
        && ImageBuffer::StrideFor(width, bpp) * height < ImageBuffer::kMaxPixelBytes;
}

int64_t RowBytes(int64_t width, int64_t bitsPerPixel)
{
    return (width * bitsPerPixel + 7) / 8;
}

// Output bytes one input byte can become at most.
constexpr int64_t kDeflateRatio = 1032;
constexpr int64_t kPackBitsRatio = 64; // 128 bytes from 2
constexpr int64_t kLzwRatio = 2731; // a 12-bit code makes at most 4096 bytes
constexpr int64_t kJpegPixelsPerByte = 1024; // every 8 x 8 block costs at least a bit per component

// --- PNG

bool AcceptsPng(const Bytes& in)
{
    if (!in.StartsWith("\x89PNG\r\n\x1a\n") || in.U32(8, kBig) != 13 || !in.StartsWith("IHDR", 12))
        return false;
    const int64_t width = in.U32(16, kBig);
    const int64_t height = in.U32(20, kBig);
    const int64_t depth = in.U8(24);
    const int64_t colour = in.U8(25);
    if (in.U8(28) > 1)
        return false;
    // The size of the page the decoder makes: 16-bit colour is decoded whole at 16 bits a channel before
    // it becomes 8-bit, so that page must fit our limits too.
    int channels = 0;
    int outBpp = 0;
    switch (colour) {
    case 0:
        if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)
            return false;
        channels = 1;
        outBpp = depth == 16 ? 16 : 8;
        break;
    case 3:
        if (depth != 1 && depth != 2 && depth != 4 && depth != 8)
            return false;
        channels = 1;
        outBpp = 8;
        break;
    case 2:
    case 4:
    case 6:
        if (depth != 8 && depth != 16)
            return false;
        channels = colour == 2 ? 3 : colour == 4 ? 2 : 4;
        outBpp = depth == 16 ? 64 : 32;
        break;
    default:
        return false;
    }
    if (!PictureFits(width, height, outBpp))
        return false;
    // Each row starts with its filter byte.
    const int64_t rawBytes = height * (1 + RowBytes(width, channels * depth));
    return rawBytes <= int64_t(in.Length()) * kDeflateRatio;
}

// --- JPEG

bool IsFrameMarker(int64_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool AcceptsJpeg(const Bytes& in)
{
    size_t at = 2;
    while (true) {
        if (in.U8(at) != 0xFF)
            return false;
        while (in.U8(at) == 0xFF)
            ++at;
        const int64_t marker = in.U8(at++);
        if (marker < 0 || marker == 0xD9 || marker == 0xDA) // the data or the end before any frame
            return false;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;
        const int64_t size = in.U16(at, kBig);
        if (size < 2)
            return false;
        if (IsFrameMarker(marker)) {
            const int64_t precision = in.U8(at + 2);
            const int64_t height = in.U16(at + 3, kBig);
            const int64_t width = in.U16(at + 5, kBig);
            const int64_t components = in.U8(at + 7);
            if (precision != 8 || (components != 1 && components != 3 && components != 4))
                return false;
            return PictureFits(width, height, components == 1 ? 8 : 32)
                && width * height <= int64_t(in.Length()) * kJpegPixelsPerByte;
        }
        at += size_t(size);
    }
}

// --- GIF

bool AcceptsGif(const Bytes& in)
{
    const auto frames = ScanGifFrames(in.Data(), in.Length());
    if (!frames || frames->empty())
        return false;
    // Every frame is decoded and kept, so together they must fit where one picture would.
    int64_t allBytes = 0;
    for (const GifFrame& frame : *frames) {
        if (!PictureFits(frame.width, frame.height, 8) || frame.codeSize < 2 || frame.codeSize > 8)
            return false;
        if (int64_t(frame.width) * frame.height > int64_t(frame.dataBytes) * kLzwRatio)
            return false;
        allBytes += ImageBuffer::StrideFor(frame.width, 32) * frame.height;
    }
    return allBytes < ImageBuffer::kMaxPixelBytes;
}

// --- TIFF

struct TiffPage {
    int64_t width = -1;
    int64_t height = -1;
    int64_t bits = 1;
    int64_t samples = 1;
    int64_t compression = 1;
    int64_t tileWidth = 0;
    int64_t tileHeight = 0;
    // Where the strips or tiles are, and how long each is.
    int64_t offsetsType = 0, offsetsCount = 0, offsetsAt = 0;
    int64_t countsType = 0, countsCount = 0, countsAt = 0;
};

class TiffReader {
public:
    explicit TiffReader(const Bytes& in)
        : in_(in)
        , big_(in.U8(0) == 'M')
    {
    }

    bool Accepts() const;

private:
    static int64_t TypeBytes(int64_t type) { return type == 3 ? 2 : type == 4 ? 4 : 0; }
    // The bytes of one value of a field type; 0 for a type no reader knows.
    static int64_t FieldBytes(int64_t type)
    {
        constexpr int64_t kBytes[] = { 0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4 };
        return type >= 1 && type <= 13 ? kBytes[type] : 0;
    }
    int64_t Value(int64_t type, size_t at) const { return type == 3 ? in_.U16(at, big_) : in_.U32(at, big_); }
    bool ReadPage(size_t ifd, TiffPage& page, int64_t& next) const;
    bool ReadEntry(size_t entry, TiffPage& page) const;
    bool DataInFile(const TiffPage& page) const;
    bool PageFits(const TiffPage& page) const;
    int64_t BytesNeeded(const TiffPage& page) const;

    Bytes in_;
    bool big_;
};

bool TiffReader::ReadEntry(size_t entry, TiffPage& page) const
{
    const int64_t tag = in_.U16(entry, big_);
    const int64_t type = in_.U16(entry + 2, big_);
    const int64_t count = in_.U32(entry + 4, big_);
    const bool ours = tag == 256 || tag == 257 || tag == 258 || tag == 259 || tag == 273 || tag == 277 || tag == 279
        || tag == 322 || tag == 323 || tag == 324 || tag == 325;
    // Every field's values lie inside the file, whoever reads them: a file cut short loses its tables.
    const int64_t size = FieldBytes(type);
    if (size == 0 || count == 0)
        return !ours;
    if (count > int64_t(in_.Length()))
        return false;
    const int64_t at = size * count <= 4 ? int64_t(entry + 8) : in_.U32(entry + 8, big_);
    if (at < 0 || !in_.Has(size_t(at), size_t(size * count)))
        return false;
    if (!ours)
        return true;
    if (TypeBytes(type) == 0) // our fields are whole numbers
        return false;
    const int64_t first = Value(type, size_t(at));
    switch (tag) {
    case 256:
        page.width = first;
        break;
    case 257:
        page.height = first;
        break;
    case 258:
        // Every sample of a pixel is read at the same depth.
        for (int64_t i = 1; i < count; ++i)
            if (Value(type, size_t(at + i * TypeBytes(type))) != first)
                return false;
        page.bits = first;
        break;
    case 259:
        page.compression = first;
        break;
    case 277:
        page.samples = first;
        break;
    case 322:
        page.tileWidth = first;
        break;
    case 323:
        page.tileHeight = first;
        break;
    case 273:
    case 324:
        page.offsetsType = type, page.offsetsCount = count, page.offsetsAt = at;
        break;
    case 279:
    case 325:
        page.countsType = type, page.countsCount = count, page.countsAt = at;
        break;
    default:
        break;
    }
    return true;
}

bool TiffReader::ReadPage(size_t ifd, TiffPage& page, int64_t& next) const
{
    const int64_t entries = in_.U16(ifd, big_);
    if (entries < 1 || !in_.Has(ifd + 2, size_t(entries) * 12 + 4))
        return false;
    for (int64_t i = 0; i < entries; ++i)
        if (!ReadEntry(ifd + 2 + size_t(i) * 12, page))
            return false;
    next = in_.U32(ifd + 2 + size_t(entries) * 12, big_);
    return true;
}

// Every strip or tile the page names lies inside the file: a file cut short is not a picture.
bool TiffReader::DataInFile(const TiffPage& page) const
{
    if (page.offsetsCount < 1 || page.offsetsCount != page.countsCount)
        return false;
    for (int64_t i = 0; i < page.offsetsCount; ++i) {
        const int64_t offset = Value(page.offsetsType, size_t(page.offsetsAt + i * TypeBytes(page.offsetsType)));
        const int64_t size = Value(page.countsType, size_t(page.countsAt + i * TypeBytes(page.countsType)));
        if (offset < 0 || size < 0 || !in_.Has(size_t(offset), size_t(size)))
            return false;
    }
    return true;
}

bool TiffReader::PageFits(const TiffPage& page) const
{
    const int64_t bits = page.bits;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 32)
        return false;
    if (page.samples < 1 || page.samples > 8 || !PictureFits(page.width, page.height, int(bits * page.samples)))
        return false;
    // A tile may cover the picture's edge, never be larger than the picture rounded up to whole tiles.
    if (page.tileWidth || page.tileHeight) {
        const auto roundUp = [](int64_t side) { return (side + 15) / 16 * 16; };
        if (page.tileWidth < 1 || page.tileHeight < 1 || page.tileWidth > roundUp(page.width)
            || page.tileHeight > roundUp(page.height))
            return false;
    }
    return true;
}

// The fewest file bytes that can hold the page in its compression; -1 for a compression we do not let
// through.
int64_t TiffReader::BytesNeeded(const TiffPage& page) const
{
    const int64_t raw = page.height * RowBytes(page.width, page.bits * page.samples);
    const auto atRatio = [raw](int64_t ratio) { return (raw + ratio - 1) / ratio; };
    switch (page.compression) {
    case 1:
        return raw;
    case 2:
    case 3:
    case 4:
        // Fax codes a row like the one above in one bit, whatever its width.
        return page.bits * page.samples == 1 ? (page.height + 7) / 8 : -1;
    case 5:
        return atRatio(kLzwRatio);
    case 6:
    case 7:
        return (page.width * page.height + kJpegPixelsPerByte - 1) / kJpegPixelsPerByte;
    case 8:
    case 32946:
        return atRatio(kDeflateRatio);
    case 32773:
        return atRatio(kPackBitsRatio);
    default:
        return -1;
    }
}

bool TiffReader::Accepts() const
{
    if (in_.U16(2, big_) != 42)
        return false;
    int64_t ifd = in_.U32(4, big_);
    std::set<int64_t> seen;
    int64_t needed = 0;
    int64_t allBytes = 0;
    int64_t strips = 0;
    while (ifd != 0) {
        if (ifd < 8 || !seen.insert(ifd).second || seen.size() > 4096)
            return false;
        TiffPage page;
        if (!ReadPage(size_t(ifd), page, ifd) || !PageFits(page))
            return false;
        // Pages may share one table of strips; walking it for each of them is bounded all the same.
        strips += page.offsetsCount;
        if (strips > int64_t(in_.Length()) || !DataInFile(page))
            return false;
        const int64_t bytes = BytesNeeded(page);
        if (bytes < 0)
            return false;
        // Pages keep their data apart and are all decoded and kept.
        needed += bytes;
        allBytes += ImageBuffer::StrideFor(page.width, 32) * page.height;
        if (needed > int64_t(in_.Length()) || allBytes >= ImageBuffer::kMaxPixelBytes)
            return false;
    }
    return !seen.empty();
}

// --- PCX

bool AcceptsPcx(const Bytes& in)
{
    constexpr size_t kHeader = 128;
    constexpr size_t kPaletteTrailer = 769;
    const int64_t bits = in.U8(3);
    const int64_t planes = in.U8(65);
    const bool knownLayout = (bits == 1 && (planes == 1 || planes == 4)) || (bits == 4 && planes == 1)
        || (bits == 8 && (planes == 1 || planes == 3));
    if (!in.Has(0, kHeader) || in.U8(2) != 1 || !knownLayout)
        return false;
    const int64_t width = in.U16(8, kLittle) - in.U16(4, kLittle) + 1;
    const int64_t height = in.U16(10, kLittle) - in.U16(6, kLittle) + 1;
    const int64_t lineBytes = in.U16(66, kLittle);
    if (!PictureFits(width, height, int(bits * planes)) || lineBytes < RowBytes(width, bits))
        return false;
    // A 256-colour file keeps its palette behind the pixels, where a reader looks for it.
    size_t end = in.Length();
    if (bits == 8 && planes == 1) {
        if (end < kHeader + kPaletteTrailer || in.U8(end - kPaletteTrailer) != 0x0C)
            return false;
        end -= kPaletteTrailer;
    }
    // Walks the runs without keeping a byte: a file cut short holds fewer than its rows need.
    const int64_t needed = height * lineBytes * planes;
    int64_t made = 0;
    for (size_t at = kHeader; at < end && made < needed; ++at) {
        const uint8_t code = in.Data()[at];
        if ((code & 0xC0) == 0xC0) {
            made += code & 0x3F;
            ++at;
        } else {
            ++made;
        }
    }
    return made >= needed;
}

// --- PSD

bool AcceptsPsd(const Bytes& in)
{
    const int64_t channels = in.U16(12, kBig);
    const int64_t height = in.U32(14, kBig);
    const int64_t width = in.U32(18, kBig);
    const int64_t depth = in.U16(22, kBig);
    const int64_t mode = in.U16(24, kBig);
    if (in.U16(4, kBig) != 1 || channels < 1 || channels > 56)
        return false;
    if (depth != 1 && depth != 8 && depth != 16 && depth != 32)
        return false;
    if (mode < 0 || mode > 9 || mode == 5 || mode == 6 || (depth == 1 && mode != 0))
        return false;
    if (!PictureFits(width, height, int(std::min<int64_t>(channels, 4) * depth)))
        return false;
    // Three sections of their own lengths lie between the header and the pixels.
    size_t at = 26;
    for (int section = 0; section < 3; ++section) {
        const int64_t size = in.U32(at, kBig);
        if (size < 0 || !in.Has(at + 4, size_t(size)))
            return false;
        at += 4 + size_t(size);
    }
    const int64_t compression = in.U16(at, kBig);
    at += 2;
    const int64_t rows = channels * height;
    const int64_t rowBytes = RowBytes(width, depth);
    const int64_t remaining = int64_t(in.Length()) - int64_t(at);
    if (compression == 0)
        return remaining >= 0 && rows * rowBytes <= remaining;
    if (compression != 1 || remaining < rows * 2)
        return false;
    // Run-length rows: the table of their sizes, then the rows, all inside the file; no row can be
    // shorter than its runs allow.
    const int64_t leastRow = 2 * ((rowBytes + 127) / 128);
    int64_t total = rows * 2;
    for (int64_t row = 0; row < rows; ++row) {
        const int64_t size = in.U16(at + size_t(row) * 2, kBig);
        if (size < leastRow)
            return false;
        total += size;
    }
    return total <= remaining;
}

// --- ICO

bool AcceptsIcoBitmap(const Bytes& image)
{
    const int64_t headerSize = image.U32(0, kLittle);
    const int64_t width = int32_t(image.U32(4, kLittle));
    const int64_t doubledHeight = int32_t(image.U32(8, kLittle));
    const int64_t bpp = image.U16(14, kLittle);
    const int64_t compression = image.U32(16, kLittle);
    const int64_t coloursUsed = image.U32(32, kLittle);
    if (headerSize < 40 || !image.Has(0, size_t(headerSize)) || compression != 0)
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    // The height counts the colour rows and the mask rows below them.
    const int64_t height = doubledHeight / 2;
    if (!PictureFits(width, height, 32))
        return false;
    const int64_t paletteBytes = bpp <= 8 ? 4 * (coloursUsed ? coloursUsed : int64_t(1) << bpp) : 0;
    if (coloursUsed > 256)
        return false;
    return headerSize + paletteBytes + ImageBuffer::StrideFor(width, int(bpp)) * height <= int64_t(image.Length());
}

bool AcceptsIco(const Bytes& in)
{
    const int64_t count = in.U16(4, kLittle);
    if (count < 1 || !in.Has(6, size_t(count) * 16))
        return false;
    for (int64_t i = 0; i < count; ++i) {
        const size_t entry = 6 + size_t(i) * 16;
        const int64_t size = in.U32(entry + 8, kLittle);
        const int64_t offset = in.U32(entry + 12, kLittle);
        if (size < 1 || !in.Has(size_t(offset), size_t(size)))
            return false;
        const Bytes image = in.Sub(size_t(offset), size_t(size));
        if (!(image.StartsWith("\x89PNG") ? AcceptsPng(image) : AcceptsIcoBitmap(image)))
            return false;
    }
    return true;
}

// --- XPM

// The quoted strings of an XPM file in order, read from the text without interpreting them.
class XpmStrings {
public:
    explicit XpmStrings(const Bytes& in)
        : text_(reinterpret_cast<const char*>(in.Data()), in.Length())
    {
    }
    // The next string's content, or false when there is none.
    bool Next(std::string_view& content)
    {
        const size_t open = text_.find('"', at_);
        const size_t close = open == std::string_view::npos ? open : text_.find('"', open + 1);
        if (close == std::string_view::npos)
            return false;
        content = text_.substr(open + 1, close - open - 1);
        at_ = close + 1;
        return true;
    }

private:
    std::string_view text_;
    size_t at_ = 0;
};

bool ParseInts(std::string_view text, int64_t* values, int count)
{
    size_t at = 0;
    for (int i = 0; i < count; ++i) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
            ++at;
        if (at >= text.size() || text[at] < '0' || text[at] > '9')
            return false;
        int64_t value = 0;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
            value = std::min<int64_t>(value * 10 + (text[at] - '0'), int64_t(1) << 40);
        values[i] = value;
    }
    return true;
}

bool AcceptsXpm(const Bytes& in)
{
    // Colour lines longer than any colour name and key need are refused: a long name overruns readers.
    constexpr int64_t kLongestColourLine = 128;
    XpmStrings strings(in);
    std::string_view values;
    int64_t v[4] = {};
    if (!strings.Next(values) || !ParseInts(values, v, 4))
        return false;
    const int64_t width = v[0], height = v[1], colours = v[2], charsPerPixel = v[3];
    if (!PictureFits(width, height, 32) || charsPerPixel < 1 || charsPerPixel > 8 || colours < 1)
        return false;
    // Every pixel is written out with its characters, every colour on a line of its own.
    const int64_t length = int64_t(in.Length());
    if (width * height * charsPerPixel > length || colours * (charsPerPixel + 4) > length)
        return false;
    for (int64_t i = 0; i < colours; ++i) {
        std::string_view line;
        if (!strings.Next(line) || int64_t(line.size()) > charsPerPixel + kLongestColourLine)
            return false;
    }
    return true;
}

} // namespace

ImageFormat FormatHeaderCheck::ContentFormat(const uint8_t* bytes, size_t length)
{
    if (!bytes)
        return kFormatNone;
    const Bytes in(bytes, length);
    if (in.StartsWith("\x89PNG\r\n\x1a\n"))
        return kFormatPng;
    if (in.StartsWith("\xFF\xD8\xFF"))
        return kFormatJpeg;
    if (in.StartsWith("GIF87a") || in.StartsWith("GIF89a"))
        return kFormatGif;
    if (in.StartsWith(std::string_view("II*\0", 4)) || in.StartsWith(std::string_view("MM\0*", 4)))
        return kFormatTiff;
    if (in.StartsWith("8BPS"))
        return kFormatPsd;
    if (in.StartsWith("/* XPM */"))
        return kFormatXpm;
    if (in.StartsWith(std::string_view("\0\0\1\0", 4)))
        return kFormatIco;
    const int64_t version = in.U8(1);
    if (in.U8(0) == 0x0A && (version == 0 || (version >= 2 && version <= 5)) && in.U8(2) == 1)
        return kFormatPcx;
    return kFormatNone;
}

bool FormatHeaderCheck::Accepts(const uint8_t* bytes, size_t length)
{
    const Bytes in(bytes, bytes ? length : 0);
    switch (ContentFormat(bytes, length)) {
    case kFormatPng:
        return AcceptsPng(in);
    case kFormatJpeg:
        return AcceptsJpeg(in);
    case kFormatGif:
        return AcceptsGif(in);
    case kFormatTiff:
        return TiffReader(in).Accepts();
    case kFormatPsd:
        return AcceptsPsd(in);
    case kFormatXpm:
        return AcceptsXpm(in);
    case kFormatIco:
        return AcceptsIco(in);
    case kFormatPcx:
        return AcceptsPcx(in);
    default:
        return false;
    }
}
