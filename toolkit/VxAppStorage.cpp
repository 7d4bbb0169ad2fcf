#include "toolkit/VxAppStorage.h"

#include "platform/ini/IniFile.h"
#include "sysutil/OsMime.h"
#include "toolkit/VxTranslateString.h"

#include <QLocale>
#include <QMetaMethod>
#include <QRegularExpression>

#include <algorithm>

namespace {
const QChar Backslash = QLatin1Char('\\');
// Read as the default of an enumeration: it can never be one of its names.
const QString EnumNotKnown = QStringLiteral(" #!@not known@!# ");

QStringList CommaEntries(const QString &list)
{
    QStringList entries;
    for (const QString &part : list.toUpper().split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts))
        entries.append(part);
    return entries;
}

QString FirstEntry(const QString &list)
{
    return list.section(QLatin1Char(','), 0, 0).trimmed();
}

// A date or time format written with the letters of the storage's files ("dd_mm_yyyy hh_nn_ss":
// n is the minute, and so is m right after an hour, as in "hh:mm"; any other m is the month) in
// Qt's letters.
QString QtDateTimeFormat(const QString &format)
{
    QString out;
    QChar lastField;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        i += run;
        const QChar letter = c.toLower();
        if (letter == QLatin1Char('n') || (letter == QLatin1Char('m') && lastField == QLatin1Char('h')))
            out += QString(std::min<qsizetype>(run, 2), QLatin1Char('m'));
        else if (letter == QLatin1Char('m'))
            out += QString(run, QLatin1Char('M'));
        else
            out += QString(run, c);
        if (c.isLetter())
            lastField = letter;
    }
    return out;
}

QString WithoutLeadingBackslashes(QString path)
{
    while (path.startsWith(Backslash))
        path.remove(0, 1);
    return path;
}
} // namespace

// ---- options ---------------------------------------------------------------------------------

void TVxCustomAppStorageOptions::SetBooleanAsString(bool value)
{
    FBooleanAsString = value && !DefaultTrueString().isEmpty() && !DefaultFalseString().isEmpty();
}

void TVxCustomAppStorageOptions::SetBooleanStringTrueValues(const QString &value)
{
    FBooleanStringTrueValues = value;
    SetBooleanAsString(FBooleanAsString);
}

void TVxCustomAppStorageOptions::SetBooleanStringFalseValues(const QString &value)
{
    FBooleanStringFalseValues = value;
    SetBooleanAsString(FBooleanAsString);
}

QString TVxCustomAppStorageOptions::DefaultTrueString() const
{
    return FirstEntry(FBooleanStringTrueValues);
}

QString TVxCustomAppStorageOptions::DefaultFalseString() const
{
    return FirstEntry(FBooleanStringFalseValues);
}

bool TVxCustomAppStorageOptions::IsValueTrueString(const QString &value) const
{
    return CommaEntries(FBooleanStringTrueValues).contains(value.toUpper());
}

bool TVxCustomAppStorageOptions::IsValueFalseString(const QString &value) const
{
    return CommaEntries(FBooleanStringFalseValues).contains(value.toUpper());
}

void TVxCustomAppStorageOptions::Assign(const TVxCustomAppStorageOptions &source)
{
    FBooleanStringTrueValues = source.FBooleanStringTrueValues;
    FBooleanStringFalseValues = source.FBooleanStringFalseValues;
    FBooleanAsString = source.FBooleanAsString;
    FEnumAsStr = source.FEnumAsStr;
    FIntAsStr = source.FIntAsStr;
    FSetAsStr = source.FSetAsStr;
    FDateTimeAsString = source.FDateTimeAsString;
    FFloatAsString = source.FFloatAsString;
    FDefaultIfReadConvertError = source.FDefaultIfReadConvertError;
    FDefaultIfValueNotExists = source.FDefaultIfValueNotExists;
    FStoreDefaultValues = source.FStoreDefaultValues;
    FStoreStringListAsSingleString = source.FStoreStringListAsSingleString;
    FUseOldItemNameFormat = source.FUseOldItemNameFormat;
    FUseTranslateStringEngineDateTimeFormats = source.FUseTranslateStringEngineDateTimeFormats;
}

// ---- sub-storages ----------------------------------------------------------------------------

