// Writing the active language into the owner form and its components, property by property.
#include "lang/lcComp.h"

#include "lang/MemIni.h"
#include "platform/vcl/Properties.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QMetaProperty>
#include <QVariant>

namespace {

bool IsStringProperty(const QMetaProperty &property)
{
    return property.metaType().id() == QMetaType::QString;
}

bool IsStringListProperty(const QMetaProperty &property)
{
    return property.metaType().id() == QMetaType::QStringList;
}

// Splits "Comp.Prop" or "Comp.Obj.Prop" keys.
struct TKeyPath
{
    QString component;
    QString property;
    QString subProperty;
};

TKeyPath SplitDottedKey(const QString &key)
{
    TKeyPath path;
    const qsizetype dot = key.indexOf(QLatin1Char('.'));
    path.component = dot < 0 ? key : key.left(dot);
    path.property = dot < 0 ? QString() : key.mid(dot + 1);
    const qsizetype sub = path.property.indexOf(QLatin1Char('.'));
    if (sub >= 0) {
        path.subProperty = path.property.mid(sub + 1);
        path.property.truncate(sub);
    }
    return path;
}

// "Comp.Coll[i].Prop", "Comp.Obj.Coll[i].Prop" or "Comp.Coll[i].Obj.Prop".
struct TCollectionPath
{
    QString component;
    QString objectProperty;
    QString collection;
    int index = -1;
    QString itemProperty;
    bool valid = false;
};

TCollectionPath SplitCollectionKey(const QString &key)
{
    TCollectionPath path;
    const qsizetype dot = key.indexOf(QLatin1Char('.'));
    const qsizetype open = key.indexOf(QLatin1Char('['), dot + 1);
    const qsizetype close = key.indexOf(QLatin1Char(']'), open + 1);
    if (dot < 0 || open < 0 || close < 0)
        return path;
    path.component = key.left(dot);
    path.collection = key.mid(dot + 1, open - dot - 1);
    const qsizetype objDot = path.collection.indexOf(QLatin1Char('.'));
    if (objDot >= 0) {
        path.objectProperty = path.collection.left(objDot);
        path.collection = path.collection.mid(objDot + 1);
    }
    bool ok = false;
    path.index = key.mid(open + 1, close - open - 1).toInt(&ok);
    if (key.mid(close + 1, 1) == QLatin1String("."))
        path.itemProperty = key.mid(close + 2);
    path.valid = ok && !path.itemProperty.isEmpty();
    return path;
}

// Writes a list of texts over a string-list property one item at a time, keeping the control's
// selection, and with word wrap off while a memo's lines change.
void UpdateStringList(QObject *object, const QMetaProperty &property, const QString &commaText)
{
    const QStringList current = property.read(object).toStringList();
    if (lcText::CommaText(current) == commaText)
        return;
    const QStringList items = lcText::FromCommaText(commaText);
    QStringList updated = current;
    for (qsizetype k = 0; k < items.size(); ++k) {
        if (k < updated.size())
            updated[k] = items[k];
        else
            updated.append(items[k]);
    }
    while (updated.size() > items.size())
        updated.removeLast();
    const QMetaProperty itemIndex = VclProperties::Find(object, QStringLiteral("ItemIndex"));
    const QMetaProperty wordWrap = VclProperties::Find(object, QStringLiteral("WordWrap"));
    const QVariant index = VclProperties::IsReadWrite(itemIndex) ? itemIndex.read(object) : QVariant();
    const bool wrapped = VclProperties::IsReadWrite(wordWrap) && wordWrap.read(object).toBool();
    if (wrapped)
        wordWrap.write(object, false);
    property.write(object, updated);
    if (index.isValid() && itemIndex.read(object) != index)
        itemIndex.write(object, index);
    if (wrapped)
        wordWrap.write(object, true);
}

} // namespace

void TlcCustomLang::BuildComponentIndex()
{
    FComponents.clear();
    if (!FOwner)
        return;
    for (QObject *child : FOwner->findChildren<QObject *>()) {
        const QString name = child->objectName();
        if (!name.isEmpty() && child != this)
            FComponents.insert(name.toLower(), child);
    }
}

QObject *TlcCustomLang::FindTarget(const QString &name) const
{
    if (QObject *found = FComponents.value(name.toLower()))
        return found;
    if (FOwner && (name.compare(OwnerClassName(), Qt::CaseInsensitive) == 0 ||
                   name.compare(FOwner->objectName(), Qt::CaseInsensitive) == 0))
        return FOwner;
    return nullptr;
}

