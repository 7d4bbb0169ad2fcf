#pragma once
// The localization component: a form's texts in several languages, kept as lists of lines (a key,
// then one text per language, each field closed by LangDelim), applied to the form's components
// by property name when the active language changes, and asked for program messages by key.
#include <QByteArray>
#include <QChar>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

// The kinds of translatable text, in the order the data and the files use.
enum TStringsType : int {
    stCaptions,
    stHints,
    stDisplayLabels,
    stFonts,
    stMultiLines,
    stDlgsCaptions,
    stStrings,
    stOtherStrings,
    stLocales,
    stCollections,
    stCharSets,
    stListView_TreeView_Items,
};
constexpr int StringsTypeCount = 12;

// "stCaptions" .. "stListView_TreeView_Items".
QString StringsTypeName(int type);
// The property a key naming only a component stands for: "Caption", "Hint", ...
QString StringsTypeDefaultProperty(int type);

enum TTranslateType { ttNoChange, ttGetDefault };
enum TlcLangOption { loUseExtUDStrings = 1, loUseExtCommonStrings = 2 };
using TlcLangOptions = int;

// Any failure the engine reports with a message of its own.
class ElcException : public std::runtime_error
{
public:
    explicit ElcException(const QString &message) : std::runtime_error(message.toStdString()), FMessage(message) {}
    const QString &Message() const { return FMessage; }

private:
    QString FMessage;
};

class ELanguageError : public ElcException
{
public:
    using ElcException::ElcException;
};

class TlcCustomLang;
class TlcLang;
class TlcLangDispatcher;
class QIODevice;

// The kinds of property an extended item may target, as the text files name them.
enum TTypeKind : int {
    tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod, tkWChar, tkLString,
    tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray, tkUString, tkClassRef, tkPointer,
    tkProcedure,
};
QString TypeKindName(int kind);
// -1 for a name that is none of them.
int TypeKindFromName(const QString &name);

// One property of the owner or of a component translated outside the lists: a property path and
// the texts of all languages, each closed by LangDelim (field 0 is language 1).
class TlcExtendedItem
{
public:
    explicit TlcExtendedItem(TlcCustomLang *lang) : FLang(lang) {}
    // The stored path, with the linked component's current name in front.
    QString Identifier() const;
    void SetIdentifier(const QString &value) { FIdentifier = value; }
    QString StoredIdentifier() const { return FIdentifier; }
    bool IsRoot() const;
    QString Values;
    int PropertyType = tkUnknown;
    // The component the path starts at; followed when it is renamed.
    void SetLink(QObject *component) { FLink = component; }
    QObject *Link() const { return FLink; }

private:
    TlcCustomLang *FLang;
    QString FIdentifier;
    QPointer<QObject> FLink;
};

class TlcExtendedItems
{
public:
    explicit TlcExtendedItems(TlcCustomLang *lang) : FLang(lang) {}
    int Count() const { return int(FItems.size()); }
    TlcExtendedItem &Items(int index) const { return *FItems[size_t(index)]; }
    TlcExtendedItem &Add();
    // The first item whose identifier equals the text, ASCII case ignored; nil when none.
    TlcExtendedItem *Find(const QString &identifier) const;
    void Delete(int index);
    void Clear() { FItems.clear(); }
    void Assign(const TlcExtendedItems &source);

private:
    TlcCustomLang *FLang;
    std::vector<std::unique_ptr<TlcExtendedItem>> FItems;
};

// How the test mode makes an untranslated text visible.
enum TTestModeKind { tmkExpandWidth, tmkFlipCase, tmkExpandChars };
struct TTestModeInfo
{
    bool Active = false;
    TTestModeKind Kind = tmkExpandWidth;
    int ExpandWidthPercent = 100;
    int ExpandCharsPercent = 100;
    QChar PaddingChar = QLatin1Char('*');
};