void TVxAppSubStorage::SetRootPath(const QString &value)
{
    const QString path = TVxCustomAppStorage::ConcatPaths({value});
    if (path == FRootPath)
        return;
    for (const auto &other : FOwner->SubStorages()) {
        if (other.get() == this)
            continue;
        const QString root = other->RootPath();
        if (path.compare(root, Qt::CaseInsensitive) == 0 ||
            path.startsWith(root + Backslash, Qt::CaseInsensitive))
            throw EVxAppStorageError(VxConsts::SNotAUniqueRootPath.arg(value));
    }
    FRootPath = path;
}

void TVxAppSubStorage::SetAppStorage(TVxCustomAppStorage *value)
{
    if (value && value->ReachesStorage(FOwner))
        throw EVxAppStorageError(VxConsts::SCircularReferenceOfStorages);
    if (value == FAppStorage)
        return;
    FAppStorage = value;
    FOwner->WatchStorage(value);
}

QString TVxAppSubStorage::DisplayName() const
{
    return Backslash + FRootPath + QLatin1Char('=') + (FAppStorage ? FAppStorage->objectName() : QString());
}

// ---- storage ---------------------------------------------------------------------------------

TVxCustomAppStorage::TVxCustomAppStorage(QObject *owner)
    : QObject(owner), FStorageOptions(new TVxAppStorageOptions(this)),
      FInternalTranslateStringEngine(new TVxTranslateString(this))
{
}

TVxCustomAppStorage::~TVxCustomAppStorage() = default;

void TVxCustomAppStorage::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
}

QString TVxCustomAppStorage::ConcatPaths(const QStringList &paths)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < paths.size(); ++i)
        if (paths[i].startsWith(Backslash))
            start = i;
    QStringList parts;
    for (qsizetype i = start; i < paths.size(); ++i) {
        for (const QString &component : paths[i].split(Backslash, Qt::SkipEmptyParts)) {
            const bool allDots = std::all_of(component.begin(), component.end(), [](QChar c) { return c == QLatin1Char('.'); });
            if (!allDots) {
                parts.append(component);
                continue;
            }
            // "." stays where it is, ".." goes up one, "..." two, and so on.
            for (qsizetype up = component.size() - 1; up > 0 && !parts.isEmpty(); --up)
                parts.removeLast();
        }
    }
    return parts.join(Backslash);
}

void TVxCustomAppStorage::SetPath(const QString &value)
{
    FCurPath = ConcatPaths({FCurPath, value});
}

void TVxCustomAppStorage::SetRoot(const QString &value)
{
    FRoot = ConcatPaths({value});
}

QString TVxCustomAppStorage::GetAbsPath(const QString &path) const
{
    return FRoot + Backslash + WithoutLeadingBackslashes(ConcatPaths({FCurPath, path}));
}

void TVxCustomAppStorage::SplitKeyPath(const QString &path, QString &key, QString &valueName)
{
    const qsizetype at = path.lastIndexOf(Backslash);
    key = at < 0 ? QString() : path.left(at);
    valueName = path.mid(at + 1);
}

void TVxCustomAppStorage::ResolvePath(const QString &inPath, TVxCustomAppStorage *&targetStore,
                                      QString &targetPath) const
{
    targetPath = Backslash + ConcatPaths({FCurPath, inPath});
    targetStore = const_cast<TVxCustomAppStorage *>(this);
    const TVxAppSubStorage *best = nullptr;
    const QString probe = targetPath + Backslash;
    for (const auto &item : FSubStorages) {
        if (item->RootPath().isEmpty() || !probe.startsWith(Backslash + item->RootPath() + Backslash, Qt::CaseInsensitive))
            continue;
        if (!best || item->RootPath().size() > best->RootPath().size())
            best = item.get();
    }
    if (!best || !best->AppStorage())
        return;
    const QString rest = ConcatPaths({targetPath.mid(best->RootPath().size() + 1)});
    if (rest.isEmpty())
        throw EVxAppStorageError(VxConsts::SInvalidPath);
    targetStore = best->AppStorage();
    targetPath = Backslash + rest;
}

