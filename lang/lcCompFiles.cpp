// Translation text files: one INI section per string type, the languages of a line joined by a
// delimiter text; whole files, single types, merges and the import of one language.
#include "lang/lcComp.h"

#include "lang/MemIni.h"
#include "lang/lcLcb.h"
#include "platform/ini/IniFile.h"
#include "platform/text/AnsiText.h"

#include <QBuffer>
#include <QFileDevice>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

const QString OptionsSection = QStringLiteral("OPTIONS");
const QString NamesSection = QStringLiteral("Language names - for internal use only!");
const QString MisspeltNamesSection = QStringLiteral("Language names - for intenal use only!");
const QString ExtendedSection = QStringLiteral("Extended");
const QString DefaultDelimText = QStringLiteral("~!@#");
const QString TypeKindSuffix = QStringLiteral("_TypeKind");
const QChar StoredCR{char16_t(25)};
const QChar StoredLF{char16_t(26)};

const char *const SectionNames[StringsTypeCount] = {"Captions", "Hints",  "DisplayLabels", "Fonts",
                                                     "Multilines", "Dialogs", "Strings", "Other",
                                                     "Locales", "Collections", "CharSets", "ListView_TreeView_Items"};

// Flags kept for the length of one operation and put back on every way out.
class TFlagGuard
{
public:
    TFlagGuard(bool &flag, bool value) : FFlag(flag), FOld(flag) { FFlag = value; }
    ~TFlagGuard() { FFlag = FOld; }

private:
    bool &FFlag;
    bool FOld;
};

QByteArray ReadAllFrom(QIODevice &stream)
{
    stream.seek(0);
    return stream.readAll();
}

// Empties the stream and writes the bytes; a file or a memory buffer.
void ReplaceContent(QIODevice &stream, const QByteArray &bytes)
{
    if (auto *buffer = qobject_cast<QBuffer *>(&stream)) {
        buffer->buffer() = bytes;
        buffer->seek(bytes.size());
        return;
    }
    if (auto *file = qobject_cast<QFileDevice *>(&stream))
        file->resize(0);
    stream.seek(0);
    if (stream.write(bytes) != bytes.size())
        throw ElcException(QStringLiteral("Stream write error"));
}

QByteArray TextBytes(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

// The code page a language's 8-bit text was written in on Windows.
QString FromLanguageCodePage(const QString &latin1, const QString &languageName)
{
    const QByteArray bytes = latin1.toLatin1();
    if (languageName.compare(QLatin1String("Russian"), Qt::CaseInsensitive) == 0)
        return AnsiText::FromWindows1251(bytes);
    return lcCharSets::StringToWideWithCharSet(bytes, 0);
}

// The backup lines whose keys the list lacks (compared without case) go after the loaded ones;
// one pass over each, so a merge of many keys does not take their square.
void AppendMissingKeys(QStringList &list, const QStringList &backup, QChar delim)
{
    QSet<QString> keys;
    keys.reserve(list.size() + backup.size());
    for (const QString &line : list)
        keys.insert(GetDelimitedItem(line, delim, 0).toCaseFolded());
    for (const QString &line : backup)
        if (const QString key = GetDelimitedItem(line, delim, 0).toCaseFolded(); !keys.contains(key)) {
            keys.insert(key);
            list.append(line);
        }
}

bool IsLcbName(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toUpper() == QLatin1String("LCB");
}

} // namespace

// A translation text as the loaders see it. A byte-order mark or valid UTF-8 gives the text at
// once; anything else was written on Windows with each language in its own code page, so the
// bytes are kept as they are and every language's field is decoded on its own.
struct TlcCustomLang::TTextSource
{
    TlcMemIniFile ini;
    QStringList text; // the lines as read
    bool raw = false;
    bool utf8Texts = false; // raw text whose translations were written as UTF-8

