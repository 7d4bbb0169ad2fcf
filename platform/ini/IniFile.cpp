#include "platform/ini/IniFile.h"

#include "platform/text/AnsiText.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace IniText {

bool WriteFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error)
{
    QSaveFile file(fileName);
    // QSaveFile buffers small writes and renames even when the last flush inside commit() fails,
    // which on a full disk puts an empty file in place of the old one: flush and check first.
    // commit() also ignores a failed sync, where a file system that allocates late first reports
    // the full disk: the bytes must have reached the disk before the rename.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
                         file.error() == QFileDevice::NoError && (::fsync(file.handle()) == 0 || errno == EINVAL);
    if (written && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    file.cancelWriting();
    return false;
}

int RemoveStaleTemporaries(const QString &folder, const QStringList &fileNames, int minimumAgeSeconds)
{
    // A save cut short leaves "<name>.XXXXXX" behind; a young one may still be another copy's save.
    const QDir dir(folder);
    const QDateTime youngest = QDateTime::currentDateTimeUtc().addSecs(-minimumAgeSeconds);
    int removed = 0;
    for (const QString &name : fileNames) {
        const QFileInfoList found =
            dir.entryInfoList({name + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
        for (const QFileInfo &info : found) {
            const QString suffix = info.fileName().mid(name.size() + 1);
            // All lower-case letters reads as a word ("backup"): the user's own copy, left alone.
            const bool ours = std::all_of(suffix.begin(), suffix.end(),
                                          [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); }) &&
                              !std::all_of(suffix.begin(), suffix.end(), [](QChar c) { return c.isLower(); });
            if (ours && info.lastModified().toUTC() <= youngest && QFile::remove(info.filePath()))
                ++removed;
        }
    }
    return removed;
}

std::optional<QByteArray> ReadFileBytes(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return QByteArray();
    if (!info.isFile() || info.size() > MaxFileBytes)
        return std::nullopt;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // In pieces, as a file that grew since its size was taken is read no further than the limit.
    QByteArray bytes;
    bytes.reserve(info.size());
    char piece[64 * 1024];
    qint64 read = 0;
    while ((read = file.read(piece, sizeof piece)) > 0) {
        bytes.append(piece, read);
        if (bytes.size() > MaxFileBytes)
            return std::nullopt;
    }
    if (read < 0)
        return std::nullopt;
    return bytes;
}

QStringList SplitLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace IniText

namespace {

struct TFileStamp
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    static TFileStamp Of(const QString &fileName)
    {
        TFileStamp stamp;
        struct stat st;
        if (::stat(QFile::encodeName(fileName).constData(), &st) == 0) {
            stamp.exists = true;
            stamp.device = st.st_dev;
            stamp.inode = st.st_ino;
            stamp.size = st.st_size;
            stamp.modified = st.st_mtim;
        }
        return stamp;
    }
    bool operator==(const TFileStamp &o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

QString Folded(const QString &name)
{
    return name.trimmed().toLower();
}

// The name between "[" and "]", or a null string when the line is no header.
QString HeaderName(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    const QString name = close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
    return name.trimmed().isNull() ? QStringLiteral("") : name.trimmed();
}

QString Unquoted(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

// Nothing when the file is there but cannot be read whole: writing it from its lines would lose it.
std::optional<QStringList> ReadLines(const QString &fileName)
{
    const std::optional<QByteArray> bytes = IniText::ReadFileBytes(fileName);
    if (!bytes)
        return std::nullopt;
    return IniText::SplitLines(AnsiText::DecodeText(*bytes));
}

} // namespace

struct TIniFile::TParsed
{
    struct TSection
    {
        QString name;
        QStringList keys;                // file order, first spelling of each key
        QHash<QString, QString> values;  // folded key -> value
    };
    TFileStamp stamp;
    std::vector<TSection> sections;      // first occurrence of each name only
    QHash<QString, size_t> index;        // folded name -> sections[]

    void Parse(const QStringList &lines)
    {
        TSection *current = nullptr;
        bool skipping = false; // inside a later duplicate of a section
        for (const QString &line : lines) {
            const QString header = HeaderName(line);
            if (!header.isNull()) {
                const QString folded = header.toLower();
                if (index.contains(folded)) {
                    skipping = true;
                    current = nullptr;
                } else {
                    skipping = false;
                    index.insert(folded, sections.size());
                    sections.push_back({header, {}, {}});
                    current = &sections.back();
                }
                continue;
            }
            if (!current || skipping)
                continue;
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq < 0)
                continue;
            const QString key = line.left(eq).trimmed();
            if (key.isEmpty())
                continue;
            const QString folded = key.toLower();
            if (current->values.contains(folded))
                continue;
            current->keys.append(key);
            current->values.insert(folded, Unquoted(line.mid(eq + 1).trimmed()));
        }
    }

    const TSection *Find(const QString &section) const
    {
        const auto it = index.constFind(Folded(section));
        return it == index.cend() ? nullptr : &sections[*it];
    }
};

TIniFile::TIniFile(const QString &fileName) : FFileName(fileName) {}

TIniFile::~TIniFile() = default;

const TIniFile::TParsed &TIniFile::Parsed() const
{
    const TFileStamp stamp = TFileStamp::Of(FFileName);
    if (!FParsed || !(FParsed->stamp == stamp)) {
        auto parsed = std::make_unique<TParsed>();
        parsed->stamp = stamp;
        if (stamp.exists)
            parsed->Parse(ReadLines(FFileName).value_or(QStringList()));
        FParsed = std::move(parsed);
    }
    return *FParsed;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const auto *s = Parsed().Find(section);
    if (!s)
        return defaultValue;
    const auto it = s->values.constFind(Folded(key));
    return it == s->values.cend() ? defaultValue : *it;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const QString text = ReadString(section, key, QString());
    bool ok = false;
    int value = 0;
    if (text.startsWith(QLatin1Char('$')))
        value = text.mid(1).toInt(&ok, 16);
    else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toInt(&ok, 16);
    else
        value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(const QString &section) const
{
    return Parsed().Find(section) != nullptr;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    const auto *s = Parsed().Find(section);
    return s && s->values.contains(Folded(key));
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    const auto *s = Parsed().Find(section);
    return s ? s->keys : QStringList();
}

QStringList TIniFile::ReadSections() const
{
    QStringList names;
    for (const auto &s : Parsed().sections)
        names.append(s.name);
    return names;
}

bool TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const std::optional<QStringList> read = ReadLines(FFileName);
    if (!read)
        return false;
    QStringList lines = *read;
    const QString wantedSection = Folded(section);
    const QString wantedKey = Folded(key);
    const QString newLine = key.trimmed() + QLatin1Char('=') + value;

    qsizetype sectionLine = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString header = HeaderName(lines[i]);
        if (!header.isNull() && header.toLower() == wantedSection) {
            sectionLine = i;
            break;
        }
    }
    if (sectionLine < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        lines.append(newLine);
    } else {
        qsizetype lastContent = sectionLine;
        qsizetype found = -1;
        for (qsizetype i = sectionLine + 1; i < lines.size(); ++i) {
            if (!HeaderName(lines[i]).isNull())
                break;
            if (!lines[i].trimmed().isEmpty())
                lastContent = i;
            const qsizetype eq = lines[i].indexOf(QLatin1Char('='));
            if (eq >= 0 && lines[i].left(eq).trimmed().toLower() == wantedKey) {
                found = i;
                break;
            }
        }
        if (found >= 0)
            lines[found] = newLine;
        else
            lines.insert(lastContent + 1, newLine);
    }
    QByteArray bytes = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    // A text that starts with U+FEFF would lose it to the byte-order-mark rule when read; a mark
    // in front keeps it.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.prepend("\xEF\xBB\xBF");
    const bool written = IniText::WriteFileAtomically(FFileName, bytes);
    FParsed.reset();
    return written;
}

bool TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

namespace {
// The lines of the file without those `drop` picks, given the section each line stands in.
bool RewriteWithout(const QString &fileName, const std::function<bool(const QString &, const QString &)> &drop,
                    bool &changed)
{
    const std::optional<QStringList> lines = ReadLines(fileName);
    changed = false;
    if (!lines)
        return false;
    QStringList kept;
    QString section;
    bool inSection = false;
    for (const QString &line : *lines) {
        const QString header = HeaderName(line);
        if (!header.isNull()) {
            section = header.toLower();
            inSection = true;
        }
        if (inSection && drop(section, header.isNull() ? line : QString())) {
            changed = true;
            continue;
        }
        kept.append(line);
    }
    if (!changed)
        return true;
    return IniText::WriteFileAtomically(fileName, (kept.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}
} // namespace

bool TIniFile::DeleteKey(const QString &section, const QString &key)
{
    const QString wantedSection = Folded(section);
    const QString wantedKey = Folded(key);
    bool changed = false;
    const bool written = RewriteWithout(
        FFileName,
        [&](const QString &in, const QString &line) {
            if (in != wantedSection || line.isNull())
                return false;
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            return eq >= 0 && line.left(eq).trimmed().toLower() == wantedKey;
        },
        changed);
    FParsed.reset();
    return written;
}

bool TIniFile::EraseSection(const QString &section)
{
    const QString wantedSection = Folded(section);
    bool changed = false;
    const bool written =
        RewriteWithout(FFileName, [&](const QString &in, const QString &) { return in == wantedSection; }, changed);
    FParsed.reset();
    return written;
}
