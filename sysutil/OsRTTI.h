#pragma once
// Type information over Qt's meta-object system: typed views of a type record, readable
// descriptions and source-like declarations, and set values to and from text.
//
// A set is an enumeration (or an integer range) plus a bit set indexed by the element's ordinal
// less the element type's lowest value; Qt's flags (masks joined with "|") are not sets.
#include "sysutil/OsBase.h"
#include "sysutil/OsSysUtils.h"

#include <QMetaEnum>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>
#include <QMetaType>
#include <QMap>
#include <QStringList>
#include <QtGlobal>
#include <memory>
#include <type_traits>

enum TTypeKind {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString,
    tkSet,
    tkClass,
    tkMethod,
    tkWChar,
    tkLString,
    tkWString,
    tkVariant,
    tkArray,
    tkRecord,
    tkInterface,
    tkInt64,
    tkDynArray,
    tkUString,
};

enum TOrdinalType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
// Only the first two exist in Qt.
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };
enum TMethodKind { mkProcedure, mkFunction };

struct TTypeInfo;
using PTypeInfo = const TTypeInfo *;

// The type record. Records of Qt's types live as long as the process; sets and sub-ranges are
// made at run time (see CreateSetTypeInfo).
struct TTypeInfo
{
    TTypeKind Kind = tkUnknown;
    QString Name;
    QMetaType MetaType;
    // Ordinals (integer, char, wide char, enumeration, set): ordinal type and range. An
    // unsigned Int64 keeps its range in the unsigned fields.
    TOrdinalType OrdType = otSLong;
    qint64 MinValue = 0;
    qint64 MaxValue = 0;
    bool Unsigned64 = false;
    // Enumerations: the names by ordinal (a Qt enum may leave gaps).
    QMap<qint64, QString> Names;
    // Enumeration sub-range: its base; set: its element type; dynamic array: its element type.
    PTypeInfo BaseType = nullptr;
    TFloatType FloatType = ftDouble;
    const QMetaObject *MetaObject = nullptr; // class
    QMetaMethod Method;                      // method
    int ElementSize = 0;                     // dynamic array
    bool ElementsNeedCleanup = false;
    int VarType = 0;
    QString UnitName;
};

// Records of Qt's types.
PTypeInfo TypeInfoOf(QMetaType type);
PTypeInfo TypeInfoOf(const QMetaEnum &enumerator);
PTypeInfo TypeInfoOf(const QMetaObject *metaObject);
PTypeInfo TypeInfoOf(const QMetaMethod &method);

template <typename E>
PTypeInfo EnumTypeInfo()
{
    return TypeInfoOf(QMetaEnum::fromType<E>());
}

// A dynamic array of T (any container Qt can iterate, e.g. QList<int>).
PTypeInfo DynArrayTypeInfo(QMetaType arrayType, QMetaType elementType);
template <typename C>
PTypeInfo DynArrayTypeInfo()
{
    return DynArrayTypeInfo(QMetaType::fromType<C>(),
                            QMetaType::fromType<typename C::value_type>());
}

// Records made at run time, counted: every Create takes one reference, ReleaseTypeInfo gives
// one back and frees the record (and its own reference to its base) at 0.
// A set of ElementType (an ordinal of at most 256 values); raises EOsRTTIError otherwise.
PTypeInfo CreateSetTypeInfo(PTypeInfo ElementType, const QString &Name);
// Base's values Low..High under a name of their own.
PTypeInfo CreateSubRangeTypeInfo(PTypeInfo Base, qint64 Low, qint64 High, const QString &Name);
void ReleaseTypeInfo(PTypeInfo Info);
// The set of E, named after it ("TColor" gives "TColorSet"), made once and kept.
template <typename E>
PTypeInfo SetTypeInfo()
{
    static const PTypeInfo info =
        CreateSetTypeInfo(EnumTypeInfo<E>(), EnumTypeInfo<E>()->Name + QLatin1String("Set"));
    return info;
}

QString TypeKindName(TTypeKind kind);
QString OrdinalTypeName(TOrdinalType type);

