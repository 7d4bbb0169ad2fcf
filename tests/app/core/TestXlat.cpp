#include "app/core/xlat.h"

#include "platform/text/AnsiText.h"

#include <gtest/gtest.h>

#include <set>

using namespace xlat;

namespace {

const QString Lower = QString::fromUtf8("абвгдежзийклмнопрстуфхцчшщъыьэюя");
const QString Upper = QString::fromUtf8("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");

// The code pages' own byte values of the alphabet, written out independently of the translator.
const unsigned char Koi8Lower[32] = {0xC1, 0xC2, 0xD7, 0xC7, 0xC4, 0xC5, 0xD6, 0xDA, 0xC9, 0xCA, 0xCB,
                                     0xCC, 0xCD, 0xCE, 0xCF, 0xD0, 0xD2, 0xD3, 0xD4, 0xD5, 0xC6, 0xC8,
                                     0xC3, 0xDE, 0xDB, 0xDD, 0xDF, 0xD9, 0xD8, 0xDC, 0xC0, 0xD1};

unsigned char RussianByte(QChar c, int codePage)
{
    const qsizetype lower = Lower.indexOf(c);
    const qsizetype upper = Upper.indexOf(c);
    switch (codePage) {
    case cpKoi8r:
        if (c == QChar(0x0451)) return 0xA3;
        if (c == QChar(0x0401)) return 0xB3;
        if (lower >= 0) return Koi8Lower[lower];
        if (upper >= 0) return Koi8Lower[upper] + 0x20;
        break;
    case cpCp866:
        if (c == QChar(0x0451)) return 0xF1;
        if (c == QChar(0x0401)) return 0xF0;
        if (upper >= 0) return 0x80 + upper;
        if (lower >= 0) return lower < 16 ? 0xA0 + lower : 0xE0 + lower - 16;
        break;
    default:
        return static_cast<unsigned char>(AnsiText::ToWindows1251(QString(c)).at(0));
    }
    return static_cast<unsigned char>(c.unicode());
}

QByteArray EncodeRussian(const QString &text, int codePage)
{
    QByteArray bytes;
    for (QChar c : text)
        bytes.append(static_cast<char>(RussianByte(c, codePage)));
    return bytes;
}

QByteArray EveryByte()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(static_cast<char>(b));
    return bytes;
}

const QString ShortText = QString::fromUtf8("Привет, мир");
const QString LongText = QString::fromUtf8(
    "Am              Dm\n"
    "Ой, то не вечер, то не вечер,\n"
    "E7                 Am\n"
    "Мне малым-мало спалось,\n"
    "Мне малым-мало спалось, ой, да во сне привиделось.\n"
    "Мне во сне привиделось, будто конь мой вороной\n"
    "Разыгрался, расплясался, разрезвился подо мной. Ёлка, ёж.\n");

} // namespace

TEST(Xlat, AlphabetTranslatesBetweenEveryPairOfCodePages)
{
    const QString alphabet = Upper + Lower + QString::fromUtf8("Ёё");
    for (int from : {cpKoi8r, cpWindows1251, cpCp866})
        for (int to : {cpKoi8r, cpWindows1251, cpCp866})
            EXPECT_EQ(XlatString(EncodeRussian(alphabet, from), from, to), EncodeRussian(alphabet, to))
                << from << " -> " << to;
    const QByteArray privet("\xD0\xD2\xC9\xD7\xC5\xD4");
    EXPECT_EQ(XlatString(privet, cpKoi8r, cpWindows1251), QByteArray("\xEF\xF0\xE8\xE2\xE5\xF2"));
}

TEST(Xlat, EveryByteSurvivesEveryRoundTrip)
{
    const QByteArray all = EveryByte();
    for (int from : {cpKoi8r, cpWindows1251, cpCp866})
        for (int to : {cpKoi8r, cpWindows1251, cpCp866}) {
            const QByteArray there = XlatString(all, from, to);
            std::set<unsigned char> distinct(there.begin(), there.end());
            EXPECT_EQ(distinct.size(), 256u) << from << " -> " << to;
            EXPECT_EQ(there.left(128), all.left(128));
            EXPECT_EQ(XlatString(there, to, from), all) << from << " -> " << to << " -> " << from;
            if (from == to) {
                EXPECT_EQ(there, all);
            }
        }
    // through all three and back
    QByteArray bytes = all;
    XlatInPlace(bytes, cpKoi8r, cpCp866);
    XlatInPlace(bytes, cpCp866, cpWindows1251);
    XlatInPlace(bytes, cpWindows1251, cpKoi8r);
    EXPECT_EQ(bytes, all);
    // an unknown code page changes nothing
    EXPECT_EQ(XlatString(all, cpKoi8r, 7), all);
    EXPECT_EQ(XlatString(QByteArray(), cpKoi8r, cpCp866), QByteArray());
}

