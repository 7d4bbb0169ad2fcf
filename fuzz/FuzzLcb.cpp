// The LCB reader on any bytes: a file it refuses leaves the component as it was; a file it takes
// gives lists that survive the component's own byte form.
#include "lang/lcComp.h"
#include "lang/lcLcb.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QObject owner;
    TlcLang lang(&owner);
    lang.SetNumOfLanguages(2);
    lang.Captions() = {QStringLiteral("Label1\x01" "a\x01" "b\x01")};
    const QByteArray before = lang.WriteTranslationData();
    TLCBFileManager manager;
    try {
        manager.LoadLCBStream(&lang, QStringLiteral("QObject"), input);
    } catch (const ElcException &) {
        if (lang.WriteTranslationData() != before)
            __builtin_trap();
        return 0;
    }
    if (lang.NumOfLanguages() < 1)
        __builtin_trap();
    TlcLang reader(nullptr);
    const QByteArray stored = lang.WriteTranslationData();
    reader.ReadTranslationData(stored);
    if (reader.WriteTranslationData() != stored)
        __builtin_trap();
    return 0;
}
