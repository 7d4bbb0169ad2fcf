#include "lang/lcComp.h"

#include "lang/MemIni.h"
#include "lang/lcConsts.h"
#include "lang/lcDispatcher.h"
#include "platform/text/AnsiText.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QWidget>

namespace {

const char *const TypeNames[StringsTypeCount] = {
    "stCaptions", "stHints",        "stDisplayLabels", "stFonts",      "stMultiLines", "stDlgsCaptions",
    "stStrings",  "stOtherStrings", "stLocales",       "stCollections", "stCharSets",  "stListView_TreeView_Items"};

const char *const DefaultProperties[StringsTypeCount] = {
    "Caption", "Hint",  "DisplayLabel", "Font",        "TStrings", "Dialog",
    "Strings", "Other", "Locales",      "Collections", "CharSet",  "ListView_TreeView_Items"};

// The captions of the standard dialogs; the first fifteen, those of the message boxes, are the
// keys DlgsCaptions always holds.
const char *const DialogCaptions[] = {
    "Warning", "Error", "Information", "Confirm", "&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore",
    "&All", "N&o To All", "Y&es To All", "&Help", "&Open", "Look &in:", "File &name:", "Files of &type:",
    "&Read-only", "&Save", "&Drives:", "Save &in:", "Save as &type:", "&Basic colors:", "&Custom colors:",
    "&Define Custom Colors >>", "Color", "|S&olid", "Hu&e:", "&Sat:", "&Lum:", "&Red:", "&Green:", "Bl&ue:",
    "&Add to Custom Colors", "&Font:", "Font st&yle:", "Si&ze:", "&Color:", "&Apply", "Effects", "Stri&keout",
    "&Underline", "Sample", "Sc&ript:", "Printer", "&Name:", "&Properties", "Status:", "Type:", "Where:",
    "Comment:", "Paper", "&Source:", "Orientation", "P&ortrait", "L&andscape", "Print to f&ile", "Print", "Pa&ges",
    "&Selection", "&from:", "&to:", "Copies", "Number of &copies:", "C&ollate", "Fi&nd what:",
    "Match &whole words only", "Match &case", "Direction", "&Up", "&Down", "&Find Next", "&Replace",
    "Replace &All", "Re&place with:", "Picture:", "Preview", "New Folder", "Folder:", "(None)", "Close", "Network",
    "Print Setup", "Find"};
constexpr int MessageDialogCaptions = 15;
constexpr int AllDialogCaptions = int(std::size(DialogCaptions));
static_assert(AllDialogCaptions == 86);

const char *const LocaleKeys[] = {"Currency String",   "Thousand Separator", "Decimal Separator",
                                  "Date Separator",    "Short Date Format",  "Long Date Format",
                                  "Time Separator",    "Time AM String",     "Time PM String",
                                  "Short Time Format", "Long Time Format",   "Short Month Names",
                                  "Long Month Names",  "Short Day Names",    "Long Day Names"};

struct TCharSet
{
    const char *name;
    int value;
    int codePage; // 0: the system's ANSI code page
};

const TCharSet CharSetTable[] = {
    {"ANSI_CHARSET", 0, 1252},       {"DEFAULT_CHARSET", 1, 0},       {"SYMBOL_CHARSET", 2, 0},
    {"MAC_CHARSET", 77, 10000},      {"SHIFTJIS_CHARSET", 128, 932},  {"HANGEUL_CHARSET", 129, 949},
    {"JOHAB_CHARSET", 130, 1361},    {"GB2312_CHARSET", 134, 936},    {"CHINESEBIG5_CHARSET", 136, 950},
    {"GREEK_CHARSET", 161, 1253},    {"TURKISH_CHARSET", 162, 1254},  {"VIETNAMESE_CHARSET", 163, 1258},
    {"HEBREW_CHARSET", 177, 1255},   {"ARABIC_CHARSET", 178, 1256},   {"BALTIC_CHARSET", 186, 1257},
    {"RUSSIAN_CHARSET", 204, 1251},  {"THAI_CHARSET", 222, 874},      {"EASTEUROPE_CHARSET", 238, 1250},
    {"OEM_CHARSET", 255, 866},
};

int CodePageOf(int charSet)
{
    for (const TCharSet &row : CharSetTable)
        if (row.value == charSet)
            return row.codePage;
    return 0;
}

// The system's ANSI code page is the Russian one, as for every text file the program reads.
QByteArray CodecName(int codePage)
{
    switch (codePage) {
    case 0:
    case 1251: return {};
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 874: return "windows-874";
    case 866: return "IBM866";
    case 10000: return "macintosh";
    case 1361: return "johab";
    default: return "windows-" + QByteArray::number(codePage);
    }
}

} // namespace

