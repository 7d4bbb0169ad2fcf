// The component's upkeep around the lists: removed and renamed components, the dispatcher link,
// the test mode, extended items, locale settings and the resource-string translator.
#include "lang/lcComp.h"

#include "lang/MemIni.h"
#include "lang/lcDispatcher.h"
#include "platform/vcl/Properties.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMetaEnum>
#include <QMetaProperty>

namespace {

const char *const TypeKindNames[] = {
    "tkUnknown", "tkInteger", "tkChar",      "tkEnumeration", "tkFloat", "tkString",   "tkSet",      "tkClass",
    "tkMethod",  "tkWChar",   "tkLString",   "tkWString",     "tkVariant", "tkArray",  "tkRecord",   "tkInterface",
    "tkInt64",   "tkDynArray", "tkUString",  "tkClassRef",    "tkPointer", "tkProcedure"};

TlcCustomLang *CurrentTranslator = nullptr;

const char *const LocaleKeys[] = {"Currency String",   "Thousand Separator", "Decimal Separator",
                                  "Date Separator",    "Short Date Format",  "Long Date Format",
                                  "Time Separator",    "Time AM String",     "Time PM String",
                                  "Short Time Format", "Long Time Format",   "Short Month Names",
                                  "Long Month Names",  "Short Day Names",    "Long Day Names"};

int KindOf(const QMetaProperty &property)
{
    if (!property.isValid())
        return tkUnknown;
    if (property.isEnumType())
        return property.isFlagType() ? tkSet : tkEnumeration;
    switch (property.metaType().id()) {
    case QMetaType::Bool: return tkEnumeration;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar: return tkInteger;
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return tkInt64;
    case QMetaType::Double:
    case QMetaType::Float: return tkFloat;
    case QMetaType::QString: return tkUString;
    case QMetaType::QChar: return tkWChar;
    case QMetaType::QStringList: return tkClass;
    default: return tkUnknown;
    }
}

} // namespace

QString TypeKindName(int kind)
{
    return kind >= 0 && kind < int(std::size(TypeKindNames)) ? QLatin1String(TypeKindNames[kind]) : QString();
}

