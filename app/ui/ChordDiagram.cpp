#include "app/ui/ChordDiagram.h"
#include "app/ui/PngPicture.h"
#include "platform/vcl/Controls.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

TCanvasImage::TCanvasImage(const QString &name, QWidget *parent, QSize size) : QWidget(parent)
{
    setObjectName(name);
    setFixedSize(size);
}

QPixmap &TCanvasImage::Canvas()
{
    const qreal dpr = devicePixelRatioF();
    if (FCanvas.isNull() || FCanvas.devicePixelRatio() != dpr) {
        FCanvas = QPixmap(size() * dpr);
        FCanvas.setDevicePixelRatio(dpr);
        FCanvas.fill(Qt::white);
        FPictures.clear();
    }
    return FCanvas;
}

const QPixmap &TCanvasImage::Picture(const QString &name)
{
    const qreal dpr = Canvas().devicePixelRatio();
    auto it = FPictures.find(name);
    if (it != FPictures.end())
        return *it;
    const QString path = PicturePath(name, dpr);
    QPixmap picture = QPixmap::fromImage(PngPicture::Read(path));
    if (path.endsWith(QLatin1String("@2x.png"))) {
        if (picture.isNull())
            picture = QPixmap::fromImage(PngPicture::Read(QStringLiteral(":/%1.png").arg(name)));
        else
            picture.setDevicePixelRatio(2.0);
    }
    return *FPictures.insert(name, picture);
}

QString TCanvasImage::PicturePath(const QString &name, qreal dpr)
{
    // Sharp on dense screens: the double-size drawing when there is one.
    const QString large = QStringLiteral(":/%1@2x.png").arg(name);
    if (dpr > 1.0 && QFile::exists(large))
        return large;
    return QStringLiteral(":/%1.png").arg(name);
}

void TCanvasImage::paintEvent(QPaintEvent *)
{
    if (FRedraw && !FCanvas.isNull() && FCanvas.devicePixelRatio() != devicePixelRatioF()) {
        Canvas();
        FRedraw();
    }
    QPainter p(this);
    p.drawPixmap(0, 0, Canvas());
}

namespace DiagramPaint {

namespace {

// The installed families of the list, the whole list when none is. Asking for a family that is not
// installed (Tahoma, Arial and Times New Roman are rare on Linux) sends the font system through
// every installed font for a stand-in, which cost more than drawing the diagram.
QStringList InstalledFamilies(const QStringList &families)
{
    const QStringList installed = QFontDatabase::families();
    QStringList found;
    for (const QString &family : families)
        if (installed.contains(family, Qt::CaseInsensitive))
            found.append(family);
    return found.isEmpty() ? families : found;
}

QFont Font(const QStringList &families, int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies(InstalledFamilies(families));
    // Point sizes of a 96-dpi screen, so the names fit the neck's 20-pixel string pitch.
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

const QColor Navy(0, 0, 128);
const QColor Teal(0, 128, 128);
const QColor Red(255, 0, 0);

} // namespace

// String and note names (Russian ones too), X and Roman numerals are letters every listed family
// has: without stand-ins the first chord does not wait for a search through every installed font.
// A face found in their place may lack the Russian letters; the note names see to that.
QFont NameFont()
{
    static const QFont font = [] {
        QFont f = Font({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")},
                       11, true);
        f.setStyleStrategy(QFont::NoFontMerging);
        return f;
    }();
    return font;
}

QFont RomanFont()
{
    static const QFont font = [] {
        QFont f = Font({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                        QStringLiteral("DejaVu Serif Condensed"), QStringLiteral("DejaVu Serif")},
                       13, true);
        f.setStyleHint(QFont::Serif, QFont::NoFontMerging);
        return f;
    }();
    return font;
}

QFont ChordNameFont()
{
    static const QFont font =
        Font({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}, 19, false);
    return font;
}

void TextOut(QPainter &p, int x, int y, const QString &text, const QColor &colour, const QFont &font)
{
    const QFontMetrics metrics(font);
    p.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), Qt::white);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QPoint(x, y + metrics.ascent()), text);
}

void ClearBack(QPainter &back)
{
    back.fillRect(QRect(2, 2, Diagram::BackWidth - 4, Diagram::BackHeight - 4), Qt::white);
}

void DrawRomanFret(QPainter &back, const QString &label, bool rightHand)
{
    const QFont font = RomanFont();
    const int half = QFontMetrics(font).horizontalAdvance(label) / 2;
    const int x = rightHand ? 64 - half : Diagram::PBWidth + 19 - half;
    TextOut(back, x, Diagram::PBTop - 18, label, Teal, font);
}

void DrawStringNames(QPainter &back, const QStringList &names, int pbLeft, bool rightHand)
{
    for (int i = 0; i < names.size(); ++i) {
        if (rightHand)
            TextOut(back, pbLeft - 12, Diagram::PBTop + 1 + i * 20, names[i], Navy, NameFont());
        else
            TextOut(back, Diagram::BackWidth - 26, Diagram::PBTop + 2 + i * 20, names[i], Navy, NameFont());
    }
}

void DrawMutedMark(QPainter &back, QPainter &pb, int i, int pbLeft, bool rightHand)
{
    pb.save();
    pb.setRenderHint(QPainter::Antialiasing, false);
    pb.setPen(QPen(Red, i + 1));
    pb.drawLine(0, i * 20 + 9, Diagram::PBWidth, i * 20 + 9);
    pb.restore();
    const int x = rightHand ? pbLeft - 12 : Diagram::BackWidth - 26;
    TextOut(back, x, Diagram::PBTop + 1 + i * 20, QStringLiteral("X"), Red, NameFont());
}

