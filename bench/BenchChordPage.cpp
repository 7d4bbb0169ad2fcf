// From a change of chord type to the finished diagram: lookup, scheme check and drawing.
#include "app/ui/MainUnit.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QApplication &App()
{
    static int argc = 1;
    static char name[] = "BenchChordPage";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

void ChordTypeToDiagram(benchmark::State &state)
{
    App();
    QTemporaryDir dir;
    TMainForm form(dir.path());
    form.show();
    const QString types[] = {QStringLiteral("m"), QStringLiteral("maj")};
    int i = 0;
    for (auto _ : state) {
        // Typing into the chord-type box runs the whole change.
        form.ChordType->SetText(types[i++ & 1]);
        benchmark::DoNotOptimize(form.State().currentScheme12);
    }
}
BENCHMARK(ChordTypeToDiagram)->Unit(benchmark::kMicrosecond);

void RedrawLeftHand(benchmark::State &state)
{
    App();
    QTemporaryDir dir;
    TMainForm form(dir.path());
    form.show();
    form.LeftHand->trigger();
    form.Root->SetItemIndex(5);
    form.RootChange();
    for (auto _ : state)
        form.ShowCurrentChord();
}
BENCHMARK(RedrawLeftHand)->Unit(benchmark::kMicrosecond);

} // namespace
