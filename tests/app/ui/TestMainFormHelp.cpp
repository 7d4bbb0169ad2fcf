// The help page of the real main window: F1, the three pages, the texts in both languages.
#include "app/ui/MainUnit.h"
#include "app/ui/UnitPreview.h"
#include "toolkit/VxBalloonHint.h"
#include "toolkit/VxGradient.h"
#include "toolkit/VxLookOut.h"
#include "TestSupport.h"
#include "lang/lcComp.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Controls.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

namespace {

void ChooseLanguage(TMainForm &form, int index)
{
    form.LangComboBox->setCurrentIndex(index);
    emit form.LangComboBox->activated(index);
}

QString Resource(const char *name)
{
    return QString::fromUtf8(TestSupport::ReadFile(QStringLiteral(":/") + QLatin1String(name)));
}

TVxGradientHeaderPanel *Header(const TMainForm &form, int n)
{
    return form.findChild<TVxGradientHeaderPanel *>(QStringLiteral("VxGradientHeader%1").arg(n));
}

// A memo shows when the bar's topmost widget just below its page's caption belongs to it.
bool Shows(const TMainForm &form, TMemo *memo)
{
    const QPoint point = memo->mapTo(form.VxLookOut, QPoint(memo->width() / 2, 8));
    QWidget *top = form.VxLookOut->childAt(point);
    return top && (top == memo || memo->isAncestorOf(top));
}

// Saves a picture for a person to look at when VX_GRAB_DIR names a folder.
void Keep(QWidget *widget, const char *name)
{
    const QString folder = qEnvironmentVariable("VX_GRAB_DIR");
    if (!folder.isEmpty())
        widget->grab().save(folder + QLatin1Char('/') + QLatin1String(name));
}

} // namespace

class TestMainFormHelp : public QObject
{
    Q_OBJECT
    QStringList FBoxes;

private slots:
    void init()
    {
        Application::ResetTermination();
        TestSupport::RecordMessageBoxes(FBoxes);
        TestSupport::UseCapturePort();
    }

    void cleanup()
    {
        TestSupport::RestoreDevicesAndBoxes();
    }

