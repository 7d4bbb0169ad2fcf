// The language box: items from the component's language names, flags and names drawn per item.
#include "lang/lcComp.h"
#include "lang/lcDispatcher.h"
#include "lang/lcLangCombo.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QtTest>

class TestlcLangCombo : public QObject
{
    Q_OBJECT

    static QImage Flag(QColor colour)
    {
        QImage flag(19, 12, QImage::Format_ARGB32);
        flag.fill(colour);
        return flag;
    }

private slots:
    void WithoutLinkTheListStaysEmpty()
    {
        QWidget form;
        TlcLangCombo combo(QStringLiteral("LangComboBox"), &form);
        combo.LanguageInfos()->Add()->SetLanguageName(QStringLiteral("Русский"));
        combo.Loaded();
        QCOMPARE(combo.count(), 0);
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(combo.LanguageInfos()->Count(), 1);
    }

    void InfosFollowTheLanguageNames()
    {
        QWidget form;
        TlcLang lang(&form);
        lang.SetLangNames({QStringLiteral("Russian"), QStringLiteral("English"), QStringLiteral("Deutsch")});
        TlcLangCombo combo(QStringLiteral("LangComboBox"), &form);
        combo.LanguageInfos()->Add()->SetLanguageName(QStringLiteral("Русский"));
        combo.LanguageInfos()->Add()->SetFlagImage(Flag(Qt::blue));
        combo.SetlcLang(&lang);
        QCOMPARE(combo.Items(), QStringList({QStringLiteral("Русский"), QStringLiteral("English"), QStringLiteral("Deutsch")}));
        QCOMPARE(combo.LanguageInfos()->Count(), 3);
        QCOMPARE(combo.LanguageInfos()->Items(2)->FontName(), QStringLiteral("Tahoma"));
        QCOMPARE(combo.LanguageInfos()->Items(2)->FontCharset(), 1);
        QVERIFY(combo.LanguageInfos()->Items(2)->FlagImage().isNull());

        lang.SetLangNames({QStringLiteral("Russian")});
        combo.UpdateItems();
        QCOMPARE(combo.LanguageInfos()->Count(), 1);
        QCOMPARE(combo.Items(), QStringList({QStringLiteral("Русский")}));
    }

    void ADispatcherGivesNamesAndIndexBeforeTheComponent()
    {
        QWidget form;
        TlcLang lang(&form);
        lang.SetLangNames({QStringLiteral("Russian"), QStringLiteral("English")});
        TlcLangDispatcher dispatcher;
        dispatcher.SetLangNames({QStringLiteral("Russian"), QStringLiteral("English"), QStringLiteral("Deutsch")});
        lang.SetLangDispatcher(&dispatcher);
        dispatcher.SetActiveLanguage(3);
        TlcLangCombo combo(QStringLiteral("LangComboBox"), &form);
        combo.SetlcLang(&lang);
        combo.SetlcLangDispatcher(&dispatcher);
        combo.Loaded();
        QCOMPARE(combo.Items(), QStringList({QStringLiteral("Russian"), QStringLiteral("English"), QStringLiteral("Deutsch")}));
        QCOMPARE(combo.currentIndex(), 2);
    }

    void LoadedSelectsTheActiveLanguage()
    {
        QWidget form;
        TlcLang lang(&form);
        lang.SetLangNames({QStringLiteral("Russian"), QStringLiteral("English")});
        lang.SetActiveLanguage(2);
        TlcLangCombo combo(QStringLiteral("LangComboBox"), &form);
        combo.SetlcLang(&lang);
        QCOMPARE(combo.currentIndex(), -1);
        combo.Loaded();
        QCOMPARE(combo.currentIndex(), 1);
    }

    void ItemHeightGrowsToTheFontUnlessTheOwnerDecides()
    {
        QWidget form;
        TlcLangCombo combo(QStringLiteral("LangComboBox"), &form);
        const int fontHeight = combo.fontMetrics().height() + 3;
        combo.SetItemHeight(2);
        QCOMPARE(combo.MeasureItem(0), fontHeight);
        combo.SetItemHeight(fontHeight + 10);
        QCOMPARE(combo.MeasureItem(0), fontHeight + 10);
        combo.SetItemHeight(2);
        combo.OnMeasureItem = [](TlcLangCombo *, int, int &) {};
        QCOMPARE(combo.MeasureItem(0), 2);

        // The open list's items take that height too.
        combo.addItem(QStringLiteral("Русский"));
        form.show();
        combo.showPopup();
        const QModelIndex first = combo.model()->index(0, 0);
        QCOMPARE(combo.view()->itemDelegate()->sizeHint(QStyleOptionViewItem(), first).height(), 2);
        combo.hidePopup();
    }

    void DrawsFlagAndNameOrLeavesPaintingToTheOwner()
    {
        QWidget form;
        TlcLang lang(&form);
        lang.SetLangNames({QStringLiteral("Russian"), QStringLiteral("English")});
        TlcLangCombo combo(QStringLiteral("LangComboBox"), &form);
        combo.LanguageInfos()->Add()->SetFlagImage(Flag(QColor(0, 200, 0)));
        combo.SetlcLang(&lang);

        QImage canvas(120, 20, QImage::Format_ARGB32);
        canvas.fill(Qt::magenta);
        {
            QPainter painter(&canvas);
            combo.DrawItem(painter, 0, QRect(0, 0, 120, 20), TlcLangCombo::odSelected);
        }
        QCOMPARE(canvas.pixelColor(0, 0), combo.palette().color(QPalette::Highlight));
        QCOMPARE(canvas.pixelColor(1, 2), QColor(0, 200, 0));
        QCOMPARE(canvas.pixelColor(19, 13), QColor(0, 200, 0));
        QCOMPARE(canvas.pixelColor(20, 14), combo.palette().color(QPalette::Highlight));
        bool textDrawn = false;
        for (int x = 23; x < 120 && !textDrawn; ++x)
            for (int y = 0; y < 20 && !textDrawn; ++y)
                textDrawn = canvas.pixelColor(x, y) != combo.palette().color(QPalette::Highlight);
        QVERIFY(textDrawn);

        int asked = -1;
        combo.OnDrawItem = [&](TlcLangCombo *, QPainter &, int index, const QRect &, int) { asked = index; };
        canvas.fill(Qt::magenta);
        {
            QPainter painter(&canvas);
            combo.DrawItem(painter, 1, QRect(0, 0, 120, 20), 0);
        }
        QCOMPARE(asked, 1);
        QCOMPARE(canvas.pixelColor(5, 5), QColor(Qt::magenta));
    }
};

QTEST_MAIN(TestlcLangCombo)
#include "TestlcLangCombo.moc"
