#include "sysutil/OsStrings.h"

#include "platform/text/AnsiText.h"

#include <QCollator>
#include <mutex>

QString AppendSuffixIfMissing(const QString &Suffix, const QString &Text)
{
    return Text.endsWith(Suffix, Qt::CaseSensitive) ? Text : Text + Suffix;
}

QString LeftPartOfText(const QString &S, qsizetype Count)
{
    return Count <= 0 ? QString() : S.left(Count);
}

QString TextFromPosition(const QString &S, qsizetype Index)
{
    return S.mid(qMax<qsizetype>(Index, 1) - 1);
}

int ReplaceCharInText(QString &S, QChar Search, QChar Replace)
{
    if (Search == Replace)
        return 0;
    const int count = int(S.count(Search));
    if (count > 0)
        S.replace(Search, Replace);
    return count;
}

void SplitTextToStrings(const QString &S, const QString &Separator, QStringList &List,
                        bool AllowEmptyString)
{
    List.clear();
    if (Separator.isEmpty()) {
        if (!S.isEmpty())
            List.append(S);
        return;
    }
    qsizetype start = 0;
    for (qsizetype found; (found = S.indexOf(Separator, start)) >= 0;
         start = found + Separator.size()) {
        if (found > start || AllowEmptyString)
            List.append(S.mid(start, found - start));
    }
    if (start < S.size())
        List.append(S.mid(start));
}

int LocaleCompareText(const QString &A, const QString &B)
{
    static std::mutex lock;
    static QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    std::lock_guard guard(lock);
    const int result = collator.compare(A, B);
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

namespace {

struct TAnsiTables
{
    std::array<quint16, 256> Types{};
    std::array<quint8, 768> Case{};
};

// The case partner of a byte, when the code page holds it; else the byte itself.
quint8 MapInCodePage(quint8 b, char32_t mapped)
{
    if (mapped > 0xFFFF)
        return b;
    const QByteArray bytes = AnsiText::ToWindows1251(QString(QChar(char16_t(mapped))));
    if (bytes.size() != 1 || AnsiText::Windows1251Char(quint8(bytes[0])) != mapped)
        return b;
    return quint8(bytes[0]);
}

const TAnsiTables &AnsiTables()
{
    static const TAnsiTables tables = [] {
        TAnsiTables t;
        for (int i = 0; i < 256; ++i) {
            const quint8 b = quint8(i);
            const char16_t c = AnsiText::Windows1251Char(b);
            t.Types[i] = CharTypeOf(c);
            const quint8 lower = MapInCodePage(b, QChar::toLower(char32_t(c)));
            const quint8 upper = MapInCodePage(b, QChar::toUpper(char32_t(c)));
            t.Case[AnsiLoOffset + i] = lower;
            t.Case[AnsiUpOffset + i] = upper;
            t.Case[AnsiReOffset + i] = (t.Types[i] & C1_UPPER) ? lower
                                       : (t.Types[i] & C1_LOWER) ? upper
                                                                 : b;
        }
        return t;
    }();
    return tables;
}

} // namespace

const std::array<quint16, 256> &AnsiCharTypes()
{
    return AnsiTables().Types;
}

const std::array<quint8, 768> &AnsiCaseMap()
{
    return AnsiTables().Case;
}

bool AnsiCharIsUpper(quint8 c)
{
    return (AnsiTables().Types[c] & C1_UPPER) != 0;
}

bool AnsiCharIsLower(quint8 c)
{
    return (AnsiTables().Types[c] & C1_LOWER) != 0;
}

quint8 AnsiCharLower(quint8 c)
{
    return AnsiTables().Case[AnsiLoOffset + c];
}

quint8 AnsiCharUpper(quint8 c)
{
    return AnsiTables().Case[AnsiUpOffset + c];
}

quint8 AnsiCharSwapCase(quint8 c)
{
    return AnsiTables().Case[AnsiReOffset + c];
}
