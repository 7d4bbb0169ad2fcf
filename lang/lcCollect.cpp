// Collecting the texts a form shows now into the lists, the way a translator needs them: every
// caption, hint, font, string list, other text property and collection item text, keyed by
// component and property, with the shown text in the active language's field.
#include "lang/lcComp.h"

#include "lang/MemIni.h"
#include "lang/lcDispatcher.h"
#include "platform/vcl/Properties.h"

#include <QFont>
#include <QMetaProperty>

namespace {

bool IsString(const QMetaProperty &property)
{
    return property.metaType().id() == QMetaType::QString;
}

bool IsStringList(const QMetaProperty &property)
{
    return property.metaType().id() == QMetaType::QStringList;
}

// The owner's components in creation order: the ones a form would list.
QList<QObject *> Components(QObject *owner, const TlcCustomLang *self)
{
    QList<QObject *> result;
    for (QObject *child : owner->findChildren<QObject *>())
        if (!child->objectName().isEmpty() && child != self && !qobject_cast<TlcCustomLang *>(child) &&
            !qobject_cast<TlcLangDispatcher *>(child) && !child->objectName().startsWith(QLatin1String("qt_")))
            result.append(child);
    return result;
}

} // namespace

void TlcCustomLang::CollectLine(int typeIndex, const QString &key, const QString &value)
{
    QStringList &list = *FLists[size_t(typeIndex)];
    for (const QString &line : list) {
        if (!line.startsWith(key + Delim()))
            continue;
        const QString current = GetDelimitedItem(line, Delim(), FActiveLanguage);
        if (value != current && (!current.isEmpty() || FActiveLanguage == 1)) {
            SetTranslation(list, value, FActiveLanguage, key);
            if (OnChange)
                OnChange(this);
        }
        return;
    }
    // A component that got another name keeps the translations its old line held.
    for (const QString &held : FHolding)
        if (!value.isEmpty() && GetDelimitedItem(held, Delim(), FActiveLanguage) == value) {
            list.append(key + held.mid(held.indexOf(Delim())));
            return;
        }
    list.append(key + Delim() + value + QString(FNumOfLanguages, Delim()));
}

void TlcCustomLang::CollectOwnerText(int typeIndex, const QString &propName)
{
    const QString className = OwnerClassName();
    const QMetaProperty property = VclProperties::Find(FOwner, propName);
    if (!VclProperties::IsReadWrite(property) || !IsString(property) ||
        FExcludedProperties.contains(propName, Qt::CaseInsensitive) || !IsOwnerTranslatable())
        return;
    QStringList &list = *FLists[size_t(typeIndex)];
    if (FSmartExcludeProps.contains(className + QLatin1Char('.') + propName, Qt::CaseInsensitive)) {
        RemoveComponentKeys(list, FOwner, typeIndex);
        return;
    }
    if (IsActionLinked(FOwner, typeIndex))
        return;
    CollectOwnerLine(list, property.read(FOwner).toString(), true);
}

// The owner's line, keyed by its class name, stays line 0 of its list. A line 0 under another
// key showing the same text is taken for the owner's only where the text is the owner's own (a
// caption): a font or character set is shared by many controls.
void TlcCustomLang::CollectOwnerLine(QStringList &list, const QString &value, bool keyByText)
{
    if (FAutoSkipEmpties && value.isEmpty())
        return;
    const QString className = OwnerClassName();
    const QString ownerName = FOwner->objectName();
    if (!list.isEmpty()) {
        const QString key0 = GetDelimitedItem(list.first(), Delim(), 0);
        if (key0 != className && (key0 == ownerName ||
                                  (keyByText && !ownerName.isEmpty() && GetDelimitedItem(list.first(), Delim(), 1) == value &&
                                   !value.isEmpty())))
            list.first().replace(0, key0.size(), className);
    }
    if (list.isEmpty() || !list.first().startsWith(className + Delim()))
        list.insert(0, className + Delim() + value + QString(FNumOfLanguages, Delim()));
    if (value != GetDelimitedItem(list.first(), Delim(), FActiveLanguage)) {
        SetTranslation(list, value, FActiveLanguage, className);
        if (OnChange)
            OnChange(this);
    }
}

void TlcCustomLang::CollectOwnerFont()
{
    const QMetaProperty property = VclProperties::Find(FOwner, QStringLiteral("Font"));
    if (!VclProperties::IsReadWrite(property) || property.metaType().id() != QMetaType::QFont ||
        FExcludedProperties.contains(QStringLiteral("Font"), Qt::CaseInsensitive) || !IsOwnerTranslatable())
        return;
    if (FSmartExcludeProps.contains(OwnerClassName() + QStringLiteral(".Font"), Qt::CaseInsensitive)) {
        RemoveComponentKeys(Fonts(), FOwner, stFonts);
        RemoveComponentKeys(CharSets(), FOwner, stFonts);
        return;
    }
    CollectOwnerLine(Fonts(), property.read(FOwner).value<QFont>().family(), false);
    if (!FExcludedProperties.contains(QStringLiteral("Charset"), Qt::CaseInsensitive))
        CollectOwnerLine(CharSets(), lcCharSets::CharSetName(VclFont::Charset(FOwner)), false);
}