TVxAppSubStorage *TVxCustomAppStorage::AddSubStorage(const QString &rootPath, TVxCustomAppStorage *storage)
{
    auto item = std::make_unique<TVxAppSubStorage>(this);
    item->SetRootPath(rootPath);
    item->SetAppStorage(storage);
    FSubStorages.push_back(std::move(item));
    return FSubStorages.back().get();
}

void TVxCustomAppStorage::WatchStorage(TVxCustomAppStorage *storage)
{
    if (!storage)
        return;
    // A storage that goes away takes the items that point to it along.
    connect(storage, &QObject::destroyed, this, [this](QObject *gone) {
        FSubStorages.erase(std::remove_if(FSubStorages.begin(), FSubStorages.end(),
                                          [gone](const auto &item) { return item->AppStorage() == gone; }),
                           FSubStorages.end());
    });
}

void TVxCustomAppStorage::DeleteSubStorage(TVxAppSubStorage *item)
{
    FSubStorages.erase(std::remove_if(FSubStorages.begin(), FSubStorages.end(),
                                      [item](const auto &p) { return p.get() == item; }),
                       FSubStorages.end());
}

bool TVxCustomAppStorage::ReachesStorage(const TVxCustomAppStorage *storage) const
{
    if (storage == this)
        return true;
    return std::any_of(FSubStorages.begin(), FSubStorages.end(), [storage](const auto &item) {
        return item->AppStorage() && item->AppStorage()->ReachesStorage(storage);
    });
}

void TVxCustomAppStorage::SetTranslateStringEngine(TVxTranslateString *value)
{
    FTranslateStringEngine = value;
}

TVxTranslateString *TVxCustomAppStorage::ActiveTranslateStringEngine() const
{
    return FTranslateStringEngine ? FTranslateStringEngine.data() : FInternalTranslateStringEngine;
}

QString TVxCustomAppStorage::GetCharName(QChar c)
{
    if (c.unicode() >= 0x21 && c.unicode() <= 0x7A)
        return QStringLiteral("Char_") + c;
    return QStringLiteral("Char#") + QString::number(c.unicode());
}

QString TVxCustomAppStorage::GetIntName(int n)
{
    return QStringLiteral("Int_") + QString::number(n);
}

QString TVxCustomAppStorage::ItemNameIndexPath(const QString &itemName, int index) const
{
    if (FStorageOptions->FUseOldItemNameFormat)
        return itemName + QString::number(index);
    return itemName + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
}

QString TVxCustomAppStorage::EncryptPropertyValue(const QString &value) const
{
    if (!IsPropertyValueCryptEnabled() || !isSignalConnected(QMetaMethod::fromSignal(&TVxCustomAppStorage::OnEncryptPropertyValue)))
        return value;
    QString text = value;
    emit const_cast<TVxCustomAppStorage *>(this)->OnEncryptPropertyValue(text);
    return QString::fromLatin1(Base64EncodeText(text.toUtf8()));
}

QString TVxCustomAppStorage::DecryptPropertyValue(const QString &value) const
{
    if (!IsPropertyValueCryptEnabled() || !isSignalConnected(QMetaMethod::fromSignal(&TVxCustomAppStorage::OnDecryptPropertyValue)))
        return value;
    QString text = QString::fromUtf8(Base64DecodeText(value.toLatin1()));
    emit const_cast<TVxCustomAppStorage *>(this)->OnDecryptPropertyValue(text);
    return text;
}

QString TVxCustomAppStorage::DateTimeFormat() const
{
    const TVxTranslateString *engine = ActiveTranslateStringEngine();
    if (FStorageOptions->FUseTranslateStringEngineDateTimeFormats && engine &&
        !engine->DateFormat().isEmpty() && !engine->TimeFormat().isEmpty())
        return QtDateTimeFormat(engine->DateFormat() + QLatin1Char(' ') + engine->TimeFormat());
    return {}; // ISO 8601: it reads back to the second whatever the desktop's locale is
}

bool TVxCustomAppStorage::WriteRefused(const TVxCustomAppStorage *target) const
{
    return target->FReadOnly || target->IsReadOnlyBackEnd();
}

// ---- public operations: resolve, then ask the storage that serves the path ------------------

#define VX_RESOLVE(path)                                                                                               \
    TVxCustomAppStorage *target = nullptr;                                                                             \
    QString targetPath;                                                                                                \
    ResolvePath(path, target, targetPath)

