#include "lang/MemIni.h"

#include "platform/ini/IniFile.h"
#include "platform/text/AnsiText.h"

#include <QIODevice>
#include <QLocale>
#include <algorithm>

namespace {

// The sorted lists compare names as the platform's sorted string lists do: without case.
int CompareNames(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}

// The locale's short date with a four-digit year: a two-digit one reads back a century early.
QString DateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

// The locale's long time without its time zone, which a read cannot take back.
QString TimeFormat()
{
    const QString format = QLocale().timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            result += c;
    }
    return result.trimmed();
}

} // namespace

int TlcCustomIniFile::ReadInteger(const QString &section, const QString &ident, int defaultValue) const
{
    QString s = ReadString(section, ident, QString());
    if (s.size() >= 3 && s[0] == QLatin1Char('0') && (s[1] == QLatin1Char('x') || s[1] == QLatin1Char('X')))
        s.replace(0, 2, QLatin1Char('$'));
    bool ok = false;
    // "$" is hexadecimal, all 32 bits of it: $FFFFFFFF is -1.
    const int value = s.startsWith(QLatin1Char('$')) ? int(s.mid(1).toUInt(&ok, 16)) : s.toInt(&ok);
    return ok ? value : defaultValue;
}

void TlcCustomIniFile::WriteInteger(const QString &section, const QString &ident, int value)
{
    WriteString(section, ident, QString::number(value));
}