    explicit TTextSource(const QByteArray &bytes)
    {
        const AnsiText::TEncoding encoding = AnsiText::DetectEncoding(bytes);
        raw = encoding == AnsiText::TEncoding::Windows1251;
        text = SplitIniLines(raw ? QString::fromLatin1(bytes) : AnsiText::DecodeText(bytes, encoding));
        ini.SetStrings(text);
        utf8Texts = raw && ini.ReadBool(OptionsSection, QStringLiteral("IsUTF8File"), false);
    }
    QString Plain(const QString &text) const { return raw ? AnsiText::FromWindows1251(text.toLatin1()) : text; }
    // One language's text of raw text: UTF-8 when the file says so, else that language's code page.
    QString Translation(const QString &latin1, const QString &languageName) const
    {
        return utf8Texts ? QString::fromUtf8(latin1.toLatin1()) : FromLanguageCodePage(latin1, languageName);
    }
    QString DelimText(const QString &section) const
    {
        const QString delim = ini.ReadString(section, QStringLiteral("DELIMITER"), DefaultDelimText);
        return delim.isEmpty() ? DefaultDelimText : delim;
    }
    QStringList Names() const
    {
        QStringList names;
        for (int n = 1;; ++n) {
            const QString name = ini.ReadString(NamesSection, QStringLiteral("Language_%1").arg(n), QString());
            if (name.isEmpty())
                return names;
            names.append(Plain(name));
        }
    }
    // The value's languages, each closed by delim; raw text decoded language by language.
    QString Fields(const QString &value, const QString &delimText, QChar delim, const QStringList &languages) const
    {
        if (!value.contains(delimText))
            return (raw ? Translation(value, languages.value(0)) : value) + delim;
        const QStringList parts = value.split(delimText);
        QString result;
        for (qsizetype k = 0; k < parts.size(); ++k) {
            if (k == parts.size() - 1 && parts[k].isEmpty())
                break;
            result += (raw ? Translation(parts[k], languages.value(k)) : parts[k]);
            if (k < parts.size() - 1)
                result += delim;
        }
        return result;
    }
    // The lines as Unicode text; in raw text every language's field is decoded in its own code
    // page, the delimiter text left between them.
    QStringList Lines() const
    {
        QStringList lines = text;
        if (!raw)
            return lines;
        const QStringList languages = Names();
        const QString delimText = DelimText(OptionsSection);
        bool fields = false;
        for (QString &line : lines) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
                const QString section = line.mid(1, line.size() - 2);
                fields = section.compare(OptionsSection, Qt::CaseInsensitive) != 0 &&
                         section.compare(NamesSection, Qt::CaseInsensitive) != 0;
                line = Plain(line);
            } else if (eq < 0 || !fields) {
                line = Plain(line);
            } else {
                QStringList parts = line.mid(eq + 1).split(delimText);
                for (qsizetype k = 0; k < parts.size(); ++k)
                    parts[k] = Translation(parts[k], languages.value(k));
                line = Plain(line.left(eq)) + QLatin1Char('=') + parts.join(delimText);
            }
        }
        return lines;
    }
};

namespace {

// Values already in the file keep their languages apart when the file gets a new delimiter text.
void Redelimit(TlcMemIniFile &ini, const QString &oldDelim, const QString &newDelim)
{
    if (oldDelim == newDelim)
        return;
    QStringList sections = {ExtendedSection};
    for (const char *name : SectionNames)
        sections.append(QLatin1String(name));
    for (const QString &section : sections) {
        QStringList keys, values;
        ini.ReadSection(section, keys);
        ini.ReadSectionValues(section, values);
        for (qsizetype i = 0; i < keys.size() && i < values.size(); ++i) {
            // A repeated name is written through its first line, which is the one read.
            if (i > 0 && keys[i].compare(keys[i - 1], Qt::CaseInsensitive) == 0)
                continue;
            if (values[i].contains(oldDelim))
                ini.WriteString(section, keys[i], values[i].replace(oldDelim, newDelim));
        }
    }
}

} // namespace

QString TlcCustomLang::SectionName(int typeIndex)
{
    return typeIndex >= 0 && typeIndex < StringsTypeCount ? QLatin1String(SectionNames[typeIndex]) : QString();
}

void TlcCustomLang::CheckTargets(int typeIndex)
{
    if (!FOwner || FTemporary || !GetStringsList(typeIndex))
        return;
    BuildComponentIndex();
    CheckListTargets(typeIndex);
    FComponents.clear();
}

