// Importing one language from any file: the other languages' texts never change, at most one
// language is added, and a refused file changes nothing.
#include "lang/MemIni.h"
#include "lang/lcComp.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("import.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const QChar d(char16_t(1));
    const QStringList original = {QStringLiteral("IDS_1") + d + QStringLiteral("Да") + d + QStringLiteral("Yes") + d,
                                  QStringLiteral("IDS_2") + d + QStringLiteral("Нет") + d};
    for (const char *language : {"English", "German"}) {
        QObject owner;
        TlcLang lang(&owner);
        lang.SetLangNames({QStringLiteral("Russian"), QStringLiteral("English")});
        lang.Strings() = original;
        lang.SetDoRaiseExceptions(size % 2 == 1);
        try {
            lang.ImportLanguage(path, QString::fromLatin1(language));
        } catch (const ElcException &) {
            if (lang.Strings() != original || lang.NumOfLanguages() != 2)
                __builtin_trap();
        }
        if (lang.Busy() || lang.NumOfLanguages() < 2 || lang.NumOfLanguages() > 3)
            __builtin_trap();
        for (const QString &line : original) {
            const QString key = GetDelimitedItem(line, d, 0);
            bool found = false;
            for (const QString &now : lang.Strings())
                if (GetDelimitedItem(now, d, 0) == key) {
                    found = true;
                    if (GetDelimitedItem(now, d, 1) != GetDelimitedItem(line, d, 1))
                        __builtin_trap();
                }
            if (!found)
                __builtin_trap();
        }
    }
    return 0;
}
