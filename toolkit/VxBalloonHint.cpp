#include "toolkit/VxBalloonHint.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

namespace {

int Bottom(const QRect &rect)
{
    return rect.y() + rect.height();
}

int Right(const QRect &rect)
{
    return rect.x() + rect.width();
}

bool IsDown(TVxBalloonPosition position)
{
    return position == bpLeftDown || position == bpRightDown;
}

bool IsLeft(TVxBalloonPosition position)
{
    return position == bpLeftDown || position == bpLeftUp;
}

TVxBalloonPosition Position(bool left, bool down)
{
    return left ? (down ? bpLeftDown : bpLeftUp) : (down ? bpRightDown : bpRightUp);
}

TVxBalloonPlacement Place(const TVxBalloonLayout &layout, const QPoint &anchor, TVxBalloonPosition position)
{
    TVxBalloonPlacement placement;
    placement.position = position;
    const int boxWidth = layout.roundRect.width();
    const int boxHeight = layout.roundRect.height();
    // "Down" balloons hang below the anchor with the stem on top; everything moves down.
    const int shift = IsDown(position) ? layout.tipHeight - 1 : 0;
    placement.box = layout.roundRect.translated(0, shift);
    placement.iconPos = layout.iconPos + QPoint(0, shift);
    placement.headerRect = layout.headerRect.translated(0, shift);
    placement.messageRect = layout.messageRect.translated(0, shift);
    placement.closeButtonRect = layout.closeButtonRect.translated(0, shift);
    const int stemLeft = IsLeft(position) ? boxWidth - layout.tipDelta - layout.tipWidth : layout.tipDelta;
    const int tipX = IsLeft(position) ? stemLeft + layout.tipWidth : stemLeft;
    const int baseY = IsDown(position) ? layout.tipHeight : boxHeight - 1;
    const int tipY = IsDown(position) ? 0 : boxHeight + layout.tipHeight - 1;
    placement.stem = QPolygon({QPoint(stemLeft, baseY), QPoint(stemLeft + layout.tipWidth, baseY), QPoint(tipX, tipY)});
    placement.window = QRect(anchor - QPoint(tipX, tipY), QSize(boxWidth, boxHeight + layout.tipHeight));
    return placement;
}

QPixmap DefaultIcon(TVxIconKind kind, const TVxBalloonHint &hint)
{
    QStyle *style = QApplication::style();
    switch (kind) {
    case ikNone:
        return {};
    case ikCustom: {
        const int index = hint.DefaultImageIndex();
        return index >= 0 && index < hint.Images().size() ? hint.Images()[index] : QPixmap();
    }
    case ikApplication:
        if (!QApplication::windowIcon().isNull())
            return QApplication::windowIcon().pixmap(16, 16);
        return style->standardIcon(QStyle::SP_DesktopIcon).pixmap(16, 16);
    case ikError:
        return style->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(16, 16);
    case ikInformation:
        return style->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16);
    case ikQuestion:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(16, 16);
    case ikWarning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16);
    }
    return {};
}

// The hint a widget gives at pos: its own, a tab's, or the nearest parent's.
QString HintAt(QWidget *&widget, const QPoint &globalPos)
{
    for (QWidget *each = widget; each; each = each->isWindow() ? nullptr : each->parentWidget()) {
        QString text;
        if (auto *tabs = qobject_cast<QTabBar *>(each))
            text = tabs->tabToolTip(tabs->tabAt(tabs->mapFromGlobal(globalPos)));
        if (text.isEmpty())
            text = each->toolTip();
        if (!text.isEmpty()) {
            widget = each;
            return text;
        }
    }
    return {};
}

} // namespace

bool IsMultiLineMessage(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool breaks = c == u'\r' || c == u'\n' || c == QChar(0x2028) || c == QChar(0x2029);
        if (breaks) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            // A break that ends the text opens no second line.
            return i + 1 < text.size();
        }
    }
    return false;
}

