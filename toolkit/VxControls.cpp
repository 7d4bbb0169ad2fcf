#include "toolkit/VxControls.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOption>
#include <QToolTip>

QColor ColorToRGB(TColor color, const QPalette &palette)
{
    if (color & 0x80000000u) {
        struct {
            TColor color;
            QPalette::ColorGroup group;
            QPalette::ColorRole role;
        } const system[] = {
            {clActiveCaption, QPalette::Active, QPalette::Highlight},
            {clWindow, QPalette::Active, QPalette::Base},
            {clWindowText, QPalette::Active, QPalette::Text},
            {clHighlight, QPalette::Active, QPalette::Highlight},
            {clHighlightText, QPalette::Active, QPalette::HighlightedText},
            {clBtnFace, QPalette::Active, QPalette::Button},
            {clBtnShadow, QPalette::Active, QPalette::Dark},
            {clGrayText, QPalette::Disabled, QPalette::Text},
            {clBtnText, QPalette::Active, QPalette::ButtonText},
            {clBtnHighlight, QPalette::Active, QPalette::Light},
            {cl3DDkShadow, QPalette::Active, QPalette::Shadow},
            {cl3DLight, QPalette::Active, QPalette::Midlight},
            {clInfoText, QPalette::Active, QPalette::ToolTipText},
            {clInfoBk, QPalette::Active, QPalette::ToolTipBase},
        };
        for (const auto &each : system)
            if (each.color == color)
                return palette.color(each.group, each.role);
        return palette.color(QPalette::Window);
    }
    if (color == clNone || color == clDefault)
        return {};
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QColor TVxExControl::ResolvedHintColor() const
{
    if (FHintColor == clDefault)
        for (QWidget *parent = FSelf->parentWidget(); parent; parent = parent->parentWidget())
            if (const auto *control = dynamic_cast<const TVxExControl *>(parent))
                return control->ResolvedHintColor();
    if (FHintColor == clDefault || FHintColor == clNone)
        return QToolTip::palette().color(QPalette::ToolTipBase);
    return ColorToRGB(FHintColor, FSelf->palette());
}

bool TVxExControl::PassOn()
{
    if (FPending) {
        QEvent *event = FPending;
        FPending = nullptr;
        FPendingResult = PlatformEvent(event);
    }
    return FPendingResult;
}

// Whether the control keeps a key the window would take as a shortcut; the widget's own answer
// stays in the event.
bool TVxExControl::WantKey(int, Qt::KeyboardModifiers, const QString &)
{
    PassOn();
    return false;
}

bool TVxExControl::HitTest(int x, int y)
{
    return FSelf->rect().contains(x, y);
}

void TVxExControl::FocusChanged(QWidget *)
{
    PassOn();
}

void TVxExControl::ParentColorChanged()
{
    PassOn();
    FireParentColorChanged();
}

bool TVxExControl::HintShow(THintInfo &info)
{
    info.HintColor = ResolvedHintColor();
    return false;
}

void TVxExControl::MouseEnter(QWidget *)
{
    FMouseOver = true;
    FireMouseEnter();
    PassOn();
}

void TVxExControl::MouseLeave(QWidget *)
{
    FMouseOver = false;
    PassOn();
    FireMouseLeave();
}

void TVxExControl::DoSetFocus(QWidget *)
{
    PassOn();
}

void TVxExControl::DoKillFocus(QWidget *)
{
    PassOn();
}

bool TVxExControl::DispatchEvent(QEvent *event)
{
    // A nested event (a handler that repaints at once) must not take the outer one's place.
    QEvent *const outer = FPending;
    const bool outerResult = FPendingResult;
    FPending = event;
    FPendingResult = false;
    const bool ownFont = FSelf->testAttribute(Qt::WA_SetFont);
    const bool ownPalette = FSelf->testAttribute(Qt::WA_SetPalette);
    switch (event->type()) {
    case QEvent::Enter:
        MouseEnter(FSelf);
        break;
    case QEvent::Leave:
        MouseLeave(FSelf);
        break;
    case QEvent::EnabledChange:
        EnabledChanged();
        break;
    case QEvent::FontChange:
        ownFont ? FontChanged() : ParentFontChanged();
        break;
    case QEvent::PaletteChange:
        ownPalette ? ColorChanged() : ParentColorChanged();
        break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        PassOn();
        VisibleChanged();
        break;
    case QEvent::FocusIn:
        DoSetFocus(QApplication::focusWidget() == FSelf ? nullptr : QApplication::focusWidget());
        FocusChanged(FSelf);
        break;
    case QEvent::FocusOut:
        DoKillFocus(QApplication::focusWidget());
        FocusChanged(QApplication::focusWidget());
        break;
    case QEvent::Move:
    case QEvent::Resize:
        PassOn();
        BoundsChanged();
        break;
    case QEvent::ShortcutOverride: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (WantKey(key->key(), key->modifiers(), key->text())) {
            PassOn();
            event->accept();
            FPendingResult = true;
        }
        break;
    }
    case QEvent::ToolTip: {
        auto *help = static_cast<QHelpEvent *>(event);
        THintInfo info{FSelf, help->pos(), FSelf->toolTip(), {}};
        if (HintShow(info) || info.HintStr.isEmpty()) {
            QToolTip::hideText();
            FPending = nullptr;
            FPendingResult = true;
            break;
        }
        // The tip takes the palette when it is made; every other tip keeps the application's.
        const QPalette application = QToolTip::palette();
        if (info.HintColor.isValid() && info.HintColor != application.color(QPalette::ToolTipBase)) {
            QPalette palette = application;
            palette.setColor(QPalette::ToolTipBase, info.HintColor);
            QToolTip::hideText();
            QToolTip::setPalette(palette);
            QToolTip::showText(help->globalPos(), info.HintStr, FSelf);
            QToolTip::setPalette(application);
        } else {
            QToolTip::showText(help->globalPos(), info.HintStr, FSelf);
        }
        FPending = nullptr;
        FPendingResult = true;
        break;
    }
    default:
        break;
    }
    const bool result = PassOn();
    FPending = outer;
    FPendingResult = outerResult;
    return result;
}