bool TVxCustomAppStorage::IsFolder(const QString &path, bool listIsValue) const
{
    VX_RESOLVE(path);
    return target->DoIsFolder(targetPath, listIsValue);
}

bool TVxCustomAppStorage::ValueStored(const QString &path) const
{
    VX_RESOLVE(path);
    return target->DoValueStored(targetPath);
}

bool TVxCustomAppStorage::PathExists(const QString &path) const
{
    VX_RESOLVE(path);
    return target->DoPathExists(targetPath);
}

int TVxCustomAppStorage::ReadInteger(const QString &path, int defaultValue) const
{
    VX_RESOLVE(path);
    return target->DoReadInteger(targetPath, defaultValue);
}

void TVxCustomAppStorage::WriteInteger(const QString &path, int value)
{
    VX_RESOLVE(path);
    if (!WriteRefused(target))
        target->DoWriteInteger(targetPath, value);
}

double TVxCustomAppStorage::ReadFloat(const QString &path, double defaultValue) const
{
    VX_RESOLVE(path);
    return target->DoReadFloatTyped(targetPath, defaultValue);
}

void TVxCustomAppStorage::WriteFloat(const QString &path, double value)
{
    VX_RESOLVE(path);
    if (!WriteRefused(target))
        target->DoWriteFloatTyped(targetPath, value);
}

QString TVxCustomAppStorage::ReadString(const QString &path, const QString &defaultValue) const
{
    VX_RESOLVE(path);
    if (!target->DoValueStored(targetPath))
        return defaultValue;
    return target->DecryptPropertyValue(target->DoReadString(targetPath, defaultValue));
}

void TVxCustomAppStorage::WriteString(const QString &path, const QString &value)
{
    VX_RESOLVE(path);
    if (!WriteRefused(target))
        target->DoWriteString(targetPath, target->EncryptPropertyValue(value));
}

QByteArray TVxCustomAppStorage::ReadBinary(const QString &path) const
{
    VX_RESOLVE(path);
    return target->DoReadBinary(targetPath);
}

void TVxCustomAppStorage::WriteBinary(const QString &path, const QByteArray &value)
{
    VX_RESOLVE(path);
    if (!WriteRefused(target))
        target->DoWriteBinary(targetPath, value);
}

QDateTime TVxCustomAppStorage::ReadDateTime(const QString &path, const QDateTime &defaultValue) const
{
    VX_RESOLVE(path);
    return target->DoReadDateTime(targetPath, defaultValue);
}

void TVxCustomAppStorage::WriteDateTime(const QString &path, const QDateTime &value)
{
    VX_RESOLVE(path);
    if (!WriteRefused(target))
        target->DoWriteDateTime(targetPath, value);
}

bool TVxCustomAppStorage::ReadBoolean(const QString &path, bool defaultValue) const
{
    VX_RESOLVE(path);
    return target->DoReadBoolean(targetPath, defaultValue);
}

void TVxCustomAppStorage::WriteBoolean(const QString &path, bool value)
{
    VX_RESOLVE(path);
    if (!WriteRefused(target))
        target->DoWriteBoolean(targetPath, value);
}

qint64 TVxCustomAppStorage::ReadEnumeration(const QString &path, PTypeInfo type, qint64 defaultValue) const
{
    VX_RESOLVE(path);
    return target->DoReadEnumeration(targetPath, type, defaultValue);
}

void TVxCustomAppStorage::WriteEnumeration(const QString &path, PTypeInfo type, qint64 value)
{
    VX_RESOLVE(path);
    if (!WriteRefused(target))
        target->DoWriteEnumeration(targetPath, type, value);
}

TOsBitSet TVxCustomAppStorage::ReadSet(const QString &path, PTypeInfo setType, const TOsBitSet &defaultValue) const
{
    VX_RESOLVE(path);
    return target->DoReadSet(targetPath, setType, defaultValue);
}

void TVxCustomAppStorage::WriteSet(const QString &path, PTypeInfo setType, const TOsBitSet &value)
{
    VX_RESOLVE(path);
    if (!WriteRefused(target))
        target->DoWriteSet(targetPath, setType, value);
}

