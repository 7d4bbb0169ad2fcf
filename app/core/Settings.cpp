#include "app/core/Settings.h"

#include "platform/ini/IniFile.h"

#include <algorithm>
#include <limits>

namespace Settings {

namespace {

const QString Position = QStringLiteral("POSITION");
const QString Options = QStringLiteral("OPTIONS");
const QString Shortcuts = QStringLiteral("SHORTCUTS");

// The part of a window the user grabs it by, and how much of it must lie on a screen.
constexpr int TitleStripHeight = 30;
constexpr int ReachableWidth = 100;
constexpr int ReachableHeight = 10;

int ReadInRange(const TIniFile &file, const QString &key, int current, int low, int high)
{
    const int value = file.ReadInteger(Options, key, current);
    return value >= low && value <= high ? value : current;
}

// Two radio items stored apart: the later one checked wins; none checked keeps the current pair.
void ReadRadioPair(const TIniFile &file, const QString &firstKey, const QString &secondKey, bool &first,
                   bool &second)
{
    const bool firstRead = file.ReadBool(Options, firstKey, first);
    const bool secondRead = file.ReadBool(Options, secondKey, second);
    if (secondRead) {
        first = false;
        second = true;
    } else if (firstRead) {
        first = true;
        second = false;
    }
}

QString OneLine(const QString &value)
{
    // A value ends at its line's end; a line break inside it would start a bogus key.
    QString oneLine = value;
    return oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QString Value(int value)
{
    return QString::number(value);
}

QString Value(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

qint64 DistanceSquared(const QRect &rect, const QPoint &point)
{
    const qint64 dx = point.x() < rect.left() ? rect.left() - point.x() : std::max(0, point.x() - rect.right());
    const qint64 dy = point.y() < rect.top() ? rect.top() - point.y() : std::max(0, point.y() - rect.bottom());
    return dx * dx + dy * dy;
}

int PullInto(int start, int length, int low, int high)
{
    // A window larger than the screen keeps its title corner on it.
    return std::max(low, std::min(start, high - length + 1));
}

} // namespace

TSettings Load(const TIniFile &file, const TSettings &current, const TLimits &limits)
{
    TSettings s = current;
    s.top = std::clamp(file.ReadInteger(Position, QStringLiteral("Top"), current.top), -MaxCoordinate, MaxCoordinate);
    s.left = std::clamp(file.ReadInteger(Position, QStringLiteral("Left"), current.left), -MaxCoordinate, MaxCoordinate);
    s.volumePos = ReadInRange(file, QStringLiteral("Volume_Pos"), current.volumePos, 0, MaxTrackBarPosition);
    s.durationPos = ReadInRange(file, QStringLiteral("Duration_Pos"), current.durationPos, 0, MaxTrackBarPosition);
    s.langComboBox = ReadInRange(file, QStringLiteral("LangComboBox"), current.langComboBox, 0, limits.languages - 1);
    s.instList = ReadInRange(file, QStringLiteral("InstList"), current.instList, 0, limits.instruments - 1);
    s.deviceList = ReadInRange(file, QStringLiteral("DeviceList"), current.deviceList, 0, limits.devices - 1);
    s.eastWestRG = ReadInRange(file, QStringLiteral("EastWestRG"), current.eastWestRG, 0, 1);
    s.optionsFlats = file.ReadBool(Options, QStringLiteral("OptionsFlats"), current.optionsFlats);
    s.optionsShowNotes = file.ReadBool(Options, QStringLiteral("OptionsShowNotes"), current.optionsShowNotes);
    s.optionsShowHints = file.ReadBool(Options, QStringLiteral("OptionsShowHints"), current.optionsShowHints);
    s.optionsSaveBMP = file.ReadBool(Options, QStringLiteral("OptionsSaveBMP"), current.optionsSaveBMP);
    s.optionsCheckText = file.ReadBool(Options, QStringLiteral("OptionsCheckText"), current.optionsCheckText);
    s.optionsTrayIcon = file.ReadBool(Options, QStringLiteral("OptionsTrayIcon"), current.optionsTrayIcon);
    s.optionsShowChordName = file.ReadBool(Options, QStringLiteral("OptionsShowChordName"), current.optionsShowChordName);
    s.optionsAlwaysOnTop = file.ReadBool(Options, QStringLiteral("OptionsAlwaysOnTop"), current.optionsAlwaysOnTop);
    ReadRadioPair(file, QStringLiteral("RightHand"), QStringLiteral("LeftHand"), s.rightHand, s.leftHand);
    s.activePage = ReadInRange(file, QStringLiteral("ActivePage"), current.activePage, 0, limits.pages - 1);
    const QString fontName = file.ReadString(Options, QStringLiteral("FontName"), current.fontName);
    if (!fontName.isEmpty())
        s.fontName = fontName;
    s.fontSize = ReadInRange(file, QStringLiteral("FontSize"), current.fontSize, MinFontSize, MaxFontSize);
    s.globalShortcut = file.ReadString(Shortcuts, QStringLiteral("GlobalShortcut"), current.globalShortcut);
    ReadRadioPair(file, QStringLiteral("PopUpChordNormal"), QStringLiteral("PopUpChordHigher"), s.popUpChordNormal,
                  s.popUpChordHigher);
    return s;
}

bool Save(const QString &fileName, const TSettings &s, bool keepPosition)
{
    QList<TIniFile::TWrite> writes;
    if (!keepPosition)
        writes = {{Position, QStringLiteral("Top"), Value(s.top)}, {Position, QStringLiteral("Left"), Value(s.left)}};
    writes += {
        {Options, QStringLiteral("Volume_Pos"), Value(s.volumePos)},
        {Options, QStringLiteral("Duration_Pos"), Value(s.durationPos)},
        {Options, QStringLiteral("LangComboBox"), Value(s.langComboBox)},
        {Options, QStringLiteral("InstList"), Value(s.instList)},
        {Options, QStringLiteral("DeviceList"), Value(s.deviceList)},
        {Options, QStringLiteral("EastWestRG"), Value(s.eastWestRG)},
        {Options, QStringLiteral("OptionsFlats"), Value(s.optionsFlats)},
        {Options, QStringLiteral("OptionsShowNotes"), Value(s.optionsShowNotes)},
        {Options, QStringLiteral("OptionsShowHints"), Value(s.optionsShowHints)},
        {Options, QStringLiteral("OptionsSaveBMP"), Value(s.optionsSaveBMP)},
        {Options, QStringLiteral("OptionsTrayIcon"), Value(s.optionsTrayIcon)},
        {Options, QStringLiteral("OptionsCheckText"), Value(s.optionsCheckText)},
        {Options, QStringLiteral("OptionsShowChordName"), Value(s.optionsShowChordName)},
        {Options, QStringLiteral("OptionsAlwaysOnTop"), Value(s.optionsAlwaysOnTop)},
        {Options, QStringLiteral("RightHand"), Value(s.rightHand)},
        {Options, QStringLiteral("LeftHand"), Value(s.leftHand)},
        {Options, QStringLiteral("ActivePage"), Value(s.activePage)},
        {Options, QStringLiteral("FontName"), OneLine(s.fontName)},
        {Options, QStringLiteral("FontSize"), Value(s.fontSize)},
        {Shortcuts, QStringLiteral("GlobalShortcut"), OneLine(s.globalShortcut)},
        {Options, QStringLiteral("PopUpChordNormal"), Value(s.popUpChordNormal)},
        {Options, QStringLiteral("PopUpChordHigher"), Value(s.popUpChordHigher)},
    };
    return TIniFile(fileName).WriteStrings(writes);
}

QPoint VisiblePosition(const QPoint &topLeft, const QSize &frameSize, const QList<QRect> &screens)
{
    // A hand-edited place near the ends of int would overflow every sum below.
    const QPoint stored(std::clamp(topLeft.x(), -MaxCoordinate, MaxCoordinate),
                        std::clamp(topLeft.y(), -MaxCoordinate, MaxCoordinate));
    if (screens.isEmpty())
        return stored;
    const int width = std::clamp(frameSize.width(), 1, MaxCoordinate);
    const QRect strip(stored, QSize(width, std::clamp(frameSize.height(), 1, TitleStripHeight)));
    for (const QRect &screen : screens) {
        const QRect shared = screen.intersected(strip);
        if (shared.width() >= std::min(ReachableWidth, width) && shared.height() >= std::min(ReachableHeight, strip.height()))
            return stored;
    }
    const QRect *nearest = &screens.first();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect &screen : screens) {
        const qint64 distance = DistanceSquared(screen, strip.center());
        if (distance < best) {
            best = distance;
            nearest = &screen;
        }
    }
    return QPoint(PullInto(stored.x(), width, nearest->left(), nearest->right()),
                  PullInto(stored.y(), std::clamp(frameSize.height(), 0, MaxCoordinate), nearest->top(),
                           nearest->bottom()));
}

} // namespace Settings
