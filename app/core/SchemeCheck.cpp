#include "app/core/SchemeCheck.h"

namespace SchemeCheck {

namespace {
const QString CrLf = QStringLiteral("\r\n");
}

QString ValidateScheme(const QString &scheme, const TMessageText &ids)
{
    if (scheme.size() != 12)
        return ids(49) + scheme + ids(50) + CrLf + ids(51) + CrLf + ids(52);

    for (QChar c : scheme)
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('x'))
            return ids(54) + CrLf + ids(55) + scheme + ids(56);

    for (int i = 0; i < 12; i += 2) {
        const QString field = scheme.mid(i, 2);
        if (field == QLatin1String("xx"))
            continue;
        if (field.contains(QLatin1Char('x')))
            return ids(54) + CrLf + ids(59) + scheme + ids(60) + CrLf + ids(52);
        if (field.toInt() > 19)
            return ids(54) + CrLf + ids(59) + scheme + ids(65) + CrLf + ids(52);
    }
    return {};
}

const QStringList &UserBassSpellings()
{
    static const QStringList spellings = {"C",  "C#", "D",  "D#", "E",  "F",  "F#", "G",  "G#", "A",
                                          "A#", "H",  "B",  "Db", "Eb", "Gb", "Ab", "Hb", "Bb"};
    return spellings;
}

TUserChordTypes UserChordTypes(const QStringList &lines)
{
    TUserChordTypes result;
    qsizetype i = 0;
    // The comment block runs to the first line that starts with "["; a header that is the
    // file's last line leaves nothing to read and counts as no header.
    for (; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        if (last)
            return result;
        if (lines[i].startsWith(QLatin1Char('[')))
            break;
    }
    if (i >= lines.size())
        return result;
    result.hasHeader = true;

    for (++i; i < lines.size() && !lines[i].isEmpty(); ++i) {
        const QString &line = lines[i];
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.contains(QLatin1Char('[')))
            continue;
        const qsizetype slash = line.indexOf(QLatin1Char('/'));
        bool isSlash = false;
        if (slash >= 0 && slash < eq) {
            const QString bass = line.mid(slash + 1, eq - slash - 1);
            isSlash = UserBassSpellings().contains(bass);
        }
        result.names.append(isSlash ? line.left(slash) : line.left(eq));
    }
    return result;
}

} // namespace SchemeCheck