QString StringsTypeName(int type)
{
    return type >= 0 && type < StringsTypeCount ? QLatin1String(TypeNames[type]) : QString();
}

QString StringsTypeDefaultProperty(int type)
{
    return type >= 0 && type < StringsTypeCount ? QLatin1String(DefaultProperties[type]) : QString();
}

namespace lcCharSets {

int CharSetValue(const QString &name)
{
    for (const TCharSet &row : CharSetTable)
        if (name == QLatin1String(row.name))
            return row.value;
    return -1;
}

QString CharSetName(int value)
{
    for (const TCharSet &row : CharSetTable)
        if (row.value == value)
            return QLatin1String(row.name);
    return {};
}

const QStringList &CharSetNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const TCharSet &row : CharSetTable)
            list.append(QLatin1String(row.name));
        return list;
    }();
    return names;
}

QString StringToWideWithCharSet(const QByteArray &s, int charSet)
{
    if (s.isEmpty())
        return {};
    const QByteArray codec = CodecName(CodePageOf(charSet));
    if (!codec.isEmpty()) {
        QStringDecoder decoder(codec.constData());
        if (decoder.isValid())
            return decoder.decode(s);
    }
    return AnsiText::FromWindows1251(s);
}

QByteArray WideToStringWithCharSet(const QString &w, int charSet)
{
    if (w.isEmpty())
        return {};
    const QByteArray codec = CodecName(CodePageOf(charSet));
    if (!codec.isEmpty()) {
        QStringEncoder encoder(codec.constData());
        if (encoder.isValid())
            return encoder.encode(w);
    }
    return AnsiText::ToWindows1251(w);
}

QString UTF8BytesToText(const QByteArray &s)
{
    return QString::fromUtf8(s);
}

QByteArray TextToUTF8Bytes(const QString &w)
{
    return w.toUtf8();
}

} // namespace lcCharSets

TlcCustomLang::TlcCustomLang(QObject *owner, bool temporary)
    : QObject(nullptr), FOwner(owner), FStringsCollection(this), FTemporary(temporary)
{
    if (owner && !temporary) {
        for (QObject *child : owner->findChildren<TlcCustomLang *>(QString(), Qt::FindDirectChildrenOnly))
            if (child != this)
                throw std::runtime_error("Only one TlcCustomLang component per Form/DataModule allowed!");
        setParent(owner);
    }
    setObjectName(QStringLiteral("lcLang"));
    for (int type = 0; type < stListView_TreeView_Items; ++type)
        FLists[size_t(type)] = std::make_unique<QStringList>();
    FLangNames = {QStringLiteral("Language N1")};
    FLanguage = FLangNames.first();
    for (int i = 0; i < MessageDialogCaptions; ++i) {
        const QString key = QString::fromLatin1(DialogCaptions[i]).remove(QLatin1Char('&'));
        DlgsCaptions().append(key + Delim() + key + Delim());
    }
    const QLocale locale;
    // The separator a format of the locale uses between its fields: "/" in "M/d/yy", "." in "H.mm".
    auto separator = [](const QString &format, QChar fallback) {
        bool quoted = false;
        for (const QChar c : format) {
            if (c == QLatin1Char('\''))
                quoted = !quoted;
            else if (!quoted && !c.isLetter() && !c.isSpace())
                return QString(c);
        }
        return QString(fallback);
    };
    auto names = [&](QLocale::FormatType format, bool months) {
        QStringList list;
        for (int i = 1; i <= (months ? 12 : 7); ++i)
            list.append(months ? locale.monthName(i, format) : locale.dayName(i % 7 == 0 ? 7 : i, format));
        return list.join(QLatin1Char(','));
    };
    FLocaleValues = {locale.currencySymbol(),
                     locale.groupSeparator(),
                     locale.decimalPoint(),
                     separator(locale.dateFormat(QLocale::ShortFormat), QLatin1Char('.')),
                     locale.dateFormat(QLocale::ShortFormat),
                     locale.dateFormat(QLocale::LongFormat),
                     separator(locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':')),
                     locale.amText(),
                     locale.pmText(),
                     locale.timeFormat(QLocale::ShortFormat),
                     locale.timeFormat(QLocale::LongFormat),
                     names(QLocale::ShortFormat, true),
                     names(QLocale::LongFormat, true),
                     names(QLocale::ShortFormat, false),
                     names(QLocale::LongFormat, false)};
    FExcludedProperties = {"Category",   "SecondaryShortCuts", "HelpKeyword",   "InitialDir",          "HelpKeyword",
                           "ActivePage", "ImeName",            "DefaultExt",    "FileName",            "FieldName",
                           "PickList",   "DisplayFormat",      "EditMask",      "KeyList",             "LookupDisplayFields",
                           "DropDownSpecRow", "TableName",     "DatabaseName",  "IndexName",           "MasterFields"};
    FStringsTypes = {QStringLiteral("TIB_STRINGLIST"), QStringLiteral("TSTRINGLIST")};
}

