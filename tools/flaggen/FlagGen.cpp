// Draws the two flags of the language box, 19 by 12 pixels, 32 bits: Russia's three stripes and
// the United Kingdom's crosses. Usage: vx_flaggen <folder>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <cstdio>

namespace {

constexpr int Width = 19;
constexpr int Height = 12;

QImage RussianFlag()
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, Width, 4, QColor(255, 255, 255));
    painter.fillRect(0, 4, Width, 4, QColor(0, 57, 166));
    painter.fillRect(0, 8, Width, 4, QColor(213, 43, 30));
    return image;
}

QImage BritishFlag()
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    image.fill(QColor(1, 33, 105));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QColor white(255, 255, 255);
    const QColor red(200, 16, 46);
    painter.setPen(QPen(white, 2.6));
    painter.drawLine(QPointF(0, 0), QPointF(Width, Height));
    painter.drawLine(QPointF(Width, 0), QPointF(0, Height));
    painter.setPen(QPen(red, 1.0));
    painter.drawLine(QPointF(0, 0), QPointF(Width, Height));
    painter.drawLine(QPointF(Width, 0), QPointF(0, Height));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(7, 0, 5, Height, white);
    painter.fillRect(0, 4, Width, 4, white);
    painter.fillRect(8, 0, 3, Height, red);
    painter.fillRect(0, 5, Width, 2, red);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vx_flaggen <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!RussianFlag().save(folder + QStringLiteral("/flag_ru.png")) ||
        !BritishFlag().save(folder + QStringLiteral("/flag_en.png"))) {
        std::fprintf(stderr, "vx_flaggen: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
