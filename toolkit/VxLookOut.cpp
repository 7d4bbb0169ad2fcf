#include "toolkit/VxLookOut.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QTimer>
#include <QVariantAnimation>
#include <algorithm>

namespace {

constexpr int CaptionStep = 20; // a caption bar and the line under it
constexpr int SmoothStep = 20;
constexpr int SmoothFrame = 10; // milliseconds per step of a smooth move

QColor SystemColor(const QWidget *widget, TColor color)
{
    return ColorToRGB(color, widget->palette());
}

// Moves control's top to newTop: at once, or Step pixels a frame by an animation the control owns.
void MoveTop(QWidget *control, int newTop, bool smooth, int step)
{
    for (auto *running : control->findChildren<QVariantAnimation *>(QString(), Qt::FindDirectChildrenOnly))
        running->stop(), running->deleteLater();
    if (!smooth || step <= 0 || control->y() == newTop) {
        control->move(control->x(), newTop);
        return;
    }
    auto *animation = new QVariantAnimation(control);
    const int steps = (std::abs(newTop - control->y()) + step - 1) / step;
    animation->setStartValue(control->y());
    animation->setEndValue(newTop);
    animation->setDuration(steps * SmoothFrame);
    QObject::connect(animation, &QVariantAnimation::valueChanged, control,
                     [control](const QVariant &top) { control->move(control->x(), top.toInt()); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace

int LookOutMinimumHeight(int visibleCount)
{
    return visibleCount * 19 + 65 + 1;
}

bool LayOutLookOut(QList<TVxLookOutPlace> &places, int height, int active, bool flatButtons)
{
    const auto visible = int(std::count_if(places.begin(), places.end(), [](const auto &p) { return p.visible; }));
    if (height < LookOutMinimumHeight(visible))
        return false;
    const int inset = flatButtons ? 2 : 4;
    int hidden = 0;
    bool passed = false;
    for (int i = 0; i < places.size(); ++i) {
        TVxLookOutPlace &place = places[i];
        if (!place.visible) {
            ++hidden;
            continue;
        }
        place.height = height - (visible - 1) * CaptionStep;
        if (i == active || i == 0 || !passed)
            place.top = (i - hidden) * CaptionStep;
        else
            place.top = height - (visible - (i - hidden)) * CaptionStep - inset + 1;
        if (i == active)
            passed = true;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------

TVxLookOut::TVxLookOut(QWidget *parent) : TVxExCustomControl(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(92, 300);
    UpdateBorder();
}

// The pages outlive this part of the bar by a moment: they must not report back to it.
TVxLookOut::~TVxLookOut()
{
    for (auto *page : Pages()) {
        page->FManager = nullptr;
        page->FOnCollapse = nullptr;
    }
}

QList<TVxLookOutPage *> TVxLookOut::Pages() const
{
    QList<TVxLookOutPage *> pages;
    for (const auto &page : FPages)
        if (page)
            pages.append(page);
    return pages;
}

void TVxLookOut::AddPage(TVxLookOutPage *page)
{
    if (!FPages.contains(page))
        FPages.append(page);
    update();
}

void TVxLookOut::RemovePage(QObject *page)
{
    FPages.removeIf([page](const QPointer<TVxLookOutPage> &each) { return !each || each == page; });
    if (FActivePage == page)
        FActivePage = nullptr;
    if (FCurrentPage == page)
        FCurrentPage = nullptr;
    update();
}

bool TVxLookOut::event(QEvent *event)
{
    if (event->type() == QEvent::ChildRemoved)
        RemovePage(static_cast<QChildEvent *>(event)->child());
    return TVxExCustomControl::event(event);
}

void TVxLookOut::SetActivePage(TVxLookOutPage *page)
{
    if (page && page->parentWidget() == this && !page->isHidden()) {
        Collapse(page);
        return;
    }
    // The last visible page ends up open.
    for (const auto &each : Pages()) {
        if (!each->isHidden())
            Collapse(each);
        else
            FActivePage = nullptr;
    }
}

void TVxLookOut::Collapse(QObject *sender)
{
    auto *page = qobject_cast<TVxLookOutPage *>(sender);
    if (page) {
        FCurrentPage = page;
        FActivePage = page;
        page->update(0, 0, page->width(), TVxLookOutPage::CaptionHeight);
    }
    emit OnClick(sender);
    LayOut(page);
}

void TVxLookOut::LayOut(QWidget *page)
{
    QList<QWidget *> children;
    QList<TVxLookOutPlace> places;
    for (QObject *child : this->children())
        if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow()) {
            children.append(widget);
            places.append({!widget->isHidden(), widget->y() - BorderWidth(), widget->height()});
        }
    const int active = int(children.indexOf(page));
    if (!LayOutLookOut(places, height(), active, FFlatButtons))
        return;
    const int inset = FFlatButtons ? 2 : 4;
    for (int i = 0; i < children.size(); ++i) {
        if (!places[i].visible)
            continue;
        QWidget *child = children[i];
        child->resize(width() - inset, places[i].height);
        SmoothScroll(child, places[i].top + BorderWidth(), FSmooth, SmoothStep);
    }
}

void TVxLookOut::SmoothScroll(QWidget *control, int newTop, bool smooth, int step)
{
    control->move(BorderWidth(), control->y());
    MoveTop(control, newTop, smooth, step);
}

void TVxLookOut::SetAutoSize(bool value)
{
    FAutoSize = value;
    if (!value)
        return;
    if (FCurrentPage)
        Collapse(FCurrentPage);
    else if (FActivePage)
        Collapse(FActivePage);
    else if (auto *first = findChild<TVxLookOutPage *>(QString(), Qt::FindDirectChildrenOnly))
        Collapse(first);
}

void TVxLookOut::SetBorderStyle(TBorderStyle value)
{
    if (FBorderStyle != value) {
        FBorderStyle = value;
        UpdateBorder();
    }
}

void TVxLookOut::SetFlatButtons(bool value)
{
    if (FFlatButtons != value) {
        FFlatButtons = value;
        UpdateBorder();
        for (auto *page : Pages())
            page->update();
    }
}

void TVxLookOut::UpdateBorder()
{
    const int border = BorderWidth();
    setContentsMargins(border, border, border, border);
    if (FCurrentPage)
        LayOut(FCurrentPage);
    update();
}

void TVxLookOut::SetColor(TColor value)
{
    FColor = value;
    update();
}

void TVxLookOut::SetImageSize(TVxImageSize value)
{
    if (FImageSize == value)
        return;
    FImageSize = value;
    // A page given a size of its own keeps it.
    for (auto *page : Pages())
        if (page->ParentImageSize())
            page->FollowImageSize(value);
}

// Pages follow the bar's size, so the bar can sit in a resizable window.
void TVxLookOut::BoundsChanged()
{
    if (FCurrentPage)
        LayOut(FCurrentPage);
}

void TVxLookOut::MouseEnter(QWidget *control)
{
    TVxExCustomControl::MouseEnter(control);
    if (FFlatButtons)
        update();
}

void TVxLookOut::MouseLeave(QWidget *control)
{
    TVxExCustomControl::MouseLeave(control);
    if (FFlatButtons)
        update();
}

void TVxLookOut::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor color = SystemColor(this, FColor);
    painter.fillRect(rect(), color);
    if (FBorderStyle == bsSingle) {
        if (FFlatButtons)
            DrawFlatBorder(painter, rect(), FMouseOver || hasFocus(), palette(), color);
        else
            DrawThemedBorder(painter, this, rect());
    }
}

// ---------------------------------------------------------------------------------------------

TVxLookOutEdit::TVxLookOutEdit(QWidget *parent) : QLineEdit(parent) {}

void TVxLookOutEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        hide();
        emit Accepted(text());
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TVxLookOutEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    hide();
}

// ---------------------------------------------------------------------------------------------

TVxArrowButton::TVxArrowButton(bool up, QWidget *parent) : TVxExSpeedButton(parent), FUp(up)
{
    resize(16, 16);
    hide();
    connect(this, &QToolButton::clicked, this, &TVxArrowButton::Scroll);
}

void TVxArrowButton::Scroll()
{
    if (auto *page = qobject_cast<TVxLookOutPage *>(parentWidget()))
        FUp ? page->ScrollUp() : page->ScrollDown();
}

void TVxArrowButton::Repeat()
{
    FTimer->setInterval(NextRepeat);
    if (isDown())
        Scroll();
}

void TVxArrowButton::mousePressEvent(QMouseEvent *event)
{
    TVxExSpeedButton::mousePressEvent(event);
    const auto *page = qobject_cast<TVxLookOutPage *>(parentWidget());
    if (event->button() != Qt::LeftButton || !page || !page->AutoRepeat())
        return;
    if (!FTimer) {
        FTimer = new QTimer(this);
        connect(FTimer, &QTimer::timeout, this, &TVxArrowButton::Repeat);
    }
    FTimer->start(FirstRepeat);
}

void TVxArrowButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (FTimer)
        FTimer->stop();
    TVxExSpeedButton::mouseReleaseEvent(event);
}

void TVxArrowButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    int state = FUp ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
    if (autoRaise())
        state |= DFCS_FLAT;
    if (FMouseOver)
        state |= DFCS_HOT;
    if (isDown())
        state |= DFCS_PUSHED;
    if (!isEnabled())
        state |= DFCS_INACTIVE;
    DrawThemedFrameControl(painter, this, rect(), DFC_SCROLL, state);
}

// ---------------------------------------------------------------------------------------------

TVxLookOutPage::TVxLookOutPage(QWidget *parent)
    : TVxExCustomControl(parent), FDownArrow(new TVxDwnArrowBtn(this)), FUpArrow(new TVxUpArrowBtn(this)),
      FHighlightFont(font()), FCaption(QStringLiteral("Outlook"))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(92, 100);
    FUpArrow->move(width() - 23, 25);
    FDownArrow->move(width() - 23, height() - 23);
    SetCaption(FCaption);
    SetManager(qobject_cast<TVxLookOut *>(parent));
}

