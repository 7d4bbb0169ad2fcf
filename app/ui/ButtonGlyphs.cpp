#include "app/ui/ButtonGlyphs.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QPolygonF>

#include <initializer_list>

namespace ButtonGlyphs {

namespace {

// Drawn on a 20 x 20 grid and scaled to the rectangle asked for.
constexpr qreal Grid = 20;

QPainterPath Polygon(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(corners)));
    path.closeSubpath();
    return path;
}

QPainterPath Arrow(bool forward)
{
    const QPainterPath path = Polygon({{3, 10}, {10, 3}, {10, 7}, {17, 7}, {17, 13}, {10, 13}, {10, 17}});
    if (!forward)
        return path;
    return QTransform(-1, 0, 0, 1, Grid, 0).map(path);
}

void PaintSound(QPainter &p, const QColor &ink)
{
    p.fillPath(Polygon({{2, 7.5}, {6, 7.5}, {11, 3}, {11, 17}, {6, 12.5}, {2, 12.5}}), ink);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    // Two sound waves around the cone's mouth.
    p.drawArc(QRectF(8.5, 6.5, 7, 7), -50 * 16, 100 * 16);
    p.drawArc(QRectF(6, 3, 13, 14), -50 * 16, 100 * 16);
}

void PaintCopy(QPainter &p, const QColor &ink, const QColor &paper)
{
    p.setPen(QPen(ink, 1.2));
    p.setBrush(paper);
    p.drawRect(QRectF(2.5, 1.5, 10, 12));
    p.drawRect(QRectF(7.5, 6.5, 10, 12));
    p.setPen(QPen(ink, 1));
    for (qreal y : {10.0, 12.5, 15.0})
        p.drawLine(QPointF(10, y), QPointF(15, y));
}

class TGlyphEngine : public QIconEngine
{
public:
    explicit TGlyphEngine(TGlyph glyph) : FGlyph(glyph) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const QPalette palette = QApplication::palette();
        const QPalette::ColorGroup group = mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        const QColor ink = palette.color(group, QPalette::ButtonText);
        const QColor paper = palette.color(group, QPalette::Base);
        const qreal side = qMin(rect.width(), rect.height());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / Grid, side / Grid);
        switch (FGlyph) {
        case TGlyph::Back:
        case TGlyph::Next:
            painter->fillPath(Arrow(FGlyph == TGlyph::Next), ink);
            break;
        case TGlyph::Sound:
            PaintSound(*painter, ink);
            break;
        case TGlyph::Copy:
            PaintCopy(*painter, ink, paper);
            break;
        }
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QString key() const override { return QStringLiteral("glyph"); }
    QIconEngine *clone() const override { return new TGlyphEngine(FGlyph); }

private:
    TGlyph FGlyph;
};

} // namespace

QIcon Icon(TGlyph glyph)
{
    return QIcon(new TGlyphEngine(glyph));
}

} // namespace ButtonGlyphs
