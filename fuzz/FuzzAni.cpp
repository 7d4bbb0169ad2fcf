// Animated-cursor reader: any input either loads or raises "Stream read error"; a loaded cursor
// written out reads back with the same steps and writes the same bytes again.
#include "toolkit/VxAni.h"
#include "toolkit/VxTypes.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TVxAni ani;
    try {
        ani.LoadFromData(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const EReadError &) {
        return 0;
    }
    for (int i = 0; i < ani.FrameCount(); ++i)
        if (ani.Frame(i).Icon.isNull())
            __builtin_trap();
    const QByteArray saved = ani.SaveToData();
    TVxAni back;
    back.LoadFromData(saved);
    if (back.FrameCount() != ani.FrameCount() || back.IconCount() != ani.IconCount() || back.SaveToData() != saved)
        __builtin_trap();
    for (int i = 0; i < ani.FrameCount(); ++i)
        if (back.Frame(i).HotSpot != ani.Frame(i).HotSpot || back.Frame(i).Rate != ani.Frame(i).Rate)
            __builtin_trap();
    return 0;
}