TVxBalloonLayout CalcBalloonLayout(const TVxBalloonContent &measured)
{
    // Nothing measured is nothing wide, not -1.
    TVxBalloonContent content = measured;
    for (QSize *size : {&content.headerSize, &content.messageSize, &content.imageSize, &content.closeButtonSize})
        *size = size->expandedTo(QSize(0, 0));
    TVxBalloonLayout layout;
    layout.iconPos = QPoint(12, 12);
    layout.headerRect = QRect(QPoint(12, 9), content.headerSize);
    layout.messageRect = QRect(QPoint(12, Bottom(layout.headerRect) + 3), content.messageSize);
    if (content.imageSize.width() > 0) {
        layout.headerRect.translate(content.imageSize.width() + 5, 0);
        layout.messageRect.translate(content.imageSize.width() + 5, 0);
    }
    const int stems[] = {12, 19, 21};
    const int k = content.headerSize.height() == 0 ? 0 : content.multiLine ? 2 : 1;
    layout.tipHeight = stems[k];
    layout.tipWidth = stems[k];
    layout.tipDelta = 16;
    if (content.closeButtonSize.width() > 0)
        layout.headerRect.setWidth(layout.headerRect.width() + content.closeButtonSize.width());
    const int right = std::max(Right(layout.messageRect), Right(layout.headerRect)) + 13;
    const int bottom = std::max(Bottom(layout.messageRect), Bottom(layout.headerRect)) + 10;
    layout.roundRect = QRect(0, 0, right, bottom);
    if (content.closeButtonSize.width() > 0)
        layout.closeButtonRect = QRect(QPoint(right - 6 - content.closeButtonSize.width(), 6), content.closeButtonSize);
    return layout;
}

TVxBalloonPosition AutoBalloonPosition(const QPoint &anchor, const QRect &workArea)
{
    const QPoint centre(workArea.x() + workArea.width() / 2, workArea.y() + workArea.height() / 2);
    return Position(anchor.x() < centre.x(), anchor.y() >= centre.y());
}

TVxBalloonPlacement PlaceBalloon(const TVxBalloonLayout &layout, const QPoint &anchor, const QRect &workArea,
                                 TVxBalloonPosition wanted)
{
    TVxBalloonPosition position = wanted == bpAuto ? AutoBalloonPosition(anchor, workArea) : wanted;
    TVxBalloonPlacement placement = Place(layout, anchor, position);
    const auto flip = [&](bool needed, bool left, bool down) {
        if (needed) {
            position = Position(left, down);
            placement = Place(layout, anchor, position);
        }
    };
    const auto leftTest = [&] {
        flip(placement.window.x() < workArea.x() && IsLeft(position), false, IsDown(position));
    };
    const auto topTest = [&] {
        flip(placement.window.y() < workArea.y() && !IsDown(position), IsLeft(position), true);
    };
    flip(Bottom(placement.window) > Bottom(workArea) && IsDown(position), IsLeft(position), false);
    flip(Right(placement.window) > Right(workArea) && !IsLeft(position), true, IsDown(position));
    leftTest();
    topTest();
    leftTest();
    topTest();
    return placement;
}

QPainterPath BalloonPath(const TVxBalloonPlacement &placement)
{
    QPainterPath box;
    box.addRoundedRect(QRectF(placement.box).adjusted(0.5, 0.5, -0.5, -0.5), 5.5, 5.5);
    QPainterPath stem;
    stem.addPolygon(QPolygonF(placement.stem));
    stem.closeSubpath();
    return box.united(stem).simplified();
}

QRegion BalloonRegion(const TVxBalloonPlacement &placement)
{
    // Every pixel the painted outline touches, its frame line included.
    QImage image(placement.window.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::black);
        painter.drawPath(BalloonPath(placement));
    }
    QRegion region;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            if (qAlpha(line[x]) == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && qAlpha(line[x]) != 0)
                ++x;
            region += QRect(start, y, x - start, 1);
        }
    }
    // The pointer rests on the stem's tip, give or take a pixel of rounding on a scaled screen:
    // over the balloon it would leave the control the balloon points at, which closes the balloon.
    const QPoint tip = placement.stem.point(2);
    return region - QRegion(tip.x() - 1, tip.y() - 1, 3, 3);
}