bool TlcCustomLang::InDoNotTranslate(const QString &name) const
{
    return FDoNotTranslate.contains(name, Qt::CaseInsensitive);
}

bool TlcCustomLang::IsOwnerTranslatable() const
{
    return !FDoNotTranslate.contains(OwnerClassName(), Qt::CaseInsensitive);
}

QString TlcCustomLang::TextForLine(const QStringList &list, int index, bool testMode) const
{
    QString text = GetDelimitedItemOrDefault(list[index], FActiveLanguage);
    if (testMode && FTestMode && text.isEmpty() && FActiveLanguage > 1)
        text = GetTestModeText(list[index]);
    if (text.isEmpty() && FTranslateType == ttGetDefault)
        text = GetLineText(list, index, true);
    return text;
}

void TlcCustomLang::ChangeLanguage()
{
    if (!FOwner || FTemporary)
        return;
    FTestMode = TestModeOn();
    const bool cursor = FChangingCursor != -1 && qobject_cast<QApplication *>(QCoreApplication::instance());
    if (cursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    RefreshCharSets();
    if (FTranslateExtendedFirst && FSingleType == -1)
        ApplyExtendedSafely();
    BuildComponentIndex();
    ApplyOwnerText(stCaptions, QStringLiteral("Caption"));
    ApplyOwnerText(stHints, QStringLiteral("Hint"));
    auto wanted = [this](int type) { return FSingleType == -1 || FSingleType == type; };
    for (int type : {stCaptions, stHints, stDisplayLabels})
        if (wanted(type))
            TranslateList(type);
    const QMetaProperty ownerFont = VclProperties::Find(FOwner, QStringLiteral("Font"));
    if (ownerFont.metaType().id() == QMetaType::QFont && (wanted(stFonts) || FSingleType == stCharSets))
        TranslateList(stFonts);
    ApplyOwnerFont();
    for (int type : {stMultiLines, stOtherStrings})
        if (wanted(type))
            TranslateList(type);
    if (FChangeLocales && wanted(stLocales))
        TranslateList(stLocales);
    if (wanted(stCollections))
        TranslateCollections();
    FComponents.clear();
    if (!FTranslateExtendedFirst && FSingleType == -1)
        ApplyExtendedSafely();
    if (cursor)
        QApplication::restoreOverrideCursor();
    if (OnChangeLanguage)
        OnChangeLanguage(this);
}

void TlcCustomLang::ApplyOwnerText(int typeIndex, const QString &propName)
{
    const QStringList &list = *FLists[size_t(typeIndex)];
    if (list.isEmpty() || !IsOwnerTranslatable() ||
        FSmartExcludeProps.contains(OwnerClassName() + QLatin1Char('.') + propName, Qt::CaseInsensitive))
        return;
    const QMetaProperty property = VclProperties::Find(FOwner, propName);
    if (!VclProperties::IsReadWrite(property) || !IsStringProperty(property))
        return;
    if (GetDelimitedItem(list.first(), Delim(), 0).compare(OwnerClassName(), Qt::CaseInsensitive) != 0)
        return;
    try {
        const QString text = TextForLine(list, 0);
        if (!text.isEmpty())
            property.write(FOwner, text);
    } catch (...) {
        // The owner's own text is never worth stopping a switch for.
    }
}

void TlcCustomLang::ApplyOwnerFont()
{
    const QStringList &fonts = Fonts();
    if (fonts.isEmpty() || !IsOwnerTranslatable() ||
        FSmartExcludeProps.contains(OwnerClassName() + QStringLiteral(".Font"), Qt::CaseInsensitive))
        return;
    const QMetaProperty property = VclProperties::Find(FOwner, QStringLiteral("Font"));
    if (!VclProperties::IsReadWrite(property) || property.metaType().id() != QMetaType::QFont)
        return;
    if (GetDelimitedItem(fonts.first(), Delim(), 0).compare(OwnerClassName(), Qt::CaseInsensitive) != 0)
        return;
    const QString name = TextForLine(fonts, 0, false);
    if (!name.isEmpty()) {
        QFont font = property.read(FOwner).value<QFont>();
        font.setFamily(name);
        property.write(FOwner, font);
    }
    for (const QString &line : CharSets())
        if (GetDelimitedItem(line, Delim(), 0).compare(OwnerClassName(), Qt::CaseInsensitive) == 0) {
            const int value = lcCharSets::CharSetValue(GetDelimitedItem(line, Delim(), FActiveLanguage));
            if (value >= 0)
                VclFont::SetCharset(FOwner, value);
            break;
        }
}

void TlcCustomLang::CheckListTargets(int typeIndex)
{
    if (typeIndex == stDlgsCaptions || typeIndex == stStrings || typeIndex == stLocales)
        return;
    QStringList &list = *FLists[size_t(typeIndex)];
    int start = 0;
    if (typeIndex == stCaptions || typeIndex == stHints || typeIndex == stFonts || typeIndex == stCharSets) {
        const QString propName = typeIndex == stCaptions ? QStringLiteral("Caption")
                                 : typeIndex == stHints  ? QStringLiteral("Hint")
                                                         : QStringLiteral("Font");
        if (VclProperties::Find(FOwner, propName).isValid())
            start = 1;
    }
    const bool actionTexts = typeIndex == stCaptions || typeIndex == stHints;
    if (actionTexts && start == 1 && IsActionLinked(FOwner, typeIndex) && !list.isEmpty() &&
        list.first().contains(OwnerClassName() + Delim())) {
        list.removeFirst();
        start = 0;
    }
    auto moveToHolding = [&](int &i) {
        FHolding.append(list[i]);
        list.removeAt(i);
        --i;
    };
    for (int i = start; i < list.size(); ++i) {
        const QString key = GetDelimitedItem(list[i], Delim(), 0);
        const QString component = key.section(QLatin1Char('.'), 0, 0);
        if (typeIndex == stCollections) {
            QObject *target = FComponents.value(component.toLower());
            if (!target) {
                moveToHolding(i);
                continue;
            }
            QString path = key.mid(component.size() + 1);
            if (path.startsWith(QLatin1String("Properties."))) {
                target = VclProperties::ObjectValue(target, VclProperties::Find(target, QStringLiteral("Properties")));
                path = path.mid(11);
            }
            const QString collectionName = path.left(path.indexOf(QLatin1Char('[')));
            const QMetaProperty property = VclProperties::Find(target, collectionName);
            const auto *collection = qobject_cast<TCollection *>(VclProperties::ObjectValue(target, property));
            const int index = SplitCollectionKey(key).index;
            if (collection && index >= collection->Count())
                moveToHolding(i);
        } else if (typeIndex == stMultiLines || typeIndex == stOtherStrings || typeIndex == stListView_TreeView_Items) {
            if (component.compare(OwnerClassName(), Qt::CaseInsensitive) != 0 && !FComponents.contains(component.toLower()))
                moveToHolding(i);
        } else if (!FComponents.contains(key.toLower())) {
            moveToHolding(i);
        } else if (actionTexts && IsActionLinked(FComponents.value(key.toLower()), typeIndex)) {
            list.removeAt(i);
            --i;
        }
    }
    if (!FAutoSkipEmpties)
        return;
    // Lines without a single text in any language say nothing.
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        const QString &line = list[i];
        QString trimmed = line;
        if (typeIndex == stCollections) {
            trimmed = trimmed.trimmed();
        } else {
            while (trimmed.startsWith(Delim()))
                trimmed.remove(0, 1);
            while (trimmed.endsWith(Delim()))
                trimmed.chop(1);
        }
        if (line.size() - (FNumOfLanguages + 1) >= trimmed.size())
            list.removeAt(i);
    }
}

