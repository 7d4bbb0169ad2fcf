#include "sysutil/OsRTTI.h"

#include "sysutil/OsResources.h"
#include "sysutil/OsStrings.h"

#include <limits>
#include <map>
#include <mutex>

namespace {

// A set holds at most this many elements.
constexpr qint64 MaxSetElements = 256;

TOrdinalType OrdinalTypeForRange(qint64 low, qint64 high)
{
    if (low >= 0) {
        if (high <= 0xFF)
            return otUByte;
        if (high <= 0xFFFF)
            return otUWord;
        return otULong;
    }
    if (low >= -128 && high <= 127)
        return otSByte;
    if (low >= -32768 && high <= 32767)
        return otSWord;
    return otSLong;
}

bool IsOrdinalKind(TTypeKind kind)
{
    return kind == tkInteger || kind == tkChar || kind == tkWChar || kind == tkEnumeration;
}

QString Decimal(const TTypeInfo &info, qint64 value)
{
    return info.Unsigned64 ? QString::number(quint64(value)) : QString::number(value);
}

QString AddressText(const void *address)
{
    const int digits = int(sizeof(void *) * 2);
    return QStringLiteral("%1").arg(quintptr(address), digits, 16, QLatin1Char('0')).toUpper();
}

QString Rs(const char *text)
{
    return QString::fromLatin1(text);
}

// Every record lives here: Qt's types for the whole process, run-time records counted.
struct TTypeRecords
{
    std::recursive_mutex Lock;
    std::map<int, std::unique_ptr<TTypeInfo>> ByMetaType;
    std::map<QByteArray, std::unique_ptr<TTypeInfo>> Enums;
    std::map<const QMetaObject *, std::unique_ptr<TTypeInfo>> Classes;
    std::map<std::pair<const QMetaObject *, int>, std::unique_ptr<TTypeInfo>> Methods;
    std::map<int, std::unique_ptr<TTypeInfo>> DynArrays;
    struct TMadeRecord
    {
        std::unique_ptr<TTypeInfo> Info;
        int Count = 0;
    };
    std::vector<TMadeRecord> Made;

    TTypeInfo *Keep(std::unique_ptr<TTypeInfo> &slot, std::unique_ptr<TTypeInfo> info)
    {
        slot = std::move(info);
        return slot.get();
    }

    TMadeRecord *FindMade(PTypeInfo info)
    {
        for (TMadeRecord &record : Made)
            if (record.Info.get() == info)
                return &record;
        return nullptr;
    }
};

TTypeRecords &Records()
{
    static TTypeRecords records;
    return records;
}

std::unique_ptr<TTypeInfo> OrdinalRecord(TTypeKind kind, const QString &name, TOrdinalType type,
                                         qint64 low, qint64 high)
{
    auto info = std::make_unique<TTypeInfo>();
    info->Kind = kind;
    info->Name = name;
    info->OrdType = type;
    info->MinValue = low;
    info->MaxValue = high;
    return info;
}

std::unique_ptr<TTypeInfo> RecordOfMetaType(QMetaType type)
{
    const QString name = QString::fromLatin1(type.name());
    using L = std::numeric_limits<qint64>;
    switch (type.id()) {
    case QMetaType::Bool: {
        auto info = OrdinalRecord(tkEnumeration, name, otUByte, 0, 1);
        info->Names = {{0, QStringLiteral("False")}, {1, QStringLiteral("True")}};
        info->MetaType = type;
        return info;
    }
    case QMetaType::Char: return OrdinalRecord(tkChar, name, otUByte, 0, 255);
    case QMetaType::SChar: return OrdinalRecord(tkInteger, name, otSByte, -128, 127);
    case QMetaType::UChar: return OrdinalRecord(tkInteger, name, otUByte, 0, 255);
    case QMetaType::Short: return OrdinalRecord(tkInteger, name, otSWord, -32768, 32767);
    case QMetaType::UShort: return OrdinalRecord(tkInteger, name, otUWord, 0, 65535);
    case QMetaType::Int:
        return OrdinalRecord(tkInteger, name, otSLong, std::numeric_limits<qint32>::min(),
                             std::numeric_limits<qint32>::max());
    case QMetaType::UInt: return OrdinalRecord(tkInteger, name, otULong, 0, 0xFFFFFFFFLL);
    case QMetaType::Char32: return OrdinalRecord(tkInteger, name, otULong, 0, 0x10FFFF);
    case QMetaType::QChar:
    case QMetaType::Char16: return OrdinalRecord(tkWChar, name, otUWord, 0, 65535);
    case QMetaType::Long:
    case QMetaType::LongLong: return OrdinalRecord(tkInt64, name, otSLong, L::min(), L::max());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        auto info = OrdinalRecord(tkInt64, name, otULong, 0, -1);
        info->Unsigned64 = true;
        return info;
    }
    default:
        break;
    }
    auto info = std::make_unique<TTypeInfo>();
    info->Name = name;
    switch (type.id()) {
    case QMetaType::Float: info->Kind = tkFloat; info->FloatType = ftSingle; break;
    case QMetaType::Double: info->Kind = tkFloat; info->FloatType = ftDouble; break;
    case QMetaType::QString: info->Kind = tkUString; break;
    case QMetaType::QByteArray: info->Kind = tkLString; break;
    case QMetaType::QVariant: info->Kind = tkVariant; break;
    default:
        if (type.flags().testFlag(QMetaType::IsGadget))
            info->Kind = tkRecord;
        break;
    }
    return info;
}

} // namespace