// ---------------------------------------------------------------------------------------------

TVxBalloonWindow::TVxBalloonWindow()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput)
{
    // The stem's tip lies under the mouse; the pointer must stay with the widget it points at.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName(QStringLiteral("VxBalloonWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setPalette(QToolTip::palette());
}

QFont TVxBalloonWindow::MessageFont() const
{
    return QToolTip::font();
}

QFont TVxBalloonWindow::HeaderFont() const
{
    QFont bold = QToolTip::font();
    bold.setBold(true);
    return bold;
}

int TVxBalloonWindow::TextFlags() const
{
    return Qt::TextWordWrap | Qt::TextExpandTabs | (isRightToLeft() ? Qt::AlignRight : Qt::AlignLeft);
}

void TVxBalloonWindow::ActivateHint(const QPoint &anchor, const QString &message, const TVxBalloonHint &hint,
                                    const QColor &background)
{
    if (isVisible())
        hide();
    const int options = hint.ApplicationHintOptions();
    FIconKind = hint.DefaultIcon();
    FShowIcon = (options & ahShowIconInHint) && FIconKind != ikNone &&
                !(FIconKind == ikCustom && hint.DefaultImageIndex() < 0);
    FShowHeader = (options & ahShowHeaderInHint) && !hint.DefaultHeader().isEmpty();
    FHeader = hint.DefaultHeader();
    FMsg = message;
    FIcon = FShowIcon ? DefaultIcon(FIconKind, hint) : QPixmap();
    FBackground = background.isValid() ? background : QToolTip::palette().color(QPalette::ToolTipBase);

    const QScreen *screen = QGuiApplication::screenAt(anchor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int width = hint.MaxWidth() > 0 ? hint.MaxWidth() : std::max(workArea.width() / 2, 100);
    TVxBalloonContent content;
    const QRect room(0, 0, width, 0x7FFF);
    content.messageSize = QFontMetrics(MessageFont()).boundingRect(room, TextFlags(), FMsg).size();
    if (FShowHeader)
        content.headerSize = QFontMetrics(HeaderFont()).boundingRect(room, TextFlags(), FHeader).size();
    if (FShowIcon)
        content.imageSize = FIconKind == ikCustom ? FIcon.deviceIndependentSize().toSize() : QSize(16, 16);
    content.multiLine = IsMultiLineMessage(FMsg);
    FPlacement = PlaceBalloon(CalcBalloonLayout(content), anchor, workArea, hint.DefaultBalloonPosition());
    setGeometry(FPlacement.window);
    setMask(BalloonRegion(FPlacement));
    show();
    update();
}

void TVxBalloonWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), FBackground);
    const QColor text = QToolTip::palette().color(QPalette::ToolTipText);
    painter.setPen(QPen(text, 1));
    painter.setBrush(FBackground);
    painter.drawPath(BalloonPath(FPlacement));
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (FShowIcon && !FIcon.isNull())
        painter.drawPixmap(QRect(FPlacement.iconPos, QSize(16, 16)), FIcon);
    painter.setPen(text);
    painter.setFont(MessageFont());
    painter.drawText(FPlacement.messageRect, TextFlags(), FMsg);
    if (FShowHeader) {
        painter.setFont(HeaderFont());
        painter.drawText(FPlacement.headerRect, TextFlags(), FHeader);
    }
}

// ---------------------------------------------------------------------------------------------

TVxBalloonHint::TVxBalloonHint(QObject *owner) : QObject(owner), FTimer(new QTimer(this))
{
    FTimer->setSingleShot(true);
    connect(FTimer, &QTimer::timeout, this, &TVxBalloonHint::CancelHint);
    TGlobalCtrl::Instance()->Add(this);
}

