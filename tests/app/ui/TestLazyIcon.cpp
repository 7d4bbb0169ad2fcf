// Icons looked up when first drawn: one look-up, shared by every copy, and none before.
#include "app/ui/LazyIcon.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

class TestLazyIcon : public QObject
{
    Q_OBJECT
private slots:
    void LooksUpOnceWhenFirstDrawnAndCopiesShareIt()
    {
        int lookUps = 0;
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        const QIcon icon = LazyIcon::Deferred([&] {
            ++lookUps;
            return QIcon(QPixmap::fromImage(red));
        });
        const QIcon copy = icon;
        QVERIFY(!icon.isNull());
        QCOMPARE(lookUps, 0);
        QCOMPARE(copy.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
        QCOMPARE(icon.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
        QCOMPARE(lookUps, 1);
    }

    void AnIconThatIsNotFoundIsNullOnceLookedUp()
    {
        const QIcon icon = LazyIcon::Deferred([] { return QIcon(); });
        QVERIFY(icon.pixmap(16, 16).isNull());
        QVERIFY(icon.isNull());
    }
};

QTEST_MAIN(TestLazyIcon)
#include "TestLazyIcon.moc"