PTypeInfo TypeInfoOf(QMetaType type)
{
    const QMetaObject *metaObject = type.metaObject();
    if (metaObject && type.flags().testFlag(QMetaType::PointerToQObject))
        return TypeInfoOf(metaObject);
    if (metaObject && type.flags().testFlag(QMetaType::IsEnumeration)) {
        QByteArray name = type.name();
        name = name.mid(name.lastIndexOf(':') + 1);
        const int index = metaObject->indexOfEnumerator(name.constData());
        if (index >= 0)
            return TypeInfoOf(metaObject->enumerator(index));
    }
    TTypeRecords &records = Records();
    std::lock_guard guard(records.Lock);
    std::unique_ptr<TTypeInfo> &slot = records.ByMetaType[type.isValid() ? type.id() : 0];
    if (!slot) {
        auto info = RecordOfMetaType(type);
        info->MetaType = type;
        slot = std::move(info);
    }
    return slot.get();
}

PTypeInfo TypeInfoOf(const QMetaEnum &enumerator)
{
    TTypeRecords &records = Records();
    std::lock_guard guard(records.Lock);
    const QByteArray key = QByteArray(enumerator.scope()) + "::" + enumerator.name();
    std::unique_ptr<TTypeInfo> &slot = records.Enums[key];
    if (slot)
        return slot.get();
    auto info = std::make_unique<TTypeInfo>();
    info->Kind = tkEnumeration;
    info->Name = QString::fromLatin1(enumerator.name());
    for (int i = 0; i < enumerator.keyCount(); ++i) {
        const qint64 value = enumerator.value(i);
        if (!info->Names.contains(value)) // an alias keeps the first name
            info->Names.insert(value, QString::fromLatin1(enumerator.key(i)));
    }
    if (!info->Names.isEmpty()) {
        info->MinValue = info->Names.firstKey();
        info->MaxValue = info->Names.lastKey();
    } else {
        info->MaxValue = -1;
    }
    info->OrdType = OrdinalTypeForRange(info->MinValue, info->MaxValue);
    info->MetaType = QMetaType::fromName(key);
    return records.Keep(slot, std::move(info));
}

PTypeInfo TypeInfoOf(const QMetaObject *metaObject)
{
    TTypeRecords &records = Records();
    std::lock_guard guard(records.Lock);
    std::unique_ptr<TTypeInfo> &slot = records.Classes[metaObject];
    if (slot)
        return slot.get();
    auto info = std::make_unique<TTypeInfo>();
    info->Kind = tkClass;
    info->Name = QString::fromLatin1(metaObject->className());
    info->MetaObject = metaObject;
    info->MetaType = metaObject->metaType();
    return records.Keep(slot, std::move(info));
}

