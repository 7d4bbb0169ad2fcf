#pragma once
// The user's choices kept between runs in veltrasomin_settings.ini: what the file holds, how a
// read value is checked against its control, and the file's text in its fixed key order.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class TIniFile;

namespace Settings {

// Every option, at the values the main window is designed with.
struct TSettings
{
    int top = 0;
    int left = 0;
    int volumePos = 70;
    int durationPos = 5;
    int langComboBox = 0;
    int instList = 2;      // "Acoustic Guitar (Nylon)"
    int deviceList = 0;    // "MIDI Mapper"
    int eastWestRG = 0;
    bool optionsFlats = true;
    bool optionsShowNotes = true;
    bool optionsShowHints = true;
    bool optionsSaveBMP = false;
    bool optionsTrayIcon = true;
    bool optionsCheckText = true;
    bool optionsShowChordName = true;
    bool optionsAlwaysOnTop = false;
    bool rightHand = true;
    bool leftHand = false;
    int activePage = 0;
    QString fontName = QStringLiteral("Courier New");
    int fontSize = 9;      // 12 pixels at 96 dots per inch
    // Ctrl+Alt+F keys switch consoles on Linux and never reach a program.
    QString globalShortcut = QStringLiteral("Ctrl+Shift+F10");
    bool popUpChordNormal = true;
    bool popUpChordHigher = false;

    bool operator==(const TSettings &) const = default;
};

// How many items the lists have when the file is read; an index beyond them is ignored.
struct TLimits
{
    int languages = 2;
    int instruments = 13;
    int devices = 1;
    int pages = 5;
};

// The song editor's sizes: what its zoom and font dialog can give is what comes back.
constexpr int MinFontSize = 1;
constexpr int MaxFontSize = 72;
constexpr int MaxTrackBarPosition = 100;
// Window coordinates beyond any desktop; stored places are held within them.
constexpr int MaxCoordinate = 1 << 24;

// Reads every key with the current value as its default. A value that is no number, out of its
// control's range, an empty font name, or a radio pair with neither item checked leaves the
// current value; a pair with both checked keeps the later item, as the menu does.
TSettings Load(const TIniFile &file, const TSettings &current, const TLimits &limits);

// Writes every key in the order the program has always written them ([POSITION] Top, Left;
// [OPTIONS]; [SHORTCUTS] GlobalShortcut; then the two song-text menu items at the end of
// [OPTIONS]) into the file as it stands, as one replacement of it. Lines the program does not
// write and values that did not change stay as they are. With keepPosition Top and Left are
// left as the file has them. False when the file cannot be read whole or written.
bool Save(const QString &fileName, const TSettings &settings, bool keepPosition);

// Where a window of frameSize whose top left corner was stored at topLeft should go so that the
// user can reach it on the screens there are now: the stored place when its title strip lies on
// a screen, else the same place pulled onto the nearest screen. No screens: the stored place.
QPoint VisiblePosition(const QPoint &topLeft, const QSize &frameSize, const QList<QRect> &screens);

} // namespace Settings
