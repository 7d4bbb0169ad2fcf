// The fretboard and donation windows opened from the options page, and the web and mail links.
// Addresses are caught by the open hook; modal windows are checked and closed from a timer.
#include "TestSupport.h"
#include "app/ui/FretBoard.h"
#include "app/ui/MainUnit.h"
#include "app/ui/UnitDonate.h"
#include "platform/vcl/Application.h"

#include <QApplication>
#include <QLayout>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Runs inspect on the modal window of type T once it shows; should inspect leave it open, it is
// closed anyway so that the test never hangs. Returns whether the window was found.
template <typename T>
bool WithModalWindow(const std::function<void()> &open, const std::function<void(T *)> &inspect)
{
    bool found = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget())) {
            poll.stop();
            found = true;
            QPointer<T> guard(window);
            inspect(window);
            if (guard && guard->isVisible())
                guard->close();
        }
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    poll.start();
    giveUp.start(10000);
    open();
    return found;
}

int FretboardWindows()
{
    int count = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        count += qobject_cast<TFormFretboard *>(window) != nullptr;
    return count;
}

int Lightness(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y).lightness();
}

} // namespace

class TestMainFormWindows : public QObject
{
    Q_OBJECT
    QStringList FUrls;
    QStringList FBoxes;

    void SetLanguage(TMainForm &form, int index)
    {
        form.LangComboBox->SetItemIndex(index);
        form.LangComboBoxChange();
    }

private slots:
    void init()
    {
        FUrls.clear();
        Application::SetOpenUrlHook([this](const QString &url) {
            FUrls.append(url);
            return true;
        });
        TestSupport::RecordMessageBoxes(FBoxes);
    }

    void cleanup()
    {
        Application::SetOpenUrlHook({});
        TestSupport::RestoreDevicesAndBoxes();
    }