PTypeInfo TypeInfoOf(const QMetaMethod &method)
{
    TTypeRecords &records = Records();
    std::lock_guard guard(records.Lock);
    std::unique_ptr<TTypeInfo> &slot =
        records.Methods[{method.enclosingMetaObject(), method.methodIndex()}];
    if (slot)
        return slot.get();
    auto info = std::make_unique<TTypeInfo>();
    info->Kind = tkMethod;
    info->Name = QString::fromLatin1(method.name());
    info->Method = method;
    return records.Keep(slot, std::move(info));
}

PTypeInfo DynArrayTypeInfo(QMetaType arrayType, QMetaType elementType)
{
    TTypeRecords &records = Records();
    std::lock_guard guard(records.Lock);
    std::unique_ptr<TTypeInfo> &slot = records.DynArrays[arrayType.id()];
    if (slot)
        return slot.get();
    auto info = std::make_unique<TTypeInfo>();
    info->Kind = tkDynArray;
    info->Name = QString::fromLatin1(arrayType.name());
    info->MetaType = arrayType;
    info->BaseType = TypeInfoOf(elementType);
    info->ElementSize = int(elementType.sizeOf());
    info->ElementsNeedCleanup = elementType.flags().testFlag(QMetaType::NeedsDestruction);
    info->VarType = elementType.id();
    return records.Keep(slot, std::move(info));
}

PTypeInfo CreateSetTypeInfo(PTypeInfo ElementType, const QString &Name)
{
    if (!ElementType || !IsOrdinalKind(ElementType->Kind)
        || ElementType->MaxValue - ElementType->MinValue >= MaxSetElements
        || ElementType->MaxValue < ElementType->MinValue)
        throw EOsRTTIError(Rs(RsOsRTTINoSetOf).arg(ElementType ? ElementType->Name : QString()));
    const qint64 count = ElementType->MaxValue - ElementType->MinValue + 1;
    auto info = OrdinalRecord(tkSet, Name, count <= 8 ? otUByte : count <= 16 ? otUWord : otULong,
                              ElementType->MinValue, ElementType->MaxValue);
    info->BaseType = ElementType;
    TTypeRecords &records = Records();
    std::lock_guard guard(records.Lock);
    if (TTypeRecords::TMadeRecord *base = records.FindMade(ElementType))
        ++base->Count;
    records.Made.push_back({std::move(info), 1});
    return records.Made.back().Info.get();
}

PTypeInfo CreateSubRangeTypeInfo(PTypeInfo Base, qint64 Low, qint64 High, const QString &Name)
{
    if (!Base || !IsOrdinalKind(Base->Kind))
        throw EOsRTTIError(Rs(RsOsDeclarationNotSupported).arg(Base ? Base->Name : QString()));
    for (qint64 bound : {Low, High})
        if (bound < Base->MinValue || bound > Base->MaxValue || Low > High)
            throw EOsRTTIError(Rs(RsOsRTTIValueOutOfRange)
                                   .arg(Rs(RsOsRTTIOrdinal) + QString::number(bound)));
    auto info = OrdinalRecord(Base->Kind, Name, Base->OrdType, Low, High);
    info->Names = Base->Names;
    if (Base->Kind == tkEnumeration)
        info->BaseType = Base->BaseType ? Base->BaseType : Base;
    TTypeRecords &records = Records();
    std::lock_guard guard(records.Lock);
    if (info->BaseType)
        if (TTypeRecords::TMadeRecord *base = records.FindMade(info->BaseType))
            ++base->Count;
    records.Made.push_back({std::move(info), 1});
    return records.Made.back().Info.get();
}

void ReleaseTypeInfo(PTypeInfo Info)
{
    TTypeRecords &records = Records();
    std::lock_guard guard(records.Lock);
    TTypeRecords::TMadeRecord *record = records.FindMade(Info);
    if (!record || --record->Count > 0)
        return;
    const PTypeInfo base = Info->BaseType;
    records.Made.erase(records.Made.begin() + (record - records.Made.data()));
    if (base)
        ReleaseTypeInfo(base);
}

