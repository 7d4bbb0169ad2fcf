// Draws the chord diagram's pictures at 1x and 2x: the neck seen from the player ("Fon" with the
// nut on the left, "FonLeft" with the nut on the right) and the finger dot ("Nota"); the long neck
// of the fretboard window ("Wood") and its note marker ("NoteMarker").
// Usage: vx_artgen <output folder>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>
#include <cstdio>
#include <cstdint>

namespace {

// The neck's size and layout in logical pixels; the diagram places dots and marks on these.
constexpr int NeckWidth = 393;
constexpr int NeckHeight = 124;
constexpr int FretPitch = 79;      // fret wire n at x = n * 79
constexpr int FirstStringY = 9;    // string s (1 = high E) at y = 9 + (s - 1) * 20
constexpr int StringPitch = 20;
constexpr int ShownWidth = 390;    // the part of the neck the diagram shows

// Deterministic value noise, so that the committed pictures can be made again bit for bit.
double Hash(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xFFFFFF) / double(0xFFFFFF);
}

double Smooth(double t)
{
    return t * t * (3 - 2 * t);
}

double ValueNoise(double x, double y, int seed)
{
    const int x0 = int(std::floor(x));
    const int y0 = int(std::floor(y));
    const double fx = Smooth(x - x0);
    const double fy = Smooth(y - y0);
    const double a = Hash(x0, y0, seed), b = Hash(x0 + 1, y0, seed);
    const double c = Hash(x0, y0 + 1, seed), d = Hash(x0 + 1, y0 + 1, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

double Fractal(double x, double y, int seed)
{
    double sum = 0, amplitude = 0.5, frequency = 1;
    for (int octave = 0; octave < 4; ++octave) {
        sum += amplitude * ValueNoise(x * frequency, y * frequency, seed + octave * 17);
        amplitude *= 0.5;
        frequency *= 2.03;
    }
    return sum;
}

QColor Mix(const QColor &a, const QColor &b, double t)
{
    t = qBound(0.0, t, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// Rosewood: grain runs along the neck, stretched lengthwise, with darker pores and figure.
void PaintWood(QImage &image, int scale, double height = NeckHeight)
{
    const QColor light(150, 92, 52);
    const QColor dark(84, 46, 24);
    for (int py = 0; py < image.height(); ++py) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(py));
        const double y = (py + 0.5) / scale;
        for (int px = 0; px < image.width(); ++px) {
            const double x = (px + 0.5) / scale;
            const double warp = 2.2 * Fractal(x / 60.0, y / 18.0, 7);
            const double grain = 0.5 + 0.5 * std::sin((y + warp * 9.0) * 0.9 + 3.0 * Fractal(x / 140.0, y / 6.0, 3));
            const double figure = Fractal(x / 35.0, y / 3.0, 11);
            const double pores = Hash(int(x * 0.7), int(y * 2.5), 29) > 0.93 ? 0.18 : 0.0;
            double t = 0.15 + 0.45 * grain * figure + 0.35 * figure - pores;
            // Edges of the fingerboard darken where it rounds off.
            const double edge = std::min(y, height - y);
            if (edge < 4)
                t -= (4 - edge) * 0.07;
            line[px] = Mix(dark, light, t).rgb();
        }
    }
}

void PaintNut(QPainter &p, double left, double height = NeckHeight)
{
    const double width = 6;
    QLinearGradient bone(left, 0, left + width, 0);
    bone.setColorAt(0.0, QColor(196, 186, 160));
    bone.setColorAt(0.35, QColor(246, 240, 222));
    bone.setColorAt(0.75, QColor(226, 216, 190));
    bone.setColorAt(1.0, QColor(170, 158, 130));
    p.fillRect(QRectF(left, 0, width, height), bone);
}

void PaintFretWire(QPainter &p, double x, double height = NeckHeight)
{
    // Shadow the crown casts on the wood toward the bridge.
    QLinearGradient shadow(x + 1.5, 0, x + 5, 0);
    shadow.setColorAt(0, QColor(0, 0, 0, 110));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(x + 1.5, 0, 3.5, height), shadow);
    QLinearGradient crown(x - 1.75, 0, x + 1.75, 0);
    crown.setColorAt(0.0, QColor(112, 112, 108));
    crown.setColorAt(0.4, QColor(236, 236, 230));
    crown.setColorAt(0.6, QColor(250, 250, 246));
    crown.setColorAt(1.0, QColor(128, 126, 120));
    p.fillRect(QRectF(x - 1.75, 0, 3.5, height), crown);
}

void PaintString(QPainter &p, int string, double from, double to, double firstY = FirstStringY,
                 double pitch = StringPitch)
{
    // Gauges grow from the high E (string 1) to the low E (string 6); strings 3 to 6 are wound.
    static const double gauge[6] = {1.2, 1.5, 1.8, 2.2, 2.6, 3.1};
    const double w = gauge[string - 1];
    const double y = firstY + (string - 1) * pitch;
    const bool wound = string >= 3;
    p.fillRect(QRectF(from, y + w / 2, to - from, 1.6), QColor(0, 0, 0, 90));
    QLinearGradient body(0, y - w / 2, 0, y + w / 2);
    const QColor edge = wound ? QColor(120, 92, 52) : QColor(120, 120, 124);
    const QColor shine = wound ? QColor(238, 214, 160) : QColor(244, 244, 248);
    body.setColorAt(0, edge);
    body.setColorAt(0.35, shine);
    body.setColorAt(1, edge.darker(140));
    p.fillRect(QRectF(from, y - w / 2, to - from, w), body);
    if (!wound)
        return;
    // The winding shows as fine slanted ridges.
    QPen ridge(QColor(70, 50, 25, 90), 0.5);
    p.setPen(ridge);
    for (double x = from; x < to; x += 1.0)
        p.drawLine(QPointF(x, y - w / 2), QPointF(x + 0.6, y + w / 2));
}

QImage Neck(int scale, bool nutOnLeft)
{
    QImage image(NeckWidth * scale, NeckHeight * scale, QImage::Format_RGB32);
    PaintWood(image, scale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    for (int n = 1; n * FretPitch < NeckWidth; ++n)
        PaintFretWire(p, n * FretPitch);
    const double nutLeft = nutOnLeft ? 0 : ShownWidth - 6;
    PaintNut(p, nutLeft);
    const double from = nutOnLeft ? 6 : 0;
    const double to = nutOnLeft ? NeckWidth : ShownWidth - 6;
    for (int string = 1; string <= 6; ++string)
        PaintString(p, string, from, to);
    p.end();
    image.setDotsPerMeterX(3780 * scale);
    image.setDotsPerMeterY(3780 * scale);
    return image;
}

// A lacquered black dot: a soft drop shadow, a dark sphere, a light rim so it stands out on dark
// wood, and a highlight at the upper left.
QImage Dot(int scale)
{
    constexpr int Size = 25;
    QImage image(Size * scale, Size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    const QPointF centre(12.5, 12.0);
    const double radius = 10.0;
    QRadialGradient shadow(centre + QPointF(0.8, 1.4), radius + 2.0);
    shadow.setColorAt(0.75, QColor(0, 0, 0, 120));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(centre + QPointF(0.8, 1.4), radius + 2.0, radius + 2.0);
    p.setBrush(QColor(236, 230, 214));
    p.drawEllipse(centre, radius + 0.9, radius + 0.9);
    QRadialGradient body(centre + QPointF(-3.5, -4.0), radius * 1.6, centre + QPointF(-3.5, -4.0));
    body.setColorAt(0.0, QColor(120, 124, 136));
    body.setColorAt(0.25, QColor(44, 46, 54));
    body.setColorAt(0.8, QColor(14, 14, 18));
    body.setColorAt(1.0, QColor(0, 0, 0));
    p.setBrush(body);
    p.drawEllipse(centre, radius, radius);
    QRadialGradient glint(centre + QPointF(-3.8, -4.6), 3.6);
    glint.setColorAt(0.0, QColor(255, 255, 255, 200));
    glint.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(glint);
    p.drawEllipse(centre + QPointF(-3.8, -4.6), 3.6, 3.0);
    p.end();
    return image;
}

// The fretboard window's neck: the nut at the left, then 16 frets 44 pixels apart, strings 23
// pixels apart, notes written midway between the fret wires.
constexpr int LongNeckWidth = 706;
constexpr int LongNeckHeight = 136;
constexpr int LongFretPitch = 44;
constexpr int LongNutWidth = 6;
constexpr int LongFirstStringY = 10;
constexpr int LongStringPitch = 23;

QImage LongNeck(int scale)
{
    QImage image(LongNeckWidth * scale, LongNeckHeight * scale, QImage::Format_RGB32);
    PaintWood(image, scale, LongNeckHeight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    for (int n = 1; n * LongFretPitch + LongNutWidth < LongNeckWidth; ++n)
        PaintFretWire(p, n * LongFretPitch + LongNutWidth, LongNeckHeight);
    PaintNut(p, 0, LongNeckHeight);
    for (int string = 1; string <= 6; ++string)
        PaintString(p, string, LongNutWidth, LongNeckWidth, LongFirstStringY, LongStringPitch);
    p.end();
    image.setDotsPerMeterX(3780 * scale);
    image.setDotsPerMeterY(3780 * scale);
    return image;
}

// A mother-of-pearl oval under each note name: light enough for black letters, with a dark rim
// that keeps it apart from the string it sits on.
QImage NoteMarker(int scale)
{
    constexpr int Width = 24;
    constexpr int Height = 21;
    QImage image(Width * scale, Height * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    const QRectF oval(1.0, 1.0, Width - 2.5, Height - 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(oval.translated(0.8, 1.0));
    QRadialGradient pearl(oval.center() + QPointF(-3.0, -3.5), Width * 0.7);
    pearl.setColorAt(0.0, QColor(255, 255, 252));
    pearl.setColorAt(0.45, QColor(240, 236, 226));
    pearl.setColorAt(0.8, QColor(222, 226, 232));
    pearl.setColorAt(1.0, QColor(200, 196, 188));
    p.setBrush(pearl);
    p.setPen(QPen(QColor(70, 52, 36), 0.9));
    p.drawEllipse(oval);
    p.end();
    return image;
}

bool Save(const QImage &image, const QString &folder, const QString &name)
{
    const QString path = QDir(folder).filePath(name);
    if (image.save(path, "PNG", 9))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vx_artgen <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@2x");
        ok &= Save(Neck(scale, true), folder, QStringLiteral("Fon%1.png").arg(suffix));
        ok &= Save(Neck(scale, false), folder, QStringLiteral("FonLeft%1.png").arg(suffix));
        ok &= Save(Dot(scale), folder, QStringLiteral("Nota%1.png").arg(suffix));
        ok &= Save(LongNeck(scale), folder, QStringLiteral("Wood%1.png").arg(suffix));
        ok &= Save(NoteMarker(scale), folder, QStringLiteral("NoteMarker%1.png").arg(suffix));
    }
    return ok ? 0 : 1;
}
