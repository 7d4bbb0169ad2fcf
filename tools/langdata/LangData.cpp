// Reads a translation text and writes the translation data of a form.
//
// The text is UTF-8. A line "[stCaptions]" (any of the string-type names) starts a list; every
// other line that is not empty and does not begin with "#" is one line of that list: the key, a
// tab, the Russian text, a tab, the English text. Inside a text \n, \r, \t and \\ stand for a line
// feed, a carriage return, a tab and a backslash, and \s for a space (needed where a text ends
// with a blank at the end of the line, which editors would drop). Lists missing from the text are
// written empty. Any fault names the line and stops the build.
#include "lang/lcComp.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <cstdio>

namespace {

constexpr int Languages = 2;

bool Unescape(const QString &text, QString &result)
{
    result.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\')) {
            result += text[i];
            continue;
        }
        if (++i >= text.size())
            return false;
        switch (text[i].unicode()) {
        case 'n': result += QLatin1Char('\n'); break;
        case 'r': result += QLatin1Char('\r'); break;
        case 't': result += QLatin1Char('\t'); break;
        case 's': result += QLatin1Char(' '); break;
        case '\\': result += QLatin1Char('\\'); break;
        default: return false;
        }
    }
    return true;
}

int Fail(const QString &file, int line, const QString &message)
{
    std::fprintf(stderr, "%s:%d: %s\n", qPrintable(file), line, qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vx_langdata <translation text> <output>\n");
        return 2;
    }
    const QString inputName = QString::fromLocal8Bit(argv[1]);
    QFile input(inputName);
    if (!input.open(QIODevice::ReadOnly))
        return Fail(inputName, 0, QStringLiteral("cannot be read"));
    const QString text = QString::fromUtf8(input.readAll());

    std::array<QStringList, StringsTypeCount> lists;
    int current = -1;
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QChar delim{char16_t(1)};
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int lineNo = int(n) + 1;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = -1;
            for (int type = 0; type < stListView_TreeView_Items; ++type)
                if (line.mid(1, line.size() - 2) == StringsTypeName(type))
                    current = type;
            if (current < 0)
                return Fail(inputName, lineNo, QStringLiteral("unknown list ") + line);
            continue;
        }
        if (current < 0)
            return Fail(inputName, lineNo, QStringLiteral("a line before the first list header"));
        if (line.endsWith(QLatin1Char(' ')))
            return Fail(inputName, lineNo, QStringLiteral("a blank at the end of the line; write it as \\s"));
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != Languages + 1)
            return Fail(inputName, lineNo,
                        QStringLiteral("%1 fields; a line is the key and %2 texts, separated by tabs")
                            .arg(fields.size())
                            .arg(Languages));
        if (fields.first().isEmpty())
            return Fail(inputName, lineNo, QStringLiteral("an empty key"));
        QString stored;
        for (const QString &field : fields) {
            QString value;
            if (!Unescape(field, value))
                return Fail(inputName, lineNo, QStringLiteral("an unknown escape in ") + field);
            stored += value + delim;
        }
        for (const QString &held : lists[size_t(current)])
            if (held.section(delim, 0, 0).compare(fields.first(), Qt::CaseInsensitive) == 0)
                return Fail(inputName, lineNo, QStringLiteral("the key ") + fields.first() + QStringLiteral(" is there twice"));
        lists[size_t(current)].append(stored);
    }

    lcStream::TLists view{};
    for (int type = 0; type < stListView_TreeView_Items; ++type)
        view[size_t(type)] = &lists[size_t(type)];
    QSaveFile output(QString::fromLocal8Bit(argv[2]));
    if (!output.open(QIODevice::WriteOnly) || output.write(lcStream::WriteTranslationData(view)) < 0 ||
        !output.commit())
        return Fail(QString::fromLocal8Bit(argv[2]), 0, QStringLiteral("cannot be written"));
    return 0;
}