TlcCustomLang::~TlcCustomLang()
{
    UnlinkDispatcher();
    ClearResourceTranslator(this);
}

std::unique_ptr<TlcLang> TlcCustomLang::CreateTemporary(QObject *owner)
{
    return std::unique_ptr<TlcLang>(new TlcLang(owner, true));
}

QString TlcCustomLang::OwnerClassName() const
{
    return FOwner ? QString::fromLatin1(FOwner->metaObject()->className()) : QString();
}

QString TlcCustomLang::Version() const
{
    return lcConsts::Version;
}

QStringList *TlcCustomLang::GetStringsList(int typeIndex)
{
    return typeIndex >= 0 && typeIndex < StringsTypeCount ? FLists[size_t(typeIndex)].get() : nullptr;
}

const QStringList *TlcCustomLang::GetStringsList(int typeIndex) const
{
    return typeIndex >= 0 && typeIndex < StringsTypeCount ? FLists[size_t(typeIndex)].get() : nullptr;
}

void TlcCustomLang::SetStringsList(int typeIndex, const QStringList &lines)
{
    QStringList *list = GetStringsList(typeIndex);
    if (!list)
        return;
    *list = lines;
    if (typeIndex == stDlgsCaptions)
        return;
    FSingleType = typeIndex;
    ChangeLanguage();
    FSingleType = -1;
}

void TlcCustomLang::CompleteDialogCaptions()
{
    QStringList &dialogs = DlgsCaptions();
    if (!FNeedAllDlgs && dialogs.size() == AllDialogCaptions) {
        // Only the message-box captions are kept unless every dialog text is asked for.
        QStringList keys;
        for (int i = 0; i < MessageDialogCaptions; ++i)
            keys.append(QString::fromLatin1(DialogCaptions[i]).remove(QLatin1Char('&')));
        for (qsizetype i = dialogs.size() - 1; i >= 0; --i)
            if (!keys.contains(GetDelimitedItem(dialogs[i], Delim(), 0)))
                dialogs.removeAt(i);
    } else if (FNeedAllDlgs && dialogs.size() < AllDialogCaptions) {
        for (qsizetype i = dialogs.size(); i < AllDialogCaptions; ++i) {
            const QString key = QString::fromLatin1(DialogCaptions[i]).remove(QLatin1Char('&'));
            const QString text = QString::fromLatin1(DialogCaptions[i]);
            dialogs.append(key + Delim() + (i < MessageDialogCaptions ? key : text) + Delim());
        }
    }
}

bool TlcCustomLang::UsesTabDelimiter() const
{
    const QChar tab = QLatin1Char('\t');
    auto first = [this](int type) { return GetStringsList(type)->value(0); };
    if (first(stDlgsCaptions).contains(tab) || first(stLocales).contains(tab))
        return true;
    for (int type : {stCaptions, stLocales, stHints})
        if (lcText::CountChar(first(type), tab) == FNumOfLanguages + 1)
            return true;
    return false;
}

void TlcCustomLang::Loaded()
{
    FLoading = false;
    if (!FOwner)
        return;
    CompleteDialogCaptions();
    if (FOptions & loUseExtCommonStrings) {
        DlgsCaptions().clear();
        Locales().clear();
    }
    if (FLangDelim == 9)
        SetLangDelim(1);
    if (FLangDelim != 9 && UsesTabDelimiter()) {
        // Lines written with tabs by an older version: every tab becomes the delimiter.
        const int delim = FLangDelim;
        FLangDelim = 9;
        SetLangDelim(delim);
    }
    if (Locales().size() == 11)
        for (int i = 11; i < 15; ++i)
            Locales().append(QLatin1String(LocaleKeys[i]) + Delim() + FLocaleValues[i] + Delim());
    PurgeExcludedProperties();
    if (FDesigning)
        UpdateStrings();
    else
        RebuildStringsCollections();
    if (FDispatcher && !FTemporary)
        LinkToDispatcher();
    if (FIsInheritedOwner)
        ChangeLanguage();
    else
        RefreshCharSets();
    if (!FDesigning && FHandleResourceStrings && !FTemporary)
        RegisterResourceTranslator(this);
    if (FDesigning)
        BindExtendedItems();
    // A component of the owner that goes away takes its filters and extended items with it.
    if (!FTemporary)
        for (QObject *child : FOwner->findChildren<QObject *>())
            if (child != this)
                connect(child, &QObject::destroyed, this, [this](QObject *gone) { Notification(gone); });
}

void TlcCustomLang::SetActiveLanguage(int value)
{
    if (value == FActiveLanguage)
        return;
    if (value < 1 || value > FNumOfLanguages) {
        if (FLoading)
            return;
        CheckLanguageRange(value);
    }
    FSingleType = -1;
    if (FDesigning && (FDispatcher || !FLoading))
        UpdateStrings();
    if (!FLoading) {
        bool allowChange = true;
        if (OnLanguageChanging && !FDispatcherSwitch)
            OnLanguageChanging(this, value, allowChange);
        if (!allowChange)
            return;
    }
    FActiveLanguage = value;
    if (!FLoading) {
        if (FLangNames.size() >= value)
            FLanguage = FLangNames[value - 1];
        ChangeLanguage();
    }
}

void TlcCustomLang::CheckLanguageRange(int value) const
{
    if (value >= 1 && value <= FNumOfLanguages)
        return;
    const QString range = QStringLiteral("%1 - is not a valid property value!\rValue must be within [1..%2]!")
                              .arg(value)
                              .arg(FNumOfLanguages);
    throw ELanguageError(FOwner ? OwnerClassName() + QStringLiteral(": ") + range : range);
}

void TlcCustomLang::SetLanguage(const QString &value)
{
    if (value == FLanguage)
        return;
    qsizetype index = -1;
    for (qsizetype i = 0; i < FLangNames.size(); ++i)
        if (FLangNames[i].compare(value, Qt::CaseInsensitive) == 0) {
            index = i;
            break;
        }
    if (index < 0) {
        if (!FLoading)
            throw ELanguageError(QStringLiteral("Language name shall be included in LangNames property!"));
        FLangNames.append(value);
        index = FLangNames.size() - 1;
    }
    FLanguage = value;
    if (!FLoading)
        SetActiveLanguage(int(index) + 1);
}

void TlcCustomLang::SetNumOfLanguages(int value)
{
    if (value == FNumOfLanguages)
        return;
    if (value < 1)
        throw ELanguageError(QString::number(value) +
                             QStringLiteral(" - is not a valid property value !\rValue must be more than ZERO !"));
    if (value < FNumOfLanguages) {
        for (auto &list : FLists) {
            if (!list)
                continue;
            for (QString &line : *list) {
                // Keep the key and the first value fields, each with its closing delimiter.
                qsizetype pos = -1;
                int found = 0;
                while (found <= value && (pos = line.indexOf(Delim(), pos + 1)) >= 0)
                    ++found;
                if (found > value && pos + 1 < line.size())
                    line.truncate(pos + 1);
            }
        }
    }
    FNumOfLanguages = value;
    while (FLangNames.size() < FNumOfLanguages)
        FLangNames.append(QStringLiteral("Language N%1").arg(FLangNames.size() + 1));
    while (FLangNames.size() > FNumOfLanguages)
        FLangNames.removeLast();
    // A language that is no longer held cannot stay active.
    if (FActiveLanguage > FNumOfLanguages) {
        FActiveLanguage = FNumOfLanguages;
        FLanguage = FLangNames[FActiveLanguage - 1];
    }
    if (FDefaultLanguage > FNumOfLanguages)
        FDefaultLanguage = FNumOfLanguages;
    if (!FLoading) {
        PadAllLines();
        RebuildStringsCollections();
    }
}

void TlcCustomLang::SetLangDelim(int value)
{
    if (value == FLangDelim || value < 0 || value > 255)
        return;
    if (!FLoading) {
        const QChar oldDelim = Delim();
        const QChar newDelim{char16_t(value)};
        for (auto &list : FLists)
            if (list)
                for (QString &line : *list)
                    line.replace(oldDelim, newDelim);
        ReplaceDelimiterInItems(oldDelim, newDelim);
    }
    FLangDelim = value;
}

void TlcCustomLang::SetLangNames(const QStringList &value)
{
    FLangNames = value;
    if (FLangNames.size() >= FActiveLanguage)
        FLanguage = FLangNames[FActiveLanguage - 1];
    // The count follows the names; it never drops below one language.
    FNumOfLanguages = std::max<int>(1, int(FLangNames.size()));
    if (FActiveLanguage > FNumOfLanguages)
        FActiveLanguage = FNumOfLanguages;
}

void TlcCustomLang::SetExcludedProperties(const QStringList &value)
{
    FExcludedProperties = value;
    if (!FLoading)
        PurgeExcludedProperties();
}

bool TlcCustomLang::IsStringsType(const QString &className) const
{
    return FStringsTypes.contains(className, Qt::CaseInsensitive);
}

void TlcCustomLang::SetDefaultLanguage(int value)
{
    if (value >= 1 && value <= FNumOfLanguages)
        FDefaultLanguage = value;
}

void TlcCustomLang::SetChangeLocales(bool value)
{
    if (value == FChangeLocales)
        return;
    FChangeLocales = value;
    if (value && Locales().isEmpty())
        for (int i = 0; i < 15; ++i)
            Locales().append(QLatin1String(LocaleKeys[i]) + Delim() + FLocaleValues[i] + Delim());
}

void TlcCustomLang::SetOptions(TlcLangOptions value)
{
    if (value == FOptions)
        return;
    FOptions = value;
    // Those texts now come from the other components of the dispatcher: a form keeps none of its own.
    if ((value & loUseExtCommonStrings) && FDesigning) {
        DlgsCaptions().clear();
        Locales().clear();
    }
}

void TlcCustomLang::SetNeedAllDlgs(bool value)
{
    if (value == FNeedAllDlgs)
        return;
    FNeedAllDlgs = value;
    if (!FLoading)
        CompleteDialogCaptions();
}

void TlcCustomLang::SetResourceLanguageIndex(int value)
{
    if (value == FResourceLanguageIndex)
        return;
    if (!FLoading && (value < 1 || value > FNumOfLanguages))
        throw ELanguageError(QStringLiteral("%1 - is not a valid property value!\rValue must be within [1..%2]!")
                                 .arg(value)
                                 .arg(FNumOfLanguages));
    FResourceLanguageIndex = value;
    // Resource texts are looked up by the texts of this language, so they give the order.
    if (!FDesigning && !FLoading) {
        FResourceCollection.SortColumn = value;
        FResourceCollection.Sort(true);
    }
}

QString TlcCustomLang::GetDelimitedItemOrDefault(const QString &s, int index) const
{
    QString result = GetDelimitedItem(s, Delim(), index);
    if (FUseDefaultLanguage && result.isEmpty() && index != FDefaultLanguage)
        result = GetDelimitedItem(s, Delim(), FDefaultLanguage);
    return result;
}

QString TlcCustomLang::GetLineText(const QStringList &list, int index, bool getDefault) const
{
    if (index < 0 || index >= list.size())
        return {};
    QString result = GetDelimitedItem(list[index], Delim(), FActiveLanguage);
    if (result.isEmpty() && getDefault)
        result = GetDelimitedItem(list[index], Delim(), 1);
    return result;
}

int TlcCustomLang::GetCharSetOfLanguage(int language) const
{
    QString name;
    const QStringList &charSets = *FLists[stCharSets];
    if (FOwner) {
        const QString owner = OwnerClassName();
        for (const QString &line : charSets)
            if (GetDelimitedItem(line, Delim(), 0).compare(owner, Qt::CaseInsensitive) == 0) {
                name = GetDelimitedItem(line, Delim(), language);
                break;
            }
    } else if (!charSets.isEmpty()) {
        name = GetDelimitedItem(charSets.first(), Delim(), language);
    }
    if (name.isEmpty() && !FCharSetSource && FDispatcher)
        for (int i = 0; i < FDispatcher->LinkedCount(); ++i) {
            TlcCustomLang *other = FDispatcher->Linked(i);
            const auto *form = qobject_cast<const QWidget *>(other->Owner());
            if (other != this && form && form->isWindow())
                FCharSetSource = other;
        }
    if (name.isEmpty() && FCharSetSource) {
        const QString owner = FCharSetSource->OwnerClassName();
        for (const QString &line : *FCharSetSource->GetStringsList(stCharSets))
            if (GetDelimitedItem(line, Delim(), 0).compare(owner, Qt::CaseInsensitive) == 0) {
                name = GetDelimitedItem(line, Delim(), language);
                break;
            }
    }
    const int value = lcCharSets::CharSetValue(name);
    return value < 0 ? 1 : value;
}

void TlcCustomLang::RefreshCharSets()
{
    FCharSetTable.assign(size_t(FNumOfLanguages), 1);
    for (int i = 1; i <= FNumOfLanguages; ++i)
        FCharSetTable[size_t(i - 1)] = GetCharSetOfLanguage(i);
    FCurrentCharSet = FCharSetTable[size_t(std::clamp(FActiveLanguage, 1, FNumOfLanguages) - 1)];
}

void TlcCustomLang::PadLines(QStringList &list) const
{
    for (QString &line : list) {
        const int count = lcText::CountChar(line, Delim());
        if (FNumOfLanguages >= count)
            line += QString(FNumOfLanguages - count + 1, Delim());
    }
}

void TlcCustomLang::PadAllLines()
{
    PadLines(Strings());
    PadLines(DlgsCaptions());
    PadLines(Locales());
}

bool TlcCustomLang::IsExcludedProperty(const QString &compName, const QString &propName) const
{
    return FExcludedProperties.contains(propName, Qt::CaseInsensitive) ||
           propName.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0 ||
           FSmartExcludeProps.contains(compName + QLatin1Char('.') + propName, Qt::CaseInsensitive);
}

void TlcCustomLang::PurgeExcludedProperties()
{
    struct TWhole
    {
        const char *property;
        int type;
        int alsoType;
    };
    const TWhole wholes[] = {{"Caption", stCaptions, -1},
                             {"Hint", stHints, -1},
                             {"DisplayLabel", stDisplayLabels, -1},
                             {"Font", stFonts, stCharSets},
                             {"Charset", stCharSets, -1}};
    QList<int> checked = {stMultiLines, stOtherStrings, stCollections};
    for (const TWhole &whole : wholes) {
        if (FExcludedProperties.contains(QLatin1String(whole.property), Qt::CaseInsensitive)) {
            FLists[size_t(whole.type)]->clear();
            if (whole.alsoType >= 0)
                FLists[size_t(whole.alsoType)]->clear();
        } else {
            checked.append(whole.type);
        }
    }
    const QString splitters = QStringLiteral(".") + Delim();
    for (int type : checked) {
        QStringList &list = *FLists[size_t(type)];
        for (qsizetype i = list.size() - 1; i >= 0; --i) {
            const QString &line = list[i];
            bool excluded = false;
            if (type == stCaptions || type == stHints || type == stFonts || type == stCharSets) {
                excluded = IsExcludedProperty(GetDelimitedItem(line, Delim(), 0), StringsTypeDefaultProperty(type));
            } else if (type == stCollections) {
                const QString delims = QStringLiteral(".[") + Delim();
                const QString comp = lcText::ExtractWord(1, line, delims);
                excluded = IsExcludedProperty(comp, lcText::ExtractWord(2, line, delims)) ||
                           IsExcludedProperty(comp, lcText::ExtractWord(4, line, delims));
            } else if (type != stDisplayLabels) {
                excluded = IsExcludedProperty(lcText::ExtractWord(1, line, splitters),
                                              lcText::ExtractWord(2, line, splitters));
            }
            if (excluded)
                list.removeAt(i);
        }
    }
}
