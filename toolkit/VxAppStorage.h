#pragma once
// Settings stored under backslash-separated paths. The storage resolves paths (a current path, a
// root, and sub-storages that serve parts of the tree), turns typed values into text and back as
// its options say, and leaves the reading and writing of stored values to a back end.
#include "sysutil/OsRTTI.h"
#include "toolkit/VxTypes.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaEnum>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TIniFile;
class TVxTranslateString;
class TVxCustomAppStorage;

class EVxAppStorageError : public EVxException
{
public:
    using EVxException::EVxException;
};

class TVxCustomAppStorageOptions : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool BooleanAsString READ BooleanAsString WRITE SetBooleanAsString)
    Q_PROPERTY(QString BooleanStringTrueValues READ BooleanStringTrueValues WRITE SetBooleanStringTrueValues)
    Q_PROPERTY(QString BooleanStringFalseValues READ BooleanStringFalseValues WRITE SetBooleanStringFalseValues)
    Q_PROPERTY(bool EnumerationAsString MEMBER FEnumAsStr)
    Q_PROPERTY(bool TypedIntegerAsString MEMBER FIntAsStr)
    Q_PROPERTY(bool SetAsString MEMBER FSetAsStr)
    Q_PROPERTY(bool DateTimeAsString MEMBER FDateTimeAsString)
    Q_PROPERTY(bool FloatAsString MEMBER FFloatAsString)
    Q_PROPERTY(bool DefaultIfReadConvertError MEMBER FDefaultIfReadConvertError)
    Q_PROPERTY(bool DefaultIfValueNotExists MEMBER FDefaultIfValueNotExists)
    Q_PROPERTY(bool StoreDefaultValues MEMBER FStoreDefaultValues)
    Q_PROPERTY(bool UseOldItemNameFormat MEMBER FUseOldItemNameFormat)
    Q_PROPERTY(bool UseTranslateStringEngineDateTimeFormats MEMBER FUseTranslateStringEngineDateTimeFormats)
public:
    using QObject::QObject;

    bool BooleanAsString() const { return FBooleanAsString; }
    // Stays false while either list has no first entry to write.
    void SetBooleanAsString(bool value);
    QString BooleanStringTrueValues() const { return FBooleanStringTrueValues; }
    void SetBooleanStringTrueValues(const QString &value);
    QString BooleanStringFalseValues() const { return FBooleanStringFalseValues; }
    void SetBooleanStringFalseValues(const QString &value);
    QString DefaultTrueString() const;
    QString DefaultFalseString() const;
    bool IsValueTrueString(const QString &value) const;
    bool IsValueFalseString(const QString &value) const;
    void Assign(const TVxCustomAppStorageOptions &source);

    bool FEnumAsStr = true;
    bool FIntAsStr = true;
    bool FSetAsStr = false;
    bool FDateTimeAsString = true;
    bool FFloatAsString = false;
    bool FDefaultIfReadConvertError = false;
    bool FDefaultIfValueNotExists = true;
    bool FStoreDefaultValues = true;
    bool FStoreStringListAsSingleString = false;
    bool FUseOldItemNameFormat = true;
    bool FUseTranslateStringEngineDateTimeFormats = false;

private:
    bool FBooleanAsString = true;
    QString FBooleanStringTrueValues = QStringLiteral("TRUE, YES, Y");
    QString FBooleanStringFalseValues = QStringLiteral("FALSE, NO, N");
};

class TVxAppStorageOptions : public TVxCustomAppStorageOptions
{
    Q_OBJECT
public:
    using TVxCustomAppStorageOptions::TVxCustomAppStorageOptions;
};

// One part of the tree that another storage serves.
class TVxAppSubStorage
{
public:
    explicit TVxAppSubStorage(TVxCustomAppStorage *owner) : FOwner(owner) {}
    QString RootPath() const { return FRootPath; }
    void SetRootPath(const QString &value);
    TVxCustomAppStorage *AppStorage() const { return FAppStorage; }
    void SetAppStorage(TVxCustomAppStorage *value);
    QString DisplayName() const;

private:
    TVxCustomAppStorage *FOwner;
    QString FRootPath;
    TVxCustomAppStorage *FAppStorage = nullptr;
};

enum TVxAppStorageEnumOption { aeoFolders, aeoValues, aeoReportListAsValue, aeoReportRelative, aeoRecursive };

class TVxCustomAppStorage : public QObject
{
    Q_OBJECT
public:
    explicit TVxCustomAppStorage(QObject *owner = nullptr);
    ~TVxCustomAppStorage() override;