void TlcCustomLang::CheckAfterLoad(int typeIndex)
{
    CheckTargets(typeIndex);
    if (typeIndex == stStrings)
        RebuildStringsCollections();
    ChangeLanguage();
}

int TlcCustomLang::LoadFromText(int typeIndex, QIODevice &stream, bool clearFirst)
{
    if (!GetStringsList(typeIndex))
        return -1;
    if (FSharedSource)
        return LoadFromSource(typeIndex, *FSharedSource, clearFirst);
    const TTextSource source(ReadAllFrom(stream));
    return LoadFromSource(typeIndex, source, clearFirst);
}

int TlcCustomLang::LoadFromSource(int typeIndex, const TTextSource &source, bool clearFirst)
{
    QStringList *list = GetStringsList(typeIndex);
    if (!list)
        return -1;
    if (clearFirst)
        list->clear();
    const TlcMemIniFile &ini = source.ini;
    const QString delimText = source.DelimText(OptionsSection);
    if (ini.SectionExists(NamesSection)) {
        FLangNames = source.Names();
        // A file without names still leaves the component one language.
        if (FLangNames.isEmpty())
            FLangNames.append(QStringLiteral("Language N1"));
        FNumOfLanguages = int(FLangNames.size());
        FActiveLanguage = std::min(FActiveLanguage, FNumOfLanguages);
        FDefaultLanguage = std::min(FDefaultLanguage, FNumOfLanguages);
        FLanguage = FLangNames[FActiveLanguage - 1];
    }
    FStoreAsUTF8 = ini.ReadBool(OptionsSection, QStringLiteral("IsUTF8File"), false);
    FFixedLanguages.clear();
    for (int n = 1; n <= FNumOfLanguages; ++n)
        if (ini.ReadBool(OptionsSection, QStringLiteral("Language_Fixed%1").arg(n), false))
            FFixedLanguages.append(FLangNames.value(n - 1));

    const QString section = SectionName(typeIndex);
    QStringList found;
    ini.ReadSection(section, found);
    // The section's names come sorted without case, so a name's other spellings follow it.
    QStringList keys;
    for (const QString &key : found)
        if (keys.isEmpty() || keys.last().compare(key, Qt::CaseInsensitive) != 0)
            keys.append(key);

    const QString className = OwnerClassName();
    const QString ownerName = FOwner ? FOwner->objectName() : QString();
    for (const QString &rawKey : keys) {
        QString k = source.Plain(rawKey) + Delim();
        if (typeIndex == stCollections || typeIndex == stListView_TreeView_Items)
            k.replace(QLatin1Char('-'), QLatin1Char('[')).replace(QLatin1Char('+'), QLatin1Char(']'));
        QString matched;
        if (!ownerName.isEmpty() && k.startsWith(ownerName + QLatin1Char('.'), Qt::CaseInsensitive))
            matched = ownerName;
        else if (!className.isEmpty() && k.startsWith(className + QLatin1Char('.'), Qt::CaseInsensitive))
            matched = className;
        else
            continue;
        k.remove(0, matched.size() + 1);
        const qsizetype dot = k.indexOf(QLatin1Char('.'));
        const QString component = dot >= 0 ? k.left(dot) : k.left(k.size() - 1);
        if (InDoNotTranslate(component))
            continue;
        const QString value = ini.ReadString(section, rawKey, QString());
        k += source.Fields(value, delimText, Delim(), FLangNames);
        k.replace(StoredCR, QLatin1Char('\r')).replace(StoredLF, QLatin1Char('\n'));
        if (!k.isEmpty() && !k.endsWith(Delim()))
            k += Delim();
        if (k.startsWith(matched + Delim(), Qt::CaseInsensitive))
            list->insert(0, k);
        else
            list->append(k);
    }
    if (!FBusy)
        CheckAfterLoad(typeIndex);
    return int(keys.size());
}

