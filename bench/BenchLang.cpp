// The main window's language switch and message lookups.
#include "app/ui/MainUnit.h"
#include "lang/MemIni.h"
#include "lang/lcComp.h"
#include "platform/vcl/Application.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

QApplication &App()
{
    static int argc = 1;
    static char name[] = "BenchLang";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

void BM_SwitchMainWindowLanguage(benchmark::State &state)
{
    App();
    Application::SetMessageBoxHook([](const QString &, const QString &, int) { return int(Application::IDOK); });
    QTemporaryDir dir;
    TMainForm form(dir.path());
    int language = form.lcLang->ActiveLanguage();
    for (auto _ : state) {
        language = 3 - language;
        form.lcLang->SetActiveLanguage(language);
    }
}
BENCHMARK(BM_SwitchMainWindowLanguage)->Unit(benchmark::kMillisecond);

void BM_HundredThousandMessageLookups(benchmark::State &state)
{
    QObject owner;
    TlcLang lang(&owner);
    lang.SetNumOfLanguages(2);
    const QChar d(char16_t(1));
    for (int i = 0; i < 260; i += 7)
        lang.Strings().append(QStringLiteral("IDS_%1").arg(i) + d + QStringLiteral("Текст %1").arg(i) + d +
                              QStringLiteral("Text %1").arg(i) + d);
    lang.RebuildStringsCollections();
    lang.SetActiveLanguage(2);
    QStringList keys;
    for (int i = 0; i < 100; ++i)
        keys.append(QStringLiteral("IDS_%1").arg(i * 7 % 266));
    for (auto _ : state)
        for (int n = 0; n < 100000; ++n)
            benchmark::DoNotOptimize(lang.GetTextOrDefault(keys[n % 100]));
}
BENCHMARK(BM_HundredThousandMessageLookups)->Unit(benchmark::kMillisecond);

// A translation text file of many keys in one section: its load grows with the keys, not with
// their square.
void BM_LoadTextFileOfManyKeys(benchmark::State &state)
{
    QByteArray text("[Captions]\n");
    for (int i = 0; i < state.range(0); ++i)
        text += "QObject.Label" + QByteArray::number(i) + "=Метка~!@#Label~!@#\n";
    for (auto _ : state) {
        QObject owner;
        TlcLang lang(&owner);
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(lang.LoadFromText(stCaptions, buffer, true));
    }
}
BENCHMARK(BM_LoadTextFileOfManyKeys)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// A translation text of one key written many times, as a damaged or hostile file may be: its
// reading grows with the lines, not with their square.
void BM_ReadTextOfOneKeyRepeated(benchmark::State &state)
{
    QStringList lines{QStringLiteral("[Captions]")};
    for (int i = 0; i < state.range(0); ++i)
        lines.append(QStringLiteral("QObject.Label=Метка~!@#Label~!@#"));
    for (auto _ : state) {
        TlcMemIniFile ini;
        ini.SetStrings(lines);
        benchmark::DoNotOptimize(ini.ReadString(QStringLiteral("Captions"), QStringLiteral("QObject.Label"), {}));
    }
}
BENCHMARK(BM_ReadTextOfOneKeyRepeated)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// Eight-bit translation data of many languages on long lines: it grows with the line, not with the
// line times the languages.
void BM_ReadEightBitDataOfManyLanguages(benchmark::State &state)
{
    QByteArray line("Key\x01");
    for (int k = 0; k < 4096; ++k)
        line += QByteArray(state.range(0), 'x') + '\x01';
    const QByteArray data = "stCaptions\r\n" + line + "\r\n";
    for (auto _ : state) {
        TlcLang lang(nullptr);
        lang.SetNumOfLanguages(4096);
        benchmark::DoNotOptimize(lang.ReadTranslationData(data));
    }
}
BENCHMARK(BM_ReadEightBitDataOfManyLanguages)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The program's own data is many short lines under a few headers; every line is asked whether it
// starts a section, at start-up.
void BM_ReadDataOfManyShortLines(benchmark::State &state)
{
    QString text = QStringLiteral("stCaptions_Unicode\r\n");
    for (int k = 0; k < state.range(0); ++k)
        text += QStringLiteral("Label%1.Caption\x01Аккорды\x01Chords\r\n").arg(k);
    QByteArray data;
    for (const QChar c : text)
        data += char(c.unicode() & 0xFF), data += char(c.unicode() >> 8);
    for (auto _ : state) {
        TlcLang lang(nullptr);
        lang.SetNumOfLanguages(2);
        benchmark::DoNotOptimize(lang.ReadTranslationData(data));
    }
}
BENCHMARK(BM_ReadDataOfManyShortLines)->Arg(2000)->Unit(benchmark::kMillisecond);

// A merge of many keys into a list of as many others: it grows with the keys, not with their square.
void BM_MergeTextFileOfManyKeys(benchmark::State &state)
{
    QByteArray text("[Captions]\n");
    QStringList old;
    const QChar d(char16_t(1));
    for (int i = 0; i < state.range(0); ++i) {
        text += "QObject.Label" + QByteArray::number(i) + "=Метка~!@#Label~!@#\n";
        old.append(QStringLiteral("Edit%1").arg(i) + d + QStringLiteral("Поле") + d + QStringLiteral("Field") + d);
    }
    for (auto _ : state) {
        QObject owner;
        TlcLang lang(&owner);
        lang.Captions() = old;
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(lang.MergeFromText(stCaptions, buffer));
    }
}
BENCHMARK(BM_MergeTextFileOfManyKeys)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The import of one language of many keys into lines that hold them all.
void BM_ImportLanguageOfManyKeys(benchmark::State &state)
{
    QTemporaryDir dir;
    QByteArray text("[Language names - for internal use only!]\nLanguage_1=English\nLanguage_2=German\n[Strings]\n");
    QStringList old;
    const QChar d(char16_t(1));
    for (int i = 0; i < state.range(0); ++i) {
        text += "QObject.IDS_" + QByteArray::number(i) + "=Text~!@#Text~!@#\n";
        old.append(QStringLiteral("IDS_%1").arg(i) + d + QStringLiteral("Текст") + d + QStringLiteral("Text") + d);
    }
    QFile file(dir.filePath(QStringLiteral("de.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        state.SkipWithError("cannot write the file");
    file.close();
    for (auto _ : state) {
        QObject owner;
        TlcLang lang(&owner);
        lang.SetLangNames({QStringLiteral("Russian"), QStringLiteral("English")});
        lang.Strings() = old;
        lang.ImportLanguageFromFile(stStrings, file.fileName(), QStringLiteral("German"));
    }
}
BENCHMARK(BM_ImportLanguageOfManyKeys)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace
