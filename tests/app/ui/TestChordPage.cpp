// The chord page of the real main window, offscreen on a temporary data folder: the drawn
// diagram at the dot and barre pixels, the selectors, stepping through fingerings and copying.
#include "app/core/Diagram.h"
#include "app/ui/ChordDiagram.h"
#include "app/ui/MainUnit.h"
#include "platform/vcl/Application.h"
#include "TestSupport.h"

#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QtTest>

namespace {

QColor Rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

} // namespace

class TestChordPage : public QObject
{
    Q_OBJECT
    QTemporaryDir FDir;
    std::unique_ptr<TMainForm> FForm;
    QStringList FBoxes;

    // The chord page as the user sees it, saved for a look and returned as an image.
    QImage GrabPage(const QString &name)
    {
        const QImage page = FForm->MainTab->grab().toImage();
        page.save(QStringLiteral(VX_BINARY_DIR "/chordpage-%1.png").arg(name));
        return page;
    }

    // The top-left device pixel of a logical pixel of the page, at any screen density.
    static QRgb PixelAt(const QImage &page, QPoint logical)
    {
        return page.pixel(logical * page.devicePixelRatio());
    }

    // A pixel of the neck picture, in its own coordinates, as grabbed with the page.
    QColor NeckPixel(const QImage &page, int x, int y)
    {
        return QColor(PixelAt(page, FForm->PB->mapTo(FForm->MainTab, QPoint(x, y))));
    }

    static bool Dark(const QColor &c)
    {
        return qGray(c.rgb()) < 90;
    }

    void Choose(int root, const QString &type, int bass)
    {
        FForm->Root->SetItemIndex(root);
        FForm->Bass->SetItemIndex(bass);
        FForm->ChordType->SetText(type);
        FForm->RootChange();
    }

