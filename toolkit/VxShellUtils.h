#pragma once
// Plain routines the toolkit's components share: the shell version the tray icon plans by, showing
// a window without animation, icon files (directory, entry choice, DIB images with their masks),
// and text drawing that never changes the given text.
#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>

class QPainter;
class QWidget;

// Major version in the high word, minor in the low word: 5.0, so the tray icon uses 127-character
// tips and balloons.
constexpr uint32_t ShellVersionMS = 0x00050000;
uint32_t ShellLibraryVersion();

// The desktop's window animation is not ours to change: it reads as off and is never written.
bool AnimationEnabled();
void SetAnimationEnabled(bool value);
bool ShowWindowNoAnimation(QWidget *window, bool show);

struct TIconDirEntry
{
    uint8_t Width = 0;
    uint8_t Height = 0;
    uint8_t ColorCount = 0;
    uint8_t Reserved = 0;
    uint16_t Planes = 0;   // hot spot x in a cursor file
    uint16_t BitCount = 0; // hot spot y in a cursor file
    uint32_t BytesInRes = 0;
    uint32_t ImageOffset = 0;
};

struct TIconDirectory
{
    uint16_t Type = 0; // 1 icon, 2 cursor
    QList<TIconDirEntry> Entries;
};

// The header and entries of an icon or cursor file; false when they do not fit in the data or an
// entry's image lies outside it.
bool ReadIconDirectory(QByteArrayView file, TIconDirectory &directory);
// The colour count a display of BitsTimesPlanes bits is matched by (2, 16, 256, 0 or 1).
uint16_t DisplayColorCount(int bitsTimesPlanes);
// The entry to show on a display of DisplayColors: the first exact match, else the one with the
// most colours not above the display's, else the first.
int ChooseIconEntry(const QList<TIconDirEntry> &entries, uint16_t displayColors);

int BitsToScanlineBytes(int bits);
int PaletteEntriesForBits(int bitCount);

// One icon image (information header, palette, XOR bits, AND mask) as an ARGB picture; a null
// image when the data are not one.
QImage DIBToIconImage(QByteArrayView image);
// The best image of an icon file for a 32-bit display.
QImage IconFromIconFile(QByteArrayView file);
// A one-image icon (or cursor with its hot spot) file of Icon at 32 bits with its AND mask.
QByteArray IconToIconFile(const QImage &icon, bool cursor = false, QPoint hotSpot = {});

QSize IconSize(const QImage &icon);
void DrawIconAtOwnSize(QPainter &canvas, const QImage &icon, int x, int y);

// DrawText's flags we honour.
enum : uint32_t {
    DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_VCENTER = 4, DT_BOTTOM = 8, DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000
};
// Draws Text into Rect (or, with DT_CALCRECT, only sets Rect to the text's size); the text itself
// is never changed. Returns the height of the text drawn.
int DrawTextOnCanvas(QPainter &canvas, const QString &text, QRect &rect, uint32_t flags);