TVxLookOutPage::~TVxLookOutPage()
{
    for (auto *button : Buttons())
        button->FPage = nullptr;
    if (FManager)
        FManager->RemovePage(this);
}

void TVxLookOutPage::SetManager(TVxLookOut *manager)
{
    if (FManager == manager)
        return;
    if (FManager)
        FManager->RemovePage(this);
    FManager = manager;
    FOnCollapse = nullptr;
    if (!manager)
        return;
    manager->AddPage(this);
    QPointer<TVxLookOut> target(manager);
    FOnCollapse = [target](QObject *page) {
        if (target)
            target->Collapse(page);
    };
    if (FParentImageSize)
        FollowImageSize(manager->ImageSize());
}

bool TVxLookOutPage::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ParentChange:
        SetManager(qobject_cast<TVxLookOut *>(parentWidget()));
        break;
    case QEvent::Shortcut:
        if (static_cast<QShortcutEvent *>(event)->shortcutId() == FShortcut) {
            Click();
            return true;
        }
        break;
    case QEvent::Show:
        Arrange();
        break;
    default:
        break;
    }
    return TVxExCustomControl::event(event);
}

void TVxLookOutPage::SetCaption(const QString &value)
{
    FCaption = value;
    if (FShortcut)
        releaseShortcut(FShortcut);
    const QKeySequence key = QKeySequence::mnemonic(value);
    FShortcut = key.isEmpty() ? 0 : grabShortcut(key);
    TextChanged();
    update(0, 0, width(), CaptionHeight);
}