void TlcCustomLang::TranslateList(int typeIndex)
{
    CheckListTargets(typeIndex);
    QStringList &list = *FLists[size_t(typeIndex)];
    if (list.isEmpty())
        return;
    int start = 0;
    if ((typeIndex == stCaptions || typeIndex == stHints || typeIndex == stFonts) && FOwner->inherits("TForm") &&
        IsOwnerTranslatable() && list.first().contains(OwnerClassName() + Delim()))
        start = 1;
    for (int i = start; i < list.size(); ++i) {
        const QString key = GetDelimitedItem(list[i], Delim(), 0);
        TKeyPath path;
        if (typeIndex == stMultiLines || typeIndex == stOtherStrings) {
            path = SplitDottedKey(key);
        } else {
            path.component = list[i].contains(Delim()) ? key : list[i];
            path.property = StringsTypeDefaultProperty(typeIndex);
        }
        if (InDoNotTranslate(path.component))
            continue;
        const QString text =
            TextForLine(list, i, typeIndex != stFonts && typeIndex != stLocales && typeIndex != stCharSets);
        if (typeIndex == stLocales) {
            if (!text.isEmpty())
                SetFormatSetting(key, text);
            continue;
        }
        QObject *target = FindTarget(path.component);
        if (!target)
            continue;
        const QMetaProperty property = VclProperties::Find(target, path.property);
        if (!property.isValid() || !property.isReadable())
            continue;
        if (path.subProperty.isEmpty() && !property.isWritable())
            continue;

        if (typeIndex == stFonts) {
            if (property.metaType().id() != QMetaType::QFont)
                continue;
            const bool parentFont = VclFont::ParentFont(target);
            for (const QString &line : CharSets())
                if (GetDelimitedItem(line, Delim(), 0).compare(path.component, Qt::CaseInsensitive) == 0) {
                    const int value = lcCharSets::CharSetValue(GetDelimitedItem(line, Delim(), FActiveLanguage));
                    if (value >= 0 && !parentFont)
                        VclFont::SetCharset(target, value);
                    break;
                }
            if (!text.isEmpty() && !parentFont) {
                QFont font = property.read(target).value<QFont>();
                font.setFamily(text);
                property.write(target, font);
            }
            continue;
        }
        if (typeIndex == stMultiLines) {
            if (text.isEmpty())
                continue;
            if (!path.subProperty.isEmpty()) {
                QObject *object = VclProperties::ObjectValue(target, property);
                const QMetaProperty sub = VclProperties::Find(object, path.subProperty);
                if (object && VclProperties::IsReadWrite(sub) && IsStringListProperty(sub))
                    UpdateStringList(object, sub, text);
            } else if (IsStringListProperty(property)) {
                UpdateStringList(target, property, text);
            }
            continue;
        }
        if (typeIndex == stOtherStrings && !path.subProperty.isEmpty()) {
            QObject *object = VclProperties::ObjectValue(target, property);
            const QMetaProperty sub = VclProperties::Find(object, path.subProperty);
            if (object && !text.isEmpty() && VclProperties::IsReadWrite(sub) && IsStringProperty(sub) &&
                sub.read(object).toString() != text)
                sub.write(object, text);
            continue;
        }
        if (text.isEmpty() || !IsStringProperty(property))
            continue;
        const QString current = property.read(target).toString();
        if (current == text)
            continue;
        if ((typeIndex == stDisplayLabels || typeIndex == stOtherStrings) &&
            (text.contains(QLatin1String("..")) || text.contains(QLatin1String(".\\"))) &&
            current == QFileInfo(text).absoluteFilePath())
            continue;
        property.write(target, text);
    }
}

