// Coloured texts and pictures stay readable when the desktop's palette is dark.
#include "platform/vcl/Controls.h"

#include <QApplication>
#include <QPalette>
#include <QtTest>

namespace {

const QColor Maroon(128, 0, 0);
const QColor Navy(0, 0, 128);
const QColor LinkBlue(0, 0, 204);
const QColor Green(0, 128, 0);
const QColor LightFace(240, 240, 240);
const QColor DarkFace(53, 53, 53);

QPalette WithWindow(const QColor &window)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, window);
    return palette;
}

} // namespace

class TestTextColors : public QObject
{
    Q_OBJECT
private slots:
    void DarkInkIsReadableOnlyOnLightPaper()
    {
        const struct { QColor ink; QColor paper; bool readable; } cases[] = {
            {Maroon, LightFace, true},  {Navy, Qt::white, true},     {Green, LightFace, true},
            {LinkBlue, LightFace, true}, {Maroon, DarkFace, false}, {Navy, DarkFace, false},
            {LinkBlue, DarkFace, false}, {Green, DarkFace, false},  {Qt::white, DarkFace, true},
            {Qt::black, Qt::black, false},
        };
        for (const auto &c : cases) {
            QCOMPARE(Readable(c.ink, c.paper), c.readable);
            const QColor shown = ReadableOn(c.ink, c.paper);
            QVERIFY(Readable(shown, c.paper));
            QCOMPARE(shown == c.ink, c.readable);
        }
        // Lightened, not replaced: the maroon stays a red.
        const QColor lighter = ReadableOn(Maroon, DarkFace);
        QVERIFY(lighter.red() > lighter.green() && lighter.red() > lighter.blue());
    }

    void LabelFollowsTheDesktopPalette()
    {
        // The page's palette stands for the desktop's: both reach the label the same way.
        for (const QColor &colour : {Maroon, LinkBlue, Green}) {
            QWidget page;
            page.setPalette(WithWindow(LightFace));
            TLabel label(QStringLiteral("Label"), &page);
            label.SetTextColor(colour);
            QCOMPARE(label.palette().color(QPalette::WindowText), colour);
            page.setPalette(WithWindow(DarkFace));
            QVERIFY(Readable(label.palette().color(QPalette::WindowText), DarkFace));
            page.setPalette(WithWindow(LightFace));
            QCOMPARE(label.palette().color(QPalette::WindowText), colour);
        }
    }
};

QTEST_MAIN(TestTextColors)
#include "TestTextColors.moc"
