// Transposing a song text and guessing the code page of a song file, each about 1 MB.
#include "app/core/UnitTransp.h"
#include "app/core/xlat.h"

#include <benchmark/benchmark.h>

namespace {

const char *SongVerse =
    "Am              Dm\n"
    "В лесу родилась ёлочка, в лесу она росла,\n"
    "E7                    Am   C/e  Hm7  F#m7b5\n"
    "Зимой и летом стройная, зелёная была.\n"
    "G        D/F#     Em     Cmaj7   Gsus4  [Am]  (Dm)\n"
    "A man is walking down the road, A Cat and a Dog, Hello CD-ROM 2025.\n";

// About one million characters, i.e. a 1 MB file in an 8-bit code page.
QString SongText()
{
    const QString verse = QString::fromUtf8(SongVerse);
    return verse.repeated(1'000'000 / verse.size() + 1);
}

void TransposeSong(benchmark::State &state)
{
    const QString text = SongText();
    const UnitTransp::TSpelling spelling{0, false};
    for (auto _ : state) {
        QString moved = UnitTransp::TransposeText(text, 5, spelling);
        benchmark::DoNotOptimize(moved);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}
BENCHMARK(TransposeSong)->Unit(benchmark::kMillisecond);

void DetectCodePage(benchmark::State &state)
{
    // The song as a KOI8-R file.
    const QByteArray bytes = xlat::XlatString(xlat::EncodeSongText(SongText(), xlat::TSaveEncoding::Windows1251),
                                              xlat::cpWindows1251, xlat::cpKoi8r);
    for (auto _ : state) {
        int codePage = xlat::DetectCyrillicCodePage(bytes);
        benchmark::DoNotOptimize(codePage);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(DetectCodePage)->Unit(benchmark::kMillisecond);

void OpenSongFile(benchmark::State &state)
{
    const QByteArray bytes = xlat::XlatString(xlat::EncodeSongText(SongText(), xlat::TSaveEncoding::Windows1251),
                                              xlat::cpWindows1251, xlat::cpKoi8r);
    for (auto _ : state) {
        QString text = xlat::DecodeSongText(bytes);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(OpenSongFile)->Unit(benchmark::kMillisecond);

} // namespace