void TVxLookOutPage::SetColor(TColor value)
{
    FColor = value;
    update();
}

void TVxLookOutPage::SetBitmap(const QPixmap &value)
{
    FBitmap = value;
    update();
}

void TVxLookOutPage::SetHighlightFont(const QFont &value)
{
    FHighlightFont = value;
    update(0, 0, width(), CaptionHeight);
}

void TVxLookOutPage::SetMargin(int value)
{
    FMargin = value;
    Arrange();
}

void TVxLookOutPage::SetImageSize(TVxImageSize value)
{
    FParentImageSize = false;
    FollowImageSize(value);
}

void TVxLookOutPage::FollowImageSize(TVxImageSize value)
{
    FImageSize = value;
    for (auto *button : Buttons())
        if (button->ParentImageSize())
            button->FollowImageSize(value);
    Arrange();
}

void TVxLookOutPage::SetParentImageSize(bool value)
{
    FParentImageSize = value;
    if (value && FManager)
        FollowImageSize(FManager->ImageSize());
}

const QList<TVxCustomLookOutButton *> TVxLookOutPage::Buttons() const
{
    QList<TVxCustomLookOutButton *> buttons;
    for (const auto &button : FButtons)
        if (button)
            buttons.append(button);
    return buttons;
}

void TVxLookOutPage::AddButton(TVxCustomLookOutButton *button)
{
    if (!FButtons.contains(button))
        FButtons.append(button);
    if (button->ParentImageSize())
        button->FollowImageSize(FImageSize);
    Arrange();
}

