#include "app/core/UnitTransp.h"

#include <algorithm>
#include <array>

namespace UnitTransp {

namespace {

constexpr std::array<std::array<const char *, 12>, 4> NameTables = {{
    {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "H"},
    {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "B", "H"},
    {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"},
    {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"},
}};

// The suffix tokens in the order they are taken away from a rest.
constexpr std::array<std::u16string_view, 29> SuffixTokens = {
    u"11", u"13", u"2",   u"3",   u"4",   u"5",   u"6",   u"7",   u"9",  u"augm",
    u"verm", u"min", u"maj", u"dim", u"add", u"aug", u"sus", u"mi", u"zm", u"\u00B0",
    u"M",  u"m",  u"+",   u"-",   u"b",   u"#",   u"(",   u")",   u"/"};

// Every token taken once, plus one accidental left over: no longer rest can be a suffix.
constexpr qsizetype MaxSuffixLength = 64;

constexpr std::array<bool, 256> DelimiterTable = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c <= 32; ++c)
        table[c] = true;
    for (char c : {'(', ')', ',', '.', '/', ':', ';', '?', '[', '\\', ']'})
        table[static_cast<unsigned char>(c)] = true;
    table[0xA0] = true; // no-break space
    table[0xA4] = true; // the end mark ¤
    return table;
}();

inline bool IsDelimiter(char16_t c)
{
    return c < 256 && DelimiterTable[c];
}

inline bool IsLatinLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

inline bool IsRootLetter(char16_t c)
{
    return c >= u'A' && c <= u'H';
}

inline bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The bass after "/" is a note letter, perhaps an accidental, then the end of the chord.
bool IsLoneBass(QStringView text, qsizetype letter)
{
    qsizetype k = letter + 1;
    if (k < text.size() && (text[k] == u'#' || text[k] == u'b'))
        ++k;
    return k >= text.size() || IsDelimiter(text[k].unicode());
}

// The "/" at slash stands after a chord name ("Am/e", "C6/9/e") or alone (" /e", a walking bass),
// not after a word ("km/h", "w/e").
bool FollowsChordOrBlank(QStringView text, qsizetype slash)
{
    qsizetype start = slash;
    while (start > 0 && (text[start - 1] == u'/' || !IsDelimiter(text[start - 1].unicode()))) {
        if (slash - start > 2 * MaxSuffixLength)
            return false;
        --start;
    }
    if (start == slash)
        return true;
    if (!IsRootLetter(text[start].unicode()))
        return false;
    qsizetype end = start + 1;
    while (end < slash && !IsDelimiter(text[end].unicode()))
        ++end;
    return TranspIsChordSuffix(text.mid(start + 1, end - start - 1));
}

} // namespace

int TranspSetOldOffset(int previousIndex)
{
    return NoStepIndex - previousIndex;
}

int TranspSetNewOffset(int selectedIndex)
{
    if (selectedIndex < NoStepIndex)
        return selectedIndex + 1;
    if (selectedIndex == NoStepIndex)
        return 0;
    return selectedIndex - NoStepIndex;
}

int TranspOffset(int previousIndex, int selectedIndex)
{
    int offset = TranspSetNewOffset(selectedIndex) + TranspSetOldOffset(previousIndex);
    if (offset < 0)
        offset += 12;
    else if (offset > 11)
        offset -= 12;
    return offset;
}

int TranspNoteIndex(QStringView spelling, int notation)
{
    if (spelling.isEmpty() || spelling.size() > 2)
        return 0;
    const char16_t letter = spelling[0].unicode();
    const char16_t accidental = spelling.size() == 2 ? spelling[1].unicode() : u'\0';
    if (accidental != u'\0' && accidental != u'#' && accidental != u'b')
        return 0;
    const bool west = notation == 1;
    int natural;
    switch (letter) {
    case u'C': natural = 1; break;
    case u'D': natural = 3; break;
    case u'E': natural = 5; break;
    case u'F': natural = 6; break;
    case u'G': natural = 8; break;
    case u'A': natural = 10; break;
    case u'H': natural = 12; break;
    case u'B':
        // East B is already si flat, so a flat on it changes nothing.
        if (accidental == u'b')
            return 11;
        natural = west ? 12 : 11;
        break;
    default: return 0;
    }
    int number = natural + (accidental == u'#' ? 1 : accidental == u'b' ? -1 : 0);
    if (number > 12)
        number -= 12;
    else if (number < 1)
        number += 12;
    return number;
}

QString TranspNoteName(int number, int offset, TSpelling spelling)
{
    int index = number - offset;
    if (index <= 0)
        index += 12;
    const int table = (spelling.notation == 1 ? 2 : 0) + (spelling.flats ? 1 : 0);
    return QString::fromLatin1(NameTables[table][index - 1]);
}

bool TranspIsChordSuffix(QStringView rest)
{
    if (rest.size() > MaxSuffixLength)
        return false;
    std::array<char16_t, MaxSuffixLength> buffer;
    qsizetype length = rest.size();
    for (qsizetype i = 0; i < length; ++i)
        buffer[i] = rest[i].unicode();

    for (const std::u16string_view token : SuffixTokens) {
        if (length == 0)
            return true;
        const std::u16string_view left(buffer.data(), size_t(length));
        const size_t found = left.find(token);
        if (found == std::u16string_view::npos)
            continue;
        if (IsDigit(token[0]) && found + 1 < left.size() && IsDigit(left[found + 1])) {
            const std::u16string_view pair = left.substr(found, 2);
            if (pair != u"11" && pair != u"13")
                return false; // a number such as 25 is no chord
        }
        std::copy(buffer.begin() + qsizetype(found + token.size()), buffer.begin() + length,
                  buffer.begin() + qsizetype(found));
        length -= qsizetype(token.size());
    }
    if (length == 0)
        return true;
    return length == 1 && (buffer[0] == u'-' || buffer[0] == u'+' || buffer[0] == u'b' || buffer[0] == u'#');
}

bool TranspIsArticleA(QStringView text, qsizetype position)
{
    return position + 2 < text.size() && text[position] == u'A' && text[position + 1] == u' ' &&
           text[position + 2] >= u'a' && text[position + 2] <= u'z';
}

QString TranspUpcaseBassLetters(const QString &text)
{
    QString result = text;
    const qsizetype n = text.size();
    for (qsizetype i = 1; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'c' || c > u'h' || text[i - 1] != u'/' || !IsLoneBass(text, i) || !FollowsChordOrBlank(text, i - 1))
            continue;
        result[i] = QChar(char16_t(c - u'a' + u'A')); // detaches only when a bass is found
    }
    return result;
}