QString TypeKindName(TTypeKind kind)
{
    static const char *const names[] = {
        "tkUnknown", "tkInteger", "tkChar",   "tkEnumeration", "tkFloat",   "tkString",
        "tkSet",     "tkClass",   "tkMethod", "tkWChar",       "tkLString", "tkWString",
        "tkVariant", "tkArray",   "tkRecord", "tkInterface",   "tkInt64",   "tkDynArray",
        "tkUString"};
    return QString::fromLatin1(names[kind]);
}

QString OrdinalTypeName(TOrdinalType type)
{
    static const char *const names[] = {"otSByte", "otUByte", "otSWord",
                                        "otUWord", "otSLong", "otULong"};
    return QString::fromLatin1(names[type]);
}

void TOsInfoLinesWriter::Writeln(const QString &text)
{
    FLines.append(FPending + text);
    FPending.clear();
}

QStringList TOsInfoLinesWriter::Lines() const
{
    return FPending.isEmpty() ? FLines : FLines + QStringList{FPending};
}

// --- Descriptions and declarations

void TOsTypeInfo::WriteDescription(IOsInfoWriter &Dest) const
{
    Dest.Writeln(Rs(RsOsRTTIName) + Name());
    Dest.Writeln(Rs(RsOsRTTITypeKind) + TypeKindName(TypeKind()));
    Dest.Writeln(Rs(RsOsRTTITypeInfoAt).arg(AddressText(FTypeInfo)));
}

void TOsTypeInfo::WriteDeclaration(IOsInfoWriter &Dest) const
{
    Dest.Writeln(Rs(RsOsDeclarationNotSupported).arg(Name()));
}

void TOsOrdinalTypeInfo::WriteDescription(IOsInfoWriter &Dest) const
{
    TOsTypeInfo::WriteDescription(Dest);
    Dest.Writeln(Rs(RsOsRTTIOrdinalType) + OrdinalTypeName(OrdinalType()));
}

void TOsOrdinalRangeTypeInfo::WriteDescription(IOsInfoWriter &Dest) const
{
    TOsOrdinalTypeInfo::WriteDescription(Dest);
    Dest.Writeln(Rs(RsOsRTTIMinValue) + QString::number(MinValue()));
    Dest.Writeln(Rs(RsOsRTTIMaxValue) + QString::number(MaxValue()));
}

namespace {

QString OrdinalLiteral(const TTypeInfo &info, qint64 value)
{
    if (info.Kind == tkChar || info.Kind == tkWChar) {
        if (value > 32 && value < 127 && value != '\'')
            return QLatin1Char('\'') + QChar(char16_t(value)) + QLatin1Char('\'');
        return QLatin1Char('#') + QString::number(value);
    }
    return QString::number(value);
}

} // namespace

void TOsOrdinalRangeTypeInfo::WriteDeclaration(IOsInfoWriter &Dest) const
{
    Dest.Writeln(Name() + QLatin1String(" = ") + OrdinalLiteral(TypeData(), MinValue())
                 + QLatin1String("..") + OrdinalLiteral(TypeData(), MaxValue())
                 + QLatin1String("; // ") + OrdinalTypeName(OrdinalType()));
}

PTypeInfo TOsEnumerationTypeInfo::BaseType() const
{
    return FTypeInfo->BaseType ? FTypeInfo->BaseType : FTypeInfo;
}

QString TOsEnumerationTypeInfo::Names(qint64 Ordinal) const
{
    if (Ordinal < MinValue() || Ordinal > MaxValue())
        return QString();
    return FTypeInfo->Names.value(Ordinal);
}

qint64 TOsEnumerationTypeInfo::IndexOfName(const QString &Name) const
{
    for (auto it = FTypeInfo->Names.lowerBound(MinValue());
         it != FTypeInfo->Names.end() && it.key() <= MaxValue(); ++it)
        if (it.value().compare(Name, Qt::CaseInsensitive) == 0)
            return it.key();
    return MinValue() - 1;
}