void TVxLookOutPage::RemoveButton(QObject *button)
{
    FButtons.removeIf([button](const auto &each) { return !each || each == button; });
    Arrange();
}

void TVxLookOutPage::Click()
{
    if (!isEnabled())
        return;
    if (FOnCollapse)
        FOnCollapse(this);
    emit OnClick(this);
}

void TVxLookOutPage::DoOnEdited(QString &caption)
{
    emit OnEdited(this, caption);
}

void TVxLookOutPage::ScrollUp()
{
    if (FTopControl > 0)
        --FTopControl;
    Arrange();
}

void TVxLookOutPage::ScrollDown()
{
    const auto count = findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size();
    if (FTopControl < count - 3)
        ++FTopControl;
    Arrange();
}

void TVxLookOutPage::Arrange()
{
    // The arrows follow the buttons' new places: nothing repaints the page after they moved.
    ScrollChildren(quint16(26 - FMargin));
    CalcArrows();
}

void TVxLookOutPage::CalcArrows()
{
    if (height() >= 65) {
        FUpArrow->move(width() - 23, 25);
        FDownArrow->move(width() - 23, height() - 23);
    } else {
        FDownArrow->move(width() - 23, FUpArrow->y() + 16);
    }
    QList<QWidget *> shown;
    for (QWidget *child : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (child != FUpArrow && child != FDownArrow && child != FEdit && !child->isHidden())
            shown.append(child);
    std::stable_sort(shown.begin(), shown.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
    const auto inside = [this](const QWidget *child) {
        return child->y() >= 0 && child->geometry().bottom() < height();
    };
    FDownArrow->setVisible(!shown.isEmpty() && !inside(shown.last()));
    FUpArrow->setVisible(!shown.isEmpty() && !inside(shown.first()));
    FUpArrow->raise();
    FDownArrow->raise();
}

void TVxLookOutPage::ScrollChildren(int start)
{
    if (FScrolling != 0)
        return;
    if (findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size() < 3) {
        FUpArrow->hide();
        FDownArrow->hide();
        return;
    }
    const QList<TVxCustomLookOutButton *> buttons = Buttons();
    for (int i = 0; i < buttons.size(); ++i) {
        TVxCustomLookOutButton *button = buttons[i];
        if (button->isHidden())
            continue;
        int top;
        if (i >= FTopControl && start <= height()) {
            top = start + FMargin;
            start += button->height() + FMargin;
        } else if (i >= FTopControl) {
            top = (height() + 1) * (i + 1);
        } else {
            top = -(button->height() + 1) * (int(buttons.size()) - i);
        }
        const int left = FAutoCenter && button->ImageSize() == isLarge ? (width() - button->width()) / 2 : button->x();
        button->move(left, top);
    }
}

void TVxLookOutPage::SmoothScroll(QWidget *control, int newTop, bool smooth, int step)
{
    if (FScrolling != 0)
        return;
    MoveTop(control, newTop, smooth, step);
}

void TVxLookOutPage::ExchangeButtons(TVxCustomLookOutButton *button1, TVxCustomLookOutButton *button2)
{
    const qsizetype i1 = FButtons.indexOf(button1);
    const qsizetype i2 = FButtons.indexOf(button2);
    if (i1 < 0 || i2 < 0)
        return;
    const int top = button1->y();
    button1->move(button1->x(), button2->y());
    button2->move(button2->x(), top);
    FButtons.swapItemsAt(i1, i2);
    Arrange();
}

void TVxLookOutPage::MoveButton(TVxCustomLookOutButton *button, int newIndex)
{
    const qsizetype from = FButtons.indexOf(button);
    if (from < 0)
        return;
    FButtons.move(from, std::clamp<qsizetype>(newIndex, 0, FButtons.size() - 1));
    Arrange();
}

void TVxLookOutPage::EditCaption()
{
    if (!FEdit) {
        FEdit = new TVxLookOutEdit(this);
        connect(FEdit, &TVxLookOutEdit::Accepted, this, [this](const QString &text) {
            QString caption = text;
            DoOnEdited(caption);
            SetCaption(caption);
        });
    }
    FEdit->setGeometry(0, 0, width(), CaptionHeight);
    FEdit->setText(FCaption);
    FEdit->selectAll();
    FEdit->show();
    FEdit->raise();
    FEdit->setFocus(Qt::OtherFocusReason);
}

bool TVxLookOutPage::InCaption(const QPoint &point) const
{
    return QRect(0, 0, width(), CaptionHeight).contains(point);
}

void TVxLookOutPage::SetCaptionHot(bool value)
{
    if (FCaptionHot != value) {
        FCaptionHot = value;
        update(0, 0, width(), CaptionHeight);
    }
}

void TVxLookOutPage::mousePressEvent(QMouseEvent *event)
{
    TVxExCustomControl::mousePressEvent(event);
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton && InCaption(point)) {
        FDown = true;
        update(0, 0, width(), CaptionHeight);
    } else if (event->button() == Qt::RightButton && FPopUpMenu) {
        FDown = false;
        FPopUpMenu->popup(event->globalPosition().toPoint());
    }
}

void TVxLookOutPage::mouseMoveEvent(QMouseEvent *event)
{
    TVxExCustomControl::mouseMoveEvent(event);
    SetCaptionHot(InCaption(event->position().toPoint()));
}

void TVxLookOutPage::mouseReleaseEvent(QMouseEvent *event)
{
    TVxExCustomControl::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasDown = FDown;
    FDown = false;
    if (wasDown && InCaption(event->position().toPoint()) && isEnabled()) {
        if (FOnCollapse)
            FOnCollapse(this);
        emit OnClick(this);
    }
    update(0, 0, width(), CaptionHeight);
}

void TVxLookOutPage::MouseLeave(QWidget *control)
{
    TVxExCustomControl::MouseLeave(control);
    SetCaptionHot(false);
}

void TVxLookOutPage::BoundsChanged()
{
    if (FEdit && FEdit->isVisible())
        FEdit->setGeometry(0, 0, width(), CaptionHeight);
    Arrange();
}

void TVxLookOutPage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!FBitmap.isNull())
        painter.drawTiledPixmap(rect(), FBitmap);
    else
        painter.fillRect(rect(), SystemColor(this, FColor));
    DrawTopButton(painter);
}

