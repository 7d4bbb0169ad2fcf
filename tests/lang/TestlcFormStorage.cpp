// A form's placement written at the end and restored on a screen at the next start.
#include "lang/lcFormStorage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <QtTest>
#include <sys/stat.h>

class TestlcFormStorage : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(TlcFormStorage(nullptr).StorageFile()); }

    void ClampingMovesAndShrinksIntoTheArea()
    {
        const QRect area(0, 0, 800, 600);
        const struct
        {
            QRect rect;
            QRect expected;
        } cases[] = {
            {{10, 20, 300, 200}, {10, 20, 300, 200}},
            {{5000, 5000, 300, 200}, {500, 400, 300, 200}},
            {{-400, -50, 300, 200}, {0, 0, 300, 200}},
            {{100, 100, 2000, 1000}, {0, 0, 800, 600}},
        };
        for (const auto &c : cases)
            QCOMPARE(TlcFormStorage::ClampToArea(c.rect, area), c.expected);
    }

    void PlacementComesBackInsideTheScreen()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        {
            QWidget form;
            auto *storage = new TlcFormStorage(&form);
            storage->SetSubKey(QStringLiteral("Software\\Vexo\\Test"));
            form.setGeometry(screen.right() + 500, screen.bottom() + 500, 200, 100);
        }
        QSettings settings(TlcFormStorage(nullptr).StorageFile(), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("Software/Vexo/Test/State")).toString(), QStringLiteral("Normal"));

        QWidget form;
        auto *storage = new TlcFormStorage(&form);
        storage->SetSubKey(QStringLiteral("Software\\Vexo\\Test"));
        storage->Loaded();
        QVERIFY(screen.contains(QRect(form.pos(), form.size())));
        QCOMPARE(form.size(), QSize(200, 100));

        // A form closed maximized keeps its last normal bounds and is maximized again.
        form.setWindowState(Qt::WindowMaximized);
        delete storage;
        QWidget next;
        TlcFormStorage again(&next);
        again.SetSubKey(QStringLiteral("Software\\Vexo\\Test"));
        again.Loaded();
        QVERIFY(next.windowState() & Qt::WindowMaximized);
        QCOMPARE(next.size(), QSize(200, 100));
        again.Active = false;
    }

    // Hand-edited bounds near the ends of int still give a place on the screen.
    void BoundsNearTheEndsOfIntComeBackOnTheScreen()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const struct { int top, left, height, width; } cases[] = {
            {2147483000, 2147483000, 2000, 2000},
            {-2147483648, -2147483648, 2147483647, 2147483647},
            {0, 2147483647, 100, 2147483647},
        };
        for (const auto &c : cases) {
            {
                QSettings settings(TlcFormStorage(nullptr).StorageFile(), QSettings::IniFormat);
                settings.beginGroup(QStringLiteral("Software/Vexo/Test"));
                settings.setValue(QStringLiteral("State"), QStringLiteral("Normal"));
                settings.setValue(QStringLiteral("Top"), c.top);
                settings.setValue(QStringLiteral("Left"), c.left);
                settings.setValue(QStringLiteral("Height"), c.height);
                settings.setValue(QStringLiteral("Width"), c.width);
            }
            QWidget form;
            TlcFormStorage storage(&form);
            storage.SetSubKey(QStringLiteral("Software\\Vexo\\Test"));
            storage.Loaded();
            storage.Active = false;
            QVERIFY2(screen.contains(form.geometry()), qPrintable(QString::number(c.left)));
        }
    }

    void NothingHappensWhenInactiveOrWithoutAPlace()
    {
        QWidget form;
        form.setGeometry(10, 10, 120, 80);
        TlcFormStorage storage(&form);
        storage.Active = false;
        storage.Loaded();
        QVERIFY(!storage.SavePlacement());
        storage.Active = true;
        storage.SetRegRootKey(lcHKEY_LOCAL_MACHINE);
        QVERIFY(!storage.SavePlacement());
        QVERIFY(!QFile::exists(TlcFormStorage(nullptr).StorageFile()));
    }

    void APipeInPlaceOfTheFileIsNeitherReadNorWritten()
    {
        const QString file = TlcFormStorage(nullptr).StorageFile();
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        QWidget form;
        form.setGeometry(10, 10, 120, 80);
        TlcFormStorage storage(&form);
        storage.SetSubKey(QStringLiteral("Software\\Vexo\\Test"));
        storage.Loaded();
        QCOMPARE(form.geometry(), QRect(10, 10, 120, 80));
        QVERIFY(!storage.SavePlacement());
        storage.Active = false;
        QVERIFY(QFileInfo(file).exists() && !QFileInfo(file).isFile());
        QFile::remove(file);
    }
};

QTEST_MAIN(TestlcFormStorage)
#include "TestlcFormStorage.moc"