int TlcCustomLang::SaveToText(int typeIndex, QIODevice &stream, const QString &delim)
{
    const QStringList *list = GetStringsList(typeIndex);
    if (!list)
        return -1;
    const QString delimText = delim.isEmpty() ? DefaultDelimText : delim;
    TlcMemIniFile ini;
    const TTextSource old(ReadAllFrom(stream));
    ini.SetStrings(old.Lines());
    Redelimit(ini, old.DelimText(OptionsSection), delimText);
    ini.WriteString(OptionsSection, QStringLiteral("DELIMITER"), delimText);
    ini.WriteBool(OptionsSection, QStringLiteral("IsUTF8File"), FStoreAsUTF8);
    ini.EraseSection(NamesSection);
    for (int n = 1; n <= FNumOfLanguages; ++n) {
        const QString name = FLangNames.value(n - 1);
        ini.WriteString(NamesSection, QStringLiteral("Language_%1").arg(n),
                        name.isEmpty() ? QStringLiteral("Language N%1").arg(n) : name);
    }
    ini.EraseSection(MisspeltNamesSection);
    const QString section = SectionName(typeIndex);
    const QString className = OwnerClassName();
    for (const QString &line : *list) {
        const qsizetype end = line.indexOf(Delim());
        QString key = end < 0 ? line : line.left(end);
        if (typeIndex == stCollections || typeIndex == stListView_TreeView_Items)
            key.replace(QLatin1Char('['), QLatin1Char('-')).replace(QLatin1Char(']'), QLatin1Char('+'));
        // A line break inside a key would split the INI line; the loader turns these back too.
        key.replace(QLatin1Char('\r'), StoredCR).replace(QLatin1Char('\n'), StoredLF);
        QString value = end < 0 ? QString() : line.mid(end + 1);
        value.replace(Delim(), delimText).replace(QLatin1Char('\r'), StoredCR).replace(QLatin1Char('\n'), StoredLF);
        ini.WriteString(section, className + QLatin1Char('.') + key, value);
    }
    QStringList lines;
    ini.GetStrings(lines);
    // Keys written under the form's name by older versions give way to the class-name keys.
    const QString ownerName = FOwner ? FOwner->objectName() : QString();
    if (!ownerName.isEmpty() && ownerName.compare(className, Qt::CaseInsensitive) != 0) {
        // The file may spell the section in another letter case; it is the same section.
        const QString wanted = QLatin1Char('[') + section + QLatin1Char(']');
        qsizetype header = -1;
        for (qsizetype i = 0; i < lines.size() && header < 0; ++i)
            if (lines[i].compare(wanted, Qt::CaseInsensitive) == 0)
                header = i;
        if (header >= 0) {
            for (qsizetype i = header + 1; i < lines.size() - 1 && !lines[i].startsWith(QLatin1Char('['));) {
                if (lines[i].startsWith(ownerName + QLatin1Char('.')))
                    lines.removeAt(i);
                else
                    ++i;
            }
        }
    }
    ReplaceContent(stream, TextBytes(lines));
    return int(list->size());
}

void TlcCustomLang::LoadAllFromText(QIODevice &stream, bool clearFirst, bool noApply)
{
    TFlagGuard busy(FBusy, true);
    std::unique_ptr<TTextSource> own;
    if (!FSharedSource) {
        own = std::make_unique<TTextSource>(ReadAllFrom(stream));
        FSharedSource = own.get();
    }
    struct TSharedReset
    {
        TlcCustomLang *lang;
        bool owned;
        ~TSharedReset()
        {
            if (owned)
                lang->FSharedSource = nullptr;
        }
    } reset{this, bool(own)};
    for (int type = 0; type < StringsTypeCount; ++type)
        if (LoadFromText(type, stream, clearFirst) > 0)
            CheckTargets(type);
    LoadExtendedFromText(stream, clearFirst);
    RebuildStringsCollections();
    if (!noApply)
        ChangeLanguage();
}

void TlcCustomLang::SaveAllToStream(QIODevice &stream, const QString &delim)
{
    QBuffer memory;
    memory.open(QIODevice::ReadWrite);
    for (int type = 0; type < StringsTypeCount; ++type)
        SaveToText(type, memory, delim);
    SaveExtendedToText(memory, delim);
    if (stream.write(memory.data()) != memory.data().size())
        throw ElcException(QStringLiteral("Stream write error"));
}

void TlcCustomLang::LoadExtendedFromText(QIODevice &stream, bool clearFirst)
{
    if (FSharedSource) {
        LoadExtendedFromSource(*FSharedSource, clearFirst);
        return;
    }
    const TTextSource source(ReadAllFrom(stream));
    LoadExtendedFromSource(source, clearFirst);
}