void TlcCustomLang::CollectType(int typeIndex)
{
    QList<QObject *> components = Components(FOwner, this);
    if (typeIndex == stOtherStrings)
        components.prepend(FOwner);
    for (QObject *component : components) {
        const QString className = QLatin1String(component->metaObject()->className());
        const QString name = component == FOwner ? OwnerClassName() : component->objectName();
        if (FDoNotTranslate.contains(name, Qt::CaseInsensitive) ||
            FDoNotTranslate.contains(QLatin1Char('!') + className, Qt::CaseInsensitive))
            continue;
        QList<QMetaProperty> properties;
        for (const QMetaProperty &property : VclProperties::Published(component))
            if (VclProperties::IsReadWrite(property) || VclProperties::ObjectValue(component, property))
                properties.append(property);
        for (const QMetaProperty &property : properties) {
            const QString prop = QLatin1String(property.name());
            auto excluded = [&](const QString &key, const QString &propName) {
                if (!IsExcludedProperty(name, propName))
                    return false;
                QStringList &list = *FLists[size_t(typeIndex)];
                for (qsizetype i = list.size() - 1; i >= 0; --i)
                    if (list[i].startsWith(key + Delim()))
                        list.removeAt(i);
                return true;
            };
            switch (typeIndex) {
            case stCaptions:
            case stHints:
            case stDisplayLabels: {
                if (component == FOwner || prop != StringsTypeDefaultProperty(typeIndex) || !IsString(property) ||
                    !property.isWritable() || excluded(name, prop))
                    break;
                const QString value = property.read(component).toString();
                if ((FAutoSkipEmpties && value.isEmpty()) ||
                    (className == QLatin1String("TMenuItem") && value == QLatin1String("-")) ||
                    IsActionLinked(component, typeIndex))
                    break;
                CollectLine(typeIndex, name, value);
                break;
            }
            case stFonts: {
                if (component == FOwner || prop != QLatin1String("Font") ||
                    property.metaType().id() != QMetaType::QFont || excluded(name, prop))
                    break;
                // A control that follows its parent's font has no font of its own to translate.
                if (VclFont::ParentFont(component)) {
                    RemoveComponentKeys(Fonts(), component, stFonts);
                    RemoveComponentKeys(CharSets(), component, stFonts);
                    break;
                }
                CollectLine(stFonts, name, property.read(component).value<QFont>().family());
                const QString charSet = lcCharSets::CharSetName(VclFont::Charset(component));
                bool present = false;
                for (const QString &line : CharSets())
                    present = present || line.startsWith(name + Delim());
                if (!present && !FExcludedProperties.contains(QStringLiteral("Charset"), Qt::CaseInsensitive))
                    CharSets().append(name + Delim() + charSet + QString(FNumOfLanguages, Delim()));
                break;
            }
            case stMultiLines:
                if (!IsStringList(property) || !property.isWritable() || className == QLatin1String("TFormStorage") ||
                    excluded(name + QLatin1Char('.') + prop, prop))
                    break;
                if (!(FAutoSkipEmpties && property.read(component).toStringList().isEmpty()))
                    CollectLine(typeIndex, name + QLatin1Char('.') + prop,
                                lcText::CommaText(property.read(component).toStringList()));
                break;
            case stOtherStrings: {
                static const QStringList own = {QStringLiteral("Name"), QStringLiteral("Caption"),
                                                QStringLiteral("Hint"), QStringLiteral("DisplayLabel")};
                if (IsString(property) && property.isWritable() && !own.contains(prop, Qt::CaseInsensitive)) {
                    if (excluded(name + QLatin1Char('.') + prop, prop))
                        break;
                    const QString value = property.read(component).toString();
                    if (!(FAutoSkipEmpties && value.isEmpty()))
                        CollectLine(typeIndex, name + QLatin1Char('.') + prop, value);
                    break;
                }
                QObject *object = VclProperties::ObjectValue(component, property);
                if (!object || qobject_cast<TCollection *>(object) || prop == QLatin1String("Properties"))
                    break;
                for (const QMetaProperty &sub : VclProperties::Published(object)) {
                    const QString subName = QLatin1String(sub.name());
                    const QString key = name + QLatin1Char('.') + prop + QLatin1Char('.') + subName;
                    if (!IsString(sub) || !VclProperties::IsReadWrite(sub) || excluded(key, subName))
                        continue;
                    const QString value = sub.read(object).toString();
                    if (!(FAutoSkipEmpties && value.isEmpty()))
                        CollectLine(typeIndex, key, value);
                }
                break;
            }
            case stCollections: {
                const auto *collection = qobject_cast<TCollection *>(VclProperties::ObjectValue(component, property));
                if (!collection || excluded(name + QLatin1Char('.') + prop, prop))
                    break;
                for (int i = 0; i < collection->Count(); ++i) {
                    QObject *item = collection->Item(i);
                    for (const QMetaProperty &sub : VclProperties::Published(item)) {
                        const QString subName = QLatin1String(sub.name());
                        const QString key = QStringLiteral("%1.%2[%3].%4").arg(name, prop).arg(i).arg(subName);
                        if (!IsString(sub) || !VclProperties::IsReadWrite(sub) || IsExcludedProperty(name, subName))
                            continue;
                        const QString value = sub.read(item).toString();
                        if (!(FAutoSkipEmpties && value.isEmpty()))
                            CollectLine(typeIndex, key, value);
                    }
                }
                break;
            }
            default: break;
            }
        }
    }
}

