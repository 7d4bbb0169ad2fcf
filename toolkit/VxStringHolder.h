#pragma once
// Named string lists carried inside the program: the tuner's preset tunings and the root-note
// lists of the chord page.
#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

#include "toolkit/VxTypes.h"

class EVxMultiStringHolderException : public EVxException
{
public:
    using EVxException::EVxException;
};

class TVxMultiStringHolderCollection;

class TVxMultiStringHolderCollectionItem
{
public:
    explicit TVxMultiStringHolderCollectionItem(TVxMultiStringHolderCollection *collection);

    const QString &Name() const { return FName; }
    // Trimmed; a name another item (or this one) already has, in any letter case, raises
    // EVxException and the old name stays. Empty names are always allowed.
    void SetName(const QString &value);
    QStringList &Strings() { return FStrings; }
    const QStringList &Strings() const { return FStrings; }
    void SetStrings(const QStringList &value) { FStrings = value; }
    QString GetDisplayName() const;

private:
    TVxMultiStringHolderCollection *FCollection;
    QString FName;
    QStringList FStrings;
};

class TVxMultiStringHolderCollection
{
public:
    TVxMultiStringHolderCollectionItem &Add();
    int Count() const { return int(FItems.size()); }
    TVxMultiStringHolderCollectionItem &Items(int index) { return *FItems.at(index); }
    const TVxMultiStringHolderCollectionItem &Items(int index) const { return *FItems.at(index); }
    bool DoesNameExist(const QString &name) const;
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TVxMultiStringHolderCollectionItem>> FItems;
};

class TVxMultiStringHolder : public QObject
{
    Q_OBJECT
public:
    explicit TVxMultiStringHolder(const QString &name, QObject *owner);

    TVxMultiStringHolderCollection &MultipleStrings() { return FMultipleStrings; }
    // Case-insensitive; throws EVxMultiStringHolderException for an unknown name.
    TVxMultiStringHolderCollectionItem &GetItemByName(const QString &name);
    const QStringList &GetStringsByName(const QString &name);

    // Lists stored as text: a line "[Name]" starts a list, every following line is one of its
    // strings. False when the resource is missing; a duplicate name raises EVxException.
    bool LoadFromResource(const QString &path);
    void LoadFromText(const QString &text);

private:
    TVxMultiStringHolderCollection FMultipleStrings;
};
