// Windows of the program on a second screen that is denser than the first, as on a laptop with
// a large monitor beside it: what they draw themselves must be drawn at that screen's density.
#include "app/ui/FretBoard.h"
#include "app/ui/MainUnit.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// In a folder of our own, gone with the test: a fixed name in the shared temporary folder may be
// another user's file, or a link of theirs that we would write through.
QString ScreenConfig()
{
    static QTemporaryDir folder;
    return folder.filePath(QStringLiteral("screens.json"));
}

} // namespace

class TestSecondScreen : public QObject
{
    Q_OBJECT

public:
    // Two offscreen screens side by side: the first (primary) at 1x, the second at 2x.
    static void initMain()
    {
        const QString config = ScreenConfig();
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            file.write(R"({"screens": [
                {"name": "first", "x": 0, "y": 0, "width": 1920, "height": 1080, "dpr": 1},
                {"name": "second", "x": 1920, "y": 0, "width": 1280, "height": 800, "dpr": 2}]})");
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    }

private slots:
    void FretboardIsDrawnAtTheDensityOfTheMainWindowsScreen()
    {
        const QList<QScreen *> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 2);
        QCOMPARE(screens[1]->devicePixelRatio(), 2.0);
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.move(screens[1]->geometry().topLeft() + QPoint(20, 40));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.screen(), screens[1]);
        TFormFretboard fretboard(&form);
        QCOMPARE(fretboard.Picture().devicePixelRatio(), 2.0);
        // The neck is the double-size drawing, not the small one stretched: a block of wood left
        // of the first fret's markers is the large picture's own pixels.
        const QImage neck = fretboard.Picture().toImage();
        const QImage wood(QStringLiteral(":/Wood@2x.png"));
        for (int y = 4; y < 12; ++y)
            for (int x = 4; x < 12; ++x)
                QCOMPARE(neck.pixel(16 * 2 + x, 18 * 2 + y) | 0xFF000000, wood.pixel(x, y) | 0xFF000000);
        fretboard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fretboard));
        QCOMPARE(fretboard.screen(), screens[1]);
    }
};

QTEST_MAIN(TestSecondScreen)
#include "TestSecondScreen.moc"
