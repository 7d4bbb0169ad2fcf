#include "platform/ini/IniFile.h"

#include "platform/text/AnsiText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace IniText {

namespace {

const QString TemporaryMark = QStringLiteral(".vxtmp-");
// The most bytes a file name may have on the file systems a desktop uses.
constexpr qsizetype NameMax = 255;

bool Failed(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// The reasons a failed open words through Qt, in the program's language; the system's words
// follow the system's language instead.
QString SystemReason(int code)
{
    const char *worded = nullptr;
    switch (code) {
    case EACCES: worded = QT_TRANSLATE_NOOP("QIODevice", "Permission denied"); break;
    case EMFILE: worded = QT_TRANSLATE_NOOP("QIODevice", "Too many open files"); break;
    case ENOENT: worded = QT_TRANSLATE_NOOP("QIODevice", "No such file or directory"); break;
    case ENOSPC: worded = QT_TRANSLATE_NOOP("QIODevice", "No space left on device"); break;
    default: break;
    }
    return worded ? QCoreApplication::translate("QIODevice", worded) : AnsiText::FromLocaleEncoding(std::strerror(code));
}

// The old file's extended attributes onto the new one: an access list that lets a bandmate read
// the song, the tags and comment a file manager keeps. Those we may not set (a security label)
// stay as the new file was born.
void CopyAttributes(const QByteArray &from, int to)
{
    // The most the kernel keeps for a file's names, and for one value.
    constexpr ssize_t MaxAttributeBytes = 64 * 1024;
    std::vector<char> names(MaxAttributeBytes);
    const ssize_t listed = ::listxattr(from.constData(), names.data(), names.size());
    if (listed <= 0)
        return;
    std::vector<char> value(MaxAttributeBytes);
    for (const char *name = names.data(); name < names.data() + listed; name += std::strlen(name) + 1) {
        const ssize_t size = ::getxattr(from.constData(), name, value.data(), value.size());
        if (size >= 0)
            (void)::fsetxattr(to, name, value.data(), size_t(size), 0);
    }
}

// The folder a file name lies in, as the system reads the name.
QByteArray FolderOf(const QByteArray &fileName)
{
    const qsizetype slash = fileName.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : fileName.left(slash);
}

// A link another user left in a shared folder such as /tmp is not followed, as the system follows
// none there: it could lead our save onto any file we may write, or make one where it likes.
bool MayFollow(const QByteArray &link, const struct stat &linkStatus)
{
    struct stat folder;
    if (::stat(FolderOf(link).constData(), &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || linkStatus.st_uid == ::geteuid() || linkStatus.st_uid == folder.st_uid;
}

// The file a chain of links ends at, found as the system follows it: a relative target counts
// from the folder the link really lies in, where ".." after a linked folder leads elsewhere than
// the name alone says. The name itself when it is no link, or the chain never ends. In bytes, as a
// name from an old Windows archive (Windows-1251) has no text that gives those bytes back.
// Nothing for a link the system would not follow (see MayFollow).
std::optional<QByteArray> LinkedFile(const QByteArray &fileName)
{
    QByteArray path = fileName;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        if (!MayFollow(path, st))
            return std::nullopt;
        std::vector<char> target(PATH_MAX);
        const ssize_t size = ::readlink(path.constData(), target.data(), target.size());
        if (size <= 0 || size_t(size) >= target.size())
            break;
        QByteArray next(target.data(), size);
        if (!next.startsWith('/')) {
            char *real = ::realpath(FolderOf(path).constData(), nullptr);
            if (!real)
                break;
            next = QByteArray(real) + '/' + next;
            ::free(real);
        }
        path = next;
    }
    return fileName;
}

// A rename reaches the disk with its folder: without this, a power cut soon after a save reported
// as done could bring the old file back.
void SyncFolderOf(const QByteArray &fileName)
{
    const int fd = ::open(FolderOf(fileName).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)::fsync(fd);
    ::close(fd);
}

bool WriteAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error)
{
    QFileInfo existing(fileName);
    if (existing.isDir())
        return Failed(error, SystemReason(EISDIR));
    // A pipe or a device is no file to replace: the name would stop being what it stands for (a
    // script's pipe, or /dev/null for every program when root saves there).
    if (existing.exists() && !existing.isFile())
        return Failed(error, SystemReason(EPERM));
    // The system tells why: a read-only stick is no matter of the file's permissions.
    if (existing.exists() && ::access(QFile::encodeName(fileName).constData(), W_OK) != 0)
        return Failed(error, SystemReason(errno));
    // A link is the user's way to keep the file elsewhere: the file it points at is written.
    const std::optional<QByteArray> linked = LinkedFile(QFile::encodeName(fileName));
    if (!linked)
        return Failed(error, SystemReason(EACCES));
    const QByteArray finalName = *linked;
    struct stat old;
    const bool replacing = ::stat(finalName.constData(), &old) == 0;

    // The temporary's name is one nobody else gives a file, so that one left by a save cut short
    // can be told from the user's own copies and removed.
    static const char Alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // It must fit where the file's own name does: a name near the longest gives up its end.
    const qsizetype slash = finalName.lastIndexOf('/');
    QString base = QFile::decodeName(finalName.mid(slash + 1));
    while (!base.isEmpty() && QFile::encodeName(base + TemporaryMark).size() + 6 > NameMax) {
        base.chop(1);
        if (!base.isEmpty() && base.back().isHighSurrogate())
            base.chop(1);
    }
    const QByteArray stem = finalName.left(slash + 1) + QFile::encodeName(base + TemporaryMark);
    // Born with the old file's permissions at most: a private file is never open to others, not
    // even while its new bytes are written or when a save cut short leaves them behind.
    const mode_t mode = replacing ? old.st_mode & 0777 : 0666;
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = stem;
        for (int i = 0; i < 6; ++i)
            temporary += Alphabet[QRandomGenerator::global()->bounded(int(sizeof Alphabet - 1))];
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return Failed(error, SystemReason(errno));
    // Every byte must be on the disk before the rename: a file system that allocates late reports
    // a full disk only at the sync, and a rename before it would leave an empty file.
    const bool written = WriteAll(fd, bytes) && (::fsync(fd) == 0 || errno == EINVAL);
    const int writeError = errno;
    // The file stays its owner's and its group's: a song kept with a band's group, or one root
    // saved for its user. Whoever may not give the owner away may still give a group of theirs.
    if (written && replacing && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, uid_t(-1), old.st_gid);
    if (written && replacing)
        CopyAttributes(finalName, fd);
    // The exact bits past the umask, after the owner, whose change clears the set-id bits; a file
    // system without them (a FAT stick) keeps its own, and the temporary was born no wider than
    // the old file anyway.
    if (written && replacing)
        (void)::fchmod(fd, old.st_mode & 07777);
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::rename(temporary.constData(), finalName.constData()) == 0) {
        SyncFolderOf(finalName);
        return true;
    }
    const int reason = !written ? writeError : errno;
    ::unlink(temporary.constData());
    return Failed(error, SystemReason(reason));
}

int RemoveStaleTemporaries(const QString &folder, const QStringList &fileNames, int minimumAgeSeconds)
{
    // A young one may still be another copy's save.
    const QDir dir(folder);
    const QDateTime youngest = QDateTime::currentDateTimeUtc().addSecs(-minimumAgeSeconds);
    int removed = 0;
    for (const QString &name : fileNames) {
        const QFileInfoList found = dir.entryInfoList({name + TemporaryMark + QStringLiteral("??????")},
                                                      QDir::Files | QDir::Hidden | QDir::NoSymLinks);
        for (const QFileInfo &info : found) {
            const QString suffix = info.fileName().right(6);
            const bool ours = std::all_of(suffix.begin(), suffix.end(),
                                          [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); });
            if (ours && info.lastModified().toUTC() <= youngest && QFile::remove(info.filePath()))
                ++removed;
        }
    }
    return removed;
}