void TlcCustomLang::LoadExtendedFromSource(const TTextSource &source, bool clearFirst)
{
    if (clearFirst)
        FExtended.Clear();
    const QString delimText = source.DelimText(QStringLiteral("Options"));
    const QString prefix = OwnerClassName() + QLatin1Char('.');
    QStringList keys;
    source.ini.ReadSection(ExtendedSection, keys);
    // The fields stand in the file's language order, each in its own language's code page.
    QStringList languages = source.Names();
    if (languages.isEmpty())
        languages = FLangNames;
    for (const QString &rawKey : keys) {
        const QString key = source.Plain(rawKey);
        if (!key.startsWith(prefix) || key.endsWith(TypeKindSuffix))
            continue;
        const QString identifier = key.mid(prefix.size());
        TlcExtendedItem *item = FExtended.Find(identifier);
        const bool added = !item;
        if (added) {
            item = &FExtended.Add();
            item->SetIdentifier(identifier);
        }
        const QString value = source.ini.ReadString(ExtendedSection, rawKey, QString());
        item->Values = source.Fields(value, delimText, Delim(), languages);
        item->Values.replace(StoredCR, QLatin1Char('\r')).replace(StoredLF, QLatin1Char('\n'));
        if (added)
            item->PropertyType = GetPropertyKind(identifier);
    }
}

void TlcCustomLang::SaveExtendedToText(QIODevice &stream, const QString &delim)
{
    const QString delimText = delim.isEmpty() ? DefaultDelimText : delim;
    TlcMemIniFile ini;
    const TTextSource old(ReadAllFrom(stream));
    ini.SetStrings(old.Lines());
    Redelimit(ini, old.DelimText(QStringLiteral("Options")), delimText);
    ini.WriteString(QStringLiteral("Options"), QStringLiteral("Delimiter"), delimText);
    ini.EraseSection(NamesSection);
    for (int n = 1; n <= FNumOfLanguages; ++n) {
        const QString name = FLangNames.value(n - 1);
        ini.WriteString(NamesSection, QStringLiteral("Language_%1").arg(n),
                        name.isEmpty() ? QStringLiteral("Language N%1").arg(n) : name);
    }
    const QString prefix = OwnerClassName() + QLatin1Char('.');
    for (int i = 0; i < FExtended.Count(); ++i) {
        const TlcExtendedItem &item = FExtended.Items(i);
        // A line break would end the INI line: stored as the codes the loaders turn back.
        QString values = item.Values;
        values.replace(Delim(), delimText).replace(QLatin1Char('\r'), StoredCR).replace(QLatin1Char('\n'), StoredLF);
        ini.WriteString(ExtendedSection, prefix + item.Identifier(), values);
        ini.WriteString(ExtendedSection, prefix + item.Identifier() + TypeKindSuffix, TypeKindName(item.PropertyType));
    }
    QStringList lines;
    ini.GetStrings(lines);
    ReplaceContent(stream, TextBytes(lines));
}

bool TlcCustomLang::MergeFromText(int typeIndex, QIODevice &stream)
{
    QStringList *list = GetStringsList(typeIndex);
    if (!list)
        return false;
    const QStringList backup = *list;
    try {
        TFlagGuard busy(FBusy, true);
        LoadFromText(typeIndex, stream, true);
        AppendMissingKeys(*list, backup, Delim());
    } catch (const std::exception &) {
        *list = backup;
        return false;
    }
    if (!FBusy)
        CheckAfterLoad(typeIndex);
    return true;
}

bool TlcCustomLang::MergeAllFromText(QIODevice &stream)
{
    TFlagGuard busy(FBusy, true);
    for (int type = 0; type < StringsTypeCount; ++type) {
        // A type this component keeps no list of has nothing to merge.
        if (!GetStringsList(type))
            continue;
        if (!MergeFromText(type, stream))
            return false;
        CheckTargets(type);
    }
    RebuildStringsCollections();
    return true;
}

bool TlcCustomLang::MergeAllFromTextAndApply(QIODevice &stream)
{
    const bool result = MergeAllFromText(stream);
    ChangeLanguage();
    return result;
}

