#pragma once
// What every fuzz target shares: a property check that stops the run with a finding, and a reader
// that splits the fuzzer's bytes into the values a target needs.
#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define VX_CHECK(condition)                                                                        \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property failed: %s at %s:%d\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

class TFuzzInput
{
public:
    TFuzzInput(const uint8_t *data, size_t size) : FData(data), FSize(size) {}

    size_t Remaining() const { return FSize - FPos; }
    uint8_t Byte()
    {
        return FPos < FSize ? FData[FPos++] : 0;
    }
    int IntIn(int low, int high) // low..high inclusive
    {
        const int span = high - low + 1;
        return low + int((unsigned(Byte()) << 8 | Byte()) % unsigned(span));
    }
    // Bytes up to the next 0xFF byte (or the end).
    QByteArray Field()
    {
        const size_t start = FPos;
        while (FPos < FSize && FData[FPos] != 0xFF)
            ++FPos;
        QByteArray field(reinterpret_cast<const char *>(FData + start), qsizetype(FPos - start));
        if (FPos < FSize)
            ++FPos;
        return field;
    }
    QString TextField() { return QString::fromUtf8(Field()); }
    QByteArray Rest()
    {
        QByteArray rest(reinterpret_cast<const char *>(FData + FPos), qsizetype(FSize - FPos));
        FPos = FSize;
        return rest;
    }

private:
    const uint8_t *FData;
    size_t FSize;
    size_t FPos = 0;
};

// A private folder for the files a target writes, removed when the run ends; in memory where
// there is such a file system, since every rename there is flushed to disk.
inline QString FuzzFolder()
{
    static QTemporaryDir folder((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
                                QStringLiteral("/vx-fuzz-XXXXXX"));
    VX_CHECK(folder.isValid());
    return folder.path();
}

// Writes bytes to the target's file; the readers take file names.
inline QString FuzzFile(const QString &name, const QByteArray &bytes)
{
    const QString fileName = FuzzFolder() + QLatin1Char('/') + name;
    std::FILE *file = std::fopen(QFile::encodeName(fileName).constData(), "wb");
    VX_CHECK(file);
    if (!bytes.isEmpty())
        VX_CHECK(std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) == size_t(bytes.size()));
    VX_CHECK(std::fclose(file) == 0);
    return fileName;
}
