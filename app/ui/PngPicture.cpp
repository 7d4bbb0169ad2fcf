#include "app/ui/PngPicture.h"

#include <QImageReader>

namespace PngPicture {

QImage Read(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace PngPicture
