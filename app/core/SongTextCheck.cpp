#include "app/core/SongTextCheck.h"

namespace SongTextCheck {

namespace {

bool IsLatinLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Letters that a chord name never holds, so they speak for the language of the words.
bool CountsAsLatin(char16_t c)
{
    if (c >= u'I' && c <= u'Z')
        return c != u'M';
    switch (c) {
    case u'c': case u'f': case u'h': case u'k': case u'l': case u'o':
    case u'p': case u'q': case u't': case u'w': case u'x': case u'y':
        return true;
    default:
        return false;
    }
}

bool CountsAsCyrillic(char16_t c)
{
    return c >= 0x0410 && c <= 0x044F;
}

// What may follow the H of a chord name.
bool IsHChordFollower(QStringView after)
{
    if (after.isEmpty())
        return false;
    const char16_t a1 = after[0].unicode();
    if (after.startsWith(u"add") || after.startsWith(u"aug") || after.startsWith(u"11") || after.startsWith(u"13"))
        return true;
    switch (a1) {
    case u'm': case u's': case u'd': case u'b': case u'M': case u'+': case u'-':
    case u'0': case u'v': case u'7': case u'9': case u'6': case u'(': case u']':
    case u'/': case u'\t': case u'\r': case u'\n': case u' ': case u')': case u'5':
    case u'2': case u'4':
        return true;
    default:
        return false;
    }
}

} // namespace

TNotationQuestion CheckSongText(QStringView text, int notation)
{
    qsizetype latin = 0;
    qsizetype cyrillic = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        const char16_t p = i > 0 ? text[i - 1].unicode() : u'\0';
        if (c == u'H' && !IsLatinLetter(p) && IsHChordFollower(text.mid(i + 1, 3)))
            return notation == 1 ? TNotationQuestion::SwitchToEast : TNotationQuestion::None;
        if (c == u'b' && p == u'B')
            return notation == 0 ? TNotationQuestion::SwitchToWest : TNotationQuestion::None;
        latin += CountsAsLatin(c);
        cyrillic += CountsAsCyrillic(c);
    }
    if (latin > cyrillic && notation == 0)
        return TNotationQuestion::NonRussian;
    return TNotationQuestion::None;
}

} // namespace SongTextCheck
