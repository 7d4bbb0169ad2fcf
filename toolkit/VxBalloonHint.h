#pragma once
// Balloon hints: a rounded box with a stem pointing at the mouse, an icon, an optional bold
// header and the message. A balloon-hint component with UseBalloonAsApplicationHint shows every
// tool tip of the program this way.
#include "toolkit/VxControls.h"

#include <QObject>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>

class QTimer;

enum TVxIconKind { ikCustom, ikNone, ikApplication, ikError, ikInformation, ikQuestion, ikWarning };
enum TVxBalloonPosition { bpAuto, bpLeftDown, bpRightDown, bpLeftUp, bpRightUp };
enum TVxBalloonOption { boUseDefaultHeader = 1, boUseDefaultIcon = 2, boUseDefaultImageIndex = 4, boShowCloseBtn = 8,
                        boCustomAnimation = 16, boPlaySound = 32 };
enum TVxApplicationHintOption { ahShowHeaderInHint = 1, ahShowIconInHint = 2, ahPlaySound = 4 };
enum TVxAnimationStyle { atNone, atSlide, atRoll, atRollHorNeg, atRollHorPos, atRollVerNeg, atRollVerPos,
                         atSlideHorNeg, atSlideHorPos, atSlideVerNeg, atSlideVerPos, atCenter, atBlend };

// What a balloon holds, measured.
struct TVxBalloonContent {
    QSize headerSize; // empty without a header
    QSize messageSize;
    QSize imageSize; // 0 x 0 without an icon
    bool multiLine = false;
    QSize closeButtonSize; // empty without a close button
};

// Where everything goes in a balloon with its stem hanging below the box, before a position is chosen.
struct TVxBalloonLayout {
    QPoint iconPos;
    QRect headerRect;
    QRect messageRect;
    QRect closeButtonRect;
    QRect roundRect; // the box
    int tipHeight = 0;
    int tipWidth = 0;
    int tipDelta = 0; // the stem's distance from the box's left edge
    bool operator==(const TVxBalloonLayout &) const = default;
};

// A balloon placed on the screen: its position, its window rectangle, and the parts inside it.
struct TVxBalloonPlacement {
    TVxBalloonPosition position = bpAuto;
    QRect window; // screen coordinates
    QRect box;    // window coordinates from here on
    QPolygon stem; // base left, base right, tip
    QPoint iconPos;
    QRect headerRect;
    QRect messageRect;
    QRect closeButtonRect;
};

// True when text has two lines or more (CR, LF, CR LF, U+2028 and U+2029 end a line).
bool IsMultiLineMessage(const QString &text);
TVxBalloonLayout CalcBalloonLayout(const TVxBalloonContent &content);
// The quarter of the work area the anchor lies in, as the position a balloon there takes.
TVxBalloonPosition AutoBalloonPosition(const QPoint &anchor, const QRect &workArea);
// Puts the balloon's stem tip on anchor and flips it until it stays on the work area.
TVxBalloonPlacement PlaceBalloon(const TVxBalloonLayout &layout, const QPoint &anchor, const QRect &workArea,
                                 TVxBalloonPosition wanted);
// The outline of a placed balloon: the box with 11 x 11 corners joined with the stem.
QPainterPath BalloonPath(const TVxBalloonPlacement &placement);
// The window area of a placed balloon: the outline with its frame line.
QRegion BalloonRegion(const TVxBalloonPlacement &placement);

class TVxBalloonHint;

// The balloon window itself: no frame, its shape cut from the outline, the tool tip's colours.
class TVxBalloonWindow : public QWidget
{
    Q_OBJECT
public:
    TVxBalloonWindow();
    // Lays out and shows a balloon for message at anchor (screen coordinates) with the hint's settings.
    void ActivateHint(const QPoint &anchor, const QString &message, const TVxBalloonHint &hint,
                      const QColor &background = QColor());
    const TVxBalloonPlacement &Placement() const { return FPlacement; }
    bool ShowsIcon() const { return FShowIcon; }
    bool ShowsHeader() const { return FShowHeader; }
    QString Message() const { return FMsg; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont HeaderFont() const;
    QFont MessageFont() const;
    int TextFlags() const;

    bool FShowIcon = false;
    bool FShowHeader = false;
    QString FMsg;
    QString FHeader;
    TVxIconKind FIconKind = ikInformation;
    QPixmap FIcon;
    TVxBalloonPlacement FPlacement;
    QColor FBackground;
};

class TVxBalloonHint : public QObject
{
    Q_OBJECT
public:
    explicit TVxBalloonHint(QObject *owner = nullptr);
    ~TVxBalloonHint() override;

