#include "sysutil/OsUnicode.h"

#include <QChar>

quint16 CharTypeOf(char16_t c)
{
    const QChar ch(c);
    const QChar::Category category = ch.category();
    quint16 type = 0;
    if (ch.isUpper())
        type |= C1_UPPER;
    if (ch.isLower())
        type |= C1_LOWER;
    if (category == QChar::Number_DecimalDigit)
        type |= C1_DIGIT;
    if (ch.isSpace())
        type |= C1_SPACE;
    if (ch.isPunct() || ch.isSymbol())
        type |= C1_PUNCT;
    if (category == QChar::Other_Control)
        type |= C1_CNTRL;
    if (c == u'\t' || category == QChar::Separator_Space)
        type |= C1_BLANK;
    if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))
        type |= C1_XDIGIT;
    if (ch.isLetter())
        type |= C1_ALPHA;
    if (category != QChar::Other_NotAssigned)
        type |= C1_DEFINED;
    return type;
}

namespace {

struct TUnicodeTables
{
    std::vector<quint16> Types = std::vector<quint16>(65536);
    std::vector<char16_t> Lower = std::vector<char16_t>(65536);
    std::vector<char16_t> Upper = std::vector<char16_t>(65536);
    std::vector<char16_t> Swapped = std::vector<char16_t>(65536);
};

const TUnicodeTables &Tables()
{
    static const TUnicodeTables tables = [] {
        TUnicodeTables t;
        for (char32_t i = 0; i < 65536; ++i) {
            const char16_t c = char16_t(i);
            // A code unit whose case partner lies outside the 16-bit range keeps itself.
            const char32_t lower = QChar::toLower(i), upper = QChar::toUpper(i);
            t.Types[i] = CharTypeOf(c);
            t.Lower[i] = lower < 65536 ? char16_t(lower) : c;
            t.Upper[i] = upper < 65536 ? char16_t(upper) : c;
            t.Swapped[i] = (t.Types[i] & C1_UPPER) ? t.Lower[i]
                           : (t.Types[i] & C1_LOWER) ? t.Upper[i]
                                                     : c;
        }
        return t;
    }();
    return tables;
}

} // namespace

const std::vector<quint16> &UnicodeCharTypes()
{
    return Tables().Types;
}

char16_t UnicodeCharLower(char16_t c)
{
    return Tables().Lower[c];
}

char16_t UnicodeCharUpper(char16_t c)
{
    return Tables().Upper[c];
}

char16_t UnicodeCharSwapCase(char16_t c)
{
    return Tables().Swapped[c];
}

bool UnicodeCharIsUpper(char16_t c)
{
    return (Tables().Types[c] & C1_UPPER) != 0;
}

bool UnicodeCharIsLower(char16_t c)
{
    return (Tables().Types[c] & C1_LOWER) != 0;
}