    // Paths
    static QString ConcatPaths(const QStringList &paths);
    QString Path() const { return FCurPath; }
    void SetPath(const QString &value);
    QString Root() const { return FRoot; }
    void SetRoot(const QString &value);
    QString GetAbsPath(const QString &path) const;
    static void SplitKeyPath(const QString &path, QString &key, QString &valueName);
    // The storage that serves a path, and the path within it.
    void ResolvePath(const QString &inPath, TVxCustomAppStorage *&targetStore, QString &targetPath) const;

    // Sub-storages
    TVxAppSubStorage *AddSubStorage(const QString &rootPath, TVxCustomAppStorage *storage);
    const std::vector<std::unique_ptr<TVxAppSubStorage>> &SubStorages() const { return FSubStorages; }
    void DeleteSubStorage(TVxAppSubStorage *item);
    // True when `storage` is this one or reaches it through its own sub-storages.
    bool ReachesStorage(const TVxCustomAppStorage *storage) const;
    // Items that point to a storage are deleted when it goes away.
    void WatchStorage(TVxCustomAppStorage *storage);

    TVxAppStorageOptions *StorageOptions() const { return FStorageOptions; }
    TVxTranslateString *TranslateStringEngine() const { return FTranslateStringEngine; }
    void SetTranslateStringEngine(TVxTranslateString *value);
    TVxTranslateString *ActiveTranslateStringEngine() const;

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    bool AutoFlush() const { return FAutoFlush; }
    void SetAutoFlush(bool value) { FAutoFlush = value; }
    bool AutoReload() const { return FAutoReload; }
    void SetAutoReload(bool value) { FAutoReload = value; }
    bool FlushOnDestroy() const { return FFlushOnDestroy; }
    void SetFlushOnDestroy(bool value) { FFlushOnDestroy = value; }
    bool IsUpdating() const { return FUpdateCount != 0; }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    virtual void Flush() {}
    virtual void Reload() {}
    bool FlushNeeded() const { return FAutoFlush && !IsUpdating(); }
    bool ReloadNeeded() const { return FAutoReload && !IsUpdating(); }

    // Names of stored items
    static QString GetCharName(QChar c);
    static QString GetIntName(int n);
    QString ItemNameIndexPath(const QString &itemName, int index) const;

    // Value encryption: every string passes OnEncryptPropertyValue / OnDecryptPropertyValue and
    // Base64 while enabled and a handler is connected.
    void EnablePropertyValueCrypt() { ++FCryptEnabledStatus; }
    void DisablePropertyValueCrypt() { FCryptEnabledStatus = qMax(0, FCryptEnabledStatus - 1); }
    bool IsPropertyValueCryptEnabled() const { return FCryptEnabledStatus > 0; }

    // Reads and writes by path
    bool IsFolder(const QString &path, bool listIsValue = true) const;
    bool ValueStored(const QString &path) const;
    bool PathExists(const QString &path) const;
    int ReadInteger(const QString &path, int defaultValue = 0) const;
    void WriteInteger(const QString &path, int value);
    double ReadFloat(const QString &path, double defaultValue = 0) const;
    void WriteFloat(const QString &path, double value);
    QString ReadString(const QString &path, const QString &defaultValue = QString()) const;
    void WriteString(const QString &path, const QString &value);
    QByteArray ReadBinary(const QString &path) const;
    void WriteBinary(const QString &path, const QByteArray &value);
    QDateTime ReadDateTime(const QString &path, const QDateTime &defaultValue) const;
    void WriteDateTime(const QString &path, const QDateTime &value);
    bool ReadBoolean(const QString &path, bool defaultValue) const;
    void WriteBoolean(const QString &path, bool value);
    // Enumerations by name; integers and characters as numbers.
    qint64 ReadEnumeration(const QString &path, PTypeInfo type, qint64 defaultValue) const;
    void WriteEnumeration(const QString &path, PTypeInfo type, qint64 value);
    // Sets of enumerations, integers or characters, as element names or as a number.
    TOsBitSet ReadSet(const QString &path, PTypeInfo setType, const TOsBitSet &defaultValue) const;
    void WriteSet(const QString &path, PTypeInfo setType, const TOsBitSet &value);
    void DeleteValue(const QString &path);
    void DeleteSubTree(const QString &path);
    void GetStoredValues(const QString &path, QStringList &names, bool recursive = false) const;
    // A list is stored when its "Count" value exists.
    int ReadListCount(const QString &path) const;

signals:
    // Connected directly, they change the value in place.
    void OnEncryptPropertyValue(QString &Value);
    void OnDecryptPropertyValue(QString &Value);

protected:
    // The back end's duties; every path is absolute within this storage.
    virtual bool DoIsFolder(const QString &path, bool listIsValue) const = 0;
    virtual bool DoValueStored(const QString &path) const = 0;
    virtual bool DoPathExists(const QString &path) const = 0;
    virtual int DoReadInteger(const QString &path, int defaultValue) const = 0;
    virtual void DoWriteInteger(const QString &path, int value) = 0;
    virtual double DoReadFloat(const QString &path, double defaultValue) const = 0;
    virtual void DoWriteFloat(const QString &path, double value) = 0;
    virtual QString DoReadString(const QString &path, const QString &defaultValue) const = 0;
    virtual void DoWriteString(const QString &path, const QString &value) = 0;
    virtual QByteArray DoReadBinary(const QString &path) const = 0;
    virtual void DoWriteBinary(const QString &path, const QByteArray &value) = 0;
    virtual void DoDeleteValue(const QString &path) = 0;
    virtual void DoDeleteSubTree(const QString &path) = 0;
    virtual void DoGetStoredValues(const QString &path, QStringList &names, bool recursive) const = 0;
    // A back end that cannot be written answers true.
    virtual bool IsReadOnlyBackEnd() const { return false; }

