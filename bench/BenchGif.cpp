// Decoding and encoding a 1000 x 1000 picture of 256 colours with our GIF picture, beside Qt's
// own GIF reader on the same file.
#include "toolkit/VxAni.h"
#include "toolkit/VxGIF.h"

#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

void EnsureApp()
{
    static int argc = 1;
    static char name[] = "BenchGif";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = QCoreApplication::instance() ? nullptr : new QGuiApplication(argc, argv);
    (void)app;
}

// Smooth colour fields with some noise, like a photograph reduced to a palette.
QImage Picture()
{
    QImage image(1000, 1000, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table.append(qRgb(i, (i * 3) & 0xFF, 255 - i));
    image.setColorTable(table);
    QRandomGenerator random(1000);
    for (int y = 0; y < 1000; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < 1000; ++x)
            line[x] = uchar(((x / 7 + y / 11) + (random.bounded(8) == 0 ? random.bounded(4) : 0)) & 0xFF);
    }
    return image;
}

const QByteArray &File()
{
    static const QByteArray file = [] {
        TVxGIFImage gif;
        gif.AddFrame(Picture());
        return gif.SaveToData();
    }();
    return file;
}

void BM_GifDecodeOurs(benchmark::State &state)
{
    const QByteArray &file = File();
    for (auto _ : state) {
        TVxGIFImage gif;
        gif.LoadFromData(file);
        benchmark::DoNotOptimize(gif.Frame(0).Bitmap().constBits());
    }
    state.counters["bytes"] = double(file.size());
}
BENCHMARK(BM_GifDecodeOurs)->Unit(benchmark::kMillisecond);

void BM_GifDecodeQt(benchmark::State &state)
{
    EnsureApp();
    const QByteArray &file = File();
    for (auto _ : state) {
        const QImage image = QImage::fromData(file, "GIF");
        if (image.isNull())
            state.SkipWithError("Qt has no GIF reader");
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_GifDecodeQt)->Unit(benchmark::kMillisecond);

void BM_GifEncodeOurs(benchmark::State &state)
{
    const QImage picture = Picture();
    for (auto _ : state) {
        TVxGIFImage gif;
        gif.AddFrame(picture);
        benchmark::DoNotOptimize(gif.SaveToData().size());
    }
}
BENCHMARK(BM_GifEncodeOurs)->Unit(benchmark::kMillisecond);

// An animated cursor of many steps made a GIF picture: it grows with the steps, not their square.
void BM_GifFromCursorOfManySteps(benchmark::State &state)
{
    EnsureApp();
    TVxAni cursor;
    TVxIconFrame frame;
    frame.Icon = QImage(32, 32, QImage::Format_ARGB32);
    frame.Icon.fill(qRgb(0, 0, 0));
    cursor.AddIcon(frame);
    cursor.SetSequence(QList<uint32_t>(state.range(0), 0));
    for (auto _ : state) {
        TVxGIFImage gif;
        gif.Assign(cursor);
        benchmark::DoNotOptimize(gif.Count());
    }
}
BENCHMARK(BM_GifFromCursorOfManySteps)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
