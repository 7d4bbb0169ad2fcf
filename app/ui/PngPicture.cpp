#include "app/ui/PngPicture.h"

#include <QFile>
#include <png.h>

namespace PngPicture {

namespace {

// Far above any picture of ours; a damaged header cannot ask for more.
constexpr qint64 MaxPixels = qint64(1) << 24;

} // namespace

QImage Decode(const QByteArray &bytes)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.constData(), size_t(bytes.size()))) {
        png_image_free(&image);
        return QImage();
    }
    if (image.width == 0 || image.height == 0 || qint64(image.width) * image.height > MaxPixels) {
        png_image_free(&image);
        return QImage();
    }
    // QImage's ARGB32 is one 32-bit word a pixel: B, G, R, A in memory on a little-endian machine.
    image.format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    QImage picture(int(image.width), int(image.height), QImage::Format_ARGB32);
    if (picture.isNull()) {
        png_image_free(&image);
        return QImage();
    }
    const bool read = png_image_finish_read(&image, nullptr, picture.bits(), png_int_32(picture.bytesPerLine()), nullptr);
    png_image_free(&image);
    return read ? picture : QImage();
}

QImage Read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    return Decode(file.readAll());
}

} // namespace PngPicture