void TlcCustomLang::CheckDesignTargets()
{
    // Lines whose component or property is gone, or whose property no longer holds that kind.
    auto check = [this](int type) {
        QStringList &list = *FLists[size_t(type)];
        for (qsizetype i = list.size() - 1; i >= 0; --i) {
            const QString key = GetDelimitedItem(list[i], Delim(), 0);
            const QString component = (type == stMultiLines || type == stOtherStrings || type == stCollections)
                                          ? key.section(QLatin1Char('.'), 0, 0)
                                          : key;
            QObject *target = FindTarget(component);
            QString prop = type == stMultiLines || type == stOtherStrings ? key.section(QLatin1Char('.'), 1, 1)
                           : type == stCollections ? key.section(QLatin1Char('.'), 1).section(QLatin1Char('['), 0, 0)
                                                   : StringsTypeDefaultProperty(type == stCharSets ? stFonts : type);
            if (prop.contains(QLatin1Char('.')))
                prop = prop.section(QLatin1Char('.'), -1);
            const QMetaProperty property = VclProperties::Find(target, prop);
            bool keep = target && property.isValid();
            if (keep && (type <= stDisplayLabels) )
                keep = IsString(property);
            if (keep && type == stOtherStrings && !key.section(QLatin1Char('.'), 2).isEmpty())
                keep = VclProperties::ObjectValue(target, property) != nullptr;
            else if (keep && type == stOtherStrings)
                keep = IsString(property);
            if (keep && type == stMultiLines && key.section(QLatin1Char('.'), 2).isEmpty())
                keep = IsStringList(property);
            if (!keep)
                list.removeAt(i);
        }
    };
    for (int type : {stCaptions, stHints, stDisplayLabels, stFonts, stCharSets, stMultiLines, stOtherStrings, stCollections})
        check(type);
}

void TlcCustomLang::UpdateStrings()
{
    if (FTemporary || !FOwner)
        return;
    const bool raise = FDoRaiseExceptions;
    FDoRaiseExceptions = false;
    BuildComponentIndex();
    FHolding.clear();
    CollectOwnerText(stCaptions, QStringLiteral("Caption"));
    CollectOwnerText(stHints, QStringLiteral("Hint"));
    CollectOwnerFont();
    const bool ownerFont = VclProperties::Find(FOwner, QStringLiteral("Font")).metaType().id() == QMetaType::QFont;
    for (int type : {stCaptions, stHints, stDisplayLabels, stFonts, stMultiLines, stOtherStrings, stCollections}) {
        if (FExcludedProperties.contains(StringsTypeDefaultProperty(type), Qt::CaseInsensitive) ||
            (type == stFonts && !ownerFont))
            continue;
        if (type == stFonts)
            CheckListTargets(stCharSets);
        CheckListTargets(type);
        CollectType(type);
        FHolding.clear();
    }
    CheckDesignTargets();
    // Extended items follow the values the form holds now.
    for (int i = FExtended.Count() - 1; i >= 0; --i) {
        TlcExtendedItem &item = FExtended.Items(i);
        const QString identifier = item.Identifier();
        QObject *object = FindObjectByPath(identifier);
        if (!object || !VclProperties::Find(object, identifier.section(QLatin1Char('.'), -1)).isValid()) {
            FExtended.Delete(i);
            continue;
        }
        const QString current = GetPropValueText(identifier);
        if (current == GetDelimitedItem(item.Values, Delim(), FActiveLanguage - 1))
            continue;
        QString rebuilt;
        for (int k = 1; k <= FNumOfLanguages; ++k)
            rebuilt += (k == FActiveLanguage ? current : GetDelimitedItem(item.Values, Delim(), k - 1)) + Delim();
        item.Values = rebuilt;
    }
    FComponents.clear();
    FDoRaiseExceptions = raise;
}

void CollectFormTexts(TlcCustomLang &lang)
{
    for (int type : {stCaptions, stHints, stDisplayLabels, stFonts, stMultiLines, stOtherStrings, stCollections,
                     stCharSets})
        lang.GetStringsList(type)->clear();
    const bool designing = lang.Designing();
    lang.SetDesigning(true);
    lang.UpdateStrings();
    lang.SetDesigning(designing);
}
