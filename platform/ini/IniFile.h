#pragma once
// Sectioned key=value text files with the lookup rules of the Windows profile functions, which
// the chord base, the user file and the settings file were written for: sections and keys
// compared without case, the first of duplicate sections and keys wins, text after a header's "]"
// and lines before the first header ignored, blanks around keys and values dropped.
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);
    ~TIniFile();
    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;

    const QString &FileName() const { return FFileName; }

    // Every read sees the file as it is on disk now, so a file rewritten while open is read anew.
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    QStringList ReadSection(const QString &section) const; // the section's keys, in file order
    QStringList ReadSections() const;

    // Each write changes one line and keeps every other line; the file is replaced by rename,
    // so it is never left half written. False when the file cannot be written.
    bool WriteString(const QString &section, const QString &key, const QString &value);
    struct TWrite
    {
        QString section, key, value;
    };
    // The writes in turn, in one replacement of the file. A key that holds its value already keeps
    // its line as written; every line is written back in the file's own encoding and line ends.
    bool WriteStrings(const QList<TWrite> &writes);
    bool WriteInteger(const QString &section, const QString &key, int value);
    bool WriteBool(const QString &section, const QString &key, bool value);
    // Remove one key, or a whole section with its keys; true when nothing is left to remove.
    bool DeleteKey(const QString &section, const QString &key);
    bool EraseSection(const QString &section);

private:
    struct TParsed;
    const TParsed &Parsed() const;

    QString FFileName;
    mutable std::unique_ptr<TParsed> FParsed;
};

namespace IniText {
// Writes bytes to a file through a temporary file in the same folder and a rename, only after
// every byte reached the disk; otherwise the old file stays and error says why.
bool WriteFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error = nullptr);
// Removes the temporaries an interrupted write of one of fileNames left in folder, when older
// than minimumAgeSeconds. Returns how many went.
int RemoveStaleTemporaries(const QString &folder, const QStringList &fileNames, int minimumAgeSeconds = 60);
// The lines of a text file read with AnsiText's rules; LF and CRLF both end a line.
QStringList SplitLines(const QString &text);
// Far above any chord base or user file, and far below what would exhaust memory.
constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
// The whole of a file of at most MaxFileBytes; empty when there is none. Nothing when it is there
// but cannot be read whole: not readable, too large, or no plain file (a pipe waits for a writer
// even to open, a device may never end); reason then says which, in the system's words where it
// has them.
std::optional<QByteArray> ReadFileBytes(const QString &fileName, QString *reason = nullptr);
} // namespace IniText
