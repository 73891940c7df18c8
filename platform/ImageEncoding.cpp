#include "ImageEncoding.h"

#include "ImageBuffer.h"

#include <QBuffer>
#include <QImageWriter>

#include <cstring>

namespace {

void PutLe(QByteArray& bytes, int offset, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

} // namespace

QImage ToQImage(const ImageBuffer& image)
{
    if (image.IsEmpty() || (image.BitCount() != 24 && image.BitCount() != 32))
        return {};
    const bool alpha = image.BitCount() == 32;
    QImage result(image.Width(), image.Height(), alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    if (result.isNull())
        return {};
    const size_t rowBytes = size_t(image.Width()) * (image.BitCount() / 8);
    for (int y = 0; y < image.Height(); ++y)
        std::memcpy(result.scanLine(y), image.Row(y), rowBytes);
    return result;
}

QByteArray EncodeBmp(const ImageBuffer& image)
{
    if (image.IsEmpty() || (image.BitCount() != 24 && image.BitCount() != 32))
        return {};
    constexpr int kFileHeader = 14;
    constexpr int kInfoHeader = 40;
    const qsizetype pixelBytes = qsizetype(image.PixelBytes());
    QByteArray bytes(kFileHeader + kInfoHeader + pixelBytes, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 2, uint32_t(bytes.size()), 4);
    PutLe(bytes, 10, kFileHeader + kInfoHeader, 4);
    BitmapInfoHeader header = image.Header();
    header.biCompression = kBiRgb;
    header.biSizeImage = uint32_t(pixelBytes);
    std::memcpy(bytes.data() + kFileHeader, &header, kInfoHeader);
    std::memcpy(bytes.data() + kFileHeader + kInfoHeader, image.Pixels(), size_t(pixelBytes));
    return bytes;
}

QByteArray EncodePng(const ImageBuffer& image, int quality)
{
    const QImage qimage = ToQImage(image);
    if (qimage.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(quality);
    if (!writer.write(qimage))
        return {};
    return bytes;
}
