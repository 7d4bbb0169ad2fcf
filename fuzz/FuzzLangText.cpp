// The translation text loader on any bytes: it never crashes, leaves no operation half-done, and
// what it loads saves to a text that loads back to the same lines.
#include "lang/lcComp.h"

#include <QBuffer>
#include <cstdint>

namespace {

QByteArray SaveAll(TlcLang &lang)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    lang.SaveAllToStream(buffer, QStringLiteral("~!@#"));
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&input);
    buffer.open(QIODevice::ReadOnly);
    QObject owner;
    TlcLang lang(&owner);
    lang.LoadAllFromText(buffer, true);
    if (lang.Busy() || lang.NumOfLanguages() < 1 || lang.ActiveLanguage() > lang.NumOfLanguages())
        __builtin_trap();
    const QByteArray first = SaveAll(lang);

    QObject otherOwner;
    TlcLang other(&otherOwner);
    QByteArray copy = first;
    QBuffer again(&copy);
    again.open(QIODevice::ReadOnly);
    other.LoadAllFromText(again, true);
    if (SaveAll(other) != first)
        __builtin_trap();
    return 0;
}