int TlcCustomLang::LoadFromTextFile(int typeIndex, const QString &fileName, bool clearFirst)
{
    if (!QFileInfo::exists(fileName))
        return -1;
    QByteArray bytes = lcText::ReadFileWhole(fileName);
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    return LoadFromText(typeIndex, file, clearFirst);
}

namespace {

// The file's current bytes in a buffer the savers can rewrite; nothing for a new file.
bool OpenForRewrite(const QString &fileName, QBuffer &buffer)
{
    if (QFileInfo::exists(fileName)) {
        const std::optional<QByteArray> bytes = IniText::ReadFileBytes(fileName);
        if (!bytes)
            return false;
        buffer.setData(*bytes);
    }
    return buffer.open(QIODevice::ReadWrite);
}

} // namespace

int TlcCustomLang::SaveToTextFile(int typeIndex, const QString &fileName, const QString &delim)
{
    QBuffer buffer;
    if (!GetStringsList(typeIndex) || !OpenForRewrite(fileName, buffer))
        return -1;
    const int count = SaveToText(typeIndex, buffer, delim);
    return IniText::WriteFileAtomically(fileName, buffer.data()) ? count : -1;
}

void TlcCustomLang::LoadAllFromTextFile(const QString &fileName, bool clearFirst)
{
    if (!QFileInfo::exists(fileName))
        return;
    QByteArray bytes = lcText::ReadFileWhole(fileName);
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    LoadAllFromText(file, clearFirst, false);
}

bool TlcCustomLang::SaveAllToTextFile(const QString &fileName, const QString &delim)
{
    // Every section is written into memory first, so the file changes once or not at all.
    QBuffer buffer;
    if (!OpenForRewrite(fileName, buffer))
        return false;
    for (int type = 0; type < StringsTypeCount; ++type)
        SaveToText(type, buffer, delim);
    SaveExtendedToText(buffer, delim);
    return IniText::WriteFileAtomically(fileName, buffer.data());
}

int TlcCustomLang::LoadStringsFromTextFile(const QString &fileName, bool clearFirst)
{
    return LoadFromTextFile(stStrings, fileName, clearFirst);
}

int TlcCustomLang::SaveStringsToTextFile(const QString &fileName, const QString &delim)
{
    return SaveToTextFile(stStrings, fileName, delim);
}

void TlcCustomLang::LoadExtendedFromFile(const QString &fileName, bool clearFirst)
{
    if (!QFileInfo::exists(fileName))
        return;
    QByteArray bytes = lcText::ReadFileWhole(fileName);
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    LoadExtendedFromText(file, clearFirst);
}

bool TlcCustomLang::SaveExtendedToFile(const QString &fileName, const QString &delim)
{
    QBuffer buffer;
    if (!OpenForRewrite(fileName, buffer))
        return false;
    SaveExtendedToText(buffer, delim);
    return IniText::WriteFileAtomically(fileName, buffer.data());
}

void TlcCustomLang::LoadAllFromTextFileNoApply(const QString &fileName, bool clearFirst)
{
    TFlagGuard busy(FBusy, true);
    for (int type = 0; type < StringsTypeCount; ++type) {
        LoadFromTextFile(type, fileName, clearFirst);
        CheckTargets(type);
    }
    LoadExtendedFromFile(fileName, clearFirst);
    RebuildStringsCollections();
}

QStringList TlcCustomLang::GetLangNamesFromFile(const QString &fileName)
{
    std::unique_ptr<TlcLang> temp = CreateTemporary(FOwner);
    if (IsLcbName(fileName)) {
        TLCBFileManager manager;
        manager.LoadLCBFile(temp.get(), OwnerClassName(), fileName);
    } else {
        temp->LoadAllFromTextFile(fileName, true);
    }
    return temp->LangNames();
}

