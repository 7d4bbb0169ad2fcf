#include "app/core/ChordUnderPointer.h"

#include <QStringList>

namespace ChordUnderPointer {

namespace {

bool IsWordDelimiter(QChar c)
{
    const char16_t u = c.unicode();
    return u <= 32 || u == u'*' || u == u',' || u == u'[' || u == u']';
}

// A click on these stands just after the word it belongs to.
bool StepsBack(QChar c)
{
    switch (c.unicode()) {
    case u' ': case u']': case u'\r': case u'\t': case u'\n': case u'*': case u'(':
        return true;
    default:
        return false;
    }
}

bool IsRomanFretLetter(QChar c)
{
    switch (c.unicode()) {
    case u'I': case u'V': case u'X': case u'i': case u'v': case u'x':
        return true;
    default:
        return false;
    }
}

bool IsNoteLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'H') || (u >= u'a' && u <= u'h');
}

const QStringList &RootSpellings()
{
    static const QStringList spellings = {"C",  "C#", "D",  "D#", "E",  "F",  "F#", "G",  "G#", "A",
                                          "A#", "H",  "B",  "Db", "Eb", "Gb", "Ab", "Hb", "Bb"};
    return spellings;
}

} // namespace

QString WordAt(QStringView text, qsizetype caretIndex)
{
    qsizetype pos = caretIndex;
    if (pos < 0)
        return {};
    if (pos >= text.size() || StepsBack(text[pos]))
        --pos;
    if (pos < 0 || pos >= text.size() || IsWordDelimiter(text[pos]))
        return {};
    qsizetype start = pos;
    while (start > 0 && !IsWordDelimiter(text[start - 1]))
        --start;
    qsizetype end = pos;
    while (end < text.size() && !IsWordDelimiter(text[end]))
        ++end;
    return text.mid(start, end - start).trimmed().toString();
}

TChordWord ParseChordWord(const QString &input)
{
    TChordWord chord;
    QString word = input;
    if (word.startsWith(u'('))
        word.remove(0, 1);
    const qsizetype bracket = word.indexOf(u'(');
    if (bracket >= 0 && word.endsWith(u'/'))
        word.chop(1);
    if (word.endsWith(u')')) {
        if (bracket < 0) {
            word.chop(1);
        } else if (bracket + 1 < word.size() && IsRomanFretLetter(word[bracket + 1])) {
            chord.romanFret = word.mid(bracket + 1, word.size() - bracket - 2).toUpper();
            word.truncate(bracket);
        }
    }
    if (word == QStringLiteral("\u0421")) // a Cyrillic Es typed for C
        word = QStringLiteral("C");
    if (word.isEmpty())
        return chord;

    QString rest;
    if (word.size() == 1) {
        chord.root = word;
    } else {
        if (word.startsWith(u'/'))
            word.remove(0, 1);
        const qsizetype rootLength = word.size() > 1 && (word[1] == u'#' || word[1] == u'b') ? 2 : 1;
        chord.root = word.left(rootLength);
        rest = word.mid(rootLength);
    }

    QString type = rest;
    if (type.isEmpty())
        type = QStringLiteral("maj");
    else if (type.startsWith(u'/'))
        type.prepend(QStringLiteral("maj"));
    if (type.endsWith(u'/'))
        type.chop(1);

    for (qsizetype i = 1; i < type.size(); ++i) {
        const bool digitFollows = i + 1 < type.size() && type[i + 1].isDigit();
        if (IsNoteLetter(type[i]) && type[i - 1] == u'/' && !digitFollows) {
            chord.bassText = type.mid(i - 1);
            type.truncate(i - 1);
            break;
        }
    }
    chord.typeText = type;
    chord.valid = RootSpellings().contains(chord.root) && !chord.typeText.isEmpty();
    return chord;
}

int RootIndexOf(QStringView spelling, int notation)
{
    static const QStringList common = {"C", "C#|Db", "D", "D#|Eb", "E", "F", "F#|Gb", "G", "G#|Ab", "A"};
    for (int i = 0; i < common.size(); ++i)
        if (common[i].split(u'|').contains(spelling))
            return i;
    if (notation == 1) {
        if (spelling == u"Bb" || spelling == u"A#" || spelling == u"Hb")
            return 10;
        if (spelling == u"B" || spelling == u"H")
            return 11;
    } else {
        if (spelling == u"A#" || spelling == u"Hb" || spelling == u"B" || spelling == u"Bb")
            return 10;
        if (spelling == u"H")
            return 11;
    }
    return 0;
}

int BassIndexOf(QStringView text, int notation)
{
    if (text.size() < 2 || text[0] != u'/')
        return 0;
    QString bass = text.left(2).toString().toUpper();
    if (text.size() > 2)
        bass += text[2];
    if (text.size() > 3)
        return 0;
    const int root = RootIndexOf(QStringView(bass).mid(1), notation);
    if (root == 0 && bass != u"/C")
        return 0;
    return root + 1;
}

} // namespace ChordUnderPointer
