// The PNG reader takes any bytes: a picture it makes is a whole ARGB32 image within the pixel
// limit, and it makes the same picture from the same bytes every time.
#include "app/ui/PngPicture.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QImage picture = PngPicture::Decode(input);
    if (picture.isNull())
        return 0;
    if (picture.format() != QImage::Format_ARGB32 || picture.width() <= 0 || picture.height() <= 0 ||
        qint64(picture.width()) * picture.height() > (qint64(1) << 24))
        __builtin_trap();
    if (PngPicture::Decode(input) != picture)
        __builtin_trap();
    return 0;
}
