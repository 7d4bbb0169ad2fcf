// Start-up of the main window: default files, language, lists and the first chord, up to the
// window being ready to show. The first start writes the two default files; later starts read them.
#include "app/ui/MainUnit.h"
#include "platform/midiout/CaptureDevice.h"
#include "platform/midiout/MidiOut.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QApplication &App()
{
    static int argc = 1;
    static char name[] = "BenchStartup";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    // The sound card plays no part in how fast the window comes up.
    MidiOut::SetDevices({std::make_shared<TCaptureDevice>(QStringLiteral("Bench Port"))});
    return app;
}

void FirstStart(benchmark::State &state)
{
    App();
    for (auto _ : state) {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        benchmark::DoNotOptimize(form.State().schemes);
    }
}
BENCHMARK(FirstStart)->Unit(benchmark::kMillisecond);

void LaterStart(benchmark::State &state)
{
    App();
    QTemporaryDir dir;
    { TMainForm first(dir.path()); first.close(); }
    for (auto _ : state) {
        TMainForm form(dir.path());
        benchmark::DoNotOptimize(form.State().schemes);
    }
}
BENCHMARK(LaterStart)->Unit(benchmark::kMillisecond);

// A user file with 32,000 chord types of its own.
void StartWithManyUserTypes(benchmark::State &state)
{
    App();
    QTemporaryDir dir;
    QByteArray user = "[C]\n";
    for (int i = 0; i < 32'000; ++i)
        user += "type" + QByteArray::number(i) + "=0001000203xx\n";
    QFile file(dir.filePath(QStringLiteral("user_chords.ini")));
    if (!file.open(QIODevice::WriteOnly) || file.write(user) != user.size())
        state.SkipWithError("cannot write the user file");
    file.close();
    for (auto _ : state) {
        TMainForm form(dir.path());
        benchmark::DoNotOptimize(form.ChordType->count());
    }
}
BENCHMARK(StartWithManyUserTypes)->Unit(benchmark::kMillisecond);

} // namespace