void TVxLookOutPage::DrawTopButton(QPainter &painter)
{
    QRect bar(0, 0, width(), CaptionHeight);
    painter.save();
    painter.setFont(FCaptionHot ? FHighlightFont : font());
    painter.fillRect(bar, SystemColor(this, clBtnFace));
    const QColor face = SystemColor(this, clBtnFace);
    const QColor shadow = SystemColor(this, clBtnShadow);
    const QColor light = SystemColor(this, clBtnHighlight);
    const QColor dark = SystemColor(this, cl3DDkShadow);
    const bool pressed = FShowPressed && FDown;
    if (FManager && FManager->FlatButtons()) {
        if (FManager->ActivePage() == this)
            DrawFrame3D(painter, bar, dark, face);
        if (pressed) {
            DrawFrame3D(painter, bar, shadow, light);
        } else if (FCaptionHot) {
            DrawFrame3D(painter, bar, light, dark);
            DrawFrame3D(painter, bar, face, shadow);
        } else {
            DrawFrame3D(painter, bar, light, shadow);
        }
    } else if (pressed) {
        DrawFrame3D(painter, bar, dark, light);
        DrawFrame3D(painter, bar, shadow, face);
    } else {
        DrawFrame3D(painter, bar, light, dark);
        DrawFrame3D(painter, bar, face, shadow);
    }
    QRect text(0, 0, width(), CaptionHeight);
    if (pressed)
        text.translate(1, 1);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!isEnabled()) {
        painter.setPen(light);
        painter.drawText(text.translated(1, 1), flags, FCaption);
        painter.setPen(shadow);
    } else {
        painter.setPen(palette().color(QPalette::ButtonText));
    }
    painter.drawText(text, flags, FCaption);
    painter.restore();
}