void DrawNoteNames(QPainter &back, const QStringList &names, int pbLeft, bool rightHand)
{
    QFont font = NameFont();
    // The face found for the name font may lack Cyrillic (a Latin-only stand-in); the Russian
    // names then take their letters from a font that has them instead of coming out blank.
    const QString letters = names.join(QString());
    const QFontMetrics own(font);
    for (const uint letter : letters.toUcs4())
        if (!own.inFontUcs4(letter)) {
            font.setStyleStrategy(QFont::PreferDefault);
            break;
        }
    const QFontMetrics metrics(font);
    for (int n = 1; n <= names.size(); ++n) {
        const QString &name = names[n - 1];
        const int x = rightHand ? pbLeft + Diagram::PBWidth + 3 : pbLeft - metrics.horizontalAdvance(name) - 7;
        TextOut(back, x, Diagram::PBTop + (n - 1) * 20, name, Qt::black, font);
    }
}

void ClearNoteSide(QPainter &back, bool rightHand)
{
    const int half = Diagram::BackWidth / 2;
    back.fillRect(rightHand ? QRect(half, 0, Diagram::BackWidth - half, Diagram::BackHeight)
                            : QRect(0, 0, half, Diagram::BackHeight),
                  Qt::white);
}

void DrawDot(QPainter &pb, const QPixmap &nota, int position, int string, bool rightHand)
{
    pb.drawPixmap(Diagram::DotX(position, rightHand), Diagram::DotY(string), nota);
}

void DrawBarre(QPainter &pb, const Diagram::TBarre &barre, bool rightHand)
{
    if (!barre.drawn)
        return;
    const int x = Diagram::BarreX(barre.lowest, rightHand);
    const int bottom = barre.last * 20 - 10;
    struct TStroke
    {
        QColor colour;
        int width;
        int dx;
        int top;
        int bottom;
    };
    // A rounded bar: dark rim, grey body, light face and a soft highlight.
    const TStroke strokes[] = {{QColor(110, 110, 110), 18, 0, 7, bottom},
                               {QColor(195, 195, 195), 16, 0, 8, bottom},
                               {QColor(245, 245, 245), 13, -1, 7, bottom + 1},
                               {QColor(230, 230, 230), 9, -1, 8, bottom}};
    pb.save();
    pb.setRenderHint(QPainter::Antialiasing, true);
    for (const TStroke &s : strokes) {
        pb.setPen(QPen(s.colour, s.width, Qt::SolidLine, Qt::RoundCap));
        pb.drawLine(QPointF(x + s.dx, s.top), QPointF(x + s.dx, s.bottom));
    }
    pb.restore();
}

QColor PicturePaper(const QColor &window)
{
    // The names keep their colours; a pasted picture of a dark desktop gets light paper instead.
    return PaperFor({Navy, Teal, QColor(Qt::black), QColor(128, 0, 0)}, window);
}

QPixmap ChordPicture(const QPixmap &back, const QPixmap &pb, QPoint pbPos, bool showNotes, bool rightHand,
                     const QColor &window, bool withName, const QString &chordName)
{
    const qreal dpr = back.devicePixelRatio();
    auto Blank = [&](int width, int height) {
        QPixmap pixmap(QSize(width, height) * dpr);
        pixmap.setDevicePixelRatio(dpr);
        pixmap.fill(window);
        return pixmap;
    };
    const int width = showNotes ? Diagram::BackWidth - 3 : Diagram::BackWidth - 40;
    const int height = Diagram::BackHeight - 10;
    // The left hand has its string names on the right: the cut goes where the note names would be.
    const int skip = showNotes || rightHand ? 0 : Diagram::BackWidth - 3 - width;
    QPixmap a = Blank(width, height);
    {
        QPainter p(&a);
        const QRect part(1, 1, width - 1, height - 1);
        p.drawPixmap(part, back, QRectF(part.translated(skip, 0).topLeft() * dpr, part.size() * dpr));
        QPixmap neck = Blank(Diagram::PBWidth, Diagram::PBHeight);
        {
            QPainter n(&neck);
            n.drawPixmap(1, 1, pb);
        }
        p.drawPixmap(pbPos.x() - 2 - skip, pbPos.y() - 3, neck);
    }
    // Cropped by four pixels at the top left; white becomes the window colour. At densities such
    // as 1.5 the rounded crop reaches one pixel past the picture, which would come back black.
    const QImage whole = a.toImage();
    QImage cropped = whole.copy(QRect(QPoint(5, 5) * dpr, QSize(width - 5, height - 5) * dpr).intersected(whole.rect()));
    cropped = cropped.convertToFormat(QImage::Format_RGB32);
    const QRgb white = qRgb(255, 255, 255);
    for (int y = 0; y < cropped.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(cropped.scanLine(y));
        for (int x = 0; x < cropped.width(); ++x)
            if (line[x] == white)
                line[x] = window.rgb();
    }
    QPixmap c = Blank(width, height);
    {
        QPainter p(&c);
        QPixmap part = QPixmap::fromImage(cropped);
        part.setDevicePixelRatio(dpr);
        p.drawPixmap(1, 1, part);
    }
    if (!withName)
        return c;
    const QFont font = ChordNameFont();
    QPixmap named = Blank(width, height + QFontMetrics(font).height() + 6);
    {
        QPainter p(&named);
        p.setFont(font);
        p.setPen(QColor(128, 0, 0));
        p.drawText(QPoint(25, -3 + QFontMetrics(font).ascent()), chordName);
        p.drawPixmap(0, 20, c);
    }
    return named;
}

} // namespace DiagramPaint
