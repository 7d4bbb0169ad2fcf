#include "sysutil/OsBase.h"

#include "platform/text/AnsiText.h"
#include "sysutil/OsResources.h"

#include <cerrno>
#include <cstring>

EOsError::EOsError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString EOsError::Message() const
{
    return QString::fromUtf8(what());
}

EOsWin32Error::EOsWin32Error(const QString &resourceText)
    : EOsWin32Error(quint32(errno), resourceText)
{
}

EOsWin32Error::EOsWin32Error(quint32 lastError, const QString &resourceText)
    : EOsWin32Error(lastError, SysErrorMessage(lastError), resourceText)
{
}

EOsWin32Error::EOsWin32Error(quint32 lastError, const QString &lastErrorMsg,
                             const QString &resourceText)
    : EOsError(QString::fromLatin1(RsOsWin32Prefix).arg(lastErrorMsg).arg(lastError)
               + QLatin1String("\r\n") + resourceText),
      FLastError(lastError), FLastErrorMsg(lastErrorMsg)
{
}

namespace {

// strerror_r comes in two shapes: the GNU one returns the text (maybe a static one), the POSIX
// one fills the buffer and returns 0 on success.
[[maybe_unused]] const char *ErrorText(const char *result, const char *)
{
    return result;
}

[[maybe_unused]] const char *ErrorText(int result, const char *buffer)
{
    return result == 0 ? buffer : "Unknown error";
}

} // namespace

QString SysErrorMessage(quint32 errorCode)
{
    char buffer[256] = {};
    const auto result = strerror_r(int(errorCode), buffer, sizeof buffer);
    return AnsiText::FromLocaleEncoding(ErrorText(result, buffer));
}

void MoveCharsBetweenTexts(const QString &Source, qsizetype FromIndex, QString &Dest,
                           qsizetype ToIndex, qsizetype Count)
{
    if (Count <= 0 || FromIndex < 0 || ToIndex < 0 || FromIndex >= Source.size()
        || ToIndex >= Dest.size())
        return;
    Count = qMin(Count, qMin(Source.size() - FromIndex, Dest.size() - ToIndex));
    QChar *dest = Dest.data(); // detaches
    const QChar *source = Source.constData() + FromIndex;
    std::memmove(dest + ToIndex, source, size_t(Count) * sizeof(QChar));
}

void SplitInt64(qint64 Value, quint32 &Low, quint32 &High)
{
    const quint64 bits = quint64(Value);
    Low = quint32(bits & 0xFFFFFFFFu);
    High = quint32(bits >> 32);
}

qint64 JoinInt64(quint32 Low, quint32 High)
{
    return qint64((quint64(High) << 32) | Low);
}

char AnsiReplacementChar()
{
    // The code page's own default character: what it writes for a character it lacks.
    static const char replacement = [] {
        const QByteArray probe = AnsiText::ToWindows1251(QString(QChar(0x4E00)));
        if (probe.size() != 1)
            throw EOsInternalError(QString::fromLatin1(RsOsGetAnsiReplacementChar));
        return probe.at(0);
    }();
    return replacement;
}
