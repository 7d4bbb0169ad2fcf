#include "toolkit/VxGradient.h"
#include "toolkit/VxTypes.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Halves go to the even neighbour, as the colour bands were always rounded.
int RoundEven(double value)
{
    const double down = std::floor(value);
    const double rest = value - down;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(down, 2.0) != 0.0))
        return int(down) + 1;
    return int(down);
}

int Channel(int start, int end, int n, int i)
{
    const double step = double(end - start) / n;
    return std::clamp(RoundEven(start + i * step), 0, 255);
}

} // namespace

QRgb GradientBandColor(QRgb start, QRgb end, int n, int i)
{
    n = std::max(n, 1);
    return qRgb(Channel(qRed(start), qRed(end), n, i), Channel(qGreen(start), qGreen(end), n, i),
                Channel(qBlue(start), qBlue(end), n, i));
}

QList<TVxGradientBand> GradientBands(TVxGradientStyle style, QRgb start, QRgb end, int steps, int width, int height)
{
    QList<TVxGradientBand> bands;
    if (width <= 0 || height <= 0)
        return bands;
    const QRect whole(0, 0, width, height);
    int n = std::max(steps, 1);
    switch (style) {
    case grFilled:
        bands.append({TVxGradientBand::Fill, whole, start});
        break;
    case grHorizontal:
    case grVertical: {
        const bool horizontal = style == grHorizontal;
        const int length = horizontal ? width : height;
        n = std::max(std::min(n, length), 1);
        const double band = double(length) / n;
        // Band n starts at the far edge and is never seen; it is kept so the count matches.
        for (int i = 0; i <= n; ++i) {
            const int from = RoundEven(i * band);
            const int to = RoundEven((i + 1) * band);
            const QRect rect = horizontal ? QRect(from, 0, to - from, height) : QRect(0, from, width, to - from);
            bands.append({TVxGradientBand::Fill, rect, GradientBandColor(start, end, n, i)});
        }
        break;
    }
    case grEllipse:
    case grPyramid:
    case grMount: {
        bands.append({TVxGradientBand::Fill, whole, start});
        n = std::max(std::min({n, width / 2, height / 2}), 1);
        const double xStep = double(width) / n / 2;
        const double yStep = double(height) / n / 2;
        const TVxGradientBand::TShape shape = style == grEllipse  ? TVxGradientBand::Ellipse
                                              : style == grPyramid ? TVxGradientBand::Rectangle
                                                                   : TVxGradientBand::RoundRect;
        for (int i = 0; i <= n; ++i) {
            const int x = RoundEven(i * xStep);
            const int y = RoundEven(i * yStep);
            bands.append({shape, QRect(QPoint(x, y), QPoint(width - x - 1, height - y - 1)),
                          GradientBandColor(start, end, n, i)});
        }
        break;
    }
    }
    return bands;
}

