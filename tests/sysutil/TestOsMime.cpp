#include "sysutil/OsMime.h"

#include <QList>
#include <QRandomGenerator>
#include <gtest/gtest.h>

TEST(OsMime, EncodesWithPaddingAndLineBreaks)
{
    const QByteArray line57(57, 'x'), line58(58, 'x');
    const QByteArray x76 = QByteArray("eHh4").repeated(19);
    struct
    {
        QByteArray input;
        QByteArray expected;
    } cases[] = {
        {"", ""},
        {"a", "YQ=="},
        {"ab", "YWI="},
        {"abc", "YWJj"},
        {QByteArray("\xff\xfe\x00\x01", 4), "//4AAQ=="},
        {line57, x76},
        {line58, x76 + "\r\neA=="},
        {QByteArray(114, 'x'), x76 + "\r\n" + x76},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Base64EncodeText(c.input), c.expected) << c.input.size();
}

TEST(OsMime, LengthsFollowTheLineLayout)
{
    struct
    {
        qsizetype n, encoded, bound;
    } cases[] = {
        {-1, -1, 0}, {0, 0, 0}, {1, 4, 3}, {3, 4, 3}, {4, 8, 3},
        {57, 76, 45}, {58, 82, 45}, {114, 154, 87}, {115, 160, 87},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Base64EncodedLength(c.n), c.encoded) << c.n;
        EXPECT_EQ(Base64DecodedLengthBound(c.n), c.bound) << c.n;
    }
}

TEST(OsMime, DecoderSkipsEverythingOutsideTheAlphabet)
{
    struct
    {
        QByteArray input;
        QByteArray expected;
    } cases[] = {
        {"", ""},
        {"YWJj", "abc"},
        {"Y\r\nW J\tj", "abc"},
        {"=Y=W=J=j=", "abc"},
        {"YWI", "ab"},      // three characters: two bytes
        {"YQ", "a"},        // two: one byte
        {"YWJjZ", "abc"},   // a lone fifth character adds nothing
        {"Y", ""},
        {"!!!\x80\xff", ""},
        {"YWJj\0YWJj", "abcabc"},
    };
    cases[9].input = QByteArray("YWJj\0YWJj", 9);
    for (const auto &c : cases)
        EXPECT_EQ(Base64DecodeText(c.input), c.expected) << c.input.toStdString();
}

TEST(OsMime, DecoderStateCarriesAcrossChunks)
{
    const QByteArray text = "YW\r\nJjZA";
    quint8 out[16];
    int charsNeeded = 4;
    quint32 pending = 0;
    qsizetype written = 0;
    for (char c : text)
        written += Base64DecodeChunk(&c, 1, out + written, charsNeeded, pending);
    written += Base64DecodeFinish(out + written, pending, charsNeeded);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(out), written), "abcd");
}

TEST(OsMime, RoundTripsEveryLengthAndAgreesWithQt)
{
    QRandomGenerator random(20261208);
    for (int n = 0; n <= 300; ++n) {
        QByteArray data(n, Qt::Uninitialized);
        for (char &b : data)
            b = char(random.bounded(256));
        const QByteArray encoded = Base64EncodeText(data);
        ASSERT_EQ(encoded.size(), Base64EncodedLength(n)) << n;
        ASSERT_EQ(Base64DecodeText(encoded), data) << n;
        QByteArray joined = encoded;
        joined.replace("\r\n", "");
        ASSERT_EQ(joined, data.toBase64()) << n;
        const QList<QByteArray> lines = encoded.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i)
            ASSERT_EQ(lines[i].size(), i + 1 < lines.size() ? 77 : joined.size() - i * 76) << n;
    }
}

TEST(OsMime, WideTextGoesThroughTheAnsiCodePage)
{
    EXPECT_EQ(Base64EncodeText(QString::fromUtf8("Аб")), QByteArray("wOE="));
    EXPECT_EQ(Base64DecodeText(QString("wOE=")), QByteArray("\xC0\xE1"));
}