// The process's format settings a language may carry: the Locales list writes them when the
// component changes locales. Qt's QLocale takes no single separators or formats, so the program
// keeps them here for whatever code formats numbers and dates by them.
struct TFormatSettings
{
    QString CurrencyString, ShortDateFormat, LongDateFormat, TimeAMString, TimePMString, ShortTimeFormat,
        LongTimeFormat;
    QChar ThousandSeparator, DecimalSeparator, DateSeparator, TimeSeparator;
    QStringList ShortMonthNames, LongMonthNames, ShortDayNames, LongDayNames;
};
TFormatSettings &FormatSettings();

// True when the component's caption (kind 0) or hint (kind 1) is its action's, letter for letter:
// such a text belongs to the action, not to the control.
bool IsActionLinked(const QObject *component, int kind);

// Texts the program would take from its resources, routed through the one registered component.
namespace lcResourceStrings {
// The text in the translator's active language when one is registered and its resource language
// differs; the text itself otherwise.
QString LoadResString(int ident, const QString &text);
TlcCustomLang *Translator();
} // namespace lcResourceStrings

struct TlcStringsCollectionItem
{
    QString Identifier;
    QStringList Values; // entry k - 1 is the text of language k
};

// The lines of a Strings list indexed by key (sort column 0) or by one language's text.
class TlcStringsCollection
{
public:
    explicit TlcStringsCollection(TlcCustomLang *owner) : FOwner(owner) {}
    TlcCustomLang *Owner() const { return FOwner; }

    int Count() const { return int(FItems.size()); }
    TlcStringsCollectionItem &Items(int index) { return FItems[size_t(index)]; }
    const TlcStringsCollectionItem &Items(int index) const { return FItems[size_t(index)]; }
    TlcStringsCollectionItem &Add();
    void Clear();

    int SortColumn = 0;
    bool Sorted() const { return FSorted; }

    // Linear, ignoring case; -1 when absent.
    int IndexOf(const QString &identifier) const;
    // Binary search over a collection sorted by key; empty when absent or out of range.
    QString GetValue(const QString &identifier, int languageIndex) const;
    // Binary search over a collection sorted by language SortColumn; the text itself when absent.
    QString GetValueByText(const QString &text, int languageIndex) const;
    void Sort(bool force);

private:
    int Compare(const TlcStringsCollectionItem &a, const TlcStringsCollectionItem &b) const;
    void QuickSort(int l, int r);

    TlcCustomLang *FOwner;
    std::vector<TlcStringsCollectionItem> FItems;
    bool FSorted = false;
};

// Character-set numbers of fonts and the code pages of 8-bit text.
namespace lcCharSets {
// The 19 names and values; -1 for a name that is not one of them (exact case).
int CharSetValue(const QString &name);
QString CharSetName(int value);
const QStringList &CharSetNames();
QString StringToWideWithCharSet(const QByteArray &s, int charSet);
QByteArray WideToStringWithCharSet(const QString &w, int charSet);
QString UTF8BytesToText(const QByteArray &s);
QByteArray TextToUTF8Bytes(const QString &w);
} // namespace lcCharSets

// The byte form of the translation data a form carries.
namespace lcStream {
using TLists = std::array<const QStringList *, StringsTypeCount>;
// UTF-16LE, a header line per present list, CR and LF inside a line as codes 25 and 26.
QByteArray WriteTranslationData(const TLists &lists);
} // namespace lcStream

// Text helpers every part of the engine shares.
namespace lcText {
int CountChar(const QString &s, QChar c);
// Pieces between separators; a final empty piece is dropped.
QStringList SplitText(const QString &s, QChar separator);
// Each item followed by the separator; empty items left out with skipEmpty.
QString JoinText(const QStringList &list, QChar separator, bool skipEmpty);
QString MergeLines(const QString &oldLine, const QString &newLine, QChar delim);
int FindKeyIndex(const QStringList &list, const QString &line, QChar delim);
// Puts value into field languageIndex of line, adding empty fields up to it.
void SetField(QString &line, const QString &value, int languageIndex, QChar delim);
QString DeleteLanguageColumn(const QString &line, int index, QChar delim);
QString MoveLanguageColumn(const QString &line, int from, int to, QChar delim);
int WordPosition(int n, const QString &s, const QString &delims);
QString ExtractWord(int n, const QString &s, const QString &delims);
QString InvertCase(const QString &s);
QString ExpandText(const QString &s, QChar padChar, int percent);
QString ReplaceAll(const QString &s, const QString &oldText, const QString &newText);
QString DecodeEscapes(const QString &s);
// The class library's comma text of a string list, and back.
QString CommaText(const QStringList &list);
QStringList FromCommaText(const QString &text);
// The whole of a file the engine reads. Throws ElcException naming the file and the reason when it
// is missing or cannot be read whole: no rights, a pipe (which would wait for ever), a device or
// a file far too large (which would fill the memory).
QByteArray ReadFileWhole(const QString &fileName);
} // namespace lcText