QString TransposeText(const QString &text, int offset, TSpelling spelling)
{
    const QString work = TranspUpcaseBassLetters(text);
    const QStringView view(work);
    const qsizetype n = view.size();
    const char16_t *s = reinterpret_cast<const char16_t *>(work.constData());

    QString out;
    out.reserve(n + n / 16);
    qsizetype copied = 0; // characters of work already in out
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = s[i];
        if (!IsRootLetter(c) || (i > 0 && IsLatinLetter(s[i - 1])) || (c == u'A' && TranspIsArticleA(view, i))) {
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < n && !IsDelimiter(s[end]) && end - i - 1 <= MaxSuffixLength)
            ++end;
        if (!TranspIsChordSuffix(view.mid(i + 1, end - i - 1))) {
            ++i;
            continue;
        }
        const qsizetype rootLength = (i + 1 < n && (s[i + 1] == u'b' || s[i + 1] == u'#')) ? 2 : 1;
        const int number = TranspNoteIndex(view.mid(i, rootLength), spelling.notation);
        out.append(view.mid(copied, i - copied));
        out.append(TranspNoteName(number, offset, spelling));
        copied = i + rootLength;
        // A suffix holds no root letter, so the scan goes on after it.
        i = end;
    }
    if (copied == 0)
        return work;
    out.append(view.mid(copied));
    return out;
}

qsizetype MovedPosition(QStringView before, QStringView after, qsizetype position)
{
    qsizetype from = 0, to = 0;
    while (from < before.size() && to < after.size()) {
        qsizetype fromEnd = from, toEnd = to;
        while (fromEnd < before.size() && !before[fromEnd].isSpace())
            ++fromEnd;
        while (toEnd < after.size() && !after[toEnd].isSpace())
            ++toEnd;
        if (position <= fromEnd) {
            const qsizetype into = position - from;
            return into == fromEnd - from ? toEnd : to + std::min(into, toEnd - to);
        }
        // The spaces after the word, the same in both texts.
        from = fromEnd;
        to = toEnd;
        while (from < before.size() && to < after.size() && before[from].isSpace() && before[from] == after[to]) {
            if (position == from)
                return to;
            ++from;
            ++to;
        }
        if (from < before.size() && before[from].isSpace())
            break; // not the same text around the words: keep the number
    }
    if (from == before.size() && position >= from)
        return after.size();
    return std::min(position, after.size());
}

} // namespace UnitTransp
