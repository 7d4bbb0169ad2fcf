// Text helpers shared by every part of the localization engine.
#include "lang/lcComp.h"

#include "lang/MemIni.h"
#include "platform/ini/IniFile.h"

#include <QFile>
#include <QFileInfo>

namespace lcText {

int CountChar(const QString &s, QChar c)
{
    return int(s.count(c));
}

QStringList SplitText(const QString &s, QChar separator)
{
    QStringList pieces = s.split(separator);
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    return pieces;
}

QString JoinText(const QStringList &list, QChar separator, bool skipEmpty)
{
    QString result;
    for (const QString &item : list)
        if (!skipEmpty || !item.isEmpty())
            result += item + separator;
    return result;
}

QString MergeLines(const QString &oldLine, const QString &newLine, QChar delim)
{
    const QStringList oldFields = SplitText(oldLine, delim);
    const QStringList newFields = SplitText(newLine, delim);
    QStringList merged;
    merged.append(oldFields.value(0));
    for (qsizetype k = 1; k < oldFields.size(); ++k)
        merged.append(k < newFields.size() && !newFields[k].isEmpty() ? newFields[k] : oldFields[k]);
    for (qsizetype k = oldFields.size(); k < newFields.size(); ++k)
        merged.append(newFields[k]);
    return JoinText(merged, delim, false);
}

int FindKeyIndex(const QStringList &list, const QString &line, QChar delim)
{
    const QString key = GetDelimitedItem(line, delim, 0);
    for (qsizetype i = 0; i < list.size(); ++i)
        if (GetDelimitedItem(list[i], delim, 0).compare(key, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString DeleteLanguageColumn(const QString &line, int index, QChar delim)
{
    const int count = CountChar(line, delim);
    QString result = GetDelimitedItem(line, delim, 0) + delim;
    for (int k = 1; k < count; ++k)
        if (k != index)
            result += GetDelimitedItem(line, delim, k) + delim;
    return result;
}

QString MoveLanguageColumn(const QString &line, int from, int to, QChar delim)
{
    if (from == to)
        return line;
    const int count = CountChar(line, delim);
    QStringList fields;
    for (int k = 1; k < count; ++k)
        fields.append(GetDelimitedItem(line, delim, k));
    if (from < 1 || from > fields.size() || to < 1 || to > fields.size())
        return line;
    const QString moved = fields.takeAt(from - 1);
    fields.insert(to - 1, moved);
    return GetDelimitedItem(line, delim, 0) + delim + JoinText(fields, delim, false);
}

int WordPosition(int n, const QString &s, const QString &delims)
{
    int count = 1;
    if (n <= 1)
        return s.isEmpty() ? 0 : 1;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (delims.contains(s[i])) {
            ++count;
            if (count == n)
                return int(i) + 2;
        }
    }
    return int(s.size());
}

QString ExtractWord(int n, const QString &s, const QString &delims)
{
    int count = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= s.size(); ++i) {
        if (i == s.size() || delims.contains(s[i])) {
            if (count == n)
                return s.mid(start, i - start);
            ++count;
            start = i + 1;
        }
    }
    return {};
}

QString InvertCase(const QString &s)
{
    QString result = s;
    for (QChar &c : result)
        c = c.isUpper() ? c.toLower() : c.toUpper();
    return result;
}

QString ExpandText(const QString &s, QChar padChar, int percent)
{
    if (s.contains(QLatin1Char('%')))
        return s;
    const qsizetype length = s.size();
    qsizetype total = qsizetype(double(length) * percent / 100.0);
    QString result;
    for (qsizetype i = 1; i <= length; ++i) {
        const qsizetype share = total / (length + 1 - i);
        result += s[i - 1];
        result += QString(share, padChar);
        total -= share;
    }
    return result;
}

QString ReplaceAll(const QString &s, const QString &oldText, const QString &newText)
{
    QString result = s;
    return oldText.isEmpty() ? result : result.replace(oldText, newText);
}

namespace {

int HexDigit(QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c.unicode() - '0';
    if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        return c.unicode() - 'a' + 10;
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        return c.unicode() - 'A' + 10;
    return -1;
}

} // namespace

QString DecodeEscapes(const QString &s)
{
    QString result;
    result.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c != QLatin1Char('\\') || i + 1 >= s.size()) {
            result += c;
            continue;
        }
        const QChar e = s[i + 1];
        const char16_t simple = [&]() -> char16_t {
            switch (e.unicode()) {
            case 'b': return 8;
            case 'a': return 7;
            case 'f': return 12;
            case 'n': return 10;
            case 'r': return 13;
            case 't': return 9;
            case 'v': return 11;
            case '\\': return '\\';
            case '?': return '?';
            case '"': return '"';
            case '\'': return '\'';
            default: return 0;
            }
        }();
        if (simple) {
            result += QChar(simple);
            ++i;
        } else if (e >= QLatin1Char('0') && e <= QLatin1Char('7')) {
            int value = 0;
            qsizetype j = i + 1;
            for (; j < s.size() && j < i + 4 && s[j] >= QLatin1Char('0') && s[j] <= QLatin1Char('7'); ++j)
                value = value * 8 + (s[j].unicode() - '0');
            result += QChar(char16_t(value));
            i = j - 1;
        } else if (e == QLatin1Char('x') && i + 2 < s.size() && HexDigit(s[i + 2]) >= 0) {
            int value = HexDigit(s[i + 2]);
            qsizetype j = i + 3;
            if (j < s.size() && HexDigit(s[j]) >= 0)
                value = value * 16 + HexDigit(s[j++]);
            result += QChar(char16_t(value));
            i = j - 1;
        } else {
            result += c;
            result += e;
            ++i;
        }
    }
    return result;
}

