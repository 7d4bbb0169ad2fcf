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
// A few header bytes can ask for millions of pixels; past this many the run measures time, not
// the reader, and would stop the fuzzer on its time limit.
constexpr qint64 MaxPixels = 1 << 18;

bool Load(TVxGIFImage &gif, QByteArrayView data)
{
    try {
        gif.LoadFromData(data);
        qint64 pixels = 0;
        for (int i = 0; i < std::min(gif.Count(), MaxDecoded); ++i)
            pixels += qint64(gif.Frame(i).Width()) * gif.Frame(i).Height();
        if (pixels > MaxPixels)
            return false;
        for (int i = 0; i < std::min(gif.Count(), MaxDecoded); ++i)
            gif.Frame(i).Bitmap();
        return gif.Count() > 0;
    } catch (const EVxException &) {
        return false;
    }
}

// The format gives a frame one graphic control. Reading makes the transparent entry unique once per
// control found, while writing brings only the first up to date: with several, the colours of the
// file written may differ from the first reading's by a step of blue.
bool SingleGraphicControl(const TVxGIFFrame &frame)
{
    return std::count_if(frame.Extensions().begin(), frame.Extensions().end(),
                         [](const TExtension &e) { return e.FExtType == etGraphic; }) <= 1;
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
        if (SingleGraphicControl(gif.Frame(i)) && again.Frame(i).Bitmap() != gif.Frame(i).Bitmap())
            __builtin_trap();
    return 0;
}