void TlcCustomLang::TranslateCollections()
{
    CheckListTargets(stCollections);
    QStringList &list = Collections();
    for (int i = 0; i < list.size(); ++i) {
        const QString key = GetDelimitedItem(list[i], Delim(), 0);
        const TCollectionPath path = SplitCollectionKey(key);
        if (!path.valid || InDoNotTranslate(path.component))
            continue;
        const QString text = TextForLine(list, i);
        QObject *holder = FindTarget(path.component);
        if (!holder)
            continue;
        if (!path.objectProperty.isEmpty()) {
            holder = VclProperties::ObjectValue(holder, VclProperties::Find(holder, path.objectProperty));
            if (!holder)
                continue;
        }
        auto deleteLine = [&] {
            list.removeAt(i);
            --i;
        };
        const QMetaProperty collectionProperty = VclProperties::Find(holder, path.collection);
        if (!collectionProperty.isValid()) {
            deleteLine();
            continue;
        }
        const auto *collection = qobject_cast<TCollection *>(VclProperties::ObjectValue(holder, collectionProperty));
        QObject *item = collection ? collection->Item(path.index) : nullptr;
        if (!item)
            continue;
        QString itemProperty = path.itemProperty;
        const qsizetype dot = itemProperty.indexOf(QLatin1Char('.'));
        if (dot >= 0) {
            const QMetaProperty objectProperty = VclProperties::Find(item, itemProperty.left(dot));
            item = objectProperty.isReadable() ? VclProperties::ObjectValue(item, objectProperty) : nullptr;
            itemProperty = itemProperty.mid(dot + 1);
            if (!item) {
                deleteLine();
                continue;
            }
        }
        const QMetaProperty property = VclProperties::Find(item, itemProperty);
        if (!VclProperties::IsReadWrite(property) ||
            ((property.metaType().flags() & QMetaType::PointerToQObject) && !VclProperties::ObjectValue(item, property))) {
            deleteLine();
            continue;
        }
        if (IsStringListProperty(property)) {
            if (!text.isEmpty())
                UpdateStringList(item, property, text);
        } else if (!text.isEmpty() && property.read(item).toString() != text) {
            property.write(item, text);
        }
    }
}
