#include "InterimImageWriter.h"

#include "ImageBuffer.h"
#include "ImageEncoding.h"

#include <QSaveFile>

bool WriteImageFileInterim(const ImageBuffer& image, const std::string& path)
{
    const QString name = QString::fromStdString(path);
    QByteArray bytes;
    if (name.endsWith(".png", Qt::CaseInsensitive))
        bytes = EncodePng(image, -1);
    else if (name.endsWith(".bmp", Qt::CaseInsensitive))
        bytes = EncodeBmp(image);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