bool TlcCustomIniFile::ReadBool(const QString &section, const QString &ident, bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TlcCustomIniFile::WriteBool(const QString &section, const QString &ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QDate TlcCustomIniFile::ReadDate(const QString &section, const QString &ident, const QDate &defaultValue) const
{
    const QString s = ReadString(section, ident, QString());
    QDate value = QLocale().toDate(s, DateFormat());
    if (!value.isValid())
        value = QLocale().toDate(s, QLocale::ShortFormat);
    return value.isValid() ? value : defaultValue;
}

QDateTime TlcCustomIniFile::ReadDateTime(const QString &section, const QString &ident,
                                         const QDateTime &defaultValue) const
{
    const QString s = ReadString(section, ident, QString());
    QDateTime value = QLocale().toDateTime(s, DateFormat() + QLatin1Char(' ') + TimeFormat());
    if (!value.isValid())
        value = QLocale().toDateTime(s, QLocale::ShortFormat);
    if (!value.isValid()) {
        // A value at midnight is written as its date alone.
        QDate date = QLocale().toDate(s, DateFormat());
        if (!date.isValid())
            date = QLocale().toDate(s, QLocale::ShortFormat);
        if (date.isValid())
            value = date.startOfDay();
    }
    return value.isValid() ? value : defaultValue;
}

double TlcCustomIniFile::ReadFloat(const QString &section, const QString &ident, double defaultValue) const
{
    const QString s = ReadString(section, ident, QString());
    bool ok = false;
    double value = QLocale().toDouble(s, &ok);
    // What WriteFloat wrote: several locales cannot read back their own exponents or minus signs.
    if (!ok)
        value = QString(s).replace(QLocale().decimalPoint(), QLatin1String(".")).toDouble(&ok);
    return ok ? value : defaultValue;
}

QTime TlcCustomIniFile::ReadTime(const QString &section, const QString &ident, const QTime &defaultValue) const
{
    const QString s = ReadString(section, ident, QString());
    QTime value = QLocale().toTime(s, TimeFormat());
    if (!value.isValid())
        value = QLocale().toTime(s, QLocale::LongFormat);
    if (!value.isValid())
        value = QLocale().toTime(s, QLocale::ShortFormat);
    return value.isValid() ? value : defaultValue;
}

void TlcCustomIniFile::WriteDate(const QString &section, const QString &ident, const QDate &value)
{
    WriteString(section, ident, QLocale().toString(value, DateFormat()));
}

void TlcCustomIniFile::WriteDateTime(const QString &section, const QString &ident, const QDateTime &value)
{
    const QString date = QLocale().toString(value.date(), DateFormat());
    WriteString(section, ident,
                value.time() == QTime(0, 0) ? date
                                            : date + QLatin1Char(' ') + QLocale().toString(value.time(), TimeFormat()));
}

void TlcCustomIniFile::WriteFloat(const QString &section, const QString &ident, double value)
{
    // Written as FloatToStr writes: the locale's decimal separator, but no group separators
    // (a Windows reader takes them for garbage) and plain digits, minus and exponent.
    WriteString(section, ident,
                QLocale::c().toString(value, 'g', 15).replace(QLatin1Char('.'), QLocale().decimalPoint()));
}

void TlcCustomIniFile::WriteTime(const QString &section, const QString &ident, const QTime &value)
{
    WriteString(section, ident, QLocale().toString(value, TimeFormat()));
}

bool TlcCustomIniFile::SectionExists(const QString &section) const
{
    QStringList keys;
    ReadSection(section, keys);
    return !keys.isEmpty();
}

void TMemIniEntry::AddValue(const QString &name, const QString &value)
{
    // Before the equal names already held: a later duplicate is found first.
    const auto at = std::lower_bound(FKeys.begin(), FKeys.end(), name,
                                     [](const TKey &key, const QString &n) { return CompareNames(key.name, n) < 0; });
    FKeys.insert(at, TKey{name, value});
}

void TMemIniEntry::AddLine(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        AddValue(line, QString());
    else
        AddValue(line.left(eq), line.mid(eq + 1));
}

void TMemIniEntry::Delete(int index)
{
    if (index >= 0 && index < Count())
        FKeys.erase(FKeys.begin() + index);
}

int TMemIniEntry::Find(const QString &name) const
{
    const auto at = std::lower_bound(FKeys.begin(), FKeys.end(), name,
                                     [](const TKey &key, const QString &n) { return CompareNames(key.name, n) < 0; });
    if (at == FKeys.end() || CompareNames(at->name, name) != 0)
        return -1;
    return int(at - FKeys.begin());
}

void TMemIniEntry::Assign(const QStringList &lines)
{
    Assign(lines, false);
}

void TMemIniEntry::Assign(const QStringList &lines, bool skipNoKeys)
{
    // Sorted once, not line by line into place, which took the square of the number of lines:
    // minutes for a file of many equal keys. Taken in reverse, so that of equal names the latest
    // comes first, as AddValue keeps them.
    FKeys.clear();
    FKeys.reserve(size_t(lines.size()));
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (skipNoKeys && (line->isEmpty() || line->startsWith(QLatin1Char(';'))))
            continue;
        const qsizetype eq = line->indexOf(QLatin1Char('='));
        FKeys.push_back(eq < 0 ? TKey{*line, QString()} : TKey{line->left(eq), line->mid(eq + 1)});
    }
    std::stable_sort(FKeys.begin(), FKeys.end(),
                     [](const TKey &a, const TKey &b) { return CompareNames(a.name, b.name) < 0; });
}

TlcMemIniFile::TlcMemIniFile(const QString &fileName) : TlcCustomIniFile(fileName)
{
    if (fileName.isEmpty())
        return;
    const std::optional<QByteArray> bytes = IniText::ReadFileBytes(fileName);
    if (!bytes) {
        FUnreadable = true;
        return;
    }
    SetStrings(SplitIniLines(AnsiText::DecodeText(*bytes)));
}

TlcMemIniFile::~TlcMemIniFile() = default;

int TlcMemIniFile::FindSection(const QString &name) const
{
    const auto at = std::lower_bound(FSections.begin(), FSections.end(), name,
                                     [](const TSection &s, const QString &n) { return CompareNames(s.name, n) < 0; });
    if (at == FSections.end() || CompareNames(at->name, name) != 0)
        return -1;
    return int(at - FSections.begin());
}

const TMemIniEntry *TlcMemIniFile::Section(const QString &name) const
{
    const int index = FindSection(name);
    return index < 0 ? nullptr : FSections[size_t(index)].entry.get();
}

QString TlcMemIniFile::ReadString(const QString &section, const QString &ident, const QString &defaultValue) const
{
    const TMemIniEntry *entry = Section(section);
    const int key = entry ? entry->Find(ident) : -1;
    return key < 0 ? defaultValue : entry->Value(key);
}

void TlcMemIniFile::WriteString(const QString &section, const QString &ident, const QString &value)
{
    const int index = FindSection(section);
    TMemIniEntry *entry = index < 0 ? AddSection(section) : FSections[size_t(index)].entry.get();
    const QString line = ident + QLatin1Char('=') + value;
    const int key = entry->Find(ident);
    if (key >= 0)
        entry->Delete(key);
    entry->AddLine(line);
}

void TlcMemIniFile::ReadSection(const QString &section, QStringList &strings) const
{
    strings.clear();
    if (const TMemIniEntry *entry = Section(section))
        for (int i = 0; i < entry->Count(); ++i)
            strings.append(entry->Name(i));
}

void TlcMemIniFile::ReadSections(QStringList &strings) const
{
    strings.clear();
    for (const TSection &s : FSections)
        strings.append(s.name);
}

void TlcMemIniFile::ReadSectionValues(const QString &section, QStringList &strings) const
{
    strings.clear();
    if (const TMemIniEntry *entry = Section(section))
        for (int i = 0; i < entry->Count(); ++i)
            strings.append(entry->Value(i));
}

void TlcMemIniFile::EraseSection(const QString &section)
{
    const int index = FindSection(section);
    if (index >= 0)
        FSections.erase(FSections.begin() + index);
}

void TlcMemIniFile::DeleteKey(const QString &section, const QString &ident)
{
    const int index = FindSection(section);
    if (index < 0)
        return;
    TMemIniEntry *entry = FSections[size_t(index)].entry.get();
    entry->Delete(entry->Find(ident));
}

bool TlcMemIniFile::UpdateFile()
{
    // What this object holds is not what the file held: writing it would lose the user's file.
    if (FUnreadable)
        return false;
    QStringList lines;
    GetStrings(lines);
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1Char('\n');
    return IniText::WriteFileAtomically(FileName(), text.toUtf8());
}

void TlcMemIniFile::Clear()
{
    FSections.clear();
}

TMemIniEntry *TlcMemIniFile::AddSection(const QString &name)
{
    const auto at = std::lower_bound(FSections.begin(), FSections.end(), name,
                                     [](const TSection &s, const QString &n) { return CompareNames(s.name, n) < 0; });
    if (at != FSections.end() && CompareNames(at->name, name) == 0) {
        FDiscarded.Clear();
        return &FDiscarded;
    }
    return FSections.insert(at, TSection{name, std::make_unique<TMemIniEntry>()})->entry.get();
}

void TlcMemIniFile::GetStrings(QStringList &list) const
{
    for (const TSection &s : FSections) {
        list.append(QLatin1Char('[') + s.name + QLatin1Char(']'));
        for (int i = 0; i < s.entry->Count(); ++i)
            list.append(s.entry->Line(i));
        list.append(QString());
    }
}

void TlcMemIniFile::SetStrings(const QStringList &list)
{
    Clear();
    // Sections are gathered in file order and sorted once; of equal names the first one stays and
    // the others are dropped with their keys, as AddSection does one at a time.
    struct TGathered
    {
        QString name;
        qsizetype first = 0, last = 0; // its lines in the list, the header excluded
    };
    std::vector<TGathered> gathered;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString &line = list[i];
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
            gathered.push_back(TGathered{line.mid(1, line.size() - 2), i + 1, i + 1});
        else if (!gathered.empty())
            gathered.back().last = i + 1;
    }
    std::stable_sort(gathered.begin(), gathered.end(),
                     [](const TGathered &a, const TGathered &b) { return CompareNames(a.name, b.name) < 0; });
    for (const TGathered &section : gathered) {
        if (!FSections.empty() && CompareNames(FSections.back().name, section.name) == 0)
            continue;
        FSections.push_back(TSection{section.name, std::make_unique<TMemIniEntry>()});
        FSections.back().entry->Assign(list.sliced(section.first, section.last - section.first), true);
    }
    FDiscarded.Clear();
}

void TlcMemIniFile::ReadFromStream(QIODevice &stream)
{
    Clear();
    SetStrings(SplitIniLines(AnsiText::DecodeText(stream.readAll())));
}

QStringList SplitIniLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QString GetDelimitedItem(const QString &s, QChar delim, int n)
{
    if (n < 0)
        return {};
    qsizetype start = 0;
    for (int count = 0;; ++count) {
        const qsizetype end = s.indexOf(delim, start);
        if (end < 0)
            return {};
        if (count == n)
            return s.mid(start, end - start);
        start = end + 1;
    }
}
