#pragma once

#include <QByteArray>
#include <QImage>

class ImageBuffer;

// A Qt image with the same pixels as a 24- or 32-bpp buffer (top row first); null for other depths.
QImage ToQImage(const ImageBuffer& image);

// A whole BMP file of a 24- or 32-bpp buffer: the file header, the 40-byte header and the bottom-up
// rows as they are held. Empty for other depths.
QByteArray EncodeBmp(const ImageBuffer& image);

// A PNG file of a 24- or 32-bpp buffer (32 bpp keeps alpha); empty on failure. Quality is Qt's scale:
// 100 stores, lower values compress harder; -1 is zlib's default.
QByteArray EncodePng(const ImageBuffer& image, int quality = 80);
