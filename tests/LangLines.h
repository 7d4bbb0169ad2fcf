#pragma once
// Translation lines as the localization engine stores them: every field closed by its delimiter.
#include <QString>
#include <QStringList>

namespace LangLines {

inline const QChar D(char16_t(1));

inline QString Line(const QStringList &fields)
{
    QString line;
    for (const QString &field : fields)
        line += field + D;
    return line;
}

} // namespace LangLines