TVxGradient::TVxGradient(QWidget *parent) : TVxExGraphicControl(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TVxGradient::Invalidate()
{
    FBufferWidth = 0;
    update();
}

void TVxGradient::SetStyle(TVxGradientStyle value)
{
    if (FStyle != value) {
        FStyle = value;
        Invalidate();
    }
}

void TVxGradient::SetStartColor(TColor value)
{
    if (FStartColor != value) {
        FStartColor = value;
        Invalidate();
    }
}

void TVxGradient::SetEndColor(TColor value)
{
    if (FEndColor != value) {
        FEndColor = value;
        Invalidate();
    }
}

void TVxGradient::SetSteps(int value)
{
    const auto steps = quint16(std::clamp(value, 0, 0xFFFF));
    if (FSteps != steps) {
        FSteps = steps;
        Invalidate();
    }
}

// System colours follow the palette, so a new palette makes the cached picture stale.
void TVxGradient::ColorChanged()
{
    PassOn();
    Invalidate();
}

void TVxGradient::ParentColorChanged()
{
    TVxExGraphicControl::ParentColorChanged();
    Invalidate();
}

void TVxGradient::Render()
{
    FBufferWidth = width();
    FBufferHeight = height();
    if (FBufferWidth <= 0 || FBufferHeight <= 0) {
        FBuffer = QImage();
        return;
    }
    const QRgb start = ColorToRGB(FStartColor, palette()).rgb();
    const QRgb end = ColorToRGB(FEndColor, palette()).rgb();
    FBuffer = QImage(FBufferWidth, FBufferHeight, QImage::Format_RGB32);
    FBuffer.fill(start);
    QPainter painter(&FBuffer);
    for (const TVxGradientBand &band : GradientBands(FStyle, start, end, FSteps, FBufferWidth, FBufferHeight)) {
        const QColor color = QColor::fromRgb(band.color);
        switch (band.shape) {
        case TVxGradientBand::Fill:
            painter.fillRect(band.rect, color);
            break;
        case TVxGradientBand::Ellipse:
            painter.setPen(color);
            painter.setBrush(color);
            painter.drawEllipse(band.rect);
            break;
        case TVxGradientBand::Rectangle:
            painter.fillRect(band.rect, color);
            break;
        case TVxGradientBand::RoundRect:
            painter.setPen(color);
            painter.setBrush(color);
            painter.drawRoundedRect(band.rect, band.rect.width() / 4.0, band.rect.height() / 4.0);
            break;
        }
    }
}

void TVxGradient::paintEvent(QPaintEvent *)
{
    if (width() != FBufferWidth || height() != FBufferHeight)
        Render();
    if (FBuffer.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, FBuffer);
}

TVxGradientHeaderPanel::TVxGradientHeaderPanel(QWidget *parent)
    : TVxExCustomControl(parent), FGradient(new TVxGradient(this)), FLabel(new QLabel(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    resize(285, 30);
    // The children only show; the panel takes every click and key, so the header is one control.
    FGradient->setAttribute(Qt::WA_TransparentForMouseEvents);
    FLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    FGradient->move(0, 0);
    FGradient->SetStartColor(clBlack);
    FGradient->SetEndColor(clWhite);
    FGradient->SetSteps(100);
    FGradient->setGeometry(rect());
    FLabel->setAutoFillBackground(false);
    FLabel->move(FLabelLeft, 8);
    ApplyLabelInk();
    FLabel->setText(VxConsts::SPutYourTextHere);
    AdjustLabelWidth();
}

TColor TVxGradientHeaderPanel::GradientStartColor() const { return FGradient->StartColor(); }
void TVxGradientHeaderPanel::SetGradientStartColor(TColor value)
{
    FGradient->SetStartColor(value);
    ApplyLabelInk();
}
TColor TVxGradientHeaderPanel::GradientEndColor() const { return FGradient->EndColor(); }
void TVxGradientHeaderPanel::SetGradientEndColor(TColor value) { FGradient->SetEndColor(value); }
int TVxGradientHeaderPanel::GradientSteps() const { return FGradient->Steps(); }
void TVxGradientHeaderPanel::SetGradientSteps(int value) { FGradient->SetSteps(value); }
TVxGradientStyle TVxGradientHeaderPanel::GradientStyle() const { return FGradient->Style(); }
void TVxGradientHeaderPanel::SetGradientStyle(TVxGradientStyle value) { FGradient->SetStyle(value); }
QCursor TVxGradientHeaderPanel::GradientCursor() const { return FGradient->cursor(); }
QString TVxGradientHeaderPanel::GradientHint() const { return FGradient->toolTip(); }
void TVxGradientHeaderPanel::SetGradientHint(const QString &value) { FGradient->setToolTip(value); }
int TVxGradientHeaderPanel::LabelTop() const { return FLabel->y(); }
QCursor TVxGradientHeaderPanel::LabelCursor() const { return FLabel->cursor(); }
QString TVxGradientHeaderPanel::LabelHint() const { return FLabel->toolTip(); }
void TVxGradientHeaderPanel::SetLabelHint(const QString &value) { FLabel->setToolTip(value); }
QString TVxGradientHeaderPanel::LabelCaption() const { return FLabel->text(); }
QFont TVxGradientHeaderPanel::LabelFont() const { return FLabel->font(); }
Qt::Alignment TVxGradientHeaderPanel::LabelAlignment() const { return FLabel->alignment(); }

// The mouse never reaches the children, so the panel shows the cursor the gradient asks for.
void TVxGradientHeaderPanel::SetGradientCursor(const QCursor &value)
{
    FGradient->setCursor(value);
    setCursor(value);
}

void TVxGradientHeaderPanel::SetLabelCursor(const QCursor &value)
{
    FLabel->setCursor(value);
    setMouseTracking(true);
}

void TVxGradientHeaderPanel::mouseMoveEvent(QMouseEvent *event)
{
    TVxExCustomControl::mouseMoveEvent(event);
    const bool overLabel = FLabel->geometry().contains(event->position().toPoint());
    setCursor(overLabel ? FLabel->cursor() : FGradient->cursor());
}

void TVxGradientHeaderPanel::SetLabelCaption(const QString &value)
{
    FLabel->setText(value);
    AdjustLabelWidth();
}

void TVxGradientHeaderPanel::SetLabelLeft(int value)
{
    FLabelLeft = std::max(value, 0);
    FLabel->move(FLabelLeft, FLabel->y());
    AdjustLabelWidth();
}

void TVxGradientHeaderPanel::SetLabelTop(int value)
{
    FLabel->move(FLabel->x(), std::max(value, 0));
}

void TVxGradientHeaderPanel::SetLabelColor(TColor value)
{
    FLabelColor = value;
    const bool transparent = value == clNone;
    FLabel->setAutoFillBackground(!transparent);
    if (!transparent) {
        QPalette palette = FLabel->palette();
        palette.setColor(QPalette::Window, ColorToRGB(value, palette));
        FLabel->setPalette(palette);
    }
    ApplyLabelInk();
}

void TVxGradientHeaderPanel::SetLabelFont(const QFont &value)
{
    FLabel->setFont(value);
    AdjustLabelWidth();
}

void TVxGradientHeaderPanel::SetLabelAlignment(Qt::Alignment value)
{
    FLabel->setAlignment(value);
    AdjustLabelWidth();
}

void TVxGradientHeaderPanel::SetShowHint(bool value)
{
    FHint = value;
}

void TVxGradientHeaderPanel::AdjustLabelWidth()
{
    const int left = FLabel->x();
    FLabel->adjustSize();
    FLabel->move(left, FLabel->y());
    const int room = width() - 2 * FLabelLeft; // the gradient fills the panel
    if (room > FLabel->width())
        FLabel->setGeometry(FLabelLeft, FLabel->y(), room, FLabel->height());
    else if (FLabel->width() > room)
        FLabel->move((width() - FLabel->width()) / 2, FLabel->y());
}

// The title is white, but on the desktop's selection colour it takes the text colour the desktop
// draws there: a light selection (a high-contrast theme) would swallow white letters.
void TVxGradientHeaderPanel::ApplyLabelInk()
{
    const TColor behind = FLabelColor == clNone ? FGradient->StartColor() : FLabelColor;
    const bool selection = behind == clActiveCaption || behind == clHighlight;
    QPalette colours = FLabel->palette();
    colours.setColor(QPalette::WindowText,
                     selection ? palette().color(QPalette::Active, QPalette::HighlightedText) : QColor(Qt::white));
    FLabel->setPalette(colours);
}

void TVxGradientHeaderPanel::ColorChanged()
{
    TVxExCustomControl::ColorChanged();
    ApplyLabelInk();
}

void TVxGradientHeaderPanel::ParentColorChanged()
{
    TVxExCustomControl::ParentColorChanged();
    ApplyLabelInk();
}

void TVxGradientHeaderPanel::BoundsChanged()
{
    FGradient->setGeometry(rect());
    AdjustLabelWidth();
}

bool TVxGradientHeaderPanel::HintShow(THintInfo &info)
{
    TVxExCustomControl::HintShow(info);
    if (!FHint)
        return true;
    const bool overLabel = FLabel->geometry().contains(info.CursorPos);
    const QString hint = overLabel ? FLabel->toolTip() : FGradient->toolTip();
    if (!hint.isEmpty())
        info.HintStr = hint;
    return info.HintStr.isEmpty();
}

void TVxGradientHeaderPanel::mousePressEvent(QMouseEvent *event)
{
    TVxExCustomControl::mousePressEvent(event);
    FPressed = event->button() == Qt::LeftButton;
    if (focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
}

void TVxGradientHeaderPanel::mouseReleaseEvent(QMouseEvent *event)
{
    TVxExCustomControl::mouseReleaseEvent(event);
    const bool click = FPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    FPressed = false;
    if (click && isEnabled())
        emit OnClick(this);
}