namespace {

QStringList ElementNames(const TOsEnumerationTypeInfo &info)
{
    QStringList names;
    for (qint64 i = info.MinValue(); i <= info.MaxValue(); ++i)
        if (!info.Names(i).isEmpty())
            names.append(info.Names(i));
    return names;
}

} // namespace

void TOsEnumerationTypeInfo::WriteDescription(IOsInfoWriter &Dest) const
{
    TOsOrdinalRangeTypeInfo::WriteDescription(Dest);
    const QString names = ElementNames(*this).join(QLatin1String(", "));
    Dest.Writeln(Rs(RsOsRTTINames) + QLatin1Char('(') + names + QLatin1Char(')'));
    Dest.Writeln(Rs(RsOsRTTIBasedOn) + BaseType()->Name);
}

void TOsEnumerationTypeInfo::WriteDeclaration(IOsInfoWriter &Dest) const
{
    QString text = Name() + QLatin1String(" = ");
    if (BaseType() != FTypeInfo)
        text += Names(MinValue()) + QLatin1String(" .. ") + Names(MaxValue());
    else
        text += QLatin1Char('(') + ElementNames(*this).join(QLatin1String(", ")) + QLatin1Char(')');
    Dest.Writeln(text + QLatin1String("; // ") + OrdinalTypeName(OrdinalType()));
}

std::shared_ptr<TOsOrdinalTypeInfo> TOsSetTypeInfo::BaseType() const
{
    return std::dynamic_pointer_cast<TOsOrdinalTypeInfo>(
        TypeInfoObjectForKind(FTypeInfo->BaseType));
}

namespace {

QString ElementText(const TTypeInfo &element, qint64 ordinal)
{
    if (element.Kind == tkEnumeration) {
        const QString name = element.Names.value(ordinal);
        if (!name.isEmpty())
            return name;
    }
    return QString::number(ordinal);
}

qint64 ElementValue(const TTypeInfo &element, const QString &text)
{
    if (element.Kind == tkEnumeration) {
        const TOsEnumerationTypeInfo info(&element);
        const qint64 value = info.IndexOfName(text);
        if (value >= info.MinValue())
            return value;
    } else {
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        if (ok && value >= element.MinValue && value <= element.MaxValue)
            return value;
    }
    throw EOsRTTIError(Rs(RsOsRTTIUnknownIdentifier).arg(text));
}

} // namespace

void TOsSetTypeInfo::GetAsList(const TOsBitSet &Value, bool WantRanges, QStringList &List) const
{
    const TTypeInfo &element = *FTypeInfo->BaseType;
    const int count = int(element.MaxValue - element.MinValue + 1);
    for (int i = 0; i < count; ++i) {
        if (!TestBitInSet(Value, i))
            continue;
        int last = i;
        while (last + 1 < count && TestBitInSet(Value, last + 1))
            ++last;
        if (WantRanges && last > i) {
            List.append(ElementText(element, element.MinValue + i) + QLatin1String(" .. ")
                        + ElementText(element, element.MinValue + last));
        } else {
            for (int j = i; j <= last; ++j)
                List.append(ElementText(element, element.MinValue + j));
        }
        i = last;
    }
}

void TOsSetTypeInfo::SetAsList(TOsBitSet &Value, const QStringList &List) const
{
    const TTypeInfo &element = *FTypeInfo->BaseType;
    TOsBitSet result;
    for (const QString &item : List) {
        const QString part = item.trimmed();
        if (part.isEmpty())
            continue;
        const qsizetype dots = part.indexOf(QLatin1String(".."));
        const qint64 low = ElementValue(element, dots < 0 ? part : part.left(dots).trimmed());
        const qint64 high = dots < 0 ? low : ElementValue(element, part.mid(dots + 2).trimmed());
        for (qint64 v = low; v <= high; ++v)
            SetBitInSet(result, int(v - element.MinValue));
    }
    Value = std::move(result);
}

