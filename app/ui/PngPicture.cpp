#include "app/ui/PngPicture.h"

#include <QFile>
#include <QHash>
#include <png.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace PngPicture {

namespace {

// Far above any picture of ours; a damaged header cannot ask for more.
constexpr qint64 MaxPixels = qint64(1) << 24;

QImage ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    return Decode(file.readAll());
}

struct TPrefetched
{
    std::mutex Lock;
    std::condition_variable Done;
    QHash<QString, std::optional<QImage>> Pictures; // empty while it is being decoded
    std::thread Worker;
    bool Started = false;

    ~TPrefetched()
    {
        if (Worker.joinable())
            Worker.join();
    }
};

TPrefetched &Prefetched()
{
    static TPrefetched prefetched;
    return prefetched;
}

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
    TPrefetched &prefetched = Prefetched();
    {
        std::unique_lock<std::mutex> lock(prefetched.Lock);
        if (prefetched.Pictures.contains(path)) {
            prefetched.Done.wait(lock, [&] { return prefetched.Pictures.value(path).has_value(); });
            return *prefetched.Pictures.take(path);
        }
    }
    return ReadFile(path);
}

void Prefetch(const QStringList &paths)
{
    TPrefetched &prefetched = Prefetched();
    const std::lock_guard<std::mutex> lock(prefetched.Lock);
    if (prefetched.Started)
        return;
    prefetched.Started = true;
    for (const QString &path : paths)
        prefetched.Pictures.insert(path, std::nullopt);
    try {
        prefetched.Worker = std::thread([paths, &prefetched] {
            for (const QString &path : paths) {
                QImage picture = ReadFile(path);
                const std::lock_guard<std::mutex> lock(prefetched.Lock);
                if (prefetched.Pictures.contains(path))
                    prefetched.Pictures[path] = std::move(picture);
                prefetched.Done.notify_all();
            }
        });
    } catch (const std::system_error &) {
        // No thread to spare: the pictures are read when they are asked for, not waited for.
        prefetched.Pictures.clear();
    }
}

void ForgetPrefetched()
{
    TPrefetched &prefetched = Prefetched();
    if (prefetched.Worker.joinable())
        prefetched.Worker.join();
    const std::lock_guard<std::mutex> lock(prefetched.Lock);
    prefetched.Pictures.clear();
}

} // namespace PngPicture