class TlcCustomLang : public QObject
{
    Q_OBJECT
public:
    // owner is the form whose components are translated; a second component of this kind on the
    // same owner raises an exception.
    explicit TlcCustomLang(QObject *owner) : TlcCustomLang(owner, false) {}
    ~TlcCustomLang() override;

    // A throw-away component that only reads a file: it sees owner's components and class name
    // but is no component of owner, collects nothing and applies nothing.
    static std::unique_ptr<TlcLang> CreateTemporary(QObject *owner);
    bool IsTemporary() const { return FTemporary; }
    bool Busy() const { return FBusy; }

    QObject *Owner() const { return FOwner; }
    QString OwnerClassName() const;

    // The form reads its stored properties between BeginLoad and Loaded.
    void BeginLoad() { FLoading = true; }
    virtual void Loaded();
    bool IsLoading() const { return FLoading; }

    int NumOfLanguages() const { return FNumOfLanguages; }
    void SetNumOfLanguages(int value);
    int ActiveLanguage() const { return FActiveLanguage; }
    void SetActiveLanguage(int value);
    // Raises the range error SetActiveLanguage would raise for the value.
    void CheckLanguageRange(int value) const;
    const QString &Language() const { return FLanguage; }
    void SetLanguage(const QString &value);
    int LangDelim() const { return FLangDelim; }
    void SetLangDelim(int value);
    QChar Delim() const { return QChar(char16_t(FLangDelim)); }
    QString Version() const;

    // The list of a string type; nil for a type without one.
    virtual QStringList *GetStringsList(int typeIndex);
    const QStringList *GetStringsList(int typeIndex) const;
    // The list writer: copies the lines, then applies that type alone (never DlgsCaptions).
    void SetStringsList(int typeIndex, const QStringList &lines);
    QStringList &Captions() { return *FLists[stCaptions]; }
    QStringList &Hints() { return *FLists[stHints]; }
    QStringList &Fonts() { return *FLists[stFonts]; }
    QStringList &MultiLines() { return *FLists[stMultiLines]; }
    QStringList &DlgsCaptions() { return *FLists[stDlgsCaptions]; }
    QStringList &Strings() { return *FLists[stStrings]; }
    QStringList &OtherStrings() { return *FLists[stOtherStrings]; }
    QStringList &Locales() { return *FLists[stLocales]; }
    QStringList &Collections() { return *FLists[stCollections]; }
    QStringList &CharSets() { return *FLists[stCharSets]; }
    // Lines whose targets were missing at the last apply.
    const QStringList &HoldingList() const { return FHolding; }

    const QStringList &LangNames() const { return FLangNames; }
    void SetLangNames(const QStringList &value);
    const QStringList &DoNotTranslate() const { return FDoNotTranslate; }
    void SetDoNotTranslate(const QStringList &value);
    const QStringList &ExcludedProperties() const { return FExcludedProperties; }
    void SetExcludedProperties(const QStringList &value);
    const QStringList &SmartExcludeProps() const { return FSmartExcludeProps; }
    void SetSmartExcludeProps(const QStringList &value) { FSmartExcludeProps = value; }
    const QStringList &StringsTypes() const { return FStringsTypes; }
    void SetStringsTypes(const QStringList &value) { FStringsTypes = value; }
    virtual bool IsStringsType(const QString &className) const;