    void F1WithoutHelpFileOpensTheHelpPage()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(!QFileInfo::exists(form.HelpFileName()));
        QVERIFY(form.LabelOpenHelp->isHidden());
        form.VxLookOut->SetActivePage(form.SongbookPage);
        form.PageControl->setCurrentWidget(form.TuningTab);
        QTest::keyClick(form.windowHandle(), Qt::Key_F1);
        QCOMPARE(form.PageControl->currentWidget(), form.HelpTab);
        QCOMPARE(form.VxLookOut->ActivePage(), form.HelpPage);
        QVERIFY(Shows(form, form.HelpMemo));
        QVERIFY(!Shows(form, form.SongbookMemo));
        QVERIFY(form.HelpMemo->Text().size() > 1000);
        QVERIFY(FBoxes.isEmpty());
        // A help file found later shows its link; the file name follows the language.
        ChooseLanguage(form, 1);
        QVERIFY(form.HelpFileName().endsWith(QLatin1String("/help_en.chm")));
        ChooseLanguage(form, 0);
        QCOMPARE(form.HelpFileName(), dir.filePath(QStringLiteral("help.chm")));
        QVERIFY(TestSupport::WriteFile(form.HelpFileName(), "not opened by the test"));
        ChooseLanguage(form, 0);
        QVERIFY(!form.LabelOpenHelp->isHidden());
    }

    void HeadersOpenTheirPages()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControl->setCurrentWidget(form.HelpTab);
        const struct {
            int header;
            TVxLookOutPage *page;
            TMemo *memo;
        } cases[] = {
            {2, form.HistoryPage, form.HistoryMemo},
            {3, form.SongbookPage, form.SongbookMemo},
            {1, form.HelpPage, form.HelpMemo},
            {3, form.SongbookPage, form.SongbookMemo},
        };
        for (const auto &c : cases) {
            QTest::mouseClick(Header(form, c.header), Qt::LeftButton);
            QCOMPARE(form.VxLookOut->ActivePage(), c.page);
            for (TMemo *memo : {form.HelpMemo, form.HistoryMemo, form.SongbookMemo})
                QCOMPARE(Shows(form, memo), memo == c.memo);
            // The open page takes the room the closed ones leave.
            QVERIFY(c.memo->height() > 3 * Header(form, 1)->height());
        }
        // Captions: the open page and those before it at the top, the others stacked at the bottom.
        const int height = form.VxLookOut->height();
        QCOMPARE(form.HelpPage->y(), 2);
        QCOMPARE(form.HistoryPage->y(), 2 + 20);
        QCOMPARE(form.SongbookPage->y(), 2 + 40);
        QTest::mouseClick(Header(form, 1), Qt::LeftButton);
        QCOMPARE(form.HistoryPage->y(), 2 + height - 40 - 4 + 1);
        QCOMPARE(form.SongbookPage->y(), 2 + height - 20 - 4 + 1);
        QCOMPARE(form.HelpPage->height(), height - 40);
        Keep(&form, "help-page.png");
        // A sender whose name ends in no page number changes nothing.
        form.VxGradientHeader1Click(form.HelpMemo);
        QCOMPARE(form.VxLookOut->ActivePage(), form.HelpPage);
        QVERIFY(form.SongbookMemo->Text().contains(QLatin1String("Am")));
        QVERIFY(form.SongbookMemo->isReadOnly());
    }

    // The titles stand on the desktop's selection colour, which a high-contrast theme makes light.
    void HeaderTitlesStayReadableOnTheSelectionColour()
    {
        const struct {
            QColor highlight;
            QColor highlightedText;
        } cases[] = {
            {QColor(0, 255, 255), QColor(Qt::black)},
            {QColor(255, 255, 0), QColor(Qt::black)},
            {QColor(0, 0, 128), QColor(Qt::white)},
        };
        const struct Restore {
            QPalette original = QApplication::palette();
            ~Restore() { QApplication::setPalette(original); }
        } restore;
        for (const auto &c : cases) {
            QPalette palette = restore.original;
            palette.setColor(QPalette::Highlight, c.highlight);
            palette.setColor(QPalette::HighlightedText, c.highlightedText);
            QApplication::setPalette(palette);
            QTemporaryDir dir;
            TMainForm form(dir.path());
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.PageControl->setCurrentWidget(form.HelpTab);
            for (int n = 1; n <= 3; ++n) {
                const QColor ink = Header(form, n)->Label()->palette().color(QPalette::WindowText);
                QVERIFY2(Readable(ink, c.highlight), qPrintable(ink.name() + QLatin1Char(' ') + c.highlight.name()));
            }
        }
    }

    void HintsShowAsBalloonsWhileTheOptionIsOn()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControl->setCurrentWidget(form.MainTab);
        QWidget *next = form.findChild<QWidget *>(QStringLiteral("ButtonNext"));
        QVERIFY(next && !next->toolTip().isEmpty());
        const auto askForHint = [next] {
            const QPoint pos = next->rect().center();
            QHelpEvent help(QEvent::ToolTip, pos, next->mapToGlobal(pos));
            QApplication::sendEvent(next, &help);
        };
        const struct {
            bool hints;
            bool balloon;
        } cases[] = {{true, true}, {false, false}, {true, true}};
        for (const auto &c : cases) {
            form.OptionsShowHints->setChecked(c.hints);
            form.VxBalloonHint->CancelHint();
            askForHint();
            TVxBalloonWindow *balloon = form.VxBalloonHint->ApplicationBalloon();
            QCOMPARE(balloon != nullptr, c.balloon);
            QVERIFY(!QToolTip::isVisible());
            if (!balloon)
                continue;
            QVERIFY(balloon->isVisible());
            QCOMPARE(balloon->Message(), next->toolTip());
            QVERIFY(balloon->ShowsIcon());
            QVERIFY(!balloon->ShowsHeader());
            // The stem's tip is on the point the hint was asked for.
            const QPoint anchor = next->mapToGlobal(next->rect().center());
            QVERIFY(balloon->geometry().contains(anchor));
            Keep(balloon, "balloon.png");
        }
        // A key press takes the balloon away.
        QTest::keyClick(&form, Qt::Key_Shift);
        QVERIFY(!form.VxBalloonHint->ApplicationBalloon());
    }

    void TextsFollowTheLanguage()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        const QString russian = Resource("Helprus.txt");
        const QString english = Resource("Helpeng.txt");
        const struct {
            int index;
            const QString &help;
            const char *history;
            const char *header1;
            const char *header2;
            const char *header3;
        } cases[] = {
            {0, russian, "Версия 1.4.5", "Справка", "История версий", "Песенник"},
            {1, english, "Version 1.4.5", "Help", "Version history", "Songbook"},
            {0, russian, "Версия 1.4.5", "Справка", "История версий", "Песенник"},
        };
        for (const auto &c : cases) {
            ChooseLanguage(form, c.index);
            QCOMPARE(form.HelpMemo->Text(), c.help);
            QCOMPARE(form.HistoryMemo->Lines().first(), QString::fromUtf8(c.history));
            QCOMPARE(form.HistoryMemo->Lines().size(), 4);
            QCOMPARE(Header(form, 1)->LabelCaption(), QString::fromUtf8(c.header1));
            QCOMPARE(Header(form, 2)->LabelCaption(), QString::fromUtf8(c.header2));
            QCOMPARE(Header(form, 3)->LabelCaption(), QString::fromUtf8(c.header3));
        }
    }

    // The help texts describe this window: every page and option under the caption it shows.
    void HelpTextsNameTheWindowsRealControls()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        const QStringList keys = {QStringLiteral("F1"),  QStringLiteral("F5"),     QStringLiteral("Esc"),
                                  QStringLiteral("Del"), QStringLiteral("Ins"),    QStringLiteral("PgDn"),
                                  QStringLiteral("PgUp"), QStringLiteral("Ctrl+C"), QStringLiteral("Ctrl+O"),
                                  QStringLiteral("Ctrl+S"), QStringLiteral("F9"),   QStringLiteral("1–6"),
                                  QStringLiteral("veltrasomin_chords.ini"), QStringLiteral("user_chords.ini"),
                                  QStringLiteral("veltrasomin_settings.ini"), QStringLiteral("help.chm"),
                                  QStringLiteral("help_en.chm"), QStringLiteral("~/.local/share/vexo-veltrasomin")};
        for (int index : {0, 1}) {
            ChooseLanguage(form, index);
            const QString help = form.HelpMemo->Text();
            QVERIFY(help.size() > 4000);
            QStringList missing;
            for (const QString &key : keys)
                if (!help.contains(key))
                    missing << key;
            const QList<QWidget *> controls = {form.MainTab, form.TuningTab, form.MiscTab, form.OptionsTab,
                                               form.HelpTab, form.TabSheetTable, form.TabSheetText};
            for (QWidget *control : controls) {
                const QString caption = control->property("Caption").toString();
                if (!help.contains(caption))
                    missing << caption;
            }
            for (QObject *control : QList<QObject *>{form.OptionsFlats, form.OptionsShowNotes, form.OptionsShowChordName,
                                                     form.OptionsSaveBMP, form.OptionsShowHints, form.OptionsTrayIcon,
                                                     form.OptionsCheckText, form.OptionsAlwaysOnTop, form.EastWestRG,
                                                     form.SpeedButtonDefault, form.CopyBitBtn, form.PopUpOpenFile,
                                                     form.PopUpSave, form.PopUpFont, form.PopUpPreview,
                                                     form.RightHand, form.LeftHand}) {
                const QString caption = control->property("Caption").toString();
                if (!help.contains(caption))
                    missing << caption;
            }
            QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(" | "))));
        }
    }

    void DoubleClickShowsTheHelpInThePreview()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControl->setCurrentWidget(form.HelpTab);
        const QPoint inside = form.HelpMemo->viewport()->rect().center();
        QTest::mouseDClick(form.HelpMemo->viewport(), Qt::LeftButton, Qt::ControlModifier, inside);
        QVERIFY(!form.FormPreview);
        QTest::mouseDClick(form.HelpMemo->viewport(), Qt::LeftButton, Qt::NoModifier, inside);
        QVERIFY(form.FormPreview);
        QCOMPARE(form.FormPreview->MemoPreview->Text(), form.HelpMemo->Text());
        QVERIFY(!form.FormPreview->FromSongText());
        // The help page stays where it was.
        QCOMPARE(form.PageControl->currentWidget(), form.HelpTab);
    }
};

QTEST_MAIN(TestMainFormHelp)
#include "TestMainFormHelp.moc"