void TlcCustomLang::LoadTypeFromLCB(int typeIndex, const QString &fileName)
{
    std::unique_ptr<TlcLang> temp = CreateTemporary(FOwner);
    TlcCustomLang *t = temp.get();
    // The reader hands over its lines in the target's delimiter; that must be this one's.
    t->FLangDelim = FLangDelim;
    TLCBFileManager manager;
    manager.LoadLCBFile(t, OwnerClassName(), fileName);
    QStringList *target = GetStringsList(typeIndex);
    const QStringList *source = t->GetStringsList(typeIndex);
    if (target && source)
        *target = *source;
    if (typeIndex == stStrings)
        RebuildStringsCollections();
}

bool TlcCustomLang::LoadFromFile(int typeIndex, const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return false;
    QStringList *list = GetStringsList(typeIndex);
    if (!list)
        return true;
    const QStringList backup = *list;
    const QStringList names = FLangNames;
    const int count = FNumOfLanguages, active = FActiveLanguage, fallback = FDefaultLanguage;
    const QString language = FLanguage;
    try {
        TFlagGuard busy(FBusy, true);
        const QStringList fileNames = GetLangNamesFromFile(fileName);
        if (IsLcbName(fileName))
            LoadTypeFromLCB(typeIndex, fileName);
        else
            LoadFromTextFile(typeIndex, fileName, true);
        // The loaded lines are brought into this component's languages by name; a language the
        // file lacks stays empty. A file naming none of them keeps its columns as they are.
        FLangNames = names;
        FNumOfLanguages = count;
        FActiveLanguage = active;
        FDefaultLanguage = fallback;
        FLanguage = language;
        QStringList folded;
        for (const QString &name : fileNames)
            folded.append(name.trimmed().toLower());
        bool same = folded.size() == names.size(), any = false;
        for (qsizetype k = 0; k < names.size(); ++k) {
            const qsizetype j = folded.indexOf(names[k].trimmed().toLower());
            same = same && j == k;
            any = any || j >= 0;
        }
        if (!same && any)
            for (QString &line : *list) {
                QString mapped = GetDelimitedItem(line, Delim(), 0) + Delim();
                for (const QString &name : names) {
                    const qsizetype j = folded.indexOf(name.trimmed().toLower());
                    mapped += (j >= 0 ? GetDelimitedItem(line, Delim(), int(j) + 1) : QString()) + Delim();
                }
                line = mapped;
            }
        AppendMissingKeys(*list, backup, Delim());
    } catch (const std::exception &) {
        *list = backup;
        FLangNames = names;
        FNumOfLanguages = count;
        FActiveLanguage = active;
        FDefaultLanguage = fallback;
        FLanguage = language;
        return false;
    }
    if (!FBusy)
        CheckAfterLoad(typeIndex);
    return true;
}

bool TlcCustomLang::MergeAllFromFile(const QString &fileName)
{
    TFlagGuard busy(FBusy, true);
    for (int type = 0; type < StringsTypeCount; ++type) {
        if (!LoadFromFile(type, fileName))
            return false;
        CheckTargets(type);
    }
    RebuildStringsCollections();
    return true;
}

bool TlcCustomLang::MergeAllFromFileAndApply(const QString &fileName)
{
    const bool result = MergeAllFromFile(fileName);
    ChangeLanguage();
    return result;
}

namespace {

// The text of file column f (1-based) of an import value.
QString ImportField(QString value, int f, const QString &delimText)
{
    for (int i = 1; i < f; ++i) {
        const qsizetype at = value.indexOf(delimText);
        if (at >= 0)
            value.remove(0, at + delimText.size());
    }
    const qsizetype at = value.indexOf(delimText);
    if (at >= 0)
        value.truncate(at);
    return value.replace(StoredCR, QLatin1Char('\r')).replace(StoredLF, QLatin1Char('\n'));
}

} // namespace

