#include "toolkit/VxDataEmbedded.h"

#include "platform/ini/IniFile.h"
#include "toolkit/VxTypes.h"

#include <QFile>
#include <QtEndian>

TVxDataEmbedded::TVxDataEmbedded(const QString &name, QObject *owner) : QObject(owner)
{
    setObjectName(name);
    FStream.open(QIODevice::ReadWrite);
}

void TVxDataEmbedded::SetSize(qint64 value)
{
    QByteArray bytes = FStream.data();
    bytes.resize(qMax<qint64>(0, value));
    FStream.close();
    FStream.setData(bytes);
    FStream.open(QIODevice::ReadWrite);
    emit OnChange(this);
}

QBuffer &TVxDataEmbedded::Data()
{
    FStream.seek(0);
    return FStream;
}

void TVxDataEmbedded::SetData(QIODevice *source)
{
    SetData(source ? source->readAll() : QByteArray());
}

void TVxDataEmbedded::SetData(const QByteArray &bytes)
{
    FStream.close();
    FStream.setData(bytes);
    FStream.open(QIODevice::ReadWrite);
    emit OnChange(this);
}

bool TVxDataEmbedded::LoadFromResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    SetData(file.readAll());
    return true;
}

QByteArray TVxDataEmbedded::WriteEmbeddedBinary() const
{
    const QByteArray &bytes = FStream.data();
    if (bytes.isEmpty())
        return {};
    QByteArray stored(4, Qt::Uninitialized);
    qToLittleEndian<qint32>(qint32(bytes.size()), stored.data());
    return stored + bytes;
}

bool TVxDataEmbedded::ReadEmbeddedBinary(const QByteArray &stored)
{
    FStream.close();
    FStream.setData(QByteArray());
    FStream.open(QIODevice::ReadWrite);
    if (stored.size() < 4)
        return false;
    const qint32 count = qFromLittleEndian<qint32>(stored.constData());
    if (count < 0 || count > stored.size() - 4)
        return false;
    FStream.close();
    FStream.setData(stored.mid(4, count));
    FStream.open(QIODevice::ReadWrite);
    return true;
}

void TVxDataEmbedded::DataSaveToFile(const QString &fileName)
{
    emit OnSaving(this);
    QString reason;
    if (!IniText::WriteFileAtomically(fileName, FStream.data(), &reason))
        throw EFCreateError(VxConsts::SFCreateError.arg(fileName, reason));
    emit OnSaved(this);
}