// ---------------------------------------------------------------------------------------------

TVxCustomLookOutButton::TVxCustomLookOutButton(QWidget *parent) : TVxExGraphicControl(parent), FHighlightFont(font())
{
    resize(60, 60);
    FollowParent();
}

TVxCustomLookOutButton::~TVxCustomLookOutButton()
{
    if (FPage)
        FPage->RemoveButton(this);
}

void TVxCustomLookOutButton::FollowParent()
{
    auto *page = qobject_cast<TVxLookOutPage *>(parentWidget());
    if (FPage == page)
        return;
    if (FPage)
        FPage->RemoveButton(this);
    FPage = page;
    if (page)
        page->AddButton(this);
}

bool TVxCustomLookOutButton::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange)
        FollowParent();
    return TVxExGraphicControl::event(event);
}

void TVxCustomLookOutButton::SetCaption(const QString &value)
{
    FCaption = value;
    TextChanged();
    update();
}

void TVxCustomLookOutButton::SetImageIndex(int value)
{
    FImageIndex = value;
    update();
}

void TVxCustomLookOutButton::SetImageSize(TVxImageSize value)
{
    FParentImageSize = false;
    FollowImageSize(value);
}

void TVxCustomLookOutButton::FollowImageSize(TVxImageSize value)
{
    FImageSize = value;
    update();
}

void TVxCustomLookOutButton::SetParentImageSize(bool value)
{
    FParentImageSize = value;
    if (value && FPage)
        FollowImageSize(FPage->ImageSize());
}

void TVxCustomLookOutButton::SetSmallImages(const QList<QPixmap> &images)
{
    FSmallImages = images;
    update();
}

void TVxCustomLookOutButton::SetLargeImages(const QList<QPixmap> &images)
{
    FLargeImages = images;
    update();
}

void TVxCustomLookOutButton::SetFillColor(TColor value)
{
    FFillColor = value;
    update();
}

void TVxCustomLookOutButton::SetButtonBorder(TVxButtonBorder value)
{
    FButtonBorder = value;
    update();
}

void TVxCustomLookOutButton::SetSpacing(int value)
{
    FSpacing = value;
    update();
}

void TVxCustomLookOutButton::SetHighlightFont(const QFont &value)
{
    FHighlightFont = value;
    update();
}

void TVxCustomLookOutButton::SetDown(bool value)
{
    if (FDown == value)
        return;
    FDown = value;
    // Only one button of a group stays down.
    if (value && FGroupIndex != 0 && parentWidget())
        for (auto *other :
             parentWidget()->findChildren<TVxCustomLookOutButton *>(QString(), Qt::FindDirectChildrenOnly))
            if (other != this && other->FGroupIndex == FGroupIndex)
                other->SetDown(false);
    update();
}

