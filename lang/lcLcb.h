#pragma once
// Binary translation files: for each form, by its class name, the stored image of its
// localization component. Only reading; every count, offset and length in the file is checked
// against what is there, and no class named by the file is ever made.
#include <QByteArray>
#include <QString>
#include <QStringList>

class TlcCustomLang;

class TLCBFileManager
{
public:
    TLCBFileManager();
    static const QByteArray &HeaderText();

    // Reads the entry of ownerClassName into component; no entry leaves it unchanged.
    void LoadLCBFile(TlcCustomLang *component, const QString &ownerClassName, const QString &fileName);
    void LoadLCBStream(TlcCustomLang *component, const QString &ownerClassName, const QByteArray &stream);
    void AssignTo(TLCBFileManager &dest) const;

    const QStringList &NamesBlock() const { return FNamesBlock; }
    QStringList Names;
    QString Text;

private:
    QByteArray FHeader;
    QStringList FNamesBlock;
};

// What a stored localization component holds, as read from its component stream.
struct TLcbImage
{
    QString ClassName;
    QString Name;
    int NumOfLanguages = 1;
    int ActiveLanguage = 1;
    int LangDelim = 9; // absent: the stored default
    bool StoreAsUTF8 = false;
    QStringList LangNames;
    bool HasLangNames = false;
    QString Language;
    QByteArray TranslationData;
    struct TItem
    {
        QString Identifier;
        QString Values;
        int PropertyType = 0;
        // The bytes of texts stored in 8 bits; an older ValuesEx is always such.
        QByteArray EightBitValues;
        bool OlderValuesEx = false;
    };
    std::vector<TItem> ExtendedTranslations;
};

// Reads one component image starting at offset; throws ElcException on anything malformed.
TLcbImage ReadLcbComponent(const QByteArray &data, qsizetype offset);
// The text of a "ValuesEx" binary value; eightBit receives the bytes of the older 8-bit form.
QString ReadValuesEx(const QByteArray &bytes, QByteArray *eightBit = nullptr);
