#pragma once
// The utility layer's exceptions and a few base routines.
#include <QString>
#include <QtGlobal>
#include <stdexcept>

// Base of every error the utility layer raises; the text is kept as UTF-8.
class EOsError : public std::runtime_error
{
public:
    explicit EOsError(const QString &message);
    QString Message() const;
};

class EOsInternalError : public EOsError
{
public:
    using EOsError::EOsError;
};

class ESharedMemError : public EOsError
{
public:
    using EOsError::EOsError;
};

class EOsRTTIError : public EOsError
{
public:
    using EOsError::EOsError;
};

// A failed system call: the error number, its system text, then the caller's message on a line
// of its own. The message is appended as it stands, so a "%" in it is just a character.
class EOsWin32Error : public EOsError
{
public:
    // Takes errno as it is at the call; read it before anything else can change it.
    explicit EOsWin32Error(const QString &resourceText);
    EOsWin32Error(quint32 lastError, const QString &resourceText);

    quint32 LastError() const { return FLastError; }
    QString LastErrorMsg() const { return FLastErrorMsg; }

private:
    EOsWin32Error(quint32 lastError, const QString &lastErrorMsg, const QString &resourceText);

    quint32 FLastError;
    QString FLastErrorMsg;
};

class EOsFileMappingError : public EOsWin32Error
{
public:
    using EOsWin32Error::EOsWin32Error;
};

class EOsFileMappingViewError : public EOsWin32Error
{
public:
    using EOsWin32Error::EOsWin32Error;
};

class EOsEventError : public EOsWin32Error
{
public:
    using EOsWin32Error::EOsWin32Error;
};

class EOsMutexError : public EOsWin32Error
{
public:
    using EOsWin32Error::EOsWin32Error;
};

// The system's text for an error number (errno).
QString SysErrorMessage(quint32 errorCode);

// Copies Count characters of Source from the 0-based FromIndex into Dest at the 0-based ToIndex.
// Characters that would fall outside either text are not copied.
void MoveCharsBetweenTexts(const QString &Source, qsizetype FromIndex, QString &Dest,
                           qsizetype ToIndex, qsizetype Count);

void SplitInt64(qint64 Value, quint32 &Low, quint32 &High);
qint64 JoinInt64(quint32 Low, quint32 High);

// The character 8-bit text gets in place of one its code page cannot hold.
char AnsiReplacementChar();