TVxBalloonHint::~TVxBalloonHint()
{
    if (auto *ctrl = qApp ? qApp->findChild<TGlobalCtrl *>(QString(), Qt::FindDirectChildrenOnly) : nullptr)
        ctrl->Remove(this);
}

bool TVxBalloonHint::UseBalloonAsApplicationHint() const
{
    return TGlobalCtrl::Instance()->UseBalloonAsApplicationHint();
}

void TVxBalloonHint::SetUseBalloonAsApplicationHint(bool value)
{
    TGlobalCtrl::Instance()->SetUseBalloonAsApplicationHint(value);
}

TVxBalloonWindow *TVxBalloonHint::ApplicationBalloon() const
{
    return FActive ? FHint.get() : nullptr;
}

void TVxBalloonHint::CancelHint()
{
    if (!FActive)
        return;
    FActive = false;
    FTimer->stop();
    FAnchorWidget = nullptr;
    if (FHint)
        FHint->hide();
    emit OnClose(this);
}

bool TVxBalloonHint::ShowApplicationHint(QWidget *widget, const QPoint &globalPos)
{
    QString text = HintAt(widget, globalPos);
    QColor color;
    if (auto *control = dynamic_cast<TVxExControl *>(widget)) {
        THintInfo info{widget, widget->mapFromGlobal(globalPos), text, {}};
        if (control->HintShow(info))
            text.clear();
        else
            text = info.HintStr, color = info.HintColor;
    }
    if (text.isEmpty()) {
        CancelHint();
        return false;
    }
    if (Qt::mightBeRichText(text)) {
        QTextDocument document;
        document.setHtml(text);
        text = document.toPlainText();
    }
    if (!FHint)
        FHint = std::make_unique<TVxBalloonWindow>();
    FHint->ActivateHint(globalPos, text, *this, color);
    FActive = true;
    FAnchorWidget = widget;
    // As long as an ordinary tool tip of the same text would stay.
    FTimer->start(10000 + 40 * int(std::min<qsizetype>(text.size(), 100)));
    return true;
}

// ---------------------------------------------------------------------------------------------

TGlobalCtrl::TGlobalCtrl(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("VxBalloonHintControl"));
}

TGlobalCtrl *TGlobalCtrl::Instance()
{
    if (auto *ctrl = qApp->findChild<TGlobalCtrl *>(QString(), Qt::FindDirectChildrenOnly))
        return ctrl;
    return new TGlobalCtrl(qApp);
}

void TGlobalCtrl::Add(TVxBalloonHint *hint)
{
    FCtrls.append(hint);
}

void TGlobalCtrl::Remove(TVxBalloonHint *hint)
{
    FCtrls.removeIf([hint](const QPointer<TVxBalloonHint> &each) { return !each || each == hint; });
    if (FCtrls.isEmpty())
        SetUseBalloonAsApplicationHint(false);
}

TVxBalloonHint *TGlobalCtrl::MainCtrl() const
{
    for (const auto &each : FCtrls)
        if (each)
            return each;
    return nullptr;
}

void TGlobalCtrl::SetUseBalloonAsApplicationHint(bool value)
{
    if (FUseBalloonAsApplicationHint == value)
        return;
    FUseBalloonAsApplicationHint = value;
    QToolTip::hideText();
    if (TVxBalloonHint *main = MainCtrl())
        main->CancelHint();
    if (value)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool TGlobalCtrl::eventFilter(QObject *watched, QEvent *event)
{
    TVxBalloonHint *main = MainCtrl();
    if (!main || !watched->isWidgetType())
        return false;
    switch (event->type()) {
    case QEvent::ToolTip: {
        auto *help = static_cast<QHelpEvent *>(event);
        return main->ShowApplicationHint(static_cast<QWidget *>(watched), help->globalPos());
    }
    case QEvent::Leave:
        if (watched == main->FAnchorWidget)
            main->CancelHint();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
        if (main->Active() && (event->type() != QEvent::Hide || watched == main->FAnchorWidget))
            main->CancelHint();
        break;
    default:
        break;
    }
    return false;
}
