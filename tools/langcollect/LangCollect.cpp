// Writes the texts the main window shows, keyed as its translation lists key them, so a
// translator (or a check) sees every text that needs a line in resources/MainFormTranslations.tsv.
#include "app/ui/MainUnit.h"
#include "lang/lcComp.h"

#include <QApplication>
#include <QBuffer>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir data;
    QByteArray text;
    {
        TMainForm form(data.path());
        CollectFormTexts(*form.lcLang);
        QBuffer buffer(&text);
        buffer.open(QIODevice::WriteOnly);
        form.lcLang->SaveAllToStream(buffer, QStringLiteral("~!@#"));
    }
    if (argc < 2) {
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return 0;
    }
    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
