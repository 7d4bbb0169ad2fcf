#include "toolkit/VxStringHolder.h"

#include "platform/ini/IniFile.h"

#include <QFile>

namespace {

// Blanks and control characters, as the class library trims.
QString TrimControls(const QString &value)
{
    qsizetype first = 0;
    qsizetype last = value.size();
    while (first < last && value[first].unicode() <= ' ')
        ++first;
    while (last > first && value[last - 1].unicode() <= ' ')
        --last;
    return value.mid(first, last - first);
}

} // namespace

TVxMultiStringHolderCollectionItem::TVxMultiStringHolderCollectionItem(TVxMultiStringHolderCollection *collection)
    : FCollection(collection)
{
}

void TVxMultiStringHolderCollectionItem::SetName(const QString &value)
{
    const QString name = TrimControls(value);
    if (!name.isEmpty() && FCollection->DoesNameExist(name))
        throw EVxException(VxConsts::SDuplicateString);
    FName = name;
}

QString TVxMultiStringHolderCollectionItem::GetDisplayName() const
{
    return FName.isEmpty() ? VxConsts::SUnnamed : FName;
}

TVxMultiStringHolderCollectionItem &TVxMultiStringHolderCollection::Add()
{
    FItems.push_back(std::make_unique<TVxMultiStringHolderCollectionItem>(this));
    return *FItems.back();
}

bool TVxMultiStringHolderCollection::DoesNameExist(const QString &name) const
{
    for (const auto &item : FItems)
        if (item->Name().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

TVxMultiStringHolder::TVxMultiStringHolder(const QString &name, QObject *owner) : QObject(owner)
{
    setObjectName(name);
}

TVxMultiStringHolderCollectionItem &TVxMultiStringHolder::GetItemByName(const QString &name)
{
    for (int i = 0; i < FMultipleStrings.Count(); ++i)
        if (FMultipleStrings.Items(i).Name().compare(name, Qt::CaseInsensitive) == 0)
            return FMultipleStrings.Items(i);
    throw EVxMultiStringHolderException(VxConsts::SNoItemFound.arg(name));
}

const QStringList &TVxMultiStringHolder::GetStringsByName(const QString &name)
{
    return GetItemByName(name).Strings();
}

bool TVxMultiStringHolder::LoadFromResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    LoadFromText(QString::fromUtf8(file.readAll()));
    return true;
}

void TVxMultiStringHolder::LoadFromText(const QString &text)
{
    TVxMultiStringHolderCollectionItem *current = nullptr;
    for (const QString &line : IniText::SplitLines(text)) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = &FMultipleStrings.Add();
            current->SetName(line.mid(1, line.size() - 2));
        } else if (current) {
            current->Strings().append(line);
        }
    }
}