// Takes text and whole lines.
class IOsInfoWriter
{
public:
    virtual ~IOsInfoWriter() = default;
    virtual void Write(const QString &text) = 0;
    virtual void Writeln(const QString &text = QString()) = 0;
};

// Collects what is written as lines.
class TOsInfoLinesWriter : public IOsInfoWriter
{
public:
    void Write(const QString &text) override { FPending += text; }
    void Writeln(const QString &text = QString()) override;
    // The lines so far, a started line included.
    QStringList Lines() const;

private:
    QStringList FLines;
    QString FPending;
};

class TOsTypeInfo;
using IOsTypeInfo = std::shared_ptr<TOsTypeInfo>;

class TOsTypeInfo
{
public:
    explicit TOsTypeInfo(PTypeInfo ATypeInfo) : FTypeInfo(ATypeInfo) {}
    virtual ~TOsTypeInfo() = default;

    QString Name() const { return FTypeInfo->Name; }
    PTypeInfo TypeInfo() const { return FTypeInfo; }
    const TTypeInfo &TypeData() const { return *FTypeInfo; }
    TTypeKind TypeKind() const { return FTypeInfo->Kind; }

    virtual void WriteDescription(IOsInfoWriter &Dest) const;
    virtual void WriteDeclaration(IOsInfoWriter &Dest) const;

protected:
    PTypeInfo FTypeInfo;
};

class TOsOrdinalTypeInfo : public TOsTypeInfo
{
public:
    using TOsTypeInfo::TOsTypeInfo;
    TOrdinalType OrdinalType() const { return FTypeInfo->OrdType; }
    void WriteDescription(IOsInfoWriter &Dest) const override;
};

class TOsOrdinalRangeTypeInfo : public TOsOrdinalTypeInfo
{
public:
    using TOsOrdinalTypeInfo::TOsOrdinalTypeInfo;
    qint64 MinValue() const { return FTypeInfo->MinValue; }
    qint64 MaxValue() const { return FTypeInfo->MaxValue; }
    void WriteDescription(IOsInfoWriter &Dest) const override;
    void WriteDeclaration(IOsInfoWriter &Dest) const override;
};

class TOsEnumerationTypeInfo : public TOsOrdinalRangeTypeInfo
{
public:
    using TOsOrdinalRangeTypeInfo::TOsOrdinalRangeTypeInfo;
    // The type itself when it is its own base.
    PTypeInfo BaseType() const;
    // The name of an ordinal value; "" outside the range or in a gap.
    QString Names(qint64 Ordinal) const;
    // The ordinal of a name (without regard to case), or MinValue() - 1 when absent.
    qint64 IndexOfName(const QString &Name) const;
    void WriteDescription(IOsInfoWriter &Dest) const override;
    void WriteDeclaration(IOsInfoWriter &Dest) const override;
};

class TOsSetTypeInfo : public TOsOrdinalTypeInfo
{
public:
    using TOsOrdinalTypeInfo::TOsOrdinalTypeInfo;
    std::shared_ptr<TOsOrdinalTypeInfo> BaseType() const;
    // The elements present, in order; runs of two or more as "first .. last" with WantRanges.
    void GetAsList(const TOsBitSet &Value, bool WantRanges, QStringList &List) const;
    // Value from names, integers and ranges "a..c"; raises EOsRTTIError on an unknown one.
    void SetAsList(TOsBitSet &Value, const QStringList &List) const;
    void WriteDescription(IOsInfoWriter &Dest) const override;
    void WriteDeclaration(IOsInfoWriter &Dest) const override;
};

class TOsFloatTypeInfo : public TOsTypeInfo
{
public:
    using TOsTypeInfo::TOsTypeInfo;
    TFloatType FloatType() const { return FTypeInfo->FloatType; }
    void WriteDescription(IOsInfoWriter &Dest) const override;
    void WriteDeclaration(IOsInfoWriter &Dest) const override;
};

