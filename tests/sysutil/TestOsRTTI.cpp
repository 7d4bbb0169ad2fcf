#include "sysutil/OsRTTI.h"

#include <QObject>
#include <gtest/gtest.h>

namespace RttiSample {
Q_NAMESPACE
enum TColor { clRed, clGreen, clBlue, clYellow, clBlack };
Q_ENUM_NS(TColor)
enum TGapped { gA = -1, gB = 1, gC = 2 };
Q_ENUM_NS(TGapped)
} // namespace RttiSample

class TRttiSample : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(QString Caption READ Caption STORED false)

public:
    int Width() const { return 0; }
    void SetWidth(int) {}
    QString Caption() const { return {}; }

signals:
    void Changed(int amount, QString &text);
};

using namespace RttiSample;

namespace {

TOsBitSet Bits(std::initializer_list<int> indexes)
{
    TOsBitSet bits;
    for (int i : indexes)
        SetBitInSet(bits, i);
    return bits;
}

QStringList Written(PTypeInfo info, bool declaration)
{
    TOsInfoLinesWriter writer;
    if (declaration)
        TypeInfoObjectForKind(info)->WriteDeclaration(writer);
    else
        TypeInfoObjectForKind(info)->WriteDescription(writer);
    return writer.Lines();
}

} // namespace

TEST(OsRTTI, SetReadsNamesRangesAndBrackets)
{
    const PTypeInfo colors = SetTypeInfo<TColor>();
    struct
    {
        QString text;
        TOsBitSet expected;
    } cases[] = {
        {"[clRed, clBlue]", Bits({0, 2})},
        {"clRed,clBlue", Bits({0, 2})},
        {"  clblue ,  CLRED  ", Bits({0, 2})},
        {"clGreen..clYellow", Bits({1, 2, 3})},
        {"[clRed .. clGreen, clBlack]", Bits({0, 1, 4})},
        {"clBlue..clGreen", Bits({})},
        {"[]", Bits({})},
        {"", Bits({})},
        {",,clBlack,", Bits({4})},
        {" [clGreen] ", Bits({1})},
    };
    for (const auto &c : cases) {
        TOsBitSet value = Bits({3});
        SetValueFromText(colors, value, c.text);
        EXPECT_EQ(value, c.expected) << c.text.toStdString();
    }
}

TEST(OsRTTI, SetRejectsUnknownNamesAndKeepsTheOldValue)
{
    const PTypeInfo colors = SetTypeInfo<TColor>();
    const char *texts[] = {"clRed, x", "clRed..x", "[clRed, clPink]", "3"};
    const char *unknown[] = {"x", "x", "clPink", "3"};
    for (size_t i = 0; i < std::size(texts); ++i) {
        TOsBitSet value = Bits({4});
        try {
            SetValueFromText(colors, value, texts[i]);
            ADD_FAILURE() << texts[i];
        } catch (const EOsRTTIError &e) {
            EXPECT_EQ(e.Message(), QString("Unknown identifier '%1'.").arg(unknown[i]));
        }
        EXPECT_EQ(value, Bits({4}));
    }
}

TEST(OsRTTI, SetWritesNamesInElementOrder)
{
    const PTypeInfo colors = SetTypeInfo<TColor>();
    const TOsSetTypeInfo info(colors);
    struct
    {
        TOsBitSet value;
        QString plain, bracketed;
        QStringList ranges;
    } cases[] = {
        {Bits({}), "", "[]", {}},
        {Bits({2, 0}), "clRed, clBlue", "[clRed, clBlue]", {"clRed", "clBlue"}},
        {Bits({0, 1, 2, 4}), "clRed, clGreen, clBlue, clBlack", "[clRed, clGreen, clBlue, clBlack]",
         {"clRed .. clBlue", "clBlack"}},
        {Bits({3, 4, 40}), "clYellow, clBlack", "[clYellow, clBlack]", {"clYellow .. clBlack"}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SetValueAsText(colors, c.value, false), c.plain);
        EXPECT_EQ(SetValueAsText(colors, c.value, true), c.bracketed);
        QStringList list;
        info.GetAsList(c.value, true, list);
        EXPECT_EQ(list, c.ranges);
    }
}

TEST(OsRTTI, IntegerSetsUseNumbersOffsetByTheLowestValue)
{
    const PTypeInfo digits = CreateSubRangeTypeInfo(TypeInfoOf(QMetaType::fromType<int>()), 1, 9,
                                                    "TDigit");
    const PTypeInfo set = CreateSetTypeInfo(digits, "TDigits");
    TOsBitSet value;
    SetValueFromText(set, value, "1, 3..5, 9");
    EXPECT_EQ(value, Bits({0, 2, 3, 4, 8}));
    QStringList list;
    TOsSetTypeInfo(set).GetAsList(value, true, list);
    EXPECT_EQ(list, QStringList({"1", "3 .. 5", "9"}));
    EXPECT_THROW(SetValueFromText(set, value, "10"), EOsRTTIError);
    EXPECT_THROW(SetValueFromText(set, value, "0"), EOsRTTIError);
    EXPECT_THROW(CreateSetTypeInfo(TypeInfoOf(QMetaType::fromType<int>()), "TTooBig"),
                 EOsRTTIError);
    ReleaseTypeInfo(set);
    ReleaseTypeInfo(digits);
}

