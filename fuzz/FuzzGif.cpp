// GIF reader: any input either loads or raises the picture's error; a loaded picture written out
// and read again writes the same bytes and decodes to the same pixels.
#include "toolkit/VxGIF.h"
#include "toolkit/VxTypes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// Many huge frames from a few bytes would only measure memory; the first frames show the decoder.
constexpr int MaxDecoded = 4;

bool Load(TVxGIFImage &gif, QByteArrayView data)
{
    try {
        gif.LoadFromData(data);
        for (int i = 0; i < std::min(gif.Count(), MaxDecoded); ++i)
            gif.Frame(i).Bitmap();
        return gif.Count() > 0;
    } catch (const EVxException &) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TVxGIFImage gif;
    if (!Load(gif, QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size))))
        return 0;
    QByteArray first;
    try {
        first = gif.SaveToData();
    } catch (const EVxException &) {
        return 0; // frames that cannot be decoded cannot be written either
    }
    TVxGIFImage again;
    if (!Load(again, first))
        __builtin_trap();
    if (again.Count() != gif.Count() || again.SaveToData() != first)
        __builtin_trap();
    for (int i = 0; i < std::min(gif.Count(), MaxDecoded); ++i)
        if (again.Frame(i).Bitmap() != gif.Frame(i).Bitmap())
            __builtin_trap();
    return 0;
}