void TlcCustomLang::ImportTexts(const QString &fileName, const QString &languageName, const QString &section,
                                const std::function<void(const QString &key, const QString &text, int column)> &take)
{
    if (!QFileInfo::exists(fileName))
        return;
    QByteArray bytes = lcText::ReadFileWhole(fileName);
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    const TTextSource source(ReadAllFrom(file));
    const int fileField = int(source.Names().indexOf(languageName)) + 1;
    if (fileField == 0) {
        if (FDoRaiseExceptions)
            throw ElcException(languageName + QStringLiteral(" not found in ") + fileName);
        return;
    }
    int column = 0;
    for (qsizetype i = 0; i < FLangNames.size() && column == 0; ++i)
        if (FLangNames[i].compare(languageName, Qt::CaseInsensitive) == 0)
            column = int(i) + 1;
    if (column == 0) {
        FLangNames.append(languageName);
        FNumOfLanguages = int(FLangNames.size());
        column = FNumOfLanguages;
    }
    const QString delimText = source.DelimText(OptionsSection);
    QStringList keys, values;
    source.ini.ReadSection(section, keys);
    source.ini.ReadSectionValues(section, values);
    const QString prefix = OwnerClassName() + QLatin1Char('.');
    for (qsizetype i = 0; i < keys.size() && i < values.size(); ++i) {
        const QString key = source.Plain(keys[i]);
        if (!key.startsWith(prefix))
            continue;
        QString text = ImportField(values[i], fileField, delimText);
        if (source.raw)
            text = source.Translation(text, languageName);
        take(key.mid(prefix.size()), text, column);
    }
}

void TlcCustomLang::ImportLanguageFromFile(int typeIndex, const QString &fileName, const QString &languageName)
{
    QStringList *list = GetStringsList(typeIndex);
    if (!list || languageName.isEmpty())
        return;
    // The lines are found by their keys once, not by a pass over the list for every key of the file:
    // each key as it stands, and the first line of each key without regard to case.
    QSet<QString> keys;
    QHash<QString, qsizetype> firstOfKey;
    const auto index = [&](qsizetype i) {
        const QString key = GetDelimitedItem((*list)[i], Delim(), 0);
        keys.insert(key);
        firstOfKey.insert(key.toCaseFolded(), std::min(i, firstOfKey.value(key.toCaseFolded(), i)));
    };
    bool indexed = false;
    ImportTexts(fileName, languageName, SectionName(typeIndex), [&](const QString &key, const QString &text, int column) {
        if (!indexed) {
            for (qsizetype i = 0; i < list->size(); ++i)
                index(i);
            indexed = true;
        }
        QString lineKey = key;
        if (typeIndex == stCollections || typeIndex == stListView_TreeView_Items)
            lineKey.replace(QLatin1Char('-'), QLatin1Char('[')).replace(QLatin1Char('+'), QLatin1Char(']'));
        // A key holding the delimiter would read as another key with other texts.
        if (lineKey.contains(Delim()))
            return;
        if (keys.contains(lineKey)) {
            lcText::SetField((*list)[firstOfKey.value(lineKey.toCaseFolded())], text, column, Delim());
        } else {
            list->append(lineKey + Delim() + BuildSingleLanguageValues(text, column));
            index(list->size() - 1);
        }
    });
    if (!FBusy)
        CheckAfterLoad(typeIndex);
    else if (indexed && typeIndex == stStrings)
        RebuildStringsCollections();
}

void TlcCustomLang::ImportExtendedLanguageFromFile(const QString &fileName, const QString &languageName)
{
    if (languageName.isEmpty())
        return;
    ImportTexts(fileName, languageName, ExtendedSection, [&](const QString &identifier, const QString &text, int column) {
        if (identifier.endsWith(TypeKindSuffix))
            return;
        TlcExtendedItem *item = FExtended.Find(identifier);
        if (!item) {
            TlcExtendedItem &added = FExtended.Add();
            added.SetIdentifier(identifier);
            added.Values = BuildSingleLanguageValues(text, column);
            added.PropertyType = GetPropertyKind(identifier);
            return;
        }
        // By field index, so an empty first language does not shift the others.
        QString rebuilt;
        for (int k = 1; k <= FNumOfLanguages; ++k)
            rebuilt += (k == column ? text : GetDelimitedItem(item->Values, Delim(), k - 1)) + Delim();
        item->Values = rebuilt;
    });
}

void TlcCustomLang::ImportLanguage(const QString &fileName, const QString &languageName)
{
    {
        TFlagGuard busy(FBusy, true);
        for (int type = 0; type < StringsTypeCount; ++type) {
            ImportLanguageFromFile(type, fileName, languageName);
            CheckTargets(type);
        }
        ImportExtendedLanguageFromFile(fileName, languageName);
        RebuildStringsCollections();
    }
    ChangeLanguage();
}