void TVxCustomAppStorage::DeleteValue(const QString &path)
{
    VX_RESOLVE(path);
    if (!WriteRefused(target))
        target->DoDeleteValue(targetPath);
}

void TVxCustomAppStorage::DeleteSubTree(const QString &path)
{
    VX_RESOLVE(path);
    if (!WriteRefused(target))
        target->DoDeleteSubTree(targetPath);
}

void TVxCustomAppStorage::GetStoredValues(const QString &path, QStringList &names, bool recursive) const
{
    VX_RESOLVE(path);
    target->DoGetStoredValues(targetPath, names, recursive);
}

int TVxCustomAppStorage::ReadListCount(const QString &path) const
{
    return ReadInteger(ConcatPaths({path, QStringLiteral("Count")}), 0);
}

#undef VX_RESOLVE

// ---- typed conversions -----------------------------------------------------------------------

double TVxCustomAppStorage::DoReadFloatTyped(const QString &path, double defaultValue) const
{
    if (!DoValueStored(path) && FStorageOptions->FDefaultIfValueNotExists)
        return defaultValue;
    if (!FStorageOptions->FFloatAsString)
        return DoReadFloat(path, defaultValue);
    const QString text = DoReadString(path, QLocale::c().toString(defaultValue, 'g', 17));
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (ok)
        return value;
    if (FStorageOptions->FDefaultIfReadConvertError)
        return defaultValue;
    throw EVxAppStorageError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

void TVxCustomAppStorage::DoWriteFloatTyped(const QString &path, double value)
{
    if (FStorageOptions->FFloatAsString)
        DoWriteString(path, QLocale::c().toString(value, 'g', 17));
    else
        DoWriteFloat(path, value);
}

QDateTime TVxCustomAppStorage::DoReadDateTime(const QString &path, const QDateTime &defaultValue) const
{
    if (!DoValueStored(path) && FStorageOptions->FDefaultIfValueNotExists)
        return defaultValue;
    if (!FStorageOptions->FDateTimeAsString) {
        // Without text, a moment is kept as seconds since 1970.
        return QDateTime::fromSecsSinceEpoch(qint64(DoReadFloat(path, double(defaultValue.toSecsSinceEpoch()))));
    }
    const QString format = DateTimeFormat();
    const QString text = DoReadString(path, QString());
    const QDateTime value = format.isEmpty() ? QDateTime::fromString(text, Qt::ISODate)
                                             : QDateTime::fromString(text, format);
    if (value.isValid())
        return value;
    if (FStorageOptions->FDefaultIfReadConvertError || text.isEmpty())
        return defaultValue;
    throw EVxAppStorageError(QStringLiteral("'%1' is not a valid date and time").arg(text));
}

void TVxCustomAppStorage::DoWriteDateTime(const QString &path, const QDateTime &value)
{
    if (!FStorageOptions->FDateTimeAsString) {
        DoWriteFloat(path, double(value.toSecsSinceEpoch()));
        return;
    }
    const QString format = DateTimeFormat();
    DoWriteString(path, format.isEmpty() ? value.toString(Qt::ISODate) : value.toString(format));
}

bool TVxCustomAppStorage::DoReadBoolean(const QString &path, bool defaultValue) const
{
    if (!DoValueStored(path) && FStorageOptions->FDefaultIfValueNotExists)
        return defaultValue;
    if (FStorageOptions->BooleanAsString()) {
        const QString defaultText =
            defaultValue ? FStorageOptions->DefaultTrueString() : FStorageOptions->DefaultFalseString();
        const QString text = DoReadString(path, defaultText);
        if (FStorageOptions->IsValueTrueString(text))
            return true;
        if (FStorageOptions->IsValueFalseString(text))
            return false;
    }
    return DoReadInteger(path, defaultValue ? 1 : 0) != 0;
}

void TVxCustomAppStorage::DoWriteBoolean(const QString &path, bool value)
{
    if (FStorageOptions->BooleanAsString())
        DoWriteString(path, value ? FStorageOptions->DefaultTrueString() : FStorageOptions->DefaultFalseString());
    else
        DoWriteInteger(path, value ? 1 : 0);
}

namespace {
bool IsIntegerLike(PTypeInfo type)
{
    return type && (type->Kind == tkInteger || type->Kind == tkChar || type->Kind == tkWChar || type->Kind == tkInt64);
}

// The element type of a set, which must be an ordinal the storage can name or number.
PTypeInfo SetElementType(PTypeInfo setType)
{
    const PTypeInfo element = setType && setType->Kind == tkSet ? setType->BaseType : nullptr;
    if (!element || (element->Kind != tkEnumeration && !IsIntegerLike(element)))
        throw EVxAppStorageError(VxConsts::SUnknownBaseType);
    return element;
}

quint32 FirstWord(const TOsBitSet &set)
{
    return set.empty() ? 0 : set.front();
}
} // namespace

qint64 TVxCustomAppStorage::DoReadEnumeration(const QString &path, PTypeInfo type, qint64 defaultValue) const
{
    if (IsIntegerLike(type))
        return DoReadInteger(path, int(defaultValue));
    if (!type || type->Kind != tkEnumeration)
        throw EVxAppStorageError(VxConsts::SInvalidType);
    if (!DoValueStored(path) && FStorageOptions->FDefaultIfValueNotExists)
        return defaultValue;
    if (!FStorageOptions->FEnumAsStr)
        return DoReadInteger(path, int(defaultValue));
    const QString text = DoReadString(path, EnumNotKnown).trimmed();
    for (auto it = type->Names.begin(); it != type->Names.end(); ++it)
        if (it.value().compare(text, Qt::CaseInsensitive) == 0)
            return it.key();
    // A number where a name was expected is still the value it says.
    bool isNumber = false;
    const qint64 number = text.toLongLong(&isNumber);
    if (isNumber && type->Names.contains(number))
        return number;
    return defaultValue;
}

void TVxCustomAppStorage::DoWriteEnumeration(const QString &path, PTypeInfo type, qint64 value)
{
    if (IsIntegerLike(type)) {
        DoWriteInteger(path, int(value));
        return;
    }
    if (!type || type->Kind != tkEnumeration)
        throw EVxAppStorageError(VxConsts::SInvalidType);
    if (FStorageOptions->FEnumAsStr && type->Names.contains(value))
        DoWriteString(path, type->Names.value(value));
    else
        DoWriteInteger(path, int(value));
}

TOsBitSet TVxCustomAppStorage::DoReadSet(const QString &path, PTypeInfo setType, const TOsBitSet &defaultValue) const
{
    SetElementType(setType);
    if (!DoValueStored(path) && FStorageOptions->FDefaultIfValueNotExists)
        return defaultValue;
    if (!FStorageOptions->FSetAsStr)
        return TOsBitSet{quint32(DoReadInteger(path, int(FirstWord(defaultValue))))};
    TOsBitSet value;
    try {
        SetValueFromText(setType, value, DoReadString(path, SetValueAsText(setType, defaultValue, true)));
    } catch (const EOsRTTIError &e) {
        if (FStorageOptions->FDefaultIfReadConvertError)
            return defaultValue;
        throw EVxAppStorageError(e.Message());
    }
    return value;
}

void TVxCustomAppStorage::DoWriteSet(const QString &path, PTypeInfo setType, const TOsBitSet &value)
{
    SetElementType(setType);
    if (FStorageOptions->FSetAsStr)
        DoWriteString(path, SetValueAsText(setType, value, true));
    else
        DoWriteInteger(path, int(FirstWord(value)));
}

// ---- INI file back end -----------------------------------------------------------------------

namespace {
const QString RootSection = QStringLiteral("\\");

void IniKey(const QString &path, QString &section, QString &key)
{
    TVxCustomAppStorage::SplitKeyPath(WithoutLeadingBackslashes(path), section, key);
    if (section.isEmpty())
        section = RootSection;
}

bool SectionIsUnder(const QString &section, const QString &folder)
{
    return folder.isEmpty() || section.compare(folder, Qt::CaseInsensitive) == 0 ||
           section.startsWith(folder + Backslash, Qt::CaseInsensitive);
}
} // namespace

TVxAppIniFileStorage::TVxAppIniFileStorage(const QString &fileName, QObject *owner)
    : TVxCustomAppStorage(owner), FIniFile(std::make_unique<TIniFile>(fileName))
{
}

TVxAppIniFileStorage::~TVxAppIniFileStorage() = default;

QString TVxAppIniFileStorage::FileName() const
{
    return FIniFile->FileName();
}

bool TVxAppIniFileStorage::DoIsFolder(const QString &path, bool listIsValue) const
{
    const QString folder = WithoutLeadingBackslashes(path);
    if (listIsValue && FIniFile->ValueExists(folder.isEmpty() ? RootSection : folder, QStringLiteral("Count")))
        return false;
    const QStringList sections = FIniFile->ReadSections();
    return std::any_of(sections.begin(), sections.end(),
                       [&](const QString &s) { return s != RootSection && SectionIsUnder(s, folder); });
}

bool TVxAppIniFileStorage::DoValueStored(const QString &path) const
{
    QString section, key;
    IniKey(path, section, key);
    return FIniFile->ValueExists(section, key);
}

bool TVxAppIniFileStorage::DoPathExists(const QString &path) const
{
    return DoValueStored(path) || DoIsFolder(path, false);
}

int TVxAppIniFileStorage::DoReadInteger(const QString &path, int defaultValue) const
{
    QString section, key;
    IniKey(path, section, key);
    return FIniFile->ReadInteger(section, key, defaultValue);
}

void TVxAppIniFileStorage::DoWriteInteger(const QString &path, int value)
{
    DoWriteString(path, QString::number(value));
}

double TVxAppIniFileStorage::DoReadFloat(const QString &path, double defaultValue) const
{
    bool ok = false;
    const double value = QLocale::c().toDouble(DoReadString(path, QString()).trimmed(), &ok);
    return ok ? value : defaultValue;
}

void TVxAppIniFileStorage::DoWriteFloat(const QString &path, double value)
{
    DoWriteString(path, QLocale::c().toString(value, 'g', 17));
}

QString TVxAppIniFileStorage::DoReadString(const QString &path, const QString &defaultValue) const
{
    QString section, key;
    IniKey(path, section, key);
    return FIniFile->ReadString(section, key, defaultValue);
}

void TVxAppIniFileStorage::DoWriteString(const QString &path, const QString &value)
{
    QString section, key;
    IniKey(path, section, key);
    // One line per value: line breaks would start a new key.
    QString line = value;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    FLastWriteSucceeded = FIniFile->WriteString(section, key, line);
}

QByteArray TVxAppIniFileStorage::DoReadBinary(const QString &path) const
{
    return Base64DecodeText(DoReadString(path, QString()).toLatin1());
}

void TVxAppIniFileStorage::DoWriteBinary(const QString &path, const QByteArray &value)
{
    // The decoder skips line breaks, so the value fits on one line without them.
    QByteArray text = Base64EncodeText(value);
    text.replace("\r\n", "");
    DoWriteString(path, QString::fromLatin1(text));
}

void TVxAppIniFileStorage::DoDeleteValue(const QString &path)
{
    QString section, key;
    IniKey(path, section, key);
    FLastWriteSucceeded = FIniFile->DeleteKey(section, key);
}

void TVxAppIniFileStorage::DoDeleteSubTree(const QString &path)
{
    const QString folder = WithoutLeadingBackslashes(path);
    FLastWriteSucceeded = true;
    for (const QString &section : FIniFile->ReadSections())
        if (section != RootSection && SectionIsUnder(section, folder))
            FLastWriteSucceeded = FIniFile->EraseSection(section) && FLastWriteSucceeded;
    if (folder.isEmpty())
        FLastWriteSucceeded = FIniFile->EraseSection(RootSection) && FLastWriteSucceeded;
}

void TVxAppIniFileStorage::DoGetStoredValues(const QString &path, QStringList &names, bool recursive) const
{
    const QString folder = WithoutLeadingBackslashes(path);
    const QString own = folder.isEmpty() ? RootSection : folder;
    for (const QString &key : FIniFile->ReadSection(own))
        names.append(key);
    if (!recursive)
        return;
    for (const QString &section : FIniFile->ReadSections()) {
        if (section == RootSection || section.compare(own, Qt::CaseInsensitive) == 0 || !SectionIsUnder(section, folder))
            continue;
        const QString relative = folder.isEmpty() ? section : section.mid(folder.size() + 1);
        for (const QString &key : FIniFile->ReadSection(section))
            names.append(relative + Backslash + key);
    }
}