    bool UseDefaultLanguage() const { return FUseDefaultLanguage; }
    void SetUseDefaultLanguage(bool value) { FUseDefaultLanguage = value; }
    int DefaultLanguage() const { return FDefaultLanguage; }
    // Only 1 .. NumOfLanguages is taken; anything else leaves the old value.
    void SetDefaultLanguage(int value);
    TTranslateType TranslateType() const { return FTranslateType; }
    void SetTranslateType(TTranslateType value) { FTranslateType = value; }
    bool IsInheritedOwner() const { return FIsInheritedOwner; }
    void SetIsInheritedOwner(bool value) { FIsInheritedOwner = value; }
    bool AutoSkipEmpties() const { return FAutoSkipEmpties; }
    void SetAutoSkipEmpties(bool value) { FAutoSkipEmpties = value; }
    bool StoreAsUTF8() const { return FStoreAsUTF8; }
    void SetStoreAsUTF8(bool value) { FStoreAsUTF8 = value; }
    bool DoRaiseExceptions() const { return FDoRaiseExceptions; }
    void SetDoRaiseExceptions(bool value) { FDoRaiseExceptions = value; }
    bool ChangeLocales() const { return FChangeLocales; }
    void SetChangeLocales(bool value);
    bool NeedAllDlgs() const { return FNeedAllDlgs; }
    void SetNeedAllDlgs(bool value);
    TlcLangOptions Options() const { return FOptions; }
    void SetOptions(TlcLangOptions value);
    int ResourceLanguageIndex() const { return FResourceLanguageIndex; }
    void SetResourceLanguageIndex(int value);
    bool DecodeEscapesEnabled() const { return FDecodeEscapes; }
    void SetDecodeEscapesEnabled(bool value) { FDecodeEscapes = value; }
    // -1: the cursor is left alone during a switch; otherwise the wait cursor is shown.
    int ChangingCursor() const { return FChangingCursor; }
    void SetChangingCursor(int value) { FChangingCursor = value; }

    std::function<void(QObject *sender, int newLanguage, bool &allowChange)> OnLanguageChanging;
    std::function<void(QObject *sender)> OnChangeLanguage;

    // Translation data in the stored byte form. True when it was 8-bit data without a Unicode
    // section, whose lines were then decoded in each language's code page.
    bool ReadTranslationData(const QByteArray &data);
    QByteArray WriteTranslationData() const;
    bool HasData() const { return true; }

    // Applies the active language to the owner and its components.
    virtual void ChangeLanguage();

    // Messages by key.
    QString GetTextOrDefault(const QString &key);
    QString GetText(const QString &key);
    QString GetTextFromList(QStringList *list, const QString &key, bool getDefault);
    void RebuildStringsCollections();
    const TlcStringsCollection &StringsCollection() const { return FStringsCollection; }
    virtual void SetTranslation(QStringList &list, const QString &value, int languageIndex, const QString &key);

    // Field index of a line, or the default language's field where the component says so.
    QString GetDelimitedItemOrDefault(const QString &s, int index) const;
    QString GetLineText(const QStringList &list, int index, bool getDefault) const;
    int GetCharSetOfLanguage(int language) const;
    void RefreshCharSets();
    int CurrentCharSet() const { return FCurrentCharSet; }
    QString DecodeLine(const QString &line) const;
    QByteArray EncodeLine(const QString &line) const;

    void PadLines(QStringList &list) const;
    void PadAllLines();
    void PurgeExcludedProperties();
    void PurgeDoNotTranslate();
    bool IsExcludedProperty(const QString &compName, const QString &propName) const;

