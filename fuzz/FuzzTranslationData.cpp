// The translation data a form carries, of any bytes: whatever lists it gives are written back
// and read again to the same lists.
#include "FuzzSupport.h"

#include "lang/lcComp.h"

#include <algorithm>

namespace {

// Lines that name the owner are put first as they are read, so their order flips on every read.
QStringList Comparable(const QStringList &list, const QString &ownerPrefix)
{
    const auto owned = std::count_if(list.cbegin(), list.cend(), [&](const QString &line) { return line.startsWith(ownerPrefix); });
    if (owned < 2)
        return list;
    QStringList sorted = list;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput input(data, size);
    const uint8_t options = input.Byte();
    const QByteArray bytes = input.Rest();

    QObject firstForm;
    QObject secondForm;
    auto *first = new TlcLang(&firstForm);
    auto *second = new TlcLang(&secondForm);
    first->SetNumOfLanguages(1 + options % 3);
    first->SetStoreAsUTF8(options & 0x10);
    first->ReadTranslationData(bytes);
    second->SetNumOfLanguages(first->NumOfLanguages());
    second->ReadTranslationData(first->WriteTranslationData());

    const QString ownerPrefix = first->OwnerClassName() + first->Delim();
    for (int type = 0; type < StringsTypeCount; ++type) {
        const QStringList *a = first->GetStringsList(type);
        const QStringList *b = second->GetStringsList(type);
        VX_CHECK(!a == !b);
        if (a)
            VX_CHECK(Comparable(*a, ownerPrefix) == Comparable(*b, ownerPrefix));
    }
    return 0;
}
