// Draws the guitar of the options page's about group, 185 x 250 pixels, leaning a little to the
// right with a few notes rising from its sound hole, and writes it as a single-frame GIF whose
// background colour is transparent.
// Usage: vx_guitargif <output file>
#include "toolkit/VxGIF.h"
#include "toolkit/VxTypes.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>

#include <cmath>
#include <cstdio>

namespace {

constexpr int Width = 185;
constexpr int Height = 250;
// The window colour the picture is drawn over; it becomes the transparent colour, so the soft
// edges blend with a light window.
const QColor Background(0xEF, 0xEF, 0xEF);

QPainterPath Body()
{
    // Lower bout, waist and upper bout of an acoustic guitar, centred on x = 0, neck joint at y = 0.
    QPainterPath path;
    path.moveTo(0, 0);
    path.cubicTo(22, 0, 36, 6, 36, 24);
    path.cubicTo(36, 38, 28, 44, 30, 54);
    path.cubicTo(33, 66, 50, 74, 50, 102);
    path.cubicTo(50, 128, 28, 140, 0, 140);
    path.cubicTo(-28, 140, -50, 128, -50, 102);
    path.cubicTo(-50, 74, -33, 66, -30, 54);
    path.cubicTo(-28, 44, -36, 38, -36, 24);
    path.cubicTo(-36, 6, -22, 0, 0, 0);
    path.closeSubpath();
    return path;
}

void DrawNote(QPainter &p, QPointF at, double size, double angle, bool pair)
{
    p.save();
    p.translate(at);
    p.rotate(angle);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 70));
    p.save();
    p.rotate(-20);
    p.drawEllipse(QPointF(0, 0), size * 0.62, size * 0.44);
    p.restore();
    const double stem = size * 2.3;
    p.drawRect(QRectF(size * 0.46, -stem, size * 0.16, stem));
    if (pair) {
        p.save();
        p.translate(size * 1.9, -size * 0.4);
        p.rotate(-20);
        p.drawEllipse(QPointF(0, 0), size * 0.62, size * 0.44);
        p.restore();
        p.drawRect(QRectF(size * 2.36, -stem - size * 0.4, size * 0.16, stem));
        QPainterPath beam;
        beam.moveTo(size * 0.46, -stem);
        beam.lineTo(size * 2.52, -stem - size * 0.4);
        beam.lineTo(size * 2.52, -stem - size * 0.0);
        beam.lineTo(size * 0.46, -stem + size * 0.4);
        beam.closeSubpath();
        p.drawPath(beam);
    } else {
        QPainterPath flag;
        flag.moveTo(size * 0.62, -stem);
        flag.cubicTo(size * 1.2, -stem + size * 0.5, size * 1.5, -stem + size * 0.9, size * 1.1, -stem + size * 1.6);
        flag.cubicTo(size * 1.2, -stem + size * 1.0, size * 0.9, -stem + size * 0.8, size * 0.62, -stem + size * 0.6);
        flag.closeSubpath();
        p.drawPath(flag);
    }
    p.restore();
}