void TOsSetTypeInfo::WriteDescription(IOsInfoWriter &Dest) const
{
    TOsOrdinalTypeInfo::WriteDescription(Dest);
    Dest.Writeln(Rs(RsOsRTTIBasedOn) + FTypeInfo->BaseType->Name);
}

void TOsSetTypeInfo::WriteDeclaration(IOsInfoWriter &Dest) const
{
    Dest.Writeln(Name() + QLatin1String(" = set of ") + FTypeInfo->BaseType->Name
                 + QLatin1String("; // ") + OrdinalTypeName(OrdinalType()));
}

void TOsFloatTypeInfo::WriteDescription(IOsInfoWriter &Dest) const
{
    static const char *const names[] = {"ftSingle", "ftDouble", "ftExtended", "ftComp", "ftCurr"};
    TOsTypeInfo::WriteDescription(Dest);
    Dest.Writeln(Rs(RsOsRTTIFloatType) + QString::fromLatin1(names[FloatType()]));
}

void TOsFloatTypeInfo::WriteDeclaration(IOsInfoWriter &Dest) const
{
    static const char *const names[] = {"Single", "Double", "Extended", "Comp", "Currency"};
    Dest.Writeln(Name() + QLatin1String(" = type ") + QString::fromLatin1(names[FloatType()])
                 + QLatin1Char(';'));
}

void TOsInt64TypeInfo::WriteDescription(IOsInfoWriter &Dest) const
{
    TOsTypeInfo::WriteDescription(Dest);
    Dest.Writeln(Rs(RsOsRTTIMinValue) + Decimal(TypeData(), MinValue()));
    Dest.Writeln(Rs(RsOsRTTIMaxValue) + Decimal(TypeData(), MaxValue()));
}

void TOsInt64TypeInfo::WriteDeclaration(IOsInfoWriter &Dest) const
{
    Dest.Writeln(Name() + QLatin1String(" = ") + Decimal(TypeData(), MinValue())
                 + QLatin1String(" .. ") + Decimal(TypeData(), MaxValue()) + QLatin1Char(';'));
}

void TOsDynArrayTypeInfo::WriteDescription(IOsInfoWriter &Dest) const
{
    TOsTypeInfo::WriteDescription(Dest);
    Dest.Writeln(Rs(RsOsRTTIElSize) + QString::number(ElementSize()));
    Dest.Writeln(Rs(RsOsRTTIElType) + ElementType()->Name);
    Dest.Writeln(Rs(RsOsRTTIElNeedCleanup) + Rs(RsOsRTTITrueFalse[ElementsNeedCleanup()]));
    Dest.Writeln(Rs(RsOsRTTIVarType) + QString::number(VarType()));
    Dest.Writeln(Rs(RsOsRTTIUnitName) + UnitName());
}

void TOsDynArrayTypeInfo::WriteDeclaration(IOsInfoWriter &Dest) const
{
    Dest.Writeln(Name() + QLatin1String(" = array of ") + ElementType()->Name
                 + QLatin1String("; // Unit ") + UnitName());
}

const void *TOsPropInfo::AccessMethod() const
{
    const QMetaObject *owner = FProperty.enclosingMetaObject();
    return owner ? reinterpret_cast<const void *>(owner->d.static_metacall) : nullptr;
}

PTypeInfo TOsClassTypeInfo::Parent() const
{
    const QMetaObject *parent = ClassRef()->superClass();
    return parent ? TypeInfoOf(parent) : nullptr;
}

std::vector<std::shared_ptr<TOsPropInfo>> TOsClassTypeInfo::Properties() const
{
    std::vector<std::shared_ptr<TOsPropInfo>> list;
    for (int i = ClassRef()->propertyOffset(); i < ClassRef()->propertyCount(); ++i)
        list.push_back(std::make_shared<TOsPropInfo>(ClassRef()->property(i)));
    return list;
}

