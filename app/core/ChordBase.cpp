#include "app/core/ChordBase.h"

#include "app/core/SchemeCheck.h"
#include "platform/ini/IniFile.h"

namespace ChordBase {

namespace {

QString ReadSchemes(const TIniFile &file, const QString &section, const QString &key)
{
    return file.ReadString(section, key, NoScheme).toLower().trimmed();
}

// The bass item's neighbour letter: the character after "/" of item index+step, or empty.
QString NeighbourLetter(const QStringList &items, int index, int step)
{
    const int neighbour = index + step;
    if (index < 0 || neighbour < 0 || neighbour >= items.size())
        return {};
    const QString &item = items[neighbour];
    const qsizetype slash = item.indexOf(QLatin1Char('/'));
    if (slash < 0 || slash + 1 >= item.size())
        return {};
    return item.mid(slash + 1, 1);
}

QString SlashKey(const TChordQuery &query)
{
    const QString &type = query.chordType;
    const qsizetype slash = type.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return type;
    const QString prefix = type.left(slash + 1);
    const QString bass = type.mid(slash + 1);
    QString key = type;
    // Only a note after the slash is a bass to respell: a user type such as "m7/11" is its own
    // name, as the user file's type list takes it.
    if (!SchemeCheck::UserBassSpellings().contains(bass))
        return key;

    // The bass is found in the Bass list to take its neighbours; a bass not listed there is taken
    // to be the selected item.
    int index = int(query.bassItems.indexOf(QLatin1Char('/') + bass));
    if (index < 0)
        index = query.bassIndex;

    if (bass.size() >= 2 && bass[1] == QLatin1Char('b')) {
        const QString letter = NeighbourLetter(query.bassItems, index, -1);
        if (!letter.isEmpty())
            key = prefix + letter + QLatin1Char('#');
    } else if (bass.size() >= 2) {
        const QString letter = NeighbourLetter(query.bassItems, index, +1);
        if (!letter.isEmpty())
            key = prefix + letter + QLatin1Char('b');
    }
    if (bass == QLatin1String("B"))
        key = prefix + (query.notation == 1 ? QStringLiteral("H") : QStringLiteral("A#"));
    return key;
}

} // namespace

QString RootSection(const TChordQuery &query)
{
    QString root = query.rootText;
    if (root.size() > 1 && root[1] == QLatin1Char(' '))
        root = root.left(1);
    if (root.size() > 1 && root[1] == QLatin1Char('b')) {
        const int previous = query.rootIndex - 1;
        if (previous >= 0 && previous < query.rootItems.size() && !query.rootItems[previous].isEmpty())
            root = query.rootItems[previous].left(1) + QLatin1Char('#');
    }
    if (root == QLatin1String("B"))
        root = query.notation == 1 ? QStringLiteral("H") : QStringLiteral("A#");
    return root;
}

QStringList SplitSchemes(const QString &value)
{
    const qsizetype count = 1 + value.count(QLatin1Char(' '));
    QStringList schemes;
    schemes.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        schemes.append(value.mid(i * 13, 12).trimmed());
    return schemes;
}

TChordSchemes FindChordSchemes(const TChordQuery &query, const TIniFile &base, const TIniFile *user,
                               bool userFileExists)
{
    const QString section = RootSection(query);
    QString key = SlashKey(query);

    QString value = ReadSchemes(base, section, key);
    if (user && userFileExists) {
        const QString own = ReadSchemes(*user, section, key);
        if (!own.isEmpty() && own != NoScheme)
            // A key the base lists empty gives the user's schemes alone, not a leading blank that
            // would shift every scheme after it.
            value = value.isEmpty() || value == NoScheme ? own : value + QLatin1Char(' ') + own;
    }

    const QString selectedBass =
        query.bassIndex >= 0 && query.bassIndex < query.bassItems.size() ? query.bassItems[query.bassIndex] : QString();
    if ((value.isEmpty() || value == NoScheme) && selectedBass.size() > 2) {
        const qsizetype slash = query.chordType.indexOf(QLatin1Char('/'));
        key = (slash < 0 ? QString() : query.chordType.left(slash)) + selectedBass;
        value = ReadSchemes(base, section, key);
    }
    if (value.isEmpty())
        value = NoScheme;

    return {SplitSchemes(value), key};
}

} // namespace ChordBase
