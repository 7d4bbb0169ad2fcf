#pragma once
// The look-out bar: a vertical stack of pages, each with a 20-pixel caption bar. One page is open;
// the caption bars up to it sit at the top, those after it at the bottom, and the open page fills
// the room between. Pages may hold image buttons that scroll with two arrow buttons.
#include "toolkit/VxControls.h"

#include <QLineEdit>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <functional>

#include <QMenu>
class QTimer;
class QVariantAnimation;
class TVxLookOutPage;
class TVxCustomLookOutButton;

// One child of a look-out as the layout sees it.
struct TVxLookOutPlace {
    bool visible;
    int top;
    int height;
    bool operator==(const TVxLookOutPlace &) const = default;
};

// The lowest look-out that lays out `visibleCount` children (their captions and a page).
int LookOutMinimumHeight(int visibleCount);
// Lays the children out with child `active` open in a look-out `height` high: hidden children
// keep their places. False, and nothing changed, when the look-out is too low.
bool LayOutLookOut(QList<TVxLookOutPlace> &places, int height, int active, bool flatButtons);

enum TBorderStyle { bsNone, bsSingle };

class TVxLookOut : public TVxExCustomControl
{
    Q_OBJECT
public:
    explicit TVxLookOut(QWidget *parent = nullptr);
    ~TVxLookOut() override;

    TVxLookOutPage *ActivePage() const { return FCurrentPage; }
    // Opens page, or, for none or a hidden or foreign page, the last visible page.
    void SetActivePage(TVxLookOutPage *page);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool FlatButtons() const { return FFlatButtons; }
    void SetFlatButtons(bool value);
    TVxImageSize ImageSize() const { return FImageSize; }
    void SetImageSize(TVxImageSize value);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool value) { FSmooth = value; }
    QList<TVxLookOutPage *> Pages() const;

    // Opens page: what a page's caption bar and its Click() run.
    void Collapse(QObject *page);
    virtual void SmoothScroll(QWidget *control, int newTop, bool smooth, int step);

Q_SIGNALS:
    void OnClick(QObject *sender);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void BoundsChanged() override;
    void MouseEnter(QWidget *control) override;
    void MouseLeave(QWidget *control) override;

private:
    friend class TVxLookOutPage;
    void AddPage(TVxLookOutPage *page);
    void RemovePage(QObject *page);
    void UpdateBorder();
    void LayOut(QWidget *page);
    int BorderWidth() const { return FFlatButtons ? 1 : 2; }

    bool FAutoSize = false;
    bool FSmooth = false;
    TBorderStyle FBorderStyle = bsSingle;
    QPointer<TVxLookOutPage> FActivePage;
    QPointer<TVxLookOutPage> FCurrentPage;
    QList<QPointer<TVxLookOutPage>> FPages;
    TVxImageSize FImageSize = isLarge;
    bool FFlatButtons = false;
    TColor FColor = clBtnFace;
};

// The caption editor of a page: Enter keeps the text, Esc and leaving it drop it.
class TVxLookOutEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TVxLookOutEdit(QWidget *parent);