TEST(OsRTTI, EnumValuesOutsideTheRangeAreReported)
{
    struct
    {
        PTypeInfo type;
        qint64 value;
        QString expected;
    } cases[] = {
        {EnumTypeInfo<TColor>(), 2, "clBlue"},
        {EnumTypeInfo<TColor>(), 5, "Value out of range (ordinal=5)."},
        {EnumTypeInfo<TColor>(), 258, "clBlue"}, // read as a byte, as the type is stored
        {EnumTypeInfo<TColor>(), -1, "Value out of range (ordinal=255)."},
        {EnumTypeInfo<TGapped>(), -1, "gA"},
        {EnumTypeInfo<TGapped>(), 0, "Value out of range (ordinal=0)."},
        {TypeInfoOf(QMetaType::fromType<bool>()), 1, "True"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EnumValueAsText(c.type, c.value), c.expected) << c.value;
}

TEST(OsRTTI, WrapsEveryKindQtCanDescribe)
{
    struct
    {
        PTypeInfo type;
        TTypeKind kind;
        QString declaration;
    } cases[] = {
        {EnumTypeInfo<TColor>(), tkEnumeration,
         "TColor = (clRed, clGreen, clBlue, clYellow, clBlack); // otUByte"},
        {SetTypeInfo<TColor>(), tkSet, "TColorSet = set of TColor; // otUByte"},
        {TypeInfoOf(QMetaType::fromType<short>()), tkInteger, "short = -32768..32767; // otSWord"},
        {TypeInfoOf(QMetaType::fromType<char>()), tkChar, "char = #0..#255; // otUByte"},
        {TypeInfoOf(QMetaType::fromType<double>()), tkFloat, "double = type Double;"},
        {TypeInfoOf(QMetaType::fromType<qint64>()), tkInt64,
         "qlonglong = -9223372036854775808 .. 9223372036854775807;"},
        {TypeInfoOf(QMetaType::fromType<quint64>()), tkInt64,
         "qulonglong = 0 .. 18446744073709551615;"},
        {DynArrayTypeInfo<QList<int>>(), tkDynArray, "QList<int> = array of int; // Unit "},
        {TypeInfoOf(QMetaType::fromType<QString>()), tkUString,
         "// Declaration for 'QString' not supported."},
    };
    EXPECT_EQ(TypeInfoOf(QMetaType::fromType<TColor>()), EnumTypeInfo<TColor>());
    for (const auto &c : cases) {
        EXPECT_EQ(TypeInfoObjectForKind(c.type)->TypeKind(), c.kind) << c.declaration.toStdString();
        EXPECT_EQ(Written(c.type, true), QStringList{c.declaration});
    }
}

TEST(OsRTTI, SubRangeOfAnEnumerationKeepsItsBase)
{
    const PTypeInfo warm =
        CreateSubRangeTypeInfo(EnumTypeInfo<TColor>(), clGreen, clYellow, "TWarm");
    EXPECT_EQ(Written(warm, true), QStringList{"TWarm = clGreen .. clYellow; // otUByte"});
    const QStringList description = Written(warm, false);
    EXPECT_EQ(description.mid(3), QStringList({"Ordinal type: otUByte", "Min value: 1",
                                               "Max value: 3", "Names: (clGreen, clBlue, clYellow)",
                                               "Based on: TColor"}));
    EXPECT_EQ(description.first(2), QStringList({"Name: TWarm", "Type kind: tkEnumeration"}));
    EXPECT_TRUE(description[2].startsWith("Type info: "));
    const PTypeInfo set = CreateSetTypeInfo(warm, "TWarmSet");
    TOsBitSet value;
    SetValueFromText(set, value, "clBlue");
    EXPECT_EQ(value, Bits({1}));
    EXPECT_THROW(SetValueFromText(set, value, "clRed"), EOsRTTIError);
    EXPECT_THROW(CreateSubRangeTypeInfo(EnumTypeInfo<TColor>(), clRed, 7, "TBad"), EOsRTTIError);
    ReleaseTypeInfo(warm); // the set still holds it
    EXPECT_EQ(SetValueAsText(set, value, true), "[clBlue]");
    ReleaseTypeInfo(set);
}

TEST(OsRTTI, ClassAndMethodDeclarations)
{
    const PTypeInfo sample = TypeInfoOf(&TRttiSample::staticMetaObject);
    const QStringList declaration = Written(sample, true);
    ASSERT_EQ(declaration.size(), 5);
    EXPECT_EQ(declaration[0], "TRttiSample = class(QObject) // unit ");
    EXPECT_EQ(declaration[1], "published");
    EXPECT_TRUE(declaration[2].startsWith("  property Width: int read [static method $"));
    EXPECT_TRUE(declaration[2].endsWith("] stored = True;"));
    EXPECT_TRUE(declaration[3].contains("property Caption: QString read"));
    EXPECT_FALSE(declaration[3].contains(" write "));
    EXPECT_TRUE(declaration[3].endsWith(" stored = False;"));
    EXPECT_EQ(declaration[4], "end;");
    EXPECT_EQ(Written(TypeInfoOf(&QObject::staticMetaObject), true).first(),
              "QObject = class // unit ");

    const QMetaObject &meta = TRttiSample::staticMetaObject;
    const PTypeInfo changed = TypeInfoOf(meta.method(meta.indexOfSignal("Changed(int,QString&)")));
    EXPECT_EQ(Written(changed, true),
              QStringList{"Changed = procedure(amount: int; var text: QString) of object;"});
    EXPECT_EQ(Written(changed, false).mid(3),
              QStringList({"Method kind: mkProcedure", "Parameter count: 2", "Return type: "}));
}

#include "TestOsRTTI.moc"
