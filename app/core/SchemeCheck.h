#pragma once
// Guards on the chord data: a fingering scheme is checked before it is drawn, and the user file
// lends its chord-type names to the chord-type list.
#include <QString>
#include <QStringList>
#include <functional>

namespace SchemeCheck {

// Message text by number, "IDS_<n>" in the active language.
using TMessageText = std::function<QString(int id)>;

// Empty for a well-formed scheme; otherwise the error box's text.
QString ValidateScheme(const QString &scheme, const TMessageText &ids);

// The bass spellings a user slash-chord key may carry, compared with case.
const QStringList &UserBassSpellings();

struct TUserChordTypes
{
    bool hasHeader = false;  // false: the file has no section header before its end
    QStringList names;       // in file order, repeats included
};

// The chord-type names of the lines that directly follow the user file's first section header,
// up to the first empty line.
TUserChordTypes UserChordTypes(const QStringList &lines);

} // namespace SchemeCheck
