#pragma once
// A whole INI text held in memory: sections of keys and values, kept sorted, read and written as
// text. The translation text files use it, and every part of the localization engine takes a
// language's text out of a translation line with GetDelimitedItem.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <memory>
#include <vector>

class QIODevice;

class TlcCustomIniFile
{
public:
    explicit TlcCustomIniFile(const QString &fileName) : FFileName(fileName) {}
    virtual ~TlcCustomIniFile() = default;

    const QString &FileName() const { return FFileName; }

    virtual QString ReadString(const QString &section, const QString &ident, const QString &defaultValue) const = 0;
    virtual void WriteString(const QString &section, const QString &ident, const QString &value) = 0;
    virtual int ReadInteger(const QString &section, const QString &ident, int defaultValue) const;
    virtual void WriteInteger(const QString &section, const QString &ident, int value);
    virtual bool ReadBool(const QString &section, const QString &ident, bool defaultValue) const;
    virtual void WriteBool(const QString &section, const QString &ident, bool value);
    virtual QDate ReadDate(const QString &section, const QString &ident, const QDate &defaultValue) const;
    virtual QDateTime ReadDateTime(const QString &section, const QString &ident, const QDateTime &defaultValue) const;
    virtual double ReadFloat(const QString &section, const QString &ident, double defaultValue) const;
    virtual QTime ReadTime(const QString &section, const QString &ident, const QTime &defaultValue) const;
    virtual void WriteDate(const QString &section, const QString &ident, const QDate &value);
    virtual void WriteDateTime(const QString &section, const QString &ident, const QDateTime &value);
    virtual void WriteFloat(const QString &section, const QString &ident, double value);
    virtual void WriteTime(const QString &section, const QString &ident, const QTime &value);
    virtual void ReadSection(const QString &section, QStringList &strings) const = 0;
    virtual void ReadSections(QStringList &strings) const = 0;
    virtual void ReadSectionValues(const QString &section, QStringList &strings) const = 0;
    virtual void EraseSection(const QString &section) = 0;
    virtual void DeleteKey(const QString &section, const QString &ident) = 0;
    // False when the file could not be written.
    virtual bool UpdateFile() = 0;

    bool SectionExists(const QString &section) const;

private:
    QString FFileName;
};

// The keys of one section, sorted; equal names are all kept, the latest added first.
class TMemIniEntry
{
public:
    int Count() const { return int(FKeys.size()); }
    QString Name(int index) const { return FKeys[size_t(index)].name; }
    QString Value(int index) const { return FKeys[size_t(index)].value; }
    QString Line(int index) const { return Name(index) + QLatin1Char('=') + Value(index); }
    void AddValue(const QString &name, const QString &value);
    // Splits at the first "="; a text without one is a name with an empty value.
    void AddLine(const QString &line);
    void Delete(int index);
    // The first entry of the name, or -1.
    int Find(const QString &name) const;
    void Clear() { FKeys.clear(); }
    // Replaces every key by the lines given.
    void Assign(const QStringList &lines);

private:
    friend class TlcMemIniFile;
    // skipNoKeys leaves out empty lines and comments, as a file's text has them.
    void Assign(const QStringList &lines, bool skipNoKeys);
    struct TKey
    {
        QString name;
        QString value;
    };
    std::vector<TKey> FKeys;
};

class TlcMemIniFile : public TlcCustomIniFile
{
public:
    // Reads the file when the name is not empty and the file exists; a missing file is no error.
    // One that is there but cannot be read whole (no rights, a pipe or a device, far too large)
    // leaves the object empty, and UpdateFile then refuses to write over it.
    explicit TlcMemIniFile(const QString &fileName = QString());
    ~TlcMemIniFile() override;

    QString ReadString(const QString &section, const QString &ident, const QString &defaultValue) const override;
    void WriteString(const QString &section, const QString &ident, const QString &value) override;
    void ReadSection(const QString &section, QStringList &strings) const override;
    void ReadSections(QStringList &strings) const override;
    void ReadSectionValues(const QString &section, QStringList &strings) const override;
    void EraseSection(const QString &section) override;
    void DeleteKey(const QString &section, const QString &ident) override;
    bool UpdateFile() override;

    void Clear();
    // A new section; a name that exists already (in any letter case) gives an entry that belongs
    // to no section, so whatever is added to it is dropped.
    TMemIniEntry *AddSection(const QString &name);
    // Appends the written form (sorted sections and keys, an empty line after each section).
    void GetStrings(QStringList &list) const;
    void SetStrings(const QStringList &list);
    void ReadFromStream(QIODevice &stream);

private:
    struct TSection
    {
        QString name;
        std::unique_ptr<TMemIniEntry> entry;
    };
    int FindSection(const QString &name) const;
    const TMemIniEntry *Section(const QString &name) const;

    std::vector<TSection> FSections;
    TMemIniEntry FDiscarded;
    bool FUnreadable = false;
};

// The lines of a text, ended by CR LF, LF or a lone CR; a last line break adds no empty line.
QStringList SplitIniLines(const QString &text);

// Field n (0-based) of a text whose fields each end with delim; empty when the text has fewer
// than n + 1 delimiters, so text after the last delimiter is never a field.
QString GetDelimitedItem(const QString &s, QChar delim, int n);
inline QString GetDelimitedItemW(const QString &s, QChar delim, int n)
{
    return GetDelimitedItem(s, delim, n);
}
