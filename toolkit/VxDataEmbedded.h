#pragma once
// A block of bytes carried inside the program and written out as a file on demand: the default
// chord base and user file.
#include <QBuffer>
#include <QByteArray>
#include <QObject>

class TVxDataEmbedded : public QObject
{
    Q_OBJECT
public:
    explicit TVxDataEmbedded(const QString &name, QObject *owner);

    qint64 Size() const { return FStream.size(); }
    void SetSize(qint64 value);

    // The component's own stream, positioned at 0 on every read.
    QBuffer &Data();
    // Takes the bytes from the source's current position to its end.
    void SetData(QIODevice *source);
    void SetData(const QByteArray &bytes);
    const QByteArray &Bytes() const { return FStream.data(); }

    // Loads the bytes of a Qt resource; false when there is none.
    bool LoadFromResource(const QString &path);

    // The stored form of the "EmbeddedData" property: Int32 little-endian count, then the bytes.
    // An empty block has no stored form.
    QByteArray WriteEmbeddedBinary() const;
    // False, with the block left empty, when the stored form is shorter than its count.
    bool ReadEmbeddedBinary(const QByteArray &stored);

    // Writes the whole block through a temporary file and a rename; throws EFCreateError when
    // the file cannot be written (OnSaved then does not fire).
    void DataSaveToFile(const QString &fileName);

signals:
    void OnSaving(QObject *sender);
    void OnSaved(QObject *sender);
    void OnChange(QObject *sender);

private:
    QBuffer FStream;
};