std::optional<QByteArray> ReadFileBytes(const QString &fileName, QString *reason)
{
    const auto refuse = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    const QFileInfo info(fileName);
    if (!info.exists())
        return QByteArray();
    if (!info.isFile())
        return refuse(QStringLiteral("Not a regular file"));
    if (info.size() > MaxFileBytes)
        return refuse(QStringLiteral("File too large"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    // In pieces, as a file that grew since its size was taken is read no further than the limit.
    QByteArray bytes;
    bytes.reserve(info.size());
    char piece[64 * 1024];
    qint64 read = 0;
    while ((read = file.read(piece, sizeof piece)) > 0) {
        bytes.append(piece, read);
        if (bytes.size() > MaxFileBytes)
            return refuse(QStringLiteral("File too large"));
    }
    if (read < 0)
        return refuse(file.errorString());
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
    // Once the clock has left the file's time behind by more than the coarsest step a file system
    // keeps times in (2 s on a FAT stick), a later write shows in the time; before, one written in
    // place at the same size may leave the stamp as it was.
    bool SettledAt(const timespec &clock) const
    {
        constexpr qint64 CoarsestStepS = 2;
        if (!exists || modified.tv_sec < clock.tv_sec - CoarsestStepS)
            return true;
        // A time ahead may be of any year (an archive gives what it likes), too far off to count in
        // nanoseconds; one only seconds behind is counted in them.
        if (modified.tv_sec > clock.tv_sec)
            return false;
        const qint64 behindNs =
            qint64(clock.tv_sec - modified.tv_sec) * 1'000'000'000 + (clock.tv_nsec - modified.tv_nsec);
        return behindNs > CoarsestStepS * 1'000'000'000;
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

// A file's lines with the end each had and the encoding they came in, so that a rewrite gives
// back every line it leaves alone byte for byte: a file kept in Windows-1251 with CRLF stays so.
struct TLine
{
    QString text;
    QString end; // "\r\n", "\n", or nothing on a last line without one
};

const QByteArray Utf8Mark("\xEF\xBB\xBF");

struct TLineFile
{
    AnsiText::TEncoding encoding = AnsiText::TEncoding::Utf8;
    std::vector<TLine> lines;
    QString newEnd = QStringLiteral("\n");

    // Nothing when the file is there but cannot be read whole.
    static std::optional<TLineFile> Read(const QString &fileName)
    {
        const std::optional<QByteArray> bytes = IniText::ReadFileBytes(fileName);
        if (!bytes)
            return std::nullopt;
        TLineFile file;
        file.encoding = AnsiText::DetectEncoding(*bytes);
        const QString text = AnsiText::DecodeText(*bytes, file.encoding);
        for (qsizetype start = 0; start < text.size();) {
            const qsizetype newline = text.indexOf(QLatin1Char('\n'), start);
            const qsizetype stop = newline < 0 ? text.size() : newline;
            TLine line{text.mid(start, stop - start), newline < 0 ? QString() : QStringLiteral("\n")};
            if (line.text.endsWith(QLatin1Char('\r'))) {
                line.text.chop(1);
                line.end.prepend(QLatin1Char('\r'));
            }
            file.lines.push_back(line);
            start = stop + 1;
        }
        for (const TLine &line : file.lines)
            if (line.end.endsWith(QLatin1Char('\n'))) {
                file.newEnd = line.end;
                break;
            }
        return file;
    }

    void Insert(size_t at, const QString &text)
    {
        // Only the last line may lack its line feed ("\r" alone ends it too).
        if (at == lines.size() && at > 0 && !lines.back().end.endsWith(QLatin1Char('\n')))
            lines.back().end = lines.back().end.isEmpty() ? newEnd : lines.back().end + QLatin1Char('\n');
        lines.insert(lines.begin() + qsizetype(at), TLine{text, newEnd});
    }

    QByteArray Bytes() const
    {
        QString text;
        for (const TLine &line : lines)
            text += line.text + line.end;
        // Bytes that would read back as another text (a Windows-1251 file whose rest now passes
        // for UTF-8, a character the code page lacks) go to UTF-8 whole instead.
        if (encoding != AnsiText::TEncoding::Utf8) {
            const QByteArray bytes = Encoded(text, encoding);
            if (AnsiText::DecodeText(bytes) == text)
                return bytes;
        }
        QByteArray bytes = text.toUtf8();
        // A text that starts with U+FEFF would lose it to the byte-order-mark rule when read; a
        // mark in front keeps it.
        if (bytes.startsWith(Utf8Mark))
            bytes.prepend(Utf8Mark);
        return bytes;
    }

    static QByteArray Encoded(const QString &text, AnsiText::TEncoding encoding)
    {
        switch (encoding) {
        case AnsiText::TEncoding::Windows1251:
            return AnsiText::ToWindows1251(text);
        case AnsiText::TEncoding::Utf8Bom:
            return Utf8Mark + text.toUtf8();
        case AnsiText::TEncoding::Utf16LE:
        case AnsiText::TEncoding::Utf16BE: {
            const bool little = encoding == AnsiText::TEncoding::Utf16LE;
            QByteArray bytes = little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
            for (QChar c : text) {
                const char low = char(c.unicode() & 0xFF), high = char(c.unicode() >> 8);
                bytes.append(little ? low : high).append(little ? high : low);
            }
            return bytes;
        }
        case AnsiText::TEncoding::Utf8:
            break;
        }
        return text.toUtf8();
    }
};

// Sets one key as the profile functions do; false when the file already held the value, whose
// line then stays as the user wrote it.
bool SetValue(TLineFile &file, const QString &section, const QString &key, const QString &value)
{
    std::vector<TLine> &lines = file.lines;
    const QString wantedSection = Folded(section);
    const QString wantedKey = Folded(key);
    const QString newLine = key.trimmed() + QLatin1Char('=') + value;

    size_t sectionLine = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        const QString header = HeaderName(lines[i].text);
        if (!header.isNull() && header.toLower() == wantedSection) {
            sectionLine = i;
            break;
        }
    }
    if (sectionLine == lines.size()) {
        if (!lines.empty() && !lines.back().text.trimmed().isEmpty())
            file.Insert(lines.size(), QString());
        file.Insert(lines.size(), QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        file.Insert(lines.size(), newLine);
        return true;
    }
    size_t lastContent = sectionLine;
    for (size_t i = sectionLine + 1; i < lines.size(); ++i) {
        const QString &line = lines[i].text;
        if (!HeaderName(line).isNull())
            break;
        if (!line.trimmed().isEmpty())
            lastContent = i;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && line.left(eq).trimmed().toLower() == wantedKey) {
            if (Unquoted(line.mid(eq + 1).trimmed()) == value)
                return false;
            lines[i].text = newLine;
            return true;
        }
    }
    file.Insert(lastContent + 1, newLine);
    return true;
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
    // The bytes parsed, while the stamp alone cannot tell a later write from them.
    std::optional<QByteArray> unsettled;
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
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const TFileStamp stamp = TFileStamp::Of(FFileName);
    if (FParsed && FParsed->stamp == stamp && !FParsed->unsettled)
        return *FParsed;
    // One that cannot be read whole reads as empty, as a missing one does.
    const QByteArray bytes = stamp.exists ? IniText::ReadFileBytes(FFileName).value_or(QByteArray()) : QByteArray();
    if (!FParsed || !(FParsed->stamp == stamp) || *FParsed->unsettled != bytes) {
        auto parsed = std::make_unique<TParsed>();
        parsed->stamp = stamp;
        parsed->Parse(IniText::SplitLines(AnsiText::DecodeText(bytes)));
        FParsed = std::move(parsed);
    }
    FParsed->unsettled = stamp.SettledAt(now) ? std::nullopt : std::optional<QByteArray>(bytes);
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
    return WriteStrings({{section, key, value}});
}

bool TIniFile::WriteStrings(const QList<TWrite> &writes)
{
    std::optional<TLineFile> file = TLineFile::Read(FFileName);
    if (!file)
        return false;
    bool changed = false;
    for (const TWrite &write : writes)
        changed = SetValue(*file, write.section, write.key, write.value) || changed;
    const bool written = !changed || IniText::WriteFileAtomically(FFileName, file->Bytes());
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
    std::optional<TLineFile> file = TLineFile::Read(fileName);
    changed = false;
    if (!file)
        return false;
    std::vector<TLine> kept;
    QString section;
    bool inSection = false;
    for (const TLine &line : file->lines) {
        const QString header = HeaderName(line.text);
        if (!header.isNull()) {
            section = header.toLower();
            inSection = true;
        }
        if (inSection && drop(section, header.isNull() ? line.text : QString())) {
            changed = true;
            continue;
        }
        kept.push_back(line);
    }
    if (!changed)
        return true;
    file->lines = std::move(kept);
    return IniText::WriteFileAtomically(fileName, file->Bytes());
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