TEST(Xlat, DetectsEachCodePage)
{
    for (const QString &text : {ShortText, LongText, LongText.repeated(200)}) {
        EXPECT_EQ(DetectCyrillicCodePage(EncodeRussian(text, cpKoi8r)), cpKoi8r) << text.size();
        EXPECT_EQ(DetectCyrillicCodePage(EncodeRussian(text, cpWindows1251)), cpWindows1251) << text.size();
        EXPECT_EQ(DetectCyrillicCodePage(EncodeRussian(text, cpCp866)), cpCp866) << text.size();
    }
    EXPECT_EQ(DetectCyrillicCodePage(QByteArray()), cpWindows1251);
    EXPECT_EQ(DetectCyrillicCodePage("Am Dm E7 plain ASCII"), cpWindows1251);
    // one letter each for KOI8-R (0xC1) and Windows-1251 (0xC8): a tie keeps Windows-1251
    EXPECT_EQ(DetectCyrillicCodePage("\xC1\xC8"), cpWindows1251);
    // CP866 ahead of Windows-1251 but behind KOI8-R
    EXPECT_EQ(DetectCyrillicCodePage("\x80\xC1\xC9"), cpKoi8r);
    // CP866 and KOI8-R tie ahead of Windows-1251
    EXPECT_EQ(DetectCyrillicCodePage("\x80\xC1"), cpCp866);
}

TEST(Xlat, SongFilesOpenByMarkThenUtf8ThenDetection)
{
    struct { QByteArray bytes; TSongEncoding encoding; } cases[] = {
        {QByteArray("\xEF\xBB\xBF") + LongText.toUtf8(), TSongEncoding::Utf8Bom},
        {LongText.toUtf8(), TSongEncoding::Utf8},
        {QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(LongText.utf16()), LongText.size() * 2),
         TSongEncoding::Utf16LE},
        {EncodeRussian(LongText, cpKoi8r), TSongEncoding::Koi8r},
        {EncodeRussian(ShortText, cpKoi8r), TSongEncoding::Koi8r},
        {EncodeRussian(LongText, cpWindows1251), TSongEncoding::Windows1251},
        {EncodeRussian(LongText, cpCp866), TSongEncoding::Cp866},
        {EncodeRussian(ShortText, cpCp866), TSongEncoding::Cp866},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(DetectSongEncoding(c.bytes), c.encoding) << int(c.encoding);
        const QString decoded = DecodeSongText(c.bytes);
        EXPECT_TRUE(decoded == LongText || decoded == ShortText) << int(c.encoding) << decoded.toStdString();
    }
    const QByteArray big("\xFE\xFF\x04\x10");
    EXPECT_EQ(DecodeSongText(big), QString::fromUtf8("А"));
    // empty lines only: no mark, plain text
    EXPECT_EQ(DecodeSongText("\n\n\r\n"), QString("\n\n\r\n"));
}

TEST(Xlat, SongsInKoi8rAndCp866KeepTheirSignsAndBoxes)
{
    struct { QByteArray bytes; TSongEncoding encoding; const char *expected; } cases[] = {
        {"\xF0\xC5\xD3\xCE\xD1 \xBF 1985\nF\x9C Am\x9A" "Dm \x82\x80\x83", TSongEncoding::Koi8r,
         "Песня © 1985\nF° Am\u00A0Dm ┌─┐"},
        {"\x8F\xA5\xE1\xAD\xEF \xFC" "5\nF\xF8 Am\xFF" "Dm \xDA\xC4\xBF", TSongEncoding::Cp866,
         "Песня №5\nF° Am\u00A0Dm ┌─┐"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecodeSongText(c.bytes, c.encoding), QString::fromUtf8(c.expected)) << int(c.encoding);
}

TEST(Xlat, SavedSongTextsReadBackUnchanged)
{
    const QString text = LongText + QString::fromUtf8("No-break\u00A0space, «кавычки» — тире");
    for (TSaveEncoding encoding : {TSaveEncoding::Utf8, TSaveEncoding::Utf16, TSaveEncoding::Windows1251})
        EXPECT_EQ(DecodeSongText(EncodeSongText(text, encoding)), text) << int(encoding);
    // A leading zero-width no-break space is no byte-order mark.
    for (TSaveEncoding encoding : {TSaveEncoding::Utf8, TSaveEncoding::Utf16})
        EXPECT_EQ(DecodeSongText(EncodeSongText(QStringLiteral("\uFEFFAm"), encoding)), QStringLiteral("\uFEFFAm"));
    EXPECT_TRUE(EncodeSongText(QStringLiteral("a"), TSaveEncoding::Utf16).startsWith("\xFF\xFE"));
    EXPECT_EQ(EncodeSongText(QString::fromUtf8("Am ♪"), TSaveEncoding::Windows1251), QByteArray("Am ?"));
}

TEST(Xlat, TellsSongTextsFromBinaryFiles)
{
    struct { QByteArray bytes; bool text; } cases[] = {
        {"Am  Dm  E\r\n\tмы поём\n", true},
        {"", true},
        {QByteArray("\xFF\xFE" "A\0m\0", 6), true},                  // UTF-16 holds NUL bytes
        {QByteArray("PK\x03\x04\0\0\x08\0", 8), false},              // an archive
        {QByteArray("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16), false},  // a picture
        {"\x01\x02\x03\x04\x05 text", false},                         // mostly control bytes
    };
    for (const auto &c : cases)
        EXPECT_EQ(xlat::LooksLikeText(c.bytes), c.text) << c.bytes.toHex().constData();
}