    void LinksOpenTheirAddressesAndTheVersionShows()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        QVERIFY(!form.State().versionText.isEmpty());
        QCOMPARE(form.LabelVersionInfo->Caption(), form.State().versionText);
        form.PageControl->setCurrentWidget(form.OptionsTab);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.EmailLabel, Qt::LeftButton);
        QTest::mouseClick(form.Label13, Qt::LeftButton);
        QTest::mouseClick(form.Label14, Qt::LeftButton);
        QTest::mouseClick(form.Label8, Qt::LeftButton);
        // A right click or the version is no link.
        QTest::mouseClick(form.Label13, Qt::RightButton);
        QTest::mouseClick(form.LabelVersionInfo, Qt::LeftButton);
        const QStringList expected = {
            QStringLiteral("mailto:author@veltrasomin.example.org?subject=Vexo%20Veltrasomin"),
            QStringLiteral("https://veltrasomin.example.org/"),
            QStringLiteral("https://veltrasomin.example.org/download"),
            QStringLiteral("https://veltrasomin.example.org/chord-editor/chord-editor.zip"),
        };
        QCOMPARE(FUrls, expected);
        QVERIFY(FBoxes.isEmpty());
    }

    // The guitar holds its place from the start, so the window is as large as with the picture,
    // and the picture is there once the options page shows.
    void GuitarKeepsItsPlaceAndShowsWithTheOptionsPage()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.GuitarImage->minimumSizeHint().expandedTo(form.GuitarImage->minimumSize()), QSize(185, 250));
        const QSize windowSize = form.size();
        form.PageControl->setCurrentWidget(form.OptionsTab);
        QVERIFY(form.GuitarImage->isVisible());
        const QPixmap picture = form.GuitarImage->pixmap();
        QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(185, 250));
        QVERIFY(!picture.toImage().isNull());
        QCOMPARE(form.GuitarImage->sizeHint(), QSize(185, 250));
        QCOMPARE(form.size(), windowSize);
    }

    void FretboardShowsTheNotesAndAnyClickClosesIt()
    {
        struct
        {
            int language;
            bool flats;
            const char *clicked;
            const char *caption;
            const char *title;
            const char *legend;
        } cases[] = {
            {1, true, "ImageFon", "Гриф гитары", "Расположение нот на грифе гитары",
             "C=до, D=ре, E=ми, F=фа, G=соль, A=ля, B=си-бемоль, H=си  ||  #=диез, b=бемоль"},
            {1, false, "Label1", "Гриф гитары", "Расположение нот на грифе гитары",
             "C=до, D=ре, E=ми, F=фа, G=соль, A=ля, H=си  ||  #=диез, b=бемоль"},
            {2, true, "FormFretboard", "Guitar fretboard", "Notes on guitar fretboard",
             "C=do, D=re, E=mi, F=fa, G=sol, A=la, Bb=si flat, B=si  ||  #=sharp, b=flat"},
            {2, false, "Label2", "Guitar fretboard", "Notes on guitar fretboard",
             "C=do, D=re, E=mi, F=fa, G=sol, A=la, B=si  ||  #=sharp, b=flat"},
        };
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (const auto &c : cases) {
            SetLanguage(form, c.language - 1);
            form.OptionsFlats->SetChecked(c.flats);
            QString caption, title, legend;
            QSize size, picture;
            QImage image;
            bool closedByClick = false;
            const bool found = WithModalWindow<TFormFretboard>([&] { form.GuitarImageClick(); }, [&](TFormFretboard *w) {
                caption = w->Caption();
                // Above the main window, even one kept on top.
                QCOMPARE(w->windowHandle()->transientParent(), form.windowHandle());
                title = w->Label1->Caption();
                legend = w->Label2->Caption();
                size = w->size();
                picture = w->Picture().deviceIndependentSize().toSize();
                image = w->ImageFon->pixmap().toImage();
                QWidget *target = w->objectName() == QLatin1String(c.clicked)
                                      ? w
                                      : w->findChild<QWidget *>(QLatin1String(c.clicked));
                QVERIFY(target);
                QPointer<TFormFretboard> guard(w);
                QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(target->width() - 3, target->height() - 3));
                closedByClick = !guard || !guard->isVisible();
            });
            QVERIFY2(found, c.clicked);
            QVERIFY2(closedByClick, c.clicked);
            QCOMPARE(caption, QString::fromUtf8(c.caption));
            QCOMPARE(title, QString::fromUtf8(c.title));
            QCOMPARE(legend, QString::fromUtf8(c.legend));
            QCOMPARE(size, QSize(723, 260));
            QCOMPARE(picture, QSize(722, 177));
            // Window colour left of the neck, wood between two strings of fret 1, a light marker
            // under the note of string 1, fret 1 (left of its letter).
            QCOMPARE(image.pixelColor(1, 100), form.palette().color(QPalette::Window));
            const QColor wood = image.pixelColor(44 + 15, 23 + 13);
            QVERIFY2(wood.red() > wood.blue() && wood.lightness() < 170, qPrintable(wood.name()));
            QVERIFY(Lightness(image, 44 - 8, 23 + 4) > 200);
            // The window is released once closed.
            QTRY_COMPARE(FretboardWindows(), 0);
        }
        QVERIFY(FUrls.isEmpty());
    }

    void FretboardNamesStayReadableOnADarkDesktop()
    {
        const QPalette original = QApplication::palette();
        QPalette dark = original;
        dark.setColor(QPalette::Window, QColor(53, 53, 53));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        QApplication::setPalette(dark);
        QColor paper;
        {
            QTemporaryDir dir;
            TMainForm form(dir.path());
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            WithModalWindow<TFormFretboard>([&] { form.GuitarImageClick(); },
                                            [&](TFormFretboard *w) { paper = w->Picture().toImage().pixelColor(1, 100); });
        }
        QApplication::setPalette(original);
        QVERIFY(Readable(QColor(0, 0, 128), paper));
        QVERIFY(Readable(QColor(128, 0, 0), paper));
    }

    // The window keeps its size under a large desktop font; the legend must still be read whole.
    void FretboardLegendFitsTheWindowUnderALargeFont()
    {
        const struct {
            int pointSize;
            int language;
            bool flats;
        } cases[] = {
            {9, 1, true},
            {20, 1, true},
            {20, 2, true},
            {28, 2, false},
        };
        const TestSupport::TAppFontSize fontSize;
        QTemporaryDir dir;
        TMainForm form(dir.path());
        for (const auto &c : cases) {
            fontSize.Set(c.pointSize);
            SetLanguage(form, c.language - 1);
            form.OptionsFlats->SetChecked(c.flats);
            TFormFretboard fretboard(&form);
            const TLabel *legend = fretboard.Label2;
            const QFontMetrics metrics(legend->font());
            QVERIFY2(metrics.horizontalAdvance(legend->Caption()) <= legend->width(), qPrintable(legend->Caption()));
            QVERIFY(metrics.height() <= legend->height());
            QVERIFY(legend->font().bold());
        }
    }

    // Under a large desktop font the window grows; its lines must never be drawn over each other.
    void DonationWindowLinesNeverOverlap()
    {
        const struct {
            int pointSize;
            int language;
        } cases[] = {
            {9, 1},
            {16, 1},
            {16, 2},
            {24, 1},
        };
        const TestSupport::TAppFontSize fontSize;
        QTemporaryDir dir;
        TMainForm form(dir.path());
        for (const auto &c : cases) {
            fontSize.Set(c.pointSize);
            SetLanguage(form, c.language - 1);
            TFormDonate donate(&form);
            donate.show();
            QVERIFY(QTest::qWaitForWindowExposed(&donate));
            QWidget *above = nullptr;
            for (int i = 0; i < donate.layout()->count(); ++i) {
                QWidget *line = donate.layout()->itemAt(i)->widget();
                if (!line)
                    continue;
                if (auto *label = qobject_cast<TLabel *>(line))
                    QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(label->Caption()));
                if (above)
                    QVERIFY2(above->geometry().bottom() < line->geometry().top(), qPrintable(line->objectName()));
                above = line;
            }
            QCOMPARE(donate.width(), 352);
        }
    }

    // Minimizing the program with the fretboard or donation window open and bringing it back
    // finds that window still open and still holding the program.
    void SmallWindowsStayOpenThroughAMinimize()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const std::function<void()> opens[] = {[&] { form.GuitarImageClick(); },
                                               [&] { form.SpeedButtonDonateClick(); }};
        for (const auto &open : opens) {
            bool returned = false;
            bool heldAfterMinimize = false;
            QPointer<QWidget> window;
            QTimer::singleShot(0, &form, [&] {
                window = QApplication::activeModalWidget();
                if (!window)
                    return;
                window->showMinimized();
                // Runs in the modal wait when that wait is still going.
                QTimer::singleShot(0, &form, [&] {
                    heldAfterMinimize = !returned && window && QApplication::activeModalWidget() == window;
                    if (window)
                        window->close();
                });
            });
            open();
            returned = true;
            QTRY_VERIFY(!window || !window->isVisible());
            QVERIFY(heldAfterMinimize);
        }
    }

    void DonationWindowSpeaksTheLanguageAndOpensPaymentPages()
    {
        struct
        {
            int language;
            const char *caption;
            const char *label2;
            const char *label6;
            const char *button;
            const char *transfer;
        } cases[] = {
            {1, "Отблагодарить автора", "Если у Вас есть возможность  материально", "ОТПРАВИТЬ ПЛАТНОЕ SMS СООБЩЕНИЕ",
             "Закрыть", "https://veltrasomin.example.org/donate/transfer"},
            {2, "Please donate", "If you wish to donate any sum of money", "SEND A PAID SMS", "Close",
             "https://veltrasomin.example.org/en/donate/transfer"},
        };
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (const auto &c : cases) {
            SetLanguage(form, c.language - 1);
            FUrls.clear();
            QString caption, label2, label6, button;
            int width = 0;
            bool closedByButton = false;
            const bool found = WithModalWindow<TFormDonate>([&] { form.SpeedButtonDonateClick(); }, [&](TFormDonate *w) {
                caption = w->Caption();
                label2 = w->Label2->Caption();
                label6 = w->Label6->Caption();
                button = w->Button1->Caption();
                width = w->width();
                QVERIFY(w->Memo1->isReadOnly());
                QVERIFY(!w->Memo1->Text().isEmpty());
                for (TLabel *link : {w->Label7, w->Label6, w->Label10, w->Label5})
                    QTest::mouseClick(link, Qt::LeftButton);
                // Plain text and the unbound label open nothing.
                QTest::mouseClick(w->Label8, Qt::LeftButton);
                QTest::mouseClick(w->Label13, Qt::LeftButton);
                w->Label8Click();
                QPointer<TFormDonate> guard(w);
                QTest::mouseClick(w->Button1, Qt::LeftButton);
                closedByButton = !guard || !guard->isVisible();
            });
            QVERIFY(found);
            QVERIFY(closedByButton);
            QCOMPARE(caption, QString::fromUtf8(c.caption));
            QCOMPARE(label2, QString::fromUtf8(c.label2));
            QCOMPARE(label6, QString::fromUtf8(c.label6));
            QCOMPARE(button, QString::fromUtf8(c.button));
            QCOMPARE(width, 352);
            const QStringList expected = {
                QStringLiteral("https://veltrasomin.example.org/donate/card"),
                QStringLiteral("https://veltrasomin.example.org/donate/sms"),
                QString::fromLatin1(c.transfer),
                QStringLiteral("https://veltrasomin.example.org/donate/online"),
                QStringLiteral("https://veltrasomin.example.org/donate/other"),
            };
            QCOMPARE(FUrls, expected);
            // The window freed itself.
            QTRY_VERIFY(form.findChildren<TFormDonate *>().isEmpty());
        }
    }
};

QTEST_MAIN(TestMainFormWindows)
#include "TestMainFormWindows.moc"