    QString DefaultHeader() const { return FDefaultHeader; }
    void SetDefaultHeader(const QString &value) { FDefaultHeader = value; }
    TVxIconKind DefaultIcon() const { return FDefaultIcon; }
    void SetDefaultIcon(TVxIconKind value) { FDefaultIcon = value; }
    int DefaultImageIndex() const { return FDefaultImageIndex; }
    void SetDefaultImageIndex(int value) { FDefaultImageIndex = value; }
    TVxBalloonPosition DefaultBalloonPosition() const { return FDefaultBalloonPosition; }
    void SetDefaultBalloonPosition(TVxBalloonPosition value) { FDefaultBalloonPosition = value; }
    int Options() const { return FOptions; }
    void SetOptions(int value) { FOptions = value; }
    int ApplicationHintOptions() const { return FApplicationHintOptions; }
    void SetApplicationHintOptions(int value) { FApplicationHintOptions = value; }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int value) { FMaxWidth = std::max(value, 0); }
    const QList<QPixmap> &Images() const { return FImages; }
    void SetImages(const QList<QPixmap> &value) { FImages = value; }
    TVxAnimationStyle CustomAnimationStyle() const { return FCustomAnimationStyle; }
    void SetCustomAnimationStyle(TVxAnimationStyle value) { FCustomAnimationStyle = value; }
    int CustomAnimationTime() const { return FCustomAnimationTime; }
    void SetCustomAnimationTime(int value) { FCustomAnimationTime = value; }
    bool UseBalloonAsApplicationHint() const;
    void SetUseBalloonAsApplicationHint(bool value);
    bool Active() const { return FActive; }

    // The balloon that shows the program's hints, or none while none is up.
    TVxBalloonWindow *ApplicationBalloon() const;
    void CancelHint();

Q_SIGNALS:
    void OnClose(QObject *sender);

private:
    friend class TGlobalCtrl;
    friend class TVxBalloonWindow;
    bool ShowApplicationHint(QWidget *widget, const QPoint &globalPos);

    bool FActive = false;
    int FOptions = boShowCloseBtn;
    QList<QPixmap> FImages;
    QString FDefaultHeader;
    TVxIconKind FDefaultIcon = ikInformation;
    int FDefaultImageIndex = -1;
    int FApplicationHintOptions = ahShowHeaderInHint | ahShowIconInHint;
    TVxBalloonPosition FDefaultBalloonPosition = bpAuto;
    int FCustomAnimationTime = 100;
    TVxAnimationStyle FCustomAnimationStyle = atBlend;
    int FMaxWidth = 0;
    QTimer *FTimer;
    QPointer<QWidget> FAnchorWidget;
    std::unique_ptr<TVxBalloonWindow> FHint;
};

// One per application: the balloon-hint components and the tool-tip events it turns into balloons.
class TGlobalCtrl : public QObject
{
    Q_OBJECT
public:
    static TGlobalCtrl *Instance();
    TVxBalloonHint *MainCtrl() const;
    bool UseBalloonAsApplicationHint() const { return FUseBalloonAsApplicationHint; }
    void SetUseBalloonAsApplicationHint(bool value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TGlobalCtrl(QObject *parent);
    friend class TVxBalloonHint;
    void Add(TVxBalloonHint *hint);
    void Remove(TVxBalloonHint *hint);

    QList<QPointer<TVxBalloonHint>> FCtrls;
    bool FUseBalloonAsApplicationHint = false;
};
