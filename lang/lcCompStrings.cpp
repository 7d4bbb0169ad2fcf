// Program messages by key: the Strings list indexed by key and searched by binary search.
#include "lang/lcComp.h"

#include "lang/MemIni.h"
#include "lang/lcDispatcher.h"

namespace {

int CompareText(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}

} // namespace

TlcStringsCollectionItem &TlcStringsCollection::Add()
{
    FSorted = false;
    FItems.emplace_back();
    return FItems.back();
}

void TlcStringsCollection::Clear()
{
    FItems.clear();
    FSorted = false;
}

int TlcStringsCollection::IndexOf(const QString &identifier) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareText(FItems[size_t(i)].Identifier, identifier) == 0)
            return i;
    return -1;
}

QString TlcStringsCollection::GetValue(const QString &identifier, int languageIndex) const
{
    if (FItems.empty())
        return {};
    auto valueOf = [&](int index) { return FItems[size_t(index)].Values.value(languageIndex - 1); };
    int l = 0;
    int h = Count() - 1;
    do {
        const int m = (l + h) / 2;
        const int c = CompareText(FItems[size_t(m)].Identifier, identifier);
        if (c == 0)
            return valueOf(m);
        if (c < 0) {
            // The halves stop moving once they are neighbours: the upper one gets a look of its own.
            if (l == m) {
                if (m + 1 < Count() && CompareText(FItems[size_t(m + 1)].Identifier, identifier) == 0)
                    return valueOf(m + 1);
                return {};
            }
            l = m;
        } else {
            h = m;
        }
    } while (l < h);
    return {};
}

QString TlcStringsCollection::GetValueByText(const QString &text, int languageIndex) const
{
    if (FItems.empty() || SortColumn < 1)
        return text;
    auto sortText = [&](int index) {
        const QString value = FItems[size_t(index)].Values.value(SortColumn - 1);
        return FOwner && FOwner->DecodeEscapesEnabled() ? lcText::DecodeEscapes(value) : value;
    };
    auto found = [&](int index) {
        const QString value = FItems[size_t(index)].Values.value(languageIndex - 1);
        return value.isEmpty() ? text : value;
    };
    int l = 0;
    int h = Count() - 1;
    do {
        const int m = (l + h) / 2;
        const int c = QString::compare(sortText(m), text);
        if (c == 0)
            return found(m);
        if (c < 0) {
            if (l == m) {
                if (m + 1 < Count() && QString::compare(sortText(m + 1), text) == 0)
                    return found(m + 1);
                return text;
            }
            l = m;
        } else {
            h = m;
        }
    } while (l < h);
    return text;
}

int TlcStringsCollection::Compare(const TlcStringsCollectionItem &a, const TlcStringsCollectionItem &b) const
{
    if (SortColumn == 0)
        return CompareText(a.Identifier, b.Identifier);
    const bool decode = FOwner && FOwner->DecodeEscapesEnabled();
    QString x = a.Values.value(SortColumn - 1);
    QString y = b.Values.value(SortColumn - 1);
    if (decode) {
        x = lcText::DecodeEscapes(x);
        y = lcText::DecodeEscapes(y);
    }
    return QString::compare(x, y);
}