void TOsClassTypeInfo::WriteDescription(IOsInfoWriter &Dest) const
{
    TOsTypeInfo::WriteDescription(Dest);
    Dest.Writeln(Rs(RsOsRTTIClassName) + QString::fromLatin1(ClassRef()->className()));
    Dest.Writeln(Rs(RsOsRTTIParent) + (Parent() ? Parent()->Name : QString()));
    Dest.Writeln(Rs(RsOsRTTIPropCount) + QString::number(PropertyCount()));
    Dest.Writeln(Rs(RsOsRTTIUnitName) + UnitName());
    for (const auto &prop : Properties()) {
        const QString method =
            QStringLiteral("static method $") + AddressText(prop->AccessMethod());
        Dest.Writeln(QStringLiteral("[%1=%2]").arg(prop->Name(), prop->PropType()->Name));
        if (prop->HasRead())
            Dest.Writeln(QStringLiteral("[read %1]").arg(method));
        if (prop->HasWrite())
            Dest.Writeln(QStringLiteral("[write %1]").arg(method));
        Dest.Writeln(QStringLiteral("[stored=%1]").arg(Rs(RsOsRTTITrueFalse[prop->IsStored()])));
    }
}

void TOsClassTypeInfo::WriteDeclaration(IOsInfoWriter &Dest) const
{
    const PTypeInfo parent = Parent();
    if (!parent || parent->Name.compare(QLatin1String("TObject"), Qt::CaseInsensitive) == 0)
        Dest.Writeln(Name() + QLatin1String(" = class // unit ") + UnitName());
    else
        Dest.Writeln(Name() + QLatin1String(" = class(") + parent->Name
                     + QLatin1String(") // unit ") + UnitName());
    const auto properties = Properties();
    if (!properties.empty()) {
        Dest.Writeln(QStringLiteral("published"));
        for (const auto &prop : properties) {
            const QString method = QStringLiteral(" [static method $")
                                   + AddressText(prop->AccessMethod()) + QLatin1Char(']');
            QString line = QLatin1String("  property ") + prop->Name() + QLatin1String(": ")
                           + prop->PropType()->Name;
            if (prop->HasRead())
                line += QLatin1String(" read") + method;
            if (prop->HasWrite())
                line += QLatin1String(" write") + method;
            line += QLatin1String(" stored = ") + Rs(RsOsRTTITrueFalse[prop->IsStored()]);
            Dest.Writeln(line + QLatin1Char(';'));
        }
    }
    Dest.Writeln(QStringLiteral("end;"));
}

TMethodKind TOsEventTypeInfo::MethodKind() const
{
    return FTypeInfo->Method.returnMetaType().id() == QMetaType::Void ? mkProcedure : mkFunction;
}

TOsEventParamInfo TOsEventTypeInfo::Parameters(int Index) const
{
    const QMetaMethod &method = FTypeInfo->Method;
    QString type = QString::fromLatin1(method.parameterTypes().value(Index));
    int flags = 0;
    // Qt keeps a reference only when the argument can be written to.
    if (type.endsWith(QLatin1Char('&'))) {
        flags |= pfVar;
        type.chop(1);
    }
    QString name = QString::fromLatin1(method.parameterNames().value(Index));
    if (name.isEmpty())
        name = QStringLiteral("Arg%1").arg(Index + 1);
    return TOsEventParamInfo(flags, name, type);
}

QString TOsEventTypeInfo::ResultTypeName() const
{
    return MethodKind() == mkFunction ? QString::fromLatin1(FTypeInfo->Method.typeName())
                                      : QString();
}

void TOsEventTypeInfo::WriteDescription(IOsInfoWriter &Dest) const
{
    TOsTypeInfo::WriteDescription(Dest);
    Dest.Writeln(Rs(RsOsRTTIMethodKind)
                 + QLatin1String(MethodKind() == mkFunction ? "mkFunction" : "mkProcedure"));
    Dest.Writeln(Rs(RsOsRTTIParamCount) + QString::number(ParameterCount()));
    Dest.Writeln(Rs(RsOsRTTIReturnType) + ResultTypeName());
}

