#pragma once
// Small bit, memory and module helpers.
#include "sysutil/OsSysInfo.h"

#include <QString>
#include <QUuid>
#include <vector>

// A set of bits kept in 32-bit words, bit I in word I / 32.
using TOsBitSet = std::vector<quint32>;

// Grows the set as needed; a negative index is ignored.
void SetBitInSet(TOsBitSet &Bits, int Index);
// Bits past the end of the set are clear.
bool TestBitInSet(const TOsBitSet &Bits, int Index);

void ZeroFillMemory(void *P, qsizetype Size);
// Unloads a library opened with dlopen and forgets its handle.
void ReleaseLibraryHandle(void *&Module);

// {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx} in lower case.
QString GuidAsText(const QUuid &Guid);