class TOsInt64TypeInfo : public TOsTypeInfo
{
public:
    using TOsTypeInfo::TOsTypeInfo;
    qint64 MinValue() const { return FTypeInfo->MinValue; }
    qint64 MaxValue() const { return FTypeInfo->MaxValue; }
    void WriteDescription(IOsInfoWriter &Dest) const override;
    void WriteDeclaration(IOsInfoWriter &Dest) const override;
};

class TOsDynArrayTypeInfo : public TOsTypeInfo
{
public:
    using TOsTypeInfo::TOsTypeInfo;
    int ElementSize() const { return FTypeInfo->ElementSize; }
    PTypeInfo ElementType() const { return FTypeInfo->BaseType; }
    bool ElementsNeedCleanup() const { return FTypeInfo->ElementsNeedCleanup; }
    int VarType() const { return FTypeInfo->VarType; }
    QString UnitName() const { return FTypeInfo->UnitName; }
    void WriteDescription(IOsInfoWriter &Dest) const override;
    void WriteDeclaration(IOsInfoWriter &Dest) const override;
};

// One property of a class. Qt reads and writes every property through the class's static
// meta-call, so read and write are always that static method; index and default do not exist.
class TOsPropInfo
{
public:
    explicit TOsPropInfo(const QMetaProperty &property) : FProperty(property) {}
    QString Name() const { return QString::fromLatin1(FProperty.name()); }
    PTypeInfo PropType() const { return TypeInfoOf(FProperty.metaType()); }
    bool HasRead() const { return FProperty.isReadable(); }
    bool HasWrite() const { return FProperty.isWritable(); }
    const void *AccessMethod() const;
    bool HasIndex() const { return false; }
    bool HasDefault() const { return false; }
    bool IsStored() const { return FProperty.isStored(); }
    int NameIndex() const { return FProperty.propertyIndex(); }

private:
    QMetaProperty FProperty;
};

class TOsClassTypeInfo : public TOsTypeInfo
{
public:
    using TOsTypeInfo::TOsTypeInfo;
    const QMetaObject *ClassRef() const { return FTypeInfo->MetaObject; }
    PTypeInfo Parent() const;
    int PropertyCount() const { return FTypeInfo->MetaObject->propertyCount(); }
    // Own properties only, in declaration order.
    std::vector<std::shared_ptr<TOsPropInfo>> Properties() const;
    QString UnitName() const { return FTypeInfo->UnitName; }
    void WriteDescription(IOsInfoWriter &Dest) const override;
    void WriteDeclaration(IOsInfoWriter &Dest) const override;
};

enum TParamFlag { pfVar = 1 };

class TOsEventParamInfo
{
public:
    TOsEventParamInfo(int flags, const QString &name, const QString &typeName)
        : FFlags(flags), FName(name), FTypeName(typeName)
    {
    }
    int Flags() const { return FFlags; }
    QString Name() const { return FName; }
    QString TypeName() const { return FTypeName; }

private:
    int FFlags;
    QString FName;
    QString FTypeName;
};

class TOsEventTypeInfo : public TOsTypeInfo
{
public:
    using TOsTypeInfo::TOsTypeInfo;
    TMethodKind MethodKind() const;
    int ParameterCount() const { return FTypeInfo->Method.parameterCount(); }
    TOsEventParamInfo Parameters(int Index) const;
    QString ResultTypeName() const;
    void WriteDescription(IOsInfoWriter &Dest) const override;
    void WriteDeclaration(IOsInfoWriter &Dest) const override;
};

// The wrapper made for the record's kind.
IOsTypeInfo TypeInfoObjectForKind(PTypeInfo ATypeInfo);

// The name of an enumeration value, read with the width and sign of the type's ordinal type;
// "Value out of range (ordinal=n)." when it names no element.
QString EnumValueAsText(PTypeInfo ATypeInfo, qint64 Value);
// "a, b" or "[a, b]"; the empty set gives "" or "[]".
QString SetValueAsText(PTypeInfo ATypeInfo, const TOsBitSet &Value, bool WantBrackets);
// Reads "a, b", "[a, b]" or ranges "a..c" into Value; raises EOsRTTIError on an unknown name.
void SetValueFromText(PTypeInfo ATypeInfo, TOsBitSet &Value, const QString &Text);