TVxExGraphicControl::TVxExGraphicControl(QWidget *parent) : QWidget(parent), TVxExControl(this)
{
    setFocusPolicy(Qt::NoFocus);
}

TVxExCustomControl::TVxExCustomControl(QWidget *parent) : QWidget(parent), TVxExControl(this) {}

TVxExSpeedButton::TVxExSpeedButton(QWidget *parent) : QToolButton(parent), TVxExControl(this)
{
    setFocusPolicy(Qt::NoFocus);
}

bool DrawThemedFrameControl(QPainter &painter, const QWidget *widget, const QRect &rect, int type, int state)
{
    QStyle *style = widget ? widget->style() : QApplication::style();
    QStyleOption option;
    if (widget)
        option.initFrom(widget);
    option.rect = rect;
    option.state = QStyle::State_None;
    if (!(state & DFCS_INACTIVE))
        option.state |= QStyle::State_Enabled;
    if (state & DFCS_PUSHED)
        option.state |= QStyle::State_Sunken;
    else
        option.state |= QStyle::State_Raised;
    if (state & DFCS_HOT)
        option.state |= QStyle::State_MouseOver;
    if (state & DFCS_CHECKED)
        option.state |= QStyle::State_On;
    else
        option.state |= QStyle::State_Off;
    if (type == DFC_SCROLL) {
        const QStyle::PrimitiveElement arrows[] = {QStyle::PE_IndicatorArrowUp, QStyle::PE_IndicatorArrowDown,
                                                   QStyle::PE_IndicatorArrowLeft, QStyle::PE_IndicatorArrowRight};
        const int kind = state & 0xF;
        if (kind == DFCS_SCROLLSIZEGRIP) {
            QStyleOptionSizeGrip grip;
            static_cast<QStyleOption &>(grip) = option;
            grip.corner = Qt::BottomRightCorner;
            style->drawControl(QStyle::CE_SizeGrip, &grip, &painter, widget);
            return true;
        }
        if (kind > DFCS_SCROLLRIGHT)
            return false;
        if (!(state & DFCS_FLAT) || (state & DFCS_HOT))
            style->drawPrimitive(QStyle::PE_PanelButtonTool, &option, &painter, widget);
        style->drawPrimitive(arrows[kind], &option, &painter, widget);
        return true;
    }
    if (type == DFC_BUTTON) {
        const int kind = state & 0x1F;
        if (kind == DFCS_BUTTONPUSH) {
            QStyleOptionButton button;
            static_cast<QStyleOption &>(button) = option;
            if (state & DFCS_FLAT)
                button.features |= QStyleOptionButton::Flat;
            style->drawControl(QStyle::CE_PushButtonBevel, &button, &painter, widget);
        } else if (kind == DFCS_BUTTONRADIO) {
            style->drawPrimitive(QStyle::PE_IndicatorRadioButton, &option, &painter, widget);
        } else if (kind == DFCS_BUTTONCHECK) {
            style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, widget);
        } else {
            return false;
        }
        return true;
    }
    return false;
}

void DrawThemedBorder(QPainter &painter, const QWidget *widget, const QRect &rect)
{
    QStyle *style = widget ? widget->style() : QApplication::style();
    QStyleOptionFrame frame;
    if (widget)
        frame.initFrom(widget);
    frame.rect = rect;
    frame.lineWidth = 2;
    frame.state |= QStyle::State_Sunken;
    painter.save();
    const QRegion ring = QRegion(rect) - QRegion(rect.adjusted(2, 2, -2, -2));
    painter.setClipRegion(ring);
    style->drawPrimitive(QStyle::PE_FrameLineEdit, &frame, &painter, widget);
    painter.restore();
}

void DrawFrame3D(QPainter &painter, QRect &rect, const QColor &topLeft, const QColor &bottomRight)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.fillRect(rect.left(), rect.top(), rect.width(), 1, topLeft);
    painter.fillRect(rect.left(), rect.top(), 1, rect.height(), topLeft);
    painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, bottomRight);
    painter.fillRect(rect.right(), rect.top(), 1, rect.height(), bottomRight);
    rect.adjust(1, 1, -1, -1);
}

void DrawFlatBorder(QPainter &painter, const QRect &rect, bool hot, const QPalette &palette, const QColor &color)
{
    QRect ring = rect;
    const QColor outer = hot ? palette.color(QPalette::Dark) : color;
    const QColor inner = hot ? palette.color(QPalette::Light) : color;
    DrawFrame3D(painter, ring, outer, outer);
    DrawFrame3D(painter, ring, inner, inner);
}