int TypeKindFromName(const QString &name)
{
    for (int i = 0; i < int(std::size(TypeKindNames)); ++i)
        if (name.compare(QLatin1String(TypeKindNames[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// Extended items ---------------------------------------------------------------------------------

QString TlcExtendedItem::Identifier() const
{
    if (!FLink)
        return FIdentifier;
    const QString head = FLink == FLang->Owner() ? FLang->OwnerClassName() : FLink->objectName();
    const qsizetype dot = FIdentifier.indexOf(QLatin1Char('.'));
    return head + (dot >= 0 ? FIdentifier.mid(dot) : FIdentifier);
}

bool TlcExtendedItem::IsRoot() const
{
    return Identifier().startsWith(FLang->OwnerClassName() + QLatin1Char('.'));
}

TlcExtendedItem &TlcExtendedItems::Add()
{
    FItems.push_back(std::make_unique<TlcExtendedItem>(FLang));
    return *FItems.back();
}

TlcExtendedItem *TlcExtendedItems::Find(const QString &identifier) const
{
    for (const auto &item : FItems)
        if (item->Identifier().compare(identifier, Qt::CaseInsensitive) == 0)
            return item.get();
    return nullptr;
}

void TlcExtendedItems::Delete(int index)
{
    if (index >= 0 && index < Count())
        FItems.erase(FItems.begin() + index);
}

void TlcExtendedItems::Assign(const TlcExtendedItems &source)
{
    if (&source == this)
        return;
    FItems.clear();
    for (const auto &item : source.FItems) {
        TlcExtendedItem &added = Add();
        added.SetIdentifier(item->StoredIdentifier());
        added.Values = item->Values;
        added.PropertyType = item->PropertyType;
    }
}

QObject *TlcCustomLang::FindObjectByPath(const QString &identifier) const
{
    if (!FOwner)
        return nullptr;
    const qsizetype firstDot = identifier.indexOf(QLatin1Char('.'));
    if (firstDot < 0)
        return nullptr;
    QObject *current = nullptr;
    const QString head = identifier.left(firstDot);
    if (identifier.startsWith(OwnerClassName() + QLatin1Char('.')))
        current = FOwner;
    else
        // Components are found by name without regard to letter case, as the lists' keys are.
        for (QObject *child : FOwner->findChildren<QObject *>())
            if (child != this && child->objectName().compare(head, Qt::CaseInsensitive) == 0) {
                current = child;
                break;
            }
    QString rest = identifier.mid(firstDot + 1);
    while (current && rest.contains(QLatin1Char('.'))) {
        const qsizetype dot = rest.indexOf(QLatin1Char('.'));
        const QString part = rest.left(dot);
        const qsizetype open = part.indexOf(QLatin1Char('['));
        QMetaProperty property = VclProperties::Find(current, open >= 0 ? part.left(open) : part);
        if (!property.isValid())
            property = VclProperties::Find(current, part);
        QObject *next = property.isValid() ? VclProperties::ObjectValue(current, property) : nullptr;
        if (auto *collection = qobject_cast<TCollection *>(next)) {
            const qsizetype close = part.indexOf(QLatin1Char(']'), open + 1);
            bool ok = false;
            const int index = open >= 0 && close > open ? part.mid(open + 1, close - open - 1).toInt(&ok) : -1;
            // An index the collection does not hold leaves the path unresolved.
            next = ok ? collection->Item(index) : nullptr;
        }
        current = next;
        rest = rest.mid(dot + 1);
    }
    return current;
}

int TlcCustomLang::GetPropertyKind(const QString &identifier) const
{
    QObject *object = FindObjectByPath(identifier);
    const QMetaProperty property =
        VclProperties::Find(object, identifier.mid(identifier.lastIndexOf(QLatin1Char('.')) + 1));
    return object ? KindOf(property) : tkUnknown;
}

QString TlcCustomLang::GetPropValueText(const QString &identifier) const
{
    QObject *object = FindObjectByPath(identifier);
    const QMetaProperty property =
        VclProperties::Find(object, identifier.mid(identifier.lastIndexOf(QLatin1Char('.')) + 1));
    if (!object || !property.isReadable())
        return {};
    const QVariant value = property.read(object);
    switch (KindOf(property)) {
    case tkInteger:
    case tkInt64: return QString::number(value.toLongLong());
    case tkWChar:
    case tkUString: return value.toString();
    case tkFloat: return QString::number(value.toDouble(), 'g', 15);
    case tkEnumeration:
        if (property.metaType().id() == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return QString::fromLatin1(property.enumerator().valueToKey(value.toInt()));
    case tkSet:
        return QLatin1Char('[') +
               QString::fromLatin1(property.enumerator().valueToKeys(value.toInt())).replace(QLatin1Char('|'), QLatin1Char(',')) +
               QLatin1Char(']');
    case tkClass: return lcText::CommaText(value.toStringList());
    default: return {};
    }
}

void TlcCustomLang::SetPropValueText(const QString &identifier, const QString &text)
{
    QObject *object = FindObjectByPath(identifier);
    const QMetaProperty property =
        VclProperties::Find(object, identifier.mid(identifier.lastIndexOf(QLatin1Char('.')) + 1));
    if (!object || !VclProperties::IsReadWrite(property))
        return;
    // A text that does not convert leaves the property as it is.
    bool ok = false;
    QVariant value;
    switch (KindOf(property)) {
    case tkInteger:
    case tkInt64: {
        const QString trimmed = text.trimmed();
        const qlonglong number = trimmed.startsWith(QLatin1Char('$')) ? trimmed.mid(1).toLongLong(&ok, 16)
                                                                     : trimmed.toLongLong(&ok);
        ok = ok && (KindOf(property) == tkInt64 || (number >= INT_MIN && number <= INT_MAX));
        value = number;
        break;
    }
    case tkWChar:
        ok = text.size() == 1;
        value = text.isEmpty() ? QChar() : text[0];
        break;
    case tkUString:
        ok = true;
        value = text;
        break;
    case tkFloat: value = text.trimmed().toDouble(&ok); break;
    case tkEnumeration:
        if (property.metaType().id() == QMetaType::Bool) {
            ok = text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
                 text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
            value = text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
        } else {
            value = property.enumerator().keyToValue(text.trimmed().toLatin1().constData(), &ok);
        }
        break;
    case tkSet: {
        QString keys = text.trimmed();
        if (keys.startsWith(QLatin1Char('[')) && keys.endsWith(QLatin1Char(']')))
            keys = keys.mid(1, keys.size() - 2);
        QStringList parts = keys.split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (QString &part : parts)
            part = part.trimmed();
        value = parts.isEmpty() ? 0 : property.enumerator().keysToValue(parts.join(QLatin1Char('|')).toLatin1().constData(), &ok);
        ok = ok || parts.isEmpty();
        break;
    }
    case tkClass: {
        const QStringList items = lcText::FromCommaText(text);
        QStringList lines = property.read(object).toStringList();
        for (qsizetype i = 0; i < items.size(); ++i)
            if (i < lines.size())
                lines[i] = items[i];
            else
                lines.append(items[i]);
        while (lines.size() > items.size())
            lines.removeLast();
        value = lines;
        ok = true;
        break;
    }
    default: return;
    }
    if (ok)
        property.write(object, value);
}

QString TlcCustomLang::BuildSingleLanguageValues(const QString &text, int language) const
{
    QString values;
    for (int k = 1; k <= FNumOfLanguages; ++k)
        values += (k == language ? text : QString()) + Delim();
    return values;
}

void TlcCustomLang::ReplaceDelimiterInItems(QChar oldDelim, QChar newDelim)
{
    for (int i = 0; i < FExtended.Count(); ++i)
        FExtended.Items(i).Values.replace(oldDelim, newDelim);
}

void TlcCustomLang::ApplyExtendedTranslations()
{
    const bool testMode = TestModeOn();
    for (int i = 0; i < FExtended.Count(); ++i) {
        const TlcExtendedItem &item = FExtended.Items(i);
        QString text = GetDelimitedItem(item.Values, Delim(), FActiveLanguage - 1);
        if (text.isEmpty() && FUseDefaultLanguage && FActiveLanguage != FDefaultLanguage)
            text = GetDelimitedItem(item.Values, Delim(), FDefaultLanguage - 1);
        if (text.isEmpty() && testMode && FActiveLanguage >= 2)
            text = ApplyTestMode(lcText::ExtractWord(1, item.Values, QString(Delim())));
        if (text.isEmpty() && FTranslateType == ttGetDefault)
            text = lcText::ExtractWord(1, item.Values, QString(Delim()));
        if (!text.isEmpty())
            SetPropValueText(item.Identifier(), text);
    }
}

void TlcCustomLang::ApplyExtendedSafely()
{
    ApplyExtendedTranslations();
}

void TlcCustomLang::BindExtendedItems()
{
    if (!FOwner)
        return;
    for (int i = FExtended.Count() - 1; i >= 0; --i) {
        TlcExtendedItem &item = FExtended.Items(i);
        const QString head = item.StoredIdentifier().section(QLatin1Char('.'), 0, 0);
        if (head == OwnerClassName()) {
            item.SetLink(FOwner);
            continue;
        }
        QObject *found = nullptr;
        for (QObject *child : FOwner->findChildren<QObject *>())
            if (child != this && child->objectName().compare(head, Qt::CaseInsensitive) == 0) {
                found = child;
                break;
            }
        if (found)
            item.SetLink(found);
        else
            FExtended.Delete(i);
    }
}

// Removed and renamed components -----------------------------------------------------------------

void TlcCustomLang::SetDoNotTranslate(const QStringList &value)
{
    FDoNotTranslate = value;
    if (!FLoading)
        PurgeDoNotTranslate();
}

void TlcCustomLang::RemoveComponentKeys(QStringList &list, QObject *component, int typeIndex)
{
    // Keys are dropped only while the form is edited: at run time a line may wait for its target.
    if (!FDesigning || !component || list.isEmpty() || list.first().isEmpty())
        return;
    QString prefix = component == FOwner ? OwnerClassName() : component->objectName();
    if (prefix.isEmpty())
        return;
    prefix += (typeIndex == stMultiLines || typeIndex == stOtherStrings || typeIndex == stCollections)
                  ? QString(QLatin1Char('.'))
                  : QString(Delim());
    for (qsizetype i = list.size() - 1; i >= 0; --i)
        if (list[i].startsWith(prefix))
            list.removeAt(i);
}

namespace {

void RemoveAllKeys(TlcCustomLang &lang, QObject *component)
{
    for (int type : {stCaptions, stHints, stDisplayLabels, stFonts, stMultiLines, stOtherStrings, stCollections})
        lang.RemoveComponentKeys(*lang.GetStringsList(type), component, type);
    lang.RemoveComponentKeys(*lang.GetStringsList(stCharSets), component, stFonts);
}

} // namespace

void TlcCustomLang::PurgeDoNotTranslate()
{
    if (!FOwner)
        return;
    const QList<QObject *> children = FOwner->findChildren<QObject *>();
    for (const QString &entry : FDoNotTranslate) {
        QObject *named = nullptr;
        for (QObject *child : children)
            if (child->objectName().compare(entry, Qt::CaseInsensitive) == 0 && child != this) {
                named = child;
                break;
            }
        if (named) {
            RemoveAllKeys(*this, named);
        } else if (entry == OwnerClassName()) {
            RemoveAllKeys(*this, FOwner);
        } else if (entry.startsWith(QLatin1String("!T"))) {
            for (QObject *child : children)
                if (QLatin1String(child->metaObject()->className()) == entry.mid(1))
                    RemoveAllKeys(*this, child);
        }
    }
}

void TlcCustomLang::Notification(QObject *component)
{
    if (!component)
        return;
    if (component == static_cast<QObject *>(FDispatcher)) {
        FDispatcher = nullptr;
        return;
    }
    if (qobject_cast<TlcCustomLang *>(component))
        return;
    const QString name = component->objectName();
    FDoNotTranslate.removeAll(name);
    RemoveAllKeys(*this, component);
    RemoveComponentKeys(FSmartExcludeProps, component, stOtherStrings);
    if (name.isEmpty())
        return;
    for (int i = FExtended.Count() - 1; i >= 0; --i)
        if (FExtended.Items(i).Identifier().startsWith(name + QLatin1Char('.')) || FExtended.Items(i).Link() == component)
            FExtended.Delete(i);
}

void TlcCustomLang::RenameKeys(const QString &oldName, const QString &newName)
{
    if (newName.isEmpty() || oldName.isEmpty())
        return;
    QString from = oldName, to = newName;
    if (FOwner && oldName == FOwner->objectName()) {
        from = QLatin1Char('T') + from;
        to = QLatin1Char('T') + to;
    }
    auto rename = [&](QStringList &list) {
        for (QString &line : list) {
            qsizetype end = line.size();
            for (qsizetype i = 0; i < line.size(); ++i)
                if (line[i] == Delim() || line[i] == QLatin1Char('.')) {
                    end = i;
                    break;
                }
            if (QStringView(line).left(end) == from)
                line.replace(0, from.size(), to);
        }
    };
    for (auto &list : FLists)
        if (list)
            rename(*list);
    rename(FDoNotTranslate);
    rename(FSmartExcludeProps);
    for (int i = 0; i < FExtended.Count(); ++i) {
        TlcExtendedItem &item = FExtended.Items(i);
        if (item.StoredIdentifier().startsWith(oldName + QLatin1Char('.')))
            item.SetIdentifier(newName + item.StoredIdentifier().mid(oldName.size()));
    }
}

// Dispatcher and test mode -----------------------------------------------------------------------

TlcLangDispatcher *TlcCustomLang::LangDispatcher() const
{
    return FDispatcher;
}

void TlcCustomLang::SetLangDispatcher(TlcLangDispatcher *value)
{
    if (value != FDispatcher)
        UnlinkDispatcher();
    FDispatcher = value;
    if (!value)
        return;
    if (FLoading) {
        FNumOfLanguages = value->NumOfLanguages();
        FDefaultLanguage = std::clamp(value->DefaultLanguage(), 1, FNumOfLanguages);
        FUseDefaultLanguage = value->UseDefaultLanguage();
    } else if (FOwner && !FTemporary) {
        value->Link(this);
    }
}

void TlcCustomLang::UnlinkDispatcher()
{
    if (!FDispatcher)
        return;
    TlcLangDispatcher *dispatcher = FDispatcher;
    FDispatcher = nullptr;
    dispatcher->Unlink(this);
}

void TlcCustomLang::LinkToDispatcher()
{
    if (FDispatcher && FOwner && !FTemporary)
        FDispatcher->Link(this);
}

bool IsActionLinked(const QObject *component, int kind)
{
    if (!component || (kind != 0 && kind != 1))
        return false;
    const QObject *action =
        VclProperties::ObjectValue(component, VclProperties::Find(component, QStringLiteral("Action")));
    if (!action)
        return false;
    const QString name = kind == 0 ? QStringLiteral("Caption") : QStringLiteral("Hint");
    const QMetaProperty own = VclProperties::Find(component, name);
    const QMetaProperty its = VclProperties::Find(action, name);
    if (!own.isValid() || !its.isValid())
        return false;
    return own.read(component).toString() == its.read(action).toString();
}

bool TlcCustomLang::TestModeOn() const
{
    return FDispatcher && FDispatcher->TestModeInfo.Active;
}

QString TlcCustomLang::ApplyTestMode(const QString &s) const
{
    if (!FDispatcher)
        return s;
    const TTestModeInfo &info = FDispatcher->TestModeInfo;
    switch (info.Kind) {
    case tmkFlipCase: return lcText::InvertCase(s);
    case tmkExpandChars: return lcText::ExpandText(s, info.PaddingChar, info.ExpandCharsPercent);
    case tmkExpandWidth: {
        QString result = s.toUpper();
        if (s.isEmpty())
            return result;
        // Measured in the font the texts were designed for; without a display, by characters.
        std::function<int(const QString &)> width = [](const QString &text) { return int(text.size()); };
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            const QFontMetrics metrics(QFont(QStringLiteral("Tahoma"), 8));
            width = [metrics](const QString &text) { return metrics.horizontalAdvance(text); };
        }
        const int target = width(s) + width(s) * info.ExpandWidthPercent / 100;
        qsizetype p = result.size();
        // A padding character without width would never make the text wider.
        const qsizetype limit = 4 * (s.size() + 1) * (2 + std::max(0, info.ExpandWidthPercent) / 100);
        for (qsizetype n = 0; target > width(result) && n < limit; ++n) {
            result.insert(std::clamp<qsizetype>(p - 1, 0, result.size()), info.PaddingChar);
            p -= 2;
            if (p < 2)
                p = result.size() - 1;
        }
        return result;
    }
    }
    return s;
}

QString TlcCustomLang::GetTestModeText(const QString &line) const
{
    const QString text = GetDelimitedItem(line, Delim(), 1);
    return text.isEmpty() ? QString() : ApplyTestMode(text);
}

// Locale settings --------------------------------------------------------------------------------

TFormatSettings &FormatSettings()
{
    static TFormatSettings settings;
    return settings;
}

void TlcCustomLang::SetFormatSetting(const QString &key, const QString &text)
{
    TFormatSettings &s = FormatSettings();
    const QStringList items = lcText::FromCommaText(text);
    auto names = [&](int count) { return items.mid(0, count); };
    int index = -1;
    for (int i = 0; i < int(std::size(LocaleKeys)); ++i)
        if (key == QLatin1String(LocaleKeys[i]))
            index = i;
    switch (index) {
    case 0: s.CurrencyString = text; break;
    case 1: s.ThousandSeparator = text[0]; break;
    case 2: s.DecimalSeparator = text[0]; break;
    case 3: s.DateSeparator = text[0]; break;
    case 4: s.ShortDateFormat = text; break;
    case 5: s.LongDateFormat = text; break;
    case 6: s.TimeSeparator = text[0]; break;
    case 7: s.TimeAMString = text; break;
    case 8: s.TimePMString = text; break;
    case 9: s.ShortTimeFormat = text; break;
    case 10: s.LongTimeFormat = text; break;
    case 11: s.ShortMonthNames = names(12); break;
    case 12: s.LongMonthNames = names(12); break;
    case 13: s.ShortDayNames = names(7); break;
    case 14: s.LongDayNames = names(7); break;
    default: break;
    }
}

// Resource strings -------------------------------------------------------------------------------

void TlcCustomLang::RegisterResourceTranslator(TlcCustomLang *lang)
{
    if (CurrentTranslator || !lang->FOwner)
        return;
    CurrentTranslator = lang;
    lang->RebuildStringsCollections();
}

void TlcCustomLang::ClearResourceTranslator(TlcCustomLang *lang)
{
    if (CurrentTranslator == lang)
        CurrentTranslator = nullptr;
}

QString TlcCustomLang::TranslateResString(int, const QString &text)
{
    if (FResourceLanguageIndex == FActiveLanguage)
        return text;
    const QString result = FResourceCollection.GetValueByText(text, FActiveLanguage);
    return result.isEmpty() ? text : result;
}

namespace lcResourceStrings {

QString LoadResString(int ident, const QString &text)
{
    return CurrentTranslator ? CurrentTranslator->TranslateResString(ident, text) : text;
}

TlcCustomLang *Translator()
{
    return CurrentTranslator;
}

} // namespace lcResourceStrings