void TlcStringsCollection::QuickSort(int l, int r)
{
    int i = 0;
    do {
        i = l;
        int j = r;
        const TlcStringsCollectionItem pivot = FItems[size_t((l + r) >> 1)];
        do {
            while (Compare(FItems[size_t(i)], pivot) < 0)
                ++i;
            while (Compare(FItems[size_t(j)], pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(FItems[size_t(i)], FItems[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j)
            QuickSort(l, j);
        l = i;
    } while (i < r);
}

void TlcStringsCollection::Sort(bool force)
{
    if (FSorted && !force)
        return;
    if (!FItems.empty())
        QuickSort(0, Count() - 1);
    FSorted = true;
}

void TlcCustomLang::RebuildStringsCollections()
{
    FStringsCollection.Clear();
    for (const QString &line : Strings()) {
        TlcStringsCollectionItem &item = FStringsCollection.Add();
        item.Identifier = GetDelimitedItem(line, Delim(), 0);
        for (int k = 1; k <= FNumOfLanguages; ++k)
            item.Values.append(GetDelimitedItem(line, Delim(), k));
    }
    FStringsCollection.SortColumn = 0;
    FStringsCollection.Sort(true);
    FResourceCollection.Clear();
    if (!FHandleResourceStrings || !FOwner)
        return;
    for (const QString &line : Strings()) {
        TlcStringsCollectionItem &item = FResourceCollection.Add();
        item.Identifier = GetDelimitedItem(line, Delim(), 0);
        for (int k = 1; k <= FNumOfLanguages; ++k)
            item.Values.append(GetDelimitedItem(line, Delim(), k));
    }
    FResourceCollection.SortColumn = std::clamp(FResourceLanguageIndex, 1, FNumOfLanguages);
    FResourceCollection.Sort(true);
}

QString TlcCustomLang::GetTextFromList(QStringList *list, const QString &key, bool getDefault)
{
    if (!list)
        return {};
    const bool borrowed = ((FOptions & loUseExtCommonStrings) && (list == &DlgsCaptions() || list == &Locales())) ||
                          ((FOptions & loUseExtUDStrings) && list == &Strings());
    if (borrowed) {
        if (!FDispatcher)
            return {};
        const int type = list == &Strings() ? stStrings : list == &Locales() ? stLocales : stDlgsCaptions;
        // The first other member with lines answers; the asking component never answers itself.
        for (int i = 0; i < FDispatcher->LinkedCount(); ++i) {
            TlcCustomLang *member = FDispatcher->Linked(i);
            QStringList *other = member == this ? nullptr : member->GetStringsList(type);
            if (other && !other->isEmpty()) {
                list = other;
                break;
            }
        }
    }
    const bool testMode = TestModeOn() && FActiveLanguage > 1;
    if (list == &Strings() && !FDesigning) {
        if (FDoRaiseExceptions && FStringsCollection.IndexOf(key) < 0)
            throw ELanguageError(QStringLiteral("String identifier \"%1\" not found!").arg(key));
        QString result = FStringsCollection.GetValue(key, FActiveLanguage);
        if (result.isEmpty() && testMode)
            result = ApplyTestMode(FStringsCollection.GetValue(key, 1));
        if (result.isEmpty() && getDefault)
            result = FStringsCollection.GetValue(key, 1);
        return result;
    }
    for (const QString &line : *list) {
        if (GetDelimitedItem(line, Delim(), 0).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QString result = GetDelimitedItem(line, Delim(), FActiveLanguage);
        if (result.isEmpty() && testMode)
            result = GetTestModeText(line);
        if (result.isEmpty() && getDefault)
            result = GetDelimitedItem(line, Delim(), 1);
        return result;
    }
    if (FDoRaiseExceptions)
        throw ELanguageError(QStringLiteral("String identifier \"%1\" not found!").arg(key));
    return {};
}

QString TlcCustomLang::GetText(const QString &key)
{
    const QString result = GetTextFromList(&Strings(), key, FTranslateType == ttGetDefault);
    return FDecodeEscapes ? lcText::DecodeEscapes(result) : result;
}

QString TlcCustomLang::GetTextOrDefault(const QString &key)
{
    if (!FUseDefaultLanguage) {
        const QString result = GetTextFromList(&Strings(), key, true);
        return FDecodeEscapes ? lcText::DecodeEscapes(result) : result;
    }
    QString result = GetText(key);
    if (result.isEmpty()) {
        const int active = FActiveLanguage;
        FActiveLanguage = FDefaultLanguage;
        result = GetText(key);
        if (result.isEmpty())
            result = GetTextFromList(&Strings(), key, true);
        FActiveLanguage = active;
    }
    return result;
}

void TlcCustomLang::SetTranslation(QStringList &list, const QString &value, int languageIndex, const QString &key)
{
    if (languageIndex < 1)
        return;
    if (&list == &Strings()) {
        for (TlcStringsCollection *collection : {&FStringsCollection, &FResourceCollection}) {
            const int index = collection->IndexOf(key);
            if (index < 0)
                continue;
            QStringList &values = collection->Items(index).Values;
            while (values.size() < languageIndex)
                values.append(QString());
            values[languageIndex - 1] = value;
            // The resource texts are searched by the texts of one language: a new one moves.
            if (collection->SortColumn == languageIndex)
                collection->Sort(true);
        }
    }
    for (QString &line : list) {
        if (GetDelimitedItem(line, Delim(), 0).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        lcText::SetField(line, value, languageIndex, Delim());
        return;
    }
}

void lcText::SetField(QString &line, const QString &value, int languageIndex, QChar delim)
{
    // A line too short for the language gets empty fields up to it; nothing else moves.
    const int closedFields = CountChar(line, delim);
    if (closedFields <= languageIndex) {
        const qsizetype last = line.lastIndexOf(delim);
        const QString trailing = line.mid(last + 1);
        line.truncate(last + 1);
        if (!trailing.isEmpty() && closedFields < languageIndex)
            line += trailing + delim;
        line += QString(std::max(0, languageIndex - CountChar(line, delim)), delim);
        line += value + delim;
        return;
    }
    qsizetype open = -1;
    for (int n = 0; n < languageIndex; ++n)
        open = line.indexOf(delim, open + 1);
    const qsizetype close = line.indexOf(delim, open + 1);
    line.replace(open + 1, close - open - 1, value);
}