    // Design mode: the form is being edited, not run. Key removal and text collection act only then.
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool value) { FDesigning = value; }
    // A component of the owner is going away.
    void Notification(QObject *component);
    void RemoveComponentKeys(QStringList &list, QObject *component, int typeIndex);
    // A component of the owner got a new name.
    virtual void RenameKeys(const QString &oldName, const QString &newName);
    // Collects the texts the owner's components show now into the active language's fields.
    virtual void UpdateStrings();
    std::function<void(TlcCustomLang *)> OnChange;

    // The dispatcher this component switches with.
    TlcLangDispatcher *LangDispatcher() const;
    void SetLangDispatcher(TlcLangDispatcher *value);
    void SetDispatcherSwitch(bool value) { FDispatcherSwitch = value; }
    bool TestModeOn() const;
    QString ApplyTestMode(const QString &s) const;
    QString GetTestModeText(const QString &line) const;

    bool HandleResourceStrings() const { return FHandleResourceStrings; }
    void SetHandleResourceStrings(bool value) { FHandleResourceStrings = value; }
    const TlcStringsCollection &ResourceStringsCollection() const { return FResourceCollection; }
    QString TranslateResString(int ident, const QString &text);

    // Translation text files.
    int LoadFromText(int typeIndex, QIODevice &stream, bool clearFirst);
    int SaveToText(int typeIndex, QIODevice &stream, const QString &delim);
    void LoadAllFromText(QIODevice &stream, bool clearFirst, bool noApply = false);
    void SaveAllToStream(QIODevice &stream, const QString &delim);
    bool MergeFromText(int typeIndex, QIODevice &stream);
    bool MergeAllFromTextAndApply(QIODevice &stream);
    bool MergeAllFromText(QIODevice &stream);
    int LoadFromTextFile(int typeIndex, const QString &fileName, bool clearFirst);
    // -1 also when the file could not be written; the old file then stays.
    int SaveToTextFile(int typeIndex, const QString &fileName, const QString &delim);
    void LoadAllFromTextFile(const QString &fileName, bool clearFirst);
    bool SaveAllToTextFile(const QString &fileName, const QString &delim);
    int LoadStringsFromTextFile(const QString &fileName, bool clearFirst);
    int SaveStringsToTextFile(const QString &fileName, const QString &delim);
    bool LoadFromFile(int typeIndex, const QString &fileName);
    bool MergeAllFromFileAndApply(const QString &fileName);
    void LoadAllFromTextFileNoApply(const QString &fileName, bool clearFirst);
    bool MergeAllFromFile(const QString &fileName);
    void ImportLanguageFromFile(int typeIndex, const QString &fileName, const QString &languageName);
    void ImportExtendedLanguageFromFile(const QString &fileName, const QString &languageName);
    void ImportLanguage(const QString &fileName, const QString &languageName);
    void LoadExtendedFromText(QIODevice &stream, bool clearFirst);
    void SaveExtendedToText(QIODevice &stream, const QString &delim);
    void LoadExtendedFromFile(const QString &fileName, bool clearFirst);
    bool SaveExtendedToFile(const QString &fileName, const QString &delim);
    QStringList GetLangNamesFromFile(const QString &fileName);
    void LoadTypeFromLCB(int typeIndex, const QString &fileName);
    const QStringList &FixedLanguages() const { return FFixedLanguages; }
    static QString SectionName(int typeIndex);

    // Extended items.
    TlcExtendedItems &ExtendedTranslations() { return FExtended; }
    const TlcExtendedItems &ExtendedTranslations() const { return FExtended; }
    bool TranslateExtendedFirst() const { return FTranslateExtendedFirst; }
    void SetTranslateExtendedFirst(bool value) { FTranslateExtendedFirst = value; }
    // The object holding the path's last property; nil when the path does not resolve.
    QObject *FindObjectByPath(const QString &identifier) const;
    int GetPropertyKind(const QString &identifier) const;
    QString GetPropValueText(const QString &identifier) const;
    void SetPropValueText(const QString &identifier, const QString &text);
    void ApplyExtendedTranslations();
    QString BuildSingleLanguageValues(const QString &text, int language) const;
    void ReplaceDelimiterInItems(QChar oldDelim, QChar newDelim);

protected:
    TlcCustomLang(QObject *owner, bool temporary);