    void SetHand(bool right)
    {
        if (right)
            FForm->RightHand->trigger();
        else
            FForm->LeftHand->trigger();
    }

private slots:
    void init()
    {
        FBoxes.clear();
        Application::ResetTermination();
        Application::SetMessageBoxHook([this](const QString &text, const QString &, int) {
            FBoxes.append(text);
            return int(Application::IDOK);
        });
        QVERIFY(FDir.isValid());
        QFile::remove(FDir.filePath("veltrasomin_chords.ini"));
        QVERIFY(QFile::copy(QStringLiteral(VX_TEST_DATA "/chords_page.ini"), FDir.filePath("veltrasomin_chords.ini")));
        // English texts with the East notation (H is si), which these cases are written in.
        QVERIFY(TestSupport::WriteFile(FDir.filePath("veltrasomin_settings.ini"),
                                       "[OPTIONS]\nLangComboBox=1\nEastWestRG=0\n"));
        FForm = std::make_unique<TMainForm>(FDir.path());
        FForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(FForm.get()));
        QVERIFY(!Application::Terminated());
    }

    void cleanup()
    {
        FForm.reset();
        Application::SetMessageBoxHook({});
        QVERIFY2(FBoxes.isEmpty(), qPrintable(FBoxes.join(QLatin1Char('\n'))));
    }

    void DrawsDotsMutedStringsAndNames()
    {
        for (bool right : {true, false}) {
            SetHand(right);
            Choose(0, QStringLiteral("maj"), 0);
            QCOMPARE(FForm->State().currentScheme12, QStringLiteral("0001000203xx"));
            const QImage page = GrabPage(right ? QStringLiteral("C-right") : QStringLiteral("C-left"));
            QCOMPARE(FForm->PB->pos(), QPoint(right ? 28 : 58, Diagram::PBTop));
            // Dots at fret 1 on string 2, fret 2 on string 4, fret 3 on string 5: the middle of
            // the 25-pixel dot picture is dark, the open string 3 next to it is not.
            const struct { int string, fret; } dots[] = {{2, 1}, {4, 2}, {5, 3}};
            for (const auto &dot : dots) {
                const QColor c = NeckPixel(page, Diagram::DotX(dot.fret, right) + 12, Diagram::DotY(dot.string) + 12);
                QVERIFY2(Dark(c), qPrintable(QStringLiteral("string %1: %2").arg(dot.string).arg(c.name())));
            }
            QVERIFY(!Dark(NeckPixel(page, Diagram::DotX(1, right) + 12, Diagram::DotY(3) + 12)));
            // String 6 is muted: a red line across the neck at y = 5 * 20 + 9.
            for (int x : {5, 150, 380})
                QCOMPARE(NeckPixel(page, x, 109), Rgb(255, 0, 0));
            QVERIFY(NeckPixel(page, 150, 89) != Rgb(255, 0, 0));
        }
        QCOMPARE(FForm->IntervalLabel->Caption(), QStringLiteral("(1)C    (3)E    (5)G    "));
        QCOMPARE(FForm->LabelType->Caption(), QStringLiteral("C"));
        QCOMPARE(FForm->State().playList, QStringLiteral("C4,E4,G4,C5,E5,"));
    }

    void DrawsTheBarreForEitherHand()
    {
        for (bool right : {true, false}) {
            SetHand(right);
            Choose(5, QStringLiteral("maj"), 0);
            QCOMPARE(FForm->State().currentScheme12, QStringLiteral("010102030301"));
            const QImage page = GrabPage(right ? QStringLiteral("F-right") : QStringLiteral("F-left"));
            // The bar's four strokes from the middle out, halfway down the neck.
            const int x = right ? 39 : 355;
            QCOMPARE(NeckPixel(page, x - 1, 60), Rgb(230, 230, 230));
            QCOMPARE(NeckPixel(page, x + 4, 60), Rgb(245, 245, 245));
            QCOMPARE(NeckPixel(page, x + 6, 60), Rgb(195, 195, 195));
            QCOMPARE(NeckPixel(page, x + 8, 60), Rgb(110, 110, 110));
            // It runs from string 1 down to string 6 (y = 110) and no further than its rim.
            QCOMPARE(NeckPixel(page, x - 1, 12), Rgb(230, 230, 230));
            QCOMPARE(NeckPixel(page, x - 1, 108), Rgb(230, 230, 230));
            QVERIFY(NeckPixel(page, x + 10, 60) != Rgb(110, 110, 110));
            // Dots beyond the barre: fret 3 on strings 4 and 5.
            QVERIFY(Dark(NeckPixel(page, Diagram::DotX(3, right) + 12, Diagram::DotY(4) + 12)));
            QVERIFY(!Dark(NeckPixel(page, Diagram::DotX(3, right) + 12, Diagram::DotY(3) + 12)));
        }
    }

    void DrawsASlashChordAndHidesNoteNames()
    {
        for (bool right : {true, false}) {
            SetHand(right);
            Choose(0, QStringLiteral("maj"), 5);
            QCOMPARE(FForm->Bass->Text(), QStringLiteral("/E"));
            QCOMPARE(FForm->State().currentScheme12, QStringLiteral("000100020300"));
            QCOMPARE(FForm->LabelType->Caption(), QStringLiteral("C/E"));
            const QImage page = GrabPage(right ? QStringLiteral("CE-right") : QStringLiteral("CE-left"));
            QVERIFY(Dark(NeckPixel(page, Diagram::DotX(3, right) + 12, Diagram::DotY(5) + 12)));
            QVERIFY(NeckPixel(page, 150, 109) != Rgb(255, 0, 0));

            // The note names sit beside the neck on the side away from the nut.
            const QPoint backOrigin = FForm->Back->mapTo(FForm->MainTab, QPoint(0, 0));
            const QRect noteSide = right ? QRect(421, Diagram::PBTop, 50, 120) : QRect(4, Diagram::PBTop, 50, 120);
            auto inkIn = [&](const QImage &image) {
                int ink = 0;
                for (int y = noteSide.top(); y <= noteSide.bottom(); ++y)
                    for (int x = noteSide.left(); x <= noteSide.right(); ++x)
                        ink += qGray(PixelAt(image, backOrigin + QPoint(x, y))) < 128;
                return ink;
            };
            QVERIFY(inkIn(page) > 20);
            FForm->OptionsShowNotes->SetChecked(false);
            const QImage bare = GrabPage(right ? QStringLiteral("CE-right-bare") : QStringLiteral("CE-left-bare"));
            QCOMPARE(inkIn(bare), 0);
            // The string names stay on the other side.
            const QRect names = right ? QRect(14, Diagram::PBTop, 12, 120) : QRect(450, Diagram::PBTop, 12, 120);
            int navy = 0;
            for (int y = names.top(); y <= names.bottom(); ++y)
                for (int x = names.left(); x <= names.right(); ++x)
                {
                    const QRgb pixel = PixelAt(bare, backOrigin + QPoint(x, y));
                    navy += qBlue(pixel) > 100 && qRed(pixel) < 80;
                }
            QVERIFY(navy > 10);
            FForm->OptionsShowNotes->SetChecked(true);
        }
    }

    void NextAndBackFollowLookupsAndJumps()
    {
        Choose(0, QStringLiteral("maj"), 0);
        QVERIFY(!FForm->ButtonBack->isEnabled());
        QVERIFY(FForm->ButtonNext->isEnabled());
        FForm->ButtonNextClick();
        FForm->ButtonNextClick();
        QCOMPARE(FForm->State().currentScheme, 3);
        QCOMPARE(FForm->State().currentScheme12, QStringLiteral("080809101008"));
        QCOMPARE(FForm->State().shownScheme, QStringLiteral("010102030301"));
        QVERIFY(!FForm->ButtonNext->isEnabled());
        FForm->ButtonBackClick();
        FForm->ButtonBackClick();
        QCOMPARE(FForm->State().currentScheme, 1);
        QVERIFY(!FForm->ButtonBack->isEnabled());
        QVERIFY(FForm->ButtonNext->isEnabled());

        struct
        {
            const char *roman;
            int current;
            bool back;
            bool next;
        } jumps[] = {
            {" III ", 2, true, true}, {"VIII", 3, true, false}, {"  I  ", 1, false, true},
            {"XV", 1, false, true},   // no match changes nothing
            {"VIII", 3, true, false}, {"III", 2, true, true},
        };
        for (const auto &jump : jumps) {
            FForm->ShowChordWithFretNumber(QString::fromLatin1(jump.roman));
            QCOMPARE(FForm->State().currentScheme, jump.current);
            QCOMPARE(FForm->ButtonBack->isEnabled(), jump.back);
            QCOMPARE(FForm->ButtonNext->isEnabled(), jump.next);
        }
        // No match leaves the frets of the fingering shown, which a copy as text prints.
        const std::pair<int, int> frets(FForm->State().lowestFret, FForm->State().highestFret);
        FForm->ShowChordWithFretNumber(QStringLiteral("XV"));
        QCOMPARE(std::pair(FForm->State().lowestFret, FForm->State().highestFret), frets);
        // Every redraw draws the list's entry, not the relative form kept from the last drawing.
        QCOMPARE(FForm->State().currentScheme12, QStringLiteral("0305050503xx"));
        QCOMPARE(FForm->State().shownScheme, QStringLiteral("0103030301xx"));
        SetHand(false);
        QCOMPARE(FForm->State().shownScheme, QStringLiteral("0103030301xx"));
        QCOMPARE(FForm->State().lowestFret, 3);

        // A new lookup starts again at the first fingering.
        Choose(0, QStringLiteral("m7"), 0);
        QCOMPARE(FForm->State().schemeCount, 1);
        QVERIFY(!FForm->ButtonBack->isEnabled());
        QVERIFY(!FForm->ButtonNext->isEnabled());
    }

    void TypedAlternativeNamesAndTheAliasMenu()
    {
        Choose(0, QStringLiteral("min7"), 0);
        QCOMPARE(FForm->State().currentChordType, QStringLiteral("m7"));
        QCOMPARE(FForm->State().shownScheme, QStringLiteral("0102010301xx"));
        QCOMPARE(FForm->LabelType->Caption(), QStringLiteral("Cmin7"));
        QCOMPARE(FForm->IntervalLabel->Caption(), QStringLiteral("(1)C    (-3)Eb    (5)G    (-7)B    "));

        FForm->LabelTypeContextPopup(QPoint(2, 2));
        QStringList captions;
        for (QAction *item : FForm->PopupMenu1->actions())
            captions.append(item->text());
        FForm->PopupMenu1->close();
        QCOMPARE(captions, (QStringList{"m7", "mi7", "madd7"}));

        FForm->ClickMenuItem(QStringLiteral("madd7"));
        QCOMPARE(FForm->LabelType->Caption(), QStringLiteral("Cmadd7"));
        QCOMPARE(FForm->ChordType->Text(), QStringLiteral("madd7"));
        QCOMPARE(FForm->State().shownScheme, QStringLiteral("0102010301xx"));

        // With a bass chosen the names carry it, and choosing one keeps the bass out of the box.
        Choose(0, QStringLiteral("maj"), 5);
        FForm->LabelTypeContextPopup(QPoint(2, 2));
        captions.clear();
        for (QAction *item : FForm->PopupMenu1->actions())
            captions.append(item->text());
        FForm->PopupMenu1->close();
        QCOMPARE(captions, (QStringList{"M/E"}));
        FForm->ClickMenuItem(QStringLiteral("M/E"));
        QCOMPARE(FForm->LabelType->Caption(), QStringLiteral("CM/E"));
        QCOMPARE(FForm->ChordType->Text(), QStringLiteral("M"));

        // Typed by hand and ended with Enter, a name is taken as typed: names differ by case alone.
        const struct {
            const char *typed, *canonical;
        } typed[] = {{"M7", "maj7"}, {"M6", "6"}, {"m", "m"}, {"sus", "sus4"}, {"+", "+5"}, {"7+", "maj7"}};
        Choose(0, QStringLiteral("maj"), 0);
        FForm->show();
        for (const auto &t : typed) {
            QLineEdit *edit = FForm->ChordType->lineEdit();
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClicks(edit, QString::fromLatin1(t.typed));
            QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(FForm->ChordType->Text(), QString::fromLatin1(t.typed));
            QCOMPARE(FForm->State().currentChordType, QString::fromLatin1(t.canonical));
        }

        // An unknown text is looked up as typed and named nowhere.
        Choose(0, QStringLiteral("Maj7"), 0);
        QCOMPARE(FForm->State().currentChordType, QStringLiteral("Maj7"));
        QCOMPARE(FForm->State().currentScheme12, QStringLiteral("xxxxxxxxxxxx"));
        QCOMPARE(FForm->IntervalLabel->Caption(), QString());
        QCOMPARE(FForm->State().playList, QStringLiteral("none"));
        const QImage page = GrabPage(QStringLiteral("muted"));
        for (int i = 0; i < 6; ++i)
            QCOMPARE(NeckPixel(page, 200, i * 20 + 9), Rgb(255, 0, 0));
    }

    void ListsInEveryNotationAndLanguage()
    {
        struct
        {
            int language;
            int notation;
            bool flats;
            const char *second;
            const char *first;
            const char *siFlat;
            const char *si;
            const char *bassSecond;
            const char *bassSiFlat;
            const char *bassSi;
        } cases[] = {
            {0, 0, false, "C#", "C (до)", "A#", "H (си)", "/C#", "/A#", "/H"},
            {0, 0, true, "Db", "C (до)", "B", "H (си)", "/Db", "/B", "/H"},
            {0, 1, false, "C#", "C (до)", "A#", "B (си)", "/C#", "/A#", "/B"},
            {0, 1, true, "Db", "C (до)", "Bb", "B (си)", "/Db", "/Bb", "/B"},
            {1, 0, false, "C#", "C (do)", "A#", "H (si)", "/C#", "/A#", "/H"},
            {1, 0, true, "Db", "C (do)", "B", "H (si)", "/Db", "/B", "/H"},
            {1, 1, false, "C#", "C (do)", "A#", "B (si)", "/C#", "/A#", "/B"},
            {1, 1, true, "Db", "C (do)", "Bb", "B (si)", "/Db", "/Bb", "/B"},
        };
        // The selection stays in place while the spelling changes.
        FForm->Root->SetItemIndex(1);
        FForm->Bass->SetItemIndex(2);
        for (const auto &c : cases) {
            FForm->LangComboBox->SetItemIndex(c.language);
            FForm->EastWestRG->SetItemIndex(c.notation);
            FForm->OptionsFlats->SetChecked(c.flats);
            FForm->FillRootList(FForm->Root);
            FForm->FillBassList();
            const QStringList roots = FForm->Root->Items();
            const QStringList basses = FForm->Bass->Items();
            QCOMPARE(roots.size(), 12);
            QCOMPARE(basses.size(), 13);
            QCOMPARE(roots[0], QString::fromUtf8(c.first));
            QCOMPARE(roots[1], QString::fromUtf8(c.second));
            QCOMPARE(roots[10], QString::fromUtf8(c.siFlat));
            QCOMPARE(roots[11], QString::fromUtf8(c.si));
            QCOMPARE(basses[0], QStringLiteral(" "));
            QCOMPARE(basses[2], QString::fromUtf8(c.bassSecond));
            QCOMPARE(basses[11], QString::fromUtf8(c.bassSiFlat));
            QCOMPARE(basses[12], QString::fromUtf8(c.bassSi));
            QCOMPARE(FForm->Root->ItemIndex(), 1);
            QCOMPARE(FForm->Bass->ItemIndex(), 2);
        }
    }

    void CopiesTheChordAsTextAndPicture()
    {
        Choose(0, QStringLiteral("maj"), 0);
        QClipboard *clipboard = QGuiApplication::clipboard();
        for (bool right : {true, false}) {
            SetHand(right);
            FForm->ChordNetBtnClick();
            const QString text = clipboard->text();
            QVERIFY(text.startsWith(right ? QStringLiteral("   I                  \r\n1|---|---|---|---|---| - C\r\n")
                                          : QStringLiteral("                  I  \r\n|---|---|---|---|---|1 - C\r\n")));
            QVERIFY(text.endsWith(QStringLiteral("\r\n\r\nC: x 3 2 0 1 0\r\n")));
        }
        FForm->OptionsShowChordName->SetChecked(false);
        FForm->ChordNetBtnClick();
        QVERIFY(clipboard->text().endsWith(QStringLiteral("\r\n\r\n x 3 2 0 1 0\r\n")));
        QVERIFY(!FForm->LabelType->isVisible());

        FForm->OptionsSaveBMP->SetChecked(true);
        FForm->ChordNetBtnClick();
        const QImage plain = clipboard->image();
        QCOMPARE(plain.size(), QSize(Diagram::BackWidth - 3, Diagram::BackHeight - 10) * FForm->devicePixelRatio());
        FForm->OptionsShowChordName->SetChecked(true);
        FForm->ChordNetBtnClick();
        const QImage named = clipboard->image();
        QCOMPARE(named.width(), plain.width());
        QVERIFY(named.height() > plain.height() + 6);
        named.save(QStringLiteral(VX_BINARY_DIR "/chordpage-copied.png"));

        FForm->LabelType->SetCaption(QString());
        FForm->LabelTypeDblClick();
        QCOMPARE(clipboard->text(), QString());
    }

    void CopiedPictureWithoutNoteNamesKeepsTheStringNames()
    {
        FForm->OptionsShowNotes->SetChecked(false);
        FForm->OptionsShowChordName->SetChecked(false);
        FForm->OptionsSaveBMP->SetChecked(true);
        for (bool right : {true, false}) {
            SetHand(right);
            Choose(0, QStringLiteral("maj"), 0);
            FForm->ChordNetBtnClick();
            const QImage picture = QGuiApplication::clipboard()->image();
            QCOMPARE(picture.width(), (Diagram::BackWidth - 40) * FForm->devicePixelRatio());
            int navy = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    navy += qBlue(picture.pixel(x, y)) > 100 && qRed(picture.pixel(x, y)) < 80 &&
                            qGreen(picture.pixel(x, y)) < 80;
            QVERIFY2(navy > 20, right ? "right hand" : "left hand");
        }
    }

    void CopiedPictureHasNoBlackSeamAtAnyDensity()
    {
        const struct { qreal dpr; bool notes; } cases[] = {{1.5, false}, {1.5, true}, {2.5, false}, {1.25, false}};
        for (const auto &c : cases) {
            auto Canvas = [&](QSize size) {
                QPixmap pixmap(size * c.dpr);
                pixmap.setDevicePixelRatio(c.dpr);
                pixmap.fill(Qt::white);
                return pixmap;
            };
            const QPixmap back = Canvas(QSize(Diagram::BackWidth, Diagram::BackHeight));
            QPixmap neck = Canvas(QSize(Diagram::PBWidth, Diagram::PBHeight));
            neck.fill(QColor(120, 70, 40));
            const QImage picture = DiagramPaint::ChordPicture(back, neck, QPoint(28, Diagram::PBTop), c.notes, true,
                                                              QColor(200, 220, 240), false, QString())
                                       .toImage();
            int black = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    black += qGray(picture.pixel(x, y)) < 20;
            QVERIFY2(black == 0, qPrintable(QStringLiteral("density %1: %2 black pixels").arg(c.dpr).arg(black)));
        }
    }

    void CopiedPictureStaysReadableOnADarkDesktop()
    {
        QPalette dark = FForm->palette();
        dark.setColor(QPalette::Base, QColor(35, 35, 35));
        dark.setColor(QPalette::Window, QColor(53, 53, 53));
        FForm->setPalette(dark);
        FForm->OptionsShowChordName->SetChecked(true);
        FForm->OptionsSaveBMP->SetChecked(true);
        Choose(0, QStringLiteral("maj"), 0);
        FForm->ChordNetBtnClick();
        const QColor paper = QGuiApplication::clipboard()->image().pixelColor(0, 0);
        QVERIFY2(Readable(QColor(0, 0, 128), paper) && Readable(QColor(128, 0, 0), paper), qPrintable(paper.name()));
    }
};

QTEST_MAIN(TestChordPage)
#include "TestChordPage.moc"