QPixmap TVxCustomLookOutButton::Image() const
{
    const QList<QPixmap> &images = FImageSize == isLarge ? FLargeImages : FSmallImages;
    return FImageIndex >= 0 && FImageIndex < images.size() ? images[FImageIndex] : QPixmap();
}

QRect TVxCustomLookOutButton::ImageRect() const
{
    const QPixmap image = Image();
    const QSize size = image.isNull() ? (FImageSize == isLarge ? QSize(32, 32) : QSize(16, 16))
                                      : image.deviceIndependentSize().toSize();
    if (FImageSize == isSmall)
        return {QPoint(FSpacing, (height() - size.height()) / 2), size};
    return {QPoint((width() - size.width()) / 2, FSpacing), size};
}

QRect TVxCustomLookOutButton::TextRect() const
{
    const QRect image = ImageRect();
    if (FImageSize == isSmall)
        return QRect(image.right() + 1 + FSpacing, 0, width() - image.right() - 1 - 2 * FSpacing, height());
    return QRect(0, image.bottom() + 1 + FSpacing, width(), height() - image.bottom() - 1 - FSpacing);
}

void TVxCustomLookOutButton::DrawButtonFrame(QPainter &painter)
{
    if (!isEnabled() || !FMouseOver)
        return;
    const QColor face = SystemColor(this, clBtnFace);
    const QColor shadow = SystemColor(this, clBtnShadow);
    const QColor light = SystemColor(this, clBtnHighlight);
    const QColor dark = SystemColor(this, cl3DDkShadow);
    const struct {
        QColor upTopLeft, upBottomRight, downTopLeft, downBottomRight;
    } frames[] = {
        {face, dark, dark, face},        // bbDark
        {light, shadow, shadow, light},  // bbLight
        {light, dark, dark, light},      // bbMono
    };
    const auto &colors = frames[FButtonBorder];
    QRect frame;
    if (FFillColor != clNone) {
        frame = rect();
        painter.fillRect(frame, SystemColor(this, FFillColor));
    } else {
        frame = ImageRect().adjusted(-FSpacing, -FSpacing, FSpacing, FSpacing);
    }
    const bool down = FDown || FPressed;
    DrawFrame3D(painter, frame, down ? colors.downTopLeft : colors.upTopLeft,
                down ? colors.downBottomRight : colors.upBottomRight);
}

void TVxCustomLookOutButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    DrawButtonFrame(painter);
    const QPixmap image = Image();
    QRect imageRect = ImageRect();
    if (FDown || FPressed)
        imageRect.translate(1, 1);
    if (!image.isNull())
        painter.drawPixmap(imageRect, image);
    painter.setFont(FMouseOver ? FHighlightFont : font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QRect text = TextRect();
    if (FImageSize == isSmall) {
        const QString elided = painter.fontMetrics().elidedText(FCaption, Qt::ElideRight, text.width());
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
    } else {
        const QString elided = painter.fontMetrics().elidedText(FCaption, Qt::ElideRight, text.width() * 2);
        painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, elided);
    }
}

void TVxCustomLookOutButton::mousePressEvent(QMouseEvent *event)
{
    TVxExGraphicControl::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        FPressed = true;
        update();
    } else if (event->button() == Qt::RightButton && FPopupMenu) {
        FPopupMenu->popup(event->globalPosition().toPoint());
    }
}

void TVxCustomLookOutButton::mouseReleaseEvent(QMouseEvent *event)
{
    TVxExGraphicControl::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !FPressed)
        return;
    FPressed = false;
    if (rect().contains(event->position().toPoint()) && isEnabled()) {
        if (FStayDown)
            SetDown(true);
        emit OnClick(this);
    }
    update();
}

void TVxCustomLookOutButton::MouseEnter(QWidget *control)
{
    TVxExGraphicControl::MouseEnter(control);
    update();
}

void TVxCustomLookOutButton::MouseLeave(QWidget *control)
{
    TVxExGraphicControl::MouseLeave(control);
    update();
}
