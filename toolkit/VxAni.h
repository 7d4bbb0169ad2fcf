#pragma once
// Animated cursors (RIFF "ACON" files): their frames as icons with hot spots and rates, the step
// sequence played on a timer, reading and writing.
#include "toolkit/VxGraphics.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <functional>

class QMimeData;
class QPainter;
class QTimer;

struct TVxAniHeader
{
    uint32_t dwSizeof = 0;
    uint32_t dwFrames = 0;
    uint32_t dwSteps = 0;
    uint32_t dwCX = 0;
    uint32_t dwCY = 0;
    uint32_t dwBitCount = 0;
    uint32_t dwPlanes = 0;
    uint32_t dwJIFRate = 0; // 1/60 s
    uint32_t dwFlags = 0;   // bit 0: frames are icon or cursor resources
};

struct TVxIconFrame
{
    QImage Icon;
    bool IsIcon = false;
    QPoint HotSpot;
    uint32_t Rate = 0;
    // The icon or cursor file as read, written back unchanged.
    QByteArray Data;
};

class TVxAni : public QObject
{
public:
    explicit TVxAni(QObject *parent = nullptr);
    ~TVxAni() override;

    void LoadFromData(QByteArrayView data);
    QByteArray SaveToData() const;
    void Assign(const TVxAni &source);
    void Clear();
    // Appends an icon (a cursor when IsIcon is false) as a new frame played after the others.
    void AddIcon(const TVxIconFrame &frame);

    int IconCount() const { return int(FIcons.size()); }
    int FrameCount() const { return FFrameCount; }
    // Step I's icon, hot spot and rate; an empty frame outside 0..FrameCount-1.
    TVxIconFrame Frame(int i) const;
    int Index() const { return FIndex; }
    void SetIndex(int value);
    bool Animated() const;
    void SetAnimated(bool value);
    // The timer's interval for the current step, in milliseconds.
    int StepInterval() const;
    void Step();

    bool Empty() const { return FFrameCount == 0; }
    int Width() const;
    int Height() const;
    void SetWidth(int);
    void SetHeight(int);
    void Draw(QPainter &canvas, const QRect &rect) const;
    // Cursors have no clipboard form: both raise EInvalidGraphicOperation.
    void SaveToClipboardFormat(QMimeData &mime) const;
    void LoadFromClipboardFormat(const QMimeData &mime);
    // Every step side by side (or one under another) on BackColor.
    QImage AssignToBitmap(TColor backColor, bool decreaseColors, bool vertical);

    QString Title() const { return FTitle; }
    void SetTitle(const QString &value) { FTitle = value; }
    QString Author() const { return FAuthor; }
    void SetAuthor(const QString &value) { FAuthor = value; }
    const TVxAniHeader &Header() const { return FHeader; }
    void SetHeader(const TVxAniHeader &value) { FHeader = value; }
    uint16_t OriginalColors() const { return FOriginalColors; }
    const QList<uint32_t> &Rates() const { return FRates; }
    void SetRates(const QList<uint32_t> &value) { FRates = value; }
    const QList<uint32_t> &Sequence() const { return FSequence; }
    void SetSequence(const QList<uint32_t> &value);

    std::function<void()> OnChange;

private:
    void Changed();
    void ReadIcon(QByteArrayView data);

    TVxAniHeader FHeader;
    QString FTitle;
    QString FAuthor;
    QList<TVxIconFrame> FIcons;
    uint16_t FOriginalColors = 0;
    int FIndex = -1;
    QList<uint32_t> FRates;
    QList<uint32_t> FSequence;
    int FFrameCount = 0;
    QTimer *FTimer;
};