void TOsEventTypeInfo::WriteDeclaration(IOsInfoWriter &Dest) const
{
    QStringList params;
    for (int i = 0; i < ParameterCount(); ++i) {
        const TOsEventParamInfo param = Parameters(i);
        params.append(QLatin1String(param.Flags() & pfVar ? "var " : "") + param.Name()
                      + QLatin1String(": ") + param.TypeName());
    }
    QString text = Name() + QLatin1String(" = ")
                   + QLatin1String(MethodKind() == mkFunction ? "function" : "procedure")
                   + QLatin1Char('(') + params.join(QLatin1String("; ")) + QLatin1Char(')');
    if (MethodKind() == mkFunction)
        text += QLatin1String(": ") + ResultTypeName();
    Dest.Writeln(text + QLatin1String(" of object;"));
}

IOsTypeInfo TypeInfoObjectForKind(PTypeInfo ATypeInfo)
{
    switch (ATypeInfo->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar: return std::make_shared<TOsOrdinalRangeTypeInfo>(ATypeInfo);
    case tkEnumeration: return std::make_shared<TOsEnumerationTypeInfo>(ATypeInfo);
    case tkSet: return std::make_shared<TOsSetTypeInfo>(ATypeInfo);
    case tkFloat: return std::make_shared<TOsFloatTypeInfo>(ATypeInfo);
    case tkClass: return std::make_shared<TOsClassTypeInfo>(ATypeInfo);
    case tkMethod: return std::make_shared<TOsEventTypeInfo>(ATypeInfo);
    case tkInt64: return std::make_shared<TOsInt64TypeInfo>(ATypeInfo);
    case tkDynArray: return std::make_shared<TOsDynArrayTypeInfo>(ATypeInfo);
    default: return std::make_shared<TOsTypeInfo>(ATypeInfo);
    }
}

QString EnumValueAsText(PTypeInfo ATypeInfo, qint64 Value)
{
    switch (ATypeInfo->OrdType) {
    case otSByte: Value = qint8(Value); break;
    case otUByte: Value = quint8(Value); break;
    case otSWord: Value = qint16(Value); break;
    case otUWord: Value = quint16(Value); break;
    case otSLong: Value = qint32(Value); break;
    case otULong: Value = quint32(Value); break;
    }
    if (ATypeInfo->Kind == tkEnumeration) {
        const QString name = TOsEnumerationTypeInfo(ATypeInfo).Names(Value);
        if (!name.isEmpty())
            return name;
    }
    return Rs(RsOsRTTIValueOutOfRange).arg(Rs(RsOsRTTIOrdinal) + QString::number(Value));
}

namespace {

TOsSetTypeInfo SetInfo(PTypeInfo ATypeInfo)
{
    if (!ATypeInfo || ATypeInfo->Kind != tkSet || !ATypeInfo->BaseType)
        throw EOsRTTIError(Rs(RsOsRTTINoSetOf).arg(ATypeInfo ? ATypeInfo->Name : QString()));
    return TOsSetTypeInfo(ATypeInfo);
}

} // namespace

QString SetValueAsText(PTypeInfo ATypeInfo, const TOsBitSet &Value, bool WantBrackets)
{
    QStringList list;
    SetInfo(ATypeInfo).GetAsList(Value, false, list);
    const QString text = list.join(QLatin1String(", "));
    return WantBrackets ? QLatin1Char('[') + text + QLatin1Char(']') : text;
}

void SetValueFromText(PTypeInfo ATypeInfo, TOsBitSet &Value, const QString &Text)
{
    const TOsSetTypeInfo info = SetInfo(ATypeInfo);
    QStringList parts;
    SplitTextToStrings(Text, QStringLiteral(","), parts, true);
    // Only a bracket that is there is taken off.
    if (!parts.isEmpty() && parts.first().trimmed().startsWith(QLatin1Char('['))) {
        QString &first = parts.first();
        first.remove(first.indexOf(QLatin1Char('[')), 1);
        QString &last = parts.last();
        if (last.trimmed().endsWith(QLatin1Char(']')))
            last.remove(last.lastIndexOf(QLatin1Char(']')), 1);
    }
    info.SetAsList(Value, parts);
}