Q_SIGNALS:
    void Accepted(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

// The scroll arrows of a page; with the page's AutoRepeat they repeat while held down.
class TVxArrowButton : public TVxExSpeedButton
{
    Q_OBJECT
public:
    TVxArrowButton(bool up, QWidget *parent);
    bool IsUp() const { return FUp; }
    static constexpr int FirstRepeat = 400;
    static constexpr int NextRepeat = 120;
    QTimer *RepeatTimer() const { return FTimer; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void Repeat();
    void Scroll();
    bool FUp;
    QTimer *FTimer = nullptr;
};

class TVxUpArrowBtn : public TVxArrowButton
{
    Q_OBJECT
public:
    explicit TVxUpArrowBtn(QWidget *parent) : TVxArrowButton(true, parent) {}
};

class TVxDwnArrowBtn : public TVxArrowButton
{
    Q_OBJECT
public:
    explicit TVxDwnArrowBtn(QWidget *parent) : TVxArrowButton(false, parent) {}
};

class TVxLookOutPage : public TVxExCustomControl
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
    explicit TVxLookOutPage(QWidget *parent = nullptr);
    ~TVxLookOutPage() override;

    static constexpr int CaptionHeight = 19;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool AutoRepeat() const { return FAutoRepeat; }
    void SetAutoRepeat(bool value) { FAutoRepeat = value; }
    const QPixmap &Bitmap() const { return FBitmap; }
    void SetBitmap(const QPixmap &value);
    TVxImageSize ImageSize() const { return FImageSize; }
    void SetImageSize(TVxImageSize value);
    bool ParentImageSize() const { return FParentImageSize; }
    void SetParentImageSize(bool value);
    QFont HighlightFont() const { return FHighlightFont; }
    void SetHighlightFont(const QFont &value);
    bool ShowPressed() const { return FShowPressed; }
    void SetShowPressed(bool value) { FShowPressed = value; }
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    QMenu *PopupMenu() const { return FPopUpMenu; }
    void SetPopupMenu(QMenu *value) { FPopUpMenu = value; }
    TVxLookOut *Manager() const { return FManager; }
    TVxUpArrowBtn *UpArrow() const { return FUpArrow; }
    TVxDwnArrowBtn *DownArrow() const { return FDownArrow; }
    const QList<TVxCustomLookOutButton *> Buttons() const;
    int TopControl() const { return FTopControl; }
    bool Down() const { return FDown; }

    // Opens the page, as a click on its caption bar does.
    void Click();
    virtual void DoOnEdited(QString &caption);
    virtual void ScrollUp();
    virtual void ScrollDown();
    virtual void DrawTopButton(QPainter &painter);
    virtual void CalcArrows();
    virtual void ScrollChildren(int start);
    virtual void SmoothScroll(QWidget *control, int newTop, bool smooth, int step);
    virtual void ExchangeButtons(TVxCustomLookOutButton *button1, TVxCustomLookOutButton *button2);
    virtual void MoveButton(TVxCustomLookOutButton *button, int newIndex);
    virtual void EditCaption();
    TVxLookOutEdit *Editor() const { return FEdit; }

Q_SIGNALS:
    void OnClick(QObject *sender);
    void OnEdited(QObject *sender, QString &caption);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void BoundsChanged() override;
    void MouseLeave(QWidget *control) override;

private:
    friend class TVxCustomLookOutButton;
    friend class TVxLookOut;
    void SetManager(TVxLookOut *manager);
    void FollowImageSize(TVxImageSize value);
    void AddButton(TVxCustomLookOutButton *button);
    void RemoveButton(QObject *button);
    void Arrange();
    void SetCaptionHot(bool value);
    bool InCaption(const QPoint &point) const;

    QPointer<TVxLookOutEdit> FEdit;
    bool FInScroll = false;
    bool FAutoRepeat = false;
    bool FAutoCenter = true;
    bool FParentImageSize = true;
    bool FDown = false;
    bool FShowPressed = false;
    bool FCaptionHot = false;
    int FMargin = 0;
    int FTopControl = 0;
    QPointer<QMenu> FPopUpMenu;
    TVxDwnArrowBtn *FDownArrow;
    int FScrolling = 0;
    TVxUpArrowBtn *FUpArrow;
    QPixmap FBitmap;
    TVxImageSize FImageSize = isLarge;
    QPointer<TVxLookOut> FManager;
    std::function<void(QObject *)> FOnCollapse;
    QFont FHighlightFont;
    QList<QPointer<TVxCustomLookOutButton>> FButtons;
    QString FCaption;
    TColor FColor = clBtnShadow;
    int FShortcut = 0;
};

enum TVxButtonBorder { bbDark, bbLight, bbMono };

class TVxCustomLookOutButton : public TVxExGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
    explicit TVxCustomLookOutButton(QWidget *parent = nullptr);
    ~TVxCustomLookOutButton() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    TVxImageSize ImageSize() const { return FImageSize; }
    void SetImageSize(TVxImageSize value);
    bool ParentImageSize() const { return FParentImageSize; }
    void SetParentImageSize(bool value);
    void SetSmallImages(const QList<QPixmap> &images);
    void SetLargeImages(const QList<QPixmap> &images);
    TColor FillColor() const { return FFillColor; }
    void SetFillColor(TColor value);
    TVxButtonBorder ButtonBorder() const { return FButtonBorder; }
    void SetButtonBorder(TVxButtonBorder value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { FGroupIndex = value; }
    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool StayDown() const { return FStayDown; }
    void SetStayDown(bool value) { FStayDown = value; }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    QFont HighlightFont() const { return FHighlightFont; }
    void SetHighlightFont(const QFont &value);
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *value) { FPopupMenu = value; }
    // Where the image and the caption go in the button's own coordinates.
    QRect ImageRect() const;
    QRect TextRect() const;

Q_SIGNALS:
    void OnClick(QObject *sender);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void MouseEnter(QWidget *control) override;
    void MouseLeave(QWidget *control) override;

private:
    friend class TVxLookOutPage;
    void DrawButtonFrame(QPainter &painter);
    QPixmap Image() const;
    void FollowImageSize(TVxImageSize value);
    void FollowParent();

    QString FCaption;
    bool FParentImageSize = true;
    bool FDown = false;
    bool FStayDown = false;
    bool FPressed = false;
    int FImageIndex = -1;
    int FSpacing = 4;
    TVxImageSize FImageSize = isLarge;
    TColor FFillColor = clNone;
    QFont FHighlightFont;
    TVxButtonBorder FButtonBorder = bbDark;
    QPointer<QMenu> FPopupMenu;
    int FGroupIndex = 0;
    QList<QPixmap> FSmallImages;
    QList<QPixmap> FLargeImages;
    QPointer<TVxLookOutPage> FPage;
};
