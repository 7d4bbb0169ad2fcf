#pragma once
// The bases of the toolkit's visual controls: Qt's change, enter/leave, focus, geometry and tool
// tip events arrive as overridable methods, the mouse-over state is kept, and each control has
// its own hint colour. Beside them the colour values the controls are set up with and the theme
// helpers that draw frames and borders through the widget style.
#include <QColor>
#include <QPointer>
#include <QToolButton>
#include <QWidget>

class QPainter;
class QPalette;

// Colours as the controls store them: 0x00BBGGRR, or a system colour (0x80000000 | index) that
// follows the palette, or one of the two markers below.
using TColor = quint32;
constexpr TColor clNone = 0x1FFFFFFF;    // nothing / the application's choice
constexpr TColor clDefault = 0x20000000; // ask the parent
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clActiveCaption = 0x80000002;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clBtnHighlight = 0x80000014;
constexpr TColor cl3DDkShadow = 0x80000015;
constexpr TColor cl3DLight = 0x80000016;
constexpr TColor clInfoText = 0x80000017;
constexpr TColor clInfoBk = 0x80000018;

// The RGB colour a value stands for; system colours come from the palette (the active caption
// is the palette's highlight, as window title bars follow it on this desktop).
QColor ColorToRGB(TColor color, const QPalette &palette);
constexpr TColor RGBToColor(int r, int g, int b) { return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16); }

enum TVxImageSize { isSmall, isLarge };

// What a control adds to a tool tip before it is shown.
struct THintInfo {
    QWidget *HintControl = nullptr;
    QPoint CursorPos; // in the control's coordinates
    QString HintStr;
    QColor HintColor;
};

// The state and the overridable operations the three bases share. Every default does what the
// widget would have done on its own, so a subclass that overrides nothing acts like plain Qt.
class TVxExControl
{
public:
    virtual ~TVxExControl() = default;
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor value) { FHintColor = value; }
    bool MouseOver() const { return FMouseOver; }
    // The colour a tool tip of this control gets: clNone the application's, clDefault the parent's.
    QColor ResolvedHintColor() const;

    virtual void TextChanged() {}
    virtual bool WantKey(int key, Qt::KeyboardModifiers shift, const QString &keyText);
    virtual bool HitTest(int x, int y);
    virtual void BoundsChanged() {}
    virtual void FocusChanged(QWidget *control);
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() {}
    virtual void ColorChanged() {}
    virtual void FontChanged() {}
    virtual void ParentColorChanged();
    virtual void ParentFontChanged() {}
    virtual bool HintShow(THintInfo &info);
    virtual void MouseEnter(QWidget *control);
    virtual void MouseLeave(QWidget *control);
    virtual void DoSetFocus(QWidget *previous);
    virtual void DoKillFocus(QWidget *next);

protected:
    explicit TVxExControl(QWidget *self) : FSelf(self) {}
    // Hands the event being dispatched to the widget's own handling; later calls do nothing.
    bool PassOn();
    // Turns an event into the operations above; the result is the event's result.
    bool DispatchEvent(QEvent *event);
    void SetMouseOver(bool value) { FMouseOver = value; }

    virtual bool PlatformEvent(QEvent *event) = 0;
    virtual void FireMouseEnter() = 0;
    virtual void FireMouseLeave() = 0;
    virtual void FireParentColorChanged() = 0;

    QWidget *FSelf;
    TColor FHintColor = clDefault;
    bool FMouseOver = false;

private:
    QEvent *FPending = nullptr;
    bool FPendingResult = false;
};

#define VX_EX_CONTROL_BODY(Base)                                                                   \
Q_SIGNALS:                                                                                         \
    void OnMouseEnter(QObject *sender);                                                            \
    void OnMouseLeave(QObject *sender);                                                            \
    void OnParentColorChanged(QObject *sender);                                                    \
                                                                                                   \
protected:                                                                                         \
    bool event(QEvent *event) override { return DispatchEvent(event); }                            \
    bool PlatformEvent(QEvent *event) override { return Base::event(event); }                      \
    void FireMouseEnter() override { emit OnMouseEnter(this); }                                    \
    void FireMouseLeave() override { emit OnMouseLeave(this); }                                    \
    void FireParentColorChanged() override { emit OnParentColorChanged(this); }

// A control that never takes the focus (a painted shape, a label-like button).
class TVxExGraphicControl : public QWidget, public TVxExControl
{
    Q_OBJECT
    VX_EX_CONTROL_BODY(QWidget)
public:
    explicit TVxExGraphicControl(QWidget *parent = nullptr);
};

// A control with its own window that can take the focus and hold other controls.
class TVxExCustomControl : public QWidget, public TVxExControl
{
    Q_OBJECT
    VX_EX_CONTROL_BODY(QWidget)
public:
    explicit TVxExCustomControl(QWidget *parent = nullptr);
};

class TVxExSpeedButton : public QToolButton, public TVxExControl
{
    Q_OBJECT
    VX_EX_CONTROL_BODY(QToolButton)
public:
    explicit TVxExSpeedButton(QWidget *parent = nullptr);
};

// Frame-control kinds and state bits as the drawing helpers take them.
enum TVxFrameControl { DFC_SCROLL = 3, DFC_BUTTON = 4 };
enum TVxFrameState {
    DFCS_SCROLLUP = 0x0,
    DFCS_SCROLLDOWN = 0x1,
    DFCS_SCROLLLEFT = 0x2,
    DFCS_SCROLLRIGHT = 0x3,
    DFCS_SCROLLSIZEGRIP = 0x8,
    DFCS_BUTTONCHECK = 0x0,
    DFCS_BUTTONRADIO = 0x4,
    DFCS_BUTTONPUSH = 0x10,
    DFCS_FLAT = 0x4000,
    DFCS_MONO = 0x8000,
    DFCS_INACTIVE = 0x100,
    DFCS_PUSHED = 0x200,
    DFCS_CHECKED = 0x400,
    DFCS_HOT = 0x1000,
};

// Draws a scroll arrow or a button in the widget's style; false for a kind it does not know.
bool DrawThemedFrameControl(QPainter &painter, const QWidget *widget, const QRect &rect, int type, int state);
// The style's edit-box border around rect, its inner area (2 pixels in) left alone.
void DrawThemedBorder(QPainter &painter, const QWidget *widget, const QRect &rect);
// Two 1-pixel rings: dark outside and light inside while the control is hot, else its colour.
void DrawFlatBorder(QPainter &painter, const QRect &rect, bool hot, const QPalette &palette, const QColor &color);
// A 1-pixel frame, top-left in one colour and bottom-right in the other.
void DrawFrame3D(QPainter &painter, QRect &rect, const QColor &topLeft, const QColor &bottomRight);
