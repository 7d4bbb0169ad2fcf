#include "platform/text/AnsiText.h"

#include <gtest/gtest.h>

using namespace AnsiText;

TEST(AnsiText, DetectsEncoding)
{
    struct { QByteArray bytes; TEncoding expected; } cases[] = {
        {"plain ascii", TEncoding::Utf8},
        {"\xEF\xBB\xBFtext", TEncoding::Utf8Bom},
        {"\xFF\xFEt\0", TEncoding::Utf16LE},
        {"\xFE\xFF\0t", TEncoding::Utf16BE},
        {"\xD0\xBF\xD1\x80\xD0\xB8", TEncoding::Utf8},        // "при"
        {"\xEF\xF0\xE8", TEncoding::Windows1251},              // "при" in 1251
        {"\xC3", TEncoding::Windows1251},                      // truncated sequence
        {"\xC0\x80", TEncoding::Windows1251},                  // overlong NUL
        {"\xED\xA0\x80", TEncoding::Windows1251},              // surrogate
        {"\xF4\x90\x80\x80", TEncoding::Windows1251},          // above U+10FFFF
        {"\xF0\x9F\x8E\xB8", TEncoding::Utf8},                 // guitar emoji
    };
    for (const auto &c : cases)
        EXPECT_EQ(DetectEncoding(c.bytes), c.expected) << c.bytes.toHex().constData();
}

TEST(AnsiText, Windows1251RoundTripsEveryByte)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = FromWindows1251(all);
    EXPECT_EQ(ToWindows1251(text), all);
    EXPECT_EQ(text[0xC0], QChar(0x0410)); // А
    EXPECT_EQ(text[0xFF], QChar(0x044F)); // я
    EXPECT_EQ(text[0xA8], QChar(0x0401)); // Ё
    EXPECT_EQ(text[0xB9], QChar(0x2116)); // №
    EXPECT_EQ(ToWindows1251(QStringLiteral("A\u00E9\u4E2D")), QByteArray("A??"));
}

TEST(AnsiText, DecodeDropsTheByteOrderMark)
{
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF[C]"), QStringLiteral("[C]"));
    EXPECT_EQ(DecodeText(QByteArray("\xFF\xFE[\0C\0]\0", 8)), QStringLiteral("[C]"));
    EXPECT_EQ(DecodeText(""), QString());
}

TEST(AnsiText, DecodeKeepsAZeroWidthNoBreakSpaceAfterTheMark)
{
    const struct
    {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx"), QStringLiteral("\uFEFFx")},
        {QByteArray("\xFF\xFE\xFF\xFEx\0", 6), QStringLiteral("\uFEFFx")},
        {QByteArray("\xFE\xFF\xFE\xFF\0x", 6), QStringLiteral("\uFEFFx")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecodeText(c.bytes), c.text);
}
