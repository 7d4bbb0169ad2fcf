#include "sysutil/OsSysUtils.h"

#include <cstring>
#include <dlfcn.h>

void SetBitInSet(TOsBitSet &Bits, int Index)
{
    if (Index < 0)
        return;
    const size_t word = size_t(Index) >> 5;
    if (word >= Bits.size())
        Bits.resize(word + 1, 0);
    Bits[word] |= 1u << (Index & 31);
}

bool TestBitInSet(const TOsBitSet &Bits, int Index)
{
    if (Index < 0)
        return false;
    const size_t word = size_t(Index) >> 5;
    return word < Bits.size() && (Bits[word] >> (Index & 31) & 1u) != 0;
}

void ZeroFillMemory(void *P, qsizetype Size)
{
    if (Size > 0)
        std::memset(P, 0, size_t(Size));
}

void ReleaseLibraryHandle(void *&Module)
{
    if (Module != nullptr)
        dlclose(Module);
    Module = nullptr;
}

QString GuidAsText(const QUuid &Guid)
{
    return QString::asprintf("{%.8x-%.4x-%.4x-%.2x%.2x-%.2x%.2x%.2x%.2x%.2x%.2x}", Guid.data1,
                             Guid.data2, Guid.data3, Guid.data4[0], Guid.data4[1], Guid.data4[2],
                             Guid.data4[3], Guid.data4[4], Guid.data4[5], Guid.data4[6],
                             Guid.data4[7]);
}