private:
    friend class TLCBFileManager;
    friend class TlcLangDispatcher;
    struct TTextSource;
    // Reads the texts of languageName from a translation text file's section: take gets every key of
    // this form's (without the form's prefix), its text, and the component's column for the
    // language, added when new. Nothing when the file or the language is not there.
    void ImportTexts(const QString &fileName, const QString &languageName, const QString &section,
                     const std::function<void(const QString &key, const QString &text, int column)> &take);
    int LoadFromSource(int typeIndex, const TTextSource &source, bool clearFirst);
    void LoadExtendedFromSource(const TTextSource &source, bool clearFirst);
    void CheckAfterLoad(int typeIndex);
    void CheckTargets(int typeIndex);
    void ApplyExtendedSafely();
    void LinkToDispatcher();
    void BindExtendedItems();
    static void RegisterResourceTranslator(TlcCustomLang *lang);
    static void ClearResourceTranslator(TlcCustomLang *lang);
    static void SetFormatSetting(const QString &key, const QString &text);
    void UnlinkDispatcher();
    bool UsesTabDelimiter() const;
    void CollectType(int typeIndex);
    void CollectOwnerText(int typeIndex, const QString &propName);
    void CollectOwnerLine(QStringList &list, const QString &value, bool keyByText);
    void CollectOwnerFont();
    void CollectLine(int typeIndex, const QString &key, const QString &value);
    void CheckDesignTargets();

    void CompleteDialogCaptions();
    void ApplyOwnerText(int typeIndex, const QString &propName);
    void ApplyOwnerFont();
    void TranslateList(int typeIndex);
    void TranslateCollections();
    void CheckListTargets(int typeIndex);
    QString TextForLine(const QStringList &list, int index, bool testMode = true) const;
    QObject *FindTarget(const QString &name) const;
    void BuildComponentIndex();
    bool InDoNotTranslate(const QString &name) const;
    bool IsOwnerTranslatable() const;

    QObject *FOwner;
    std::array<std::unique_ptr<QStringList>, StringsTypeCount> FLists;
    QStringList FHolding;
    QStringList FLangNames;
    QStringList FDoNotTranslate;
    QStringList FExcludedProperties;
    QStringList FSmartExcludeProps;
    QStringList FStringsTypes;
    QString FLanguage;
    int FNumOfLanguages = 1;
    int FActiveLanguage = 1;
    int FLangDelim = 1;
    int FDefaultLanguage = 1;
    int FResourceLanguageIndex = 1;
    int FSingleType = -1;
    int FChangingCursor = -1;
    int FCurrentCharSet = 1;
    std::vector<int> FCharSetTable;
    TTranslateType FTranslateType = ttNoChange;
    TlcLangOptions FOptions = 0;
    bool FLoading = false;
    bool FIsInheritedOwner = false;
    bool FUseDefaultLanguage = false;
    bool FAutoSkipEmpties = true;
    bool FStoreAsUTF8 = false;
    bool FDoRaiseExceptions = false;
    bool FChangeLocales = false;
    bool FNeedAllDlgs = false;
    bool FDecodeEscapes = false;
    QStringList FLocaleValues;
    TlcStringsCollection FStringsCollection;
    QHash<QString, QObject *> FComponents; // folded name -> component, during an apply
    TlcStringsCollection FResourceCollection{this};
    TlcExtendedItems FExtended{this};
    QStringList FFixedLanguages;
    TlcLangDispatcher *FDispatcher = nullptr;
    // Another linked form's component whose character sets serve where this one names none.
    mutable QPointer<TlcCustomLang> FCharSetSource;
    bool FTemporary = false;
    bool FBusy = false;
    bool FDesigning = false;
    bool FDispatcherSwitch = false;
    bool FTestMode = false;
    bool FHandleResourceStrings = false;
    bool FTranslateExtendedFirst = false;
    const TTextSource *FSharedSource = nullptr; // while LoadAllFromText parses its stream once
};

// Empties the lists the collection fills and collects the owner's texts into them as a form
// designer would: every translatable text the owner shows, in the active language's field.
void CollectFormTexts(TlcCustomLang &lang);

class TlcLang : public TlcCustomLang
{
    Q_OBJECT
public:
    explicit TlcLang(QObject *owner) : TlcCustomLang(owner) {}

private:
    friend class TlcCustomLang;
    TlcLang(QObject *owner, bool temporary) : TlcCustomLang(owner, temporary) {}
};