    // Typed conversions through the primitives, as the options ask.
    virtual QDateTime DoReadDateTime(const QString &path, const QDateTime &defaultValue) const;
    virtual void DoWriteDateTime(const QString &path, const QDateTime &value);
    virtual bool DoReadBoolean(const QString &path, bool defaultValue) const;
    virtual void DoWriteBoolean(const QString &path, bool value);
    virtual double DoReadFloatTyped(const QString &path, double defaultValue) const;
    virtual void DoWriteFloatTyped(const QString &path, double value);
    virtual qint64 DoReadEnumeration(const QString &path, PTypeInfo type, qint64 defaultValue) const;
    virtual void DoWriteEnumeration(const QString &path, PTypeInfo type, qint64 value);
    virtual TOsBitSet DoReadSet(const QString &path, PTypeInfo setType, const TOsBitSet &defaultValue) const;
    virtual void DoWriteSet(const QString &path, PTypeInfo setType, const TOsBitSet &value);

    QString EncryptPropertyValue(const QString &value) const;
    QString DecryptPropertyValue(const QString &value) const;
    QString DateTimeFormat() const;

private:
    bool WriteRefused(const TVxCustomAppStorage *target) const;

    QString FRoot;
    QString FCurPath;
    TVxAppStorageOptions *FStorageOptions;
    std::vector<std::unique_ptr<TVxAppSubStorage>> FSubStorages;
    int FCryptEnabledStatus = 0;
    bool FAutoFlush = false;
    int FUpdateCount = 0;
    bool FAutoReload = false;
    TVxTranslateString *FInternalTranslateStringEngine;
    bool FReadOnly = false;
    QPointer<TVxTranslateString> FTranslateStringEngine;
    bool FFlushOnDestroy = true;
};

// A storage in an INI file: "\Section\Sub\Name" is the key Name of the section "Section\Sub".
class TVxAppIniFileStorage : public TVxCustomAppStorage
{
    Q_OBJECT
public:
    explicit TVxAppIniFileStorage(const QString &fileName, QObject *owner = nullptr);
    ~TVxAppIniFileStorage() override;
    QString FileName() const;
    // False when the last write could not reach the disk (the file is then as it was).
    bool LastWriteSucceeded() const { return FLastWriteSucceeded; }

protected:
    bool DoIsFolder(const QString &path, bool listIsValue) const override;
    bool DoValueStored(const QString &path) const override;
    bool DoPathExists(const QString &path) const override;
    int DoReadInteger(const QString &path, int defaultValue) const override;
    void DoWriteInteger(const QString &path, int value) override;
    double DoReadFloat(const QString &path, double defaultValue) const override;
    void DoWriteFloat(const QString &path, double value) override;
    QString DoReadString(const QString &path, const QString &defaultValue) const override;
    void DoWriteString(const QString &path, const QString &value) override;
    QByteArray DoReadBinary(const QString &path) const override;
    void DoWriteBinary(const QString &path, const QByteArray &value) override;
    void DoDeleteValue(const QString &path) override;
    void DoDeleteSubTree(const QString &path) override;
    void DoGetStoredValues(const QString &path, QStringList &names, bool recursive) const override;

private:
    std::unique_ptr<TIniFile> FIniFile;
    bool FLastWriteSucceeded = true;
};