QString CommaText(const QStringList &list)
{
    if (list.size() == 1 && list.first().isEmpty())
        return QStringLiteral("\"\"");
    QString result;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString &item = list[i];
        bool quote = false;
        for (QChar c : item)
            if (c.unicode() <= ' ' || c == QLatin1Char('"') || c == QLatin1Char(','))
                quote = true;
        if (i > 0)
            result += QLatin1Char(',');
        if (quote) {
            QString doubled = item;
            doubled.replace(QLatin1String("\""), QLatin1String("\"\""));
            result += QLatin1Char('"') + doubled + QLatin1Char('"');
        } else {
            result += item;
        }
    }
    return result;
}

QStringList FromCommaText(const QString &text)
{
    QStringList result;
    qsizetype p = 0;
    const qsizetype n = text.size();
    // NUL is a blank like every other control character, so that no character stops the reader.
    auto blank = [&](qsizetype i) { return i < n && text[i].unicode() <= ' '; };
    while (blank(p))
        ++p;
    while (p < n) {
        QString item;
        if (text[p] == QLatin1Char('"')) {
            ++p;
            while (p < n) {
                if (text[p] == QLatin1Char('"')) {
                    if (p + 1 < n && text[p + 1] == QLatin1Char('"')) {
                        item += QLatin1Char('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const qsizetype start = p;
            while (p < n && text[p].unicode() > ' ' && text[p] != QLatin1Char(','))
                ++p;
            item = text.mid(start, p - start);
        }
        result.append(item);
        while (blank(p))
            ++p;
        if (p < n && text[p] == QLatin1Char(',')) {
            if (p + 1 == n)
                result.append(QString());
            do
                ++p;
            while (blank(p));
        }
    }
    return result;
}

QByteArray ReadFileWhole(const QString &fileName)
{
    QString reason;
    if (QFileInfo::exists(fileName)) {
        if (const std::optional<QByteArray> bytes = IniText::ReadFileBytes(fileName, &reason))
            return *bytes;
    } else {
        QFile missing(fileName);
        missing.open(QIODevice::ReadOnly);
        reason = missing.errorString();
    }
    throw ElcException(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason));
}

} // namespace lcText