QImage Guitar()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(Background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.translate(94, 120);
    p.rotate(14);
    p.scale(0.84, 0.84);
    // Neck: the body's joint is at y = 0; the nut at y = -86.
    QLinearGradient neck(-7, 0, 7, 0);
    neck.setColorAt(0, QColor(52, 28, 14));
    neck.setColorAt(0.5, QColor(104, 60, 30));
    neck.setColorAt(1, QColor(52, 28, 14));
    p.setBrush(neck);
    p.drawRect(QRectF(-7, -88, 14, 100));
    p.setPen(QPen(QColor(205, 205, 200), 0.9));
    for (int fret = 1; fret <= 12; ++fret) {
        const double y = -86 + 86 * (1 - std::pow(2.0, -fret / 12.0)) * 2;
        p.drawLine(QPointF(-7, y), QPointF(7, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 230, 212));
    for (int fret : {3, 5, 7, 9}) {
        const double y = -86 + 86 * (1 - std::pow(2.0, -(fret - 0.5) / 12.0)) * 2;
        p.drawEllipse(QPointF(0, y), 1.7, 1.7);
    }
    // Headstock with three tuners a side.
    QPainterPath head;
    head.moveTo(-7, -88);
    head.lineTo(-10, -124);
    head.quadTo(0, -130, 10, -124);
    head.lineTo(7, -88);
    head.closeSubpath();
    QLinearGradient headShade(-10, 0, 10, 0);
    headShade.setColorAt(0, QColor(40, 20, 10));
    headShade.setColorAt(0.5, QColor(86, 46, 22));
    headShade.setColorAt(1, QColor(40, 20, 10));
    p.setBrush(headShade);
    p.drawPath(head);
    p.setBrush(QColor(236, 230, 212));
    p.drawRect(QRectF(-7.5, -89.5, 15, 2.5));
    for (int i = 0; i < 3; ++i) {
        const double y = -95 - i * 10;
        for (int side : {-1, 1}) {
            p.setBrush(QColor(196, 190, 176));
            p.drawRoundedRect(QRectF(side > 0 ? 9 : -16, y - 2.5, 7, 5), 2, 2);
            p.setBrush(QColor(230, 226, 214));
            p.drawEllipse(QPointF(side * 5.2, y), 1.6, 1.6);
        }
    }
    // Body: spruce top with binding.
    const QPainterPath body = Body();
    QLinearGradient spruce(-50, 0, 50, 140);
    spruce.setColorAt(0, QColor(250, 216, 146));
    spruce.setColorAt(0.55, QColor(222, 168, 88));
    spruce.setColorAt(1, QColor(168, 104, 42));
    p.setBrush(spruce);
    p.setPen(QPen(QColor(60, 32, 14), 3.2));
    p.drawPath(body);
    p.setPen(QPen(QColor(238, 228, 204), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    // Grain of the top.
    p.save();
    p.setClipPath(body);
    p.setPen(QPen(QColor(190, 130, 60, 70), 0.8));
    for (double x = -48; x <= 48; x += 5.5)
        p.drawLine(QPointF(x, 0), QPointF(x + 1.5, 140));
    p.restore();
    // Pickguard, sound hole and its rosette.
    QPainterPath guard;
    guard.moveTo(10, 62);
    guard.cubicTo(30, 60, 40, 76, 34, 92);
    guard.cubicTo(28, 104, 16, 96, 14, 84);
    guard.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(66, 36, 20, 220));
    p.drawPath(guard);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(90, 52, 24), 2.2));
    p.drawEllipse(QPointF(0, 62), 19, 19);
    p.setPen(QPen(QColor(40, 110, 90), 1.2));
    p.drawEllipse(QPointF(0, 62), 16.5, 16.5);
    p.setPen(Qt::NoPen);
    QRadialGradient hole(QPointF(-3, 58), 16);
    hole.setColorAt(0, QColor(44, 26, 14));
    hole.setColorAt(1, QColor(12, 6, 2));
    p.setBrush(hole);
    p.drawEllipse(QPointF(0, 62), 14, 14);
    // Bridge with its pins and saddle.
    p.setBrush(QColor(48, 26, 12));
    p.drawRoundedRect(QRectF(-20, 104, 40, 9), 3, 3);
    p.setBrush(QColor(240, 236, 222));
    p.drawRect(QRectF(-13, 104.5, 26, 1.6));
    for (int s = 0; s < 6; ++s)
        p.drawEllipse(QPointF(-8.75 + s * 3.5, 109.5), 1.1, 1.1);
    // Strings from the nut to the bridge, the bass ones thicker.
    for (int s = 0; s < 6; ++s) {
        p.setPen(QPen(QColor(228, 226, 218), 0.5 + (5 - s) * 0.12));
        p.drawLine(QPointF(-5 + s * 2, -88), QPointF(-8.75 + s * 3.5, 105));
    }
    p.resetTransform();
    // Notes rising from the guitar.
    DrawNote(p, QPointF(146, 70), 6.5, 12, false);
    DrawNote(p, QPointF(146, 124), 6, -8, true);
    DrawNote(p, QPointF(24, 160), 5.5, -14, false);
    p.end();
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    // It only draws into an image: a build machine without a display runs it too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vx_guitargif <output file>\n");
        return 2;
    }
    try {
        TVxGIFImage gif;
        gif.AddFrame(Guitar());
        gif.SaveToData();
        // The reduced palette may hold the background only approximately: its nearest entry goes.
        const TGIFColorTable &table = gif.Frame(0).Item()->FColorMap;
        int nearest = 0, best = 1 << 30;
        for (int i = 0; i < table.Count; ++i) {
            const QColor c = QColor::fromRgb(table.Colors[i]);
            const int d = (c.red() - Background.red()) * (c.red() - Background.red())
                        + (c.green() - Background.green()) * (c.green() - Background.green())
                        + (c.blue() - Background.blue()) * (c.blue() - Background.blue());
            if (d < best) {
                best = d;
                nearest = i;
            }
        }
        gif.Frame(0).SetTransparentColor(ColorFromRgb(table.Colors[nearest]));
        const QByteArray file = gif.SaveToData();
        QSaveFile out(QString::fromLocal8Bit(argv[1]));
        if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size() || !out.commit()) {
            std::fprintf(stderr, "cannot write %s\n", argv[1]);
            return 1;
        }
    } catch (const EVxException &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
