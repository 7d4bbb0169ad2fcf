// The program's PNG pictures: read from the resources, and a damaged or missing file gives no
// picture rather than a crash.
#include "app/ui/PngPicture.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray PngOf(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::green);
    image.setPixelColor(0, 0, QColor(255, 0, 0, 128)); // half see-through red, kept unmultiplied
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TEST(PngPicture, ReadsWholeFilesAndRefusesDamagedOnes)
{
    const QByteArray png = PngOf(QSize(19, 12));
    const struct
    {
        const char *name;
        QByteArray bytes;
        QSize expected; // 0 x 0: no picture
    } cases[] = {
        {"whole.png", png, QSize(19, 12)},
        {"cut.png", png.left(40), QSize(0, 0)},
        {"text.png", "not a picture at all", QSize(0, 0)},
        {"empty.png", QByteArray(), QSize(0, 0)},
        {"gif.png", QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14), QSize(0, 0)},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        QFile file(dir.filePath(QLatin1String(c.name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        const QImage image = PngPicture::Read(file.fileName());
        EXPECT_EQ(image.size(), c.expected) << c.name;
    }
    EXPECT_TRUE(PngPicture::Read(dir.filePath(QStringLiteral("missing.png"))).isNull());

    const QImage whole = PngPicture::Decode(png);
    EXPECT_EQ(whole.pixelColor(0, 0), QColor(255, 0, 0, 128));
    EXPECT_EQ(whole.pixelColor(18, 11), QColor(Qt::green));
}

// A prefetched picture is taken from the decoding thread, once; anything else is read as usual.
TEST(PngPicture, PrefetchedPicturesAreTakenOnce)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.png"));
    const QString second = dir.filePath(QStringLiteral("second.png"));
    const QString other = dir.filePath(QStringLiteral("other.png"));
    for (const QString &path : {first, second, other}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(PngOf(QSize(path == second ? 7 : 5, 3)));
    }
    PngPicture::Prefetch({first, second});
    // The thread decodes in order: once the second is there, so is the first.
    EXPECT_EQ(PngPicture::Read(second).size(), QSize(7, 3));
    ASSERT_TRUE(QFile::remove(first));
    EXPECT_EQ(PngPicture::Read(first).size(), QSize(5, 3));
    EXPECT_TRUE(PngPicture::Read(first).isNull());
    EXPECT_EQ(PngPicture::Read(other).size(), QSize(5, 3));
    PngPicture::ForgetPrefetched();
    EXPECT_EQ(PngPicture::Read(second).size(), QSize(7, 3));
}
