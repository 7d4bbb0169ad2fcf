// The tuner page of the real main window, offscreen on a temporary data folder.
#include "app/ui/MainUnit.h"
#include "midi/MidiGen.h"
#include "TestSupport.h"
#include "platform/midiout/CaptureDevice.h"
#include "platform/vcl/Application.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

namespace {

template <class T>
T *Row(const TMainForm &form, const char *prefix, int n)
{
    T *control = form.TuningTab->findChild<T *>(QLatin1String(prefix) + QString::number(n));
    if (!control)
        qFatal("no %s%d on the tuner page", prefix, n);
    return control;
}

QString Notes(const TMainForm &form)
{
    QStringList notes;
    for (int n = 1; n <= 6; ++n)
        notes.append(Row<TEdit>(form, "EditStr", n)->isHidden() ? QStringLiteral("-")
                                                                : Row<TEdit>(form, "EditStr", n)->Text());
    return notes.join(QLatin1Char(' '));
}

QString Labels(const TMainForm &form)
{
    QStringList labels;
    for (int n = 1; n <= 6; ++n)
        labels.append(Row<TLabel>(form, "Struna", n)->isHidden() ? QStringLiteral("-")
                                                                 : Row<TLabel>(form, "Struna", n)->Caption());
    return labels.join(QLatin1Char(' '));
}

QString Down(const TMainForm &form)
{
    QString down;
    for (int n = 1; n <= 6; ++n)
        down += Row<TSpeedButton>(form, "SpeedButton", n)->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    return down;
}

// English texts with the East notation (H is si), which these cases are written in.
QString EastInEnglish(const QTemporaryDir &dir)
{
    TestSupport::WriteFile(dir, QStringLiteral("veltrasomin_settings.ini"), "[OPTIONS]\nLangComboBox=1\nEastWestRG=0\n");
    return dir.path();
}

void Choose(TMainForm &form, int row)
{
    form.TuningsList->setCurrentIndex(row);
    form.TuningsListChange();
}

} // namespace

class TestMainFormTuner : public QObject
{
    Q_OBJECT
    QStringList FBoxes;
    std::shared_ptr<TCaptureDevice> FDevice;

    // The keys and ticks of the notes that start while the capture clock runs a number of events.
    QList<QPair<quint64, int>> NotesStarted(int events)
    {
        QList<QPair<quint64, int>> started;
        FDevice->Clear();
        for (int i = 0; i < events; ++i) {
            QCoreApplication::sendPostedEvents();
            if (!FDevice->Step())
                break;
        }
        for (const auto &e : FDevice->Events())
            if ((e.message & 0xF0) == 0x90 && (e.message >> 16) > 0)
                started.append({e.tick, int((e.message >> 8) & 0x7F)});
        return started;
    }

private slots:
    void init()
    {
        TestSupport::RecordMessageBoxes(FBoxes);
        FDevice = TestSupport::UseCapturePort();
    }

    void cleanup()
    {
        TestSupport::RestoreDevicesAndBoxes();
    }

    void StartsInStandardTuningWithTheListOfTheNotation()
    {
        QTemporaryDir dir;
        TMainForm form(EastInEnglish(dir));
        QCOMPARE(Notes(form), QStringLiteral("E5 H4 G4 D4 A3 E3"));
        QCOMPARE(Labels(form), QStringLiteral("1 2 3 4 5 6"));
        QCOMPARE(form.TuningsList->count(), 18);
        QCOMPARE(form.TuningsList->ItemIndex(), 0);
        QVERIFY(form.TuningsList->Text().startsWith(QStringLiteral("Standard ")));
        QVERIFY(form.TuningsList->Text().endsWith(QStringLiteral(" EADGHE")));
        QVERIFY(form.TuningsList->Items().last().startsWith(QStringLiteral("Mandolin Standard ")));
    }

    // A sharp note with its octave must be read whole in the note boxes under a large desktop font.
    void NoteBoxesHoldSharpNotesUnderALargeFont()
    {
        const int pointSizes[] = {9, 20, 28};
        const char *const notes[] = {"C#5", "G#4", "D#3", "A#1"};
        const TestSupport::TAppFontSize fontSize;
        for (const int pointSize : pointSizes) {
            fontSize.Set(pointSize);
            QTemporaryDir dir;
            TMainForm form(EastInEnglish(dir));
            for (int n = 1; n <= 6; ++n) {
                const TEdit *edit = Row<TEdit>(form, "EditStr", n);
                QStyleOptionFrame frame;
                frame.initFrom(edit);
                frame.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit);
                const int room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &frame, edit).width();
                for (const char *note : notes)
                    QVERIFY2(edit->fontMetrics().horizontalAdvance(QLatin1String(note)) + 2 * 2 <= room,
                             qPrintable(QString::number(pointSize)));
            }
        }
    }

    void FourStringTuningsHideTheTopRows()
    {
        QTemporaryDir dir;
        TMainForm form(EastInEnglish(dir));
        Choose(form, 15); // Bass Standard
        QCOMPARE(Notes(form), QStringLiteral("- - G3 D3 A2 E2"));
        QCOMPARE(Labels(form), QStringLiteral("- - 1 2 3 4"));
        for (const char *prefix : {"SpeedButton", "Shape", "SBStr"}) {
            QVERIFY(Row<QWidget>(form, prefix, 1)->isHidden());
            QVERIFY(Row<QWidget>(form, prefix, 2)->isHidden());
            QVERIFY(!Row<QWidget>(form, prefix, 3)->isHidden());
        }
        Choose(form, 17); // Mandolin Standard
        QCOMPARE(Notes(form), QStringLiteral("- - E6 A5 D5 G4"));
        Choose(form, 4); // Open D: all six rows again
        QCOMPARE(Notes(form), QStringLiteral("D5 A4 F#4 D4 A3 D3"));
        QCOMPARE(Labels(form), QStringLiteral("1 2 3 4 5 6"));
    }

    void RaisesAndLowersStringsOneAndAll()
    {
        QTemporaryDir dir;
        TMainForm form(EastInEnglish(dir));
        emit Row<TSpinButton>(form, "SBStr", 6)->DownClick();
        QCOMPARE(Notes(form), QStringLiteral("E5 H4 G4 D4 A3 D#3"));
        emit Row<TSpinButton>(form, "SBStr", 2)->UpClick();
        QCOMPARE(Notes(form), QStringLiteral("E5 C5 G4 D4 A3 D#3"));
        emit form.SBAll->UpClick();
        QCOMPARE(Notes(form), QStringLiteral("F5 C#5 G#4 D#4 A#3 E3"));
        for (int i = 0; i < 30; ++i)
            emit form.SBAll->DownClick();
        QCOMPARE(Notes(form), QStringLiteral("H2 G2 D2 A1 E1 C1"));
        // A string at the lowest note stays there while the others go on down.
        for (int i = 0; i < 20; ++i)
            emit form.SBAll->DownClick();
        QCOMPARE(Notes(form), QStringLiteral("D#1 C1 C1 C1 C1 C1"));
        // Hidden strings move with the others.
        Choose(form, 16); // Bass Dropped D
        emit form.SBAll->UpClick();
        QCOMPARE(Notes(form), QStringLiteral("- - G#3 D#3 A#2 D#2"));
        Choose(form, 0);
        QCOMPARE(Notes(form), QStringLiteral("E5 H4 G4 D4 A3 E3"));
    }

    void TabReachesTheStringArrowsAndTheArrowKeysMoveThem()
    {
        QTemporaryDir dir;
        TMainForm form(EastInEnglish(dir));
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.PageControl->setCurrentWidget(form.TuningTab);
        Row<TEdit>(form, "EditStr", 6)->setFocus();
        const struct {
            Qt::Key key;
            QWidget *focus;
            const char *notes;
        } steps[] = {
            {Qt::Key_Tab, Row<TSpinButton>(form, "SBStr", 6), "E5 H4 G4 D4 A3 E3"},
            {Qt::Key_Down, Row<TSpinButton>(form, "SBStr", 6), "E5 H4 G4 D4 A3 D#3"},
            {Qt::Key_Tab, form.SBAll, "E5 H4 G4 D4 A3 D#3"},
            {Qt::Key_Up, form.SBAll, "F5 C5 G#4 D#4 A#3 E3"},
        };
        for (const auto &s : steps) {
            QTest::keyClick(form.windowHandle(), s.key);
            QCOMPARE(form.focusWidget(), s.focus);
            QCOMPARE(Notes(form), QLatin1String(s.notes));
        }
    }

    void NotationChangeResetsTheTuner()
    {
        QTemporaryDir dir;
        TMainForm form(EastInEnglish(dir));
        Choose(form, 15);
        emit Row<TSpinButton>(form, "SBStr", 3)->UpClick();
        form.EastWestRG->SetItemIndex(1);
        QCOMPARE(Notes(form), QStringLiteral("E5 B4 G4 D4 A3 E3"));
        QCOMPARE(Labels(form), QStringLiteral("1 2 3 4 5 6"));
        QCOMPARE(form.TuningsList->ItemIndex(), 0);
        QVERIFY(form.TuningsList->Text().endsWith(QStringLiteral(" EADGBE")));
        Choose(form, 14); // Bass 6 strings
        QCOMPARE(Notes(form), QStringLiteral("C4 G3 D3 A2 E2 B1"));
        form.EastWestRG->SetItemIndex(0);
        QCOMPARE(Notes(form), QStringLiteral("E5 H4 G4 D4 A3 E3"));
        QVERIFY(form.TuningsList->Text().endsWith(QStringLiteral(" EADGHE")));
    }

    void OneStringSoundsAtATimeAndLeavingThePageSilencesIt()
    {
        QTemporaryDir dir;
        TMainForm form(EastInEnglish(dir));
        form.PageControl->setCurrentWidget(form.TuningTab);
        Row<TSpeedButton>(form, "SpeedButton", 2)->click();
        QCOMPARE(Down(form), QStringLiteral("010000"));
        Row<TSpeedButton>(form, "SpeedButton", 5)->click();
        QCOMPARE(Down(form), QStringLiteral("000010"));
        Row<TSpeedButton>(form, "SpeedButton", 5)->click();
        QCOMPARE(Down(form), QStringLiteral("000000")); // all may be up
        Row<TSpeedButton>(form, "SpeedButton", 1)->click();
        Choose(form, 15); // string 1 is gone, and its toggle with it
        QCOMPARE(Down(form), QStringLiteral("000000"));
        Row<TSpeedButton>(form, "SpeedButton", 4)->click();
        form.PageControl->setCurrentWidget(form.MainTab);
        QCOMPARE(Down(form), QStringLiteral("000000"));
    }

    // An arrow held down while the window or its page hides never sees its release, and must not
    // go on moving the string.
    void AHeldArrowLetsGoWhenTheWindowOrThePageHides()
    {
        const struct {
            const char *name;
            std::function<void(TMainForm &)> hide;
        } cases[] = {
            {"window", [](TMainForm &form) { form.hide(); }},
            {"page", [](TMainForm &form) { form.PageControl->setCurrentWidget(form.MainTab); }},
        };
        for (const auto &c : cases) {
            QTemporaryDir dir;
            TMainForm form(EastInEnglish(dir));
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.PageControl->setCurrentWidget(form.TuningTab);
            QToolButton *up = Row<TSpinButton>(form, "SBStr", 6)->UpButton();
            QTest::mousePress(up, Qt::LeftButton);
            QVERIFY(up->isDown());
            c.hide(form);
            QVERIFY2(!up->isDown(), c.name);
        }
    }

    // A message box over the window takes the release as well. With a device that fails, the box
    // came from the arrow's own repeated click, and every further repeat stepped the string and
    // opened one more box on top.
    void AHeldArrowLetsGoWhenAMessageBoxBlocksTheWindow()
    {
        QTemporaryDir dir;
        TMainForm form(EastInEnglish(dir));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControl->setCurrentWidget(form.TuningTab);
        QToolButton *up = Row<TSpinButton>(form, "SBStr", 6)->UpButton();
        QTest::mousePress(up, Qt::LeftButton);
        QVERIFY(up->isDown());
        QMessageBox box(&form);
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        QVERIFY(!up->isDown());
    }

    void APressedStringRepeatsUntilReleased()
    {
        QTemporaryDir dir;
        TMainForm form(EastInEnglish(dir));
        form.PageControl->setCurrentWidget(form.TuningTab);
        form.DurationTrackBar->SetPosition(5);
        Row<TSpeedButton>(form, "SpeedButton", 6)->click();
        QVERIFY(form.MidiGen->IsPlaying());
        auto started = NotesStarted(400);
        QVERIFY2(started.size() >= 3, qPrintable(QString::number(started.size())));
        for (int i = 0; i < started.size(); ++i) {
            QCOMPARE(started[i].second, 40); // E3
            if (i > 0)
                QCOMPARE(started[i].first - started[i - 1].first, quint64(100)); // one second
        }
        // Lowered while it sounds, the string goes on at its new pitch.
        emit Row<TSpinButton>(form, "SBStr", 6)->DownClick();
        QVERIFY(form.MidiGen->IsPlaying());
        started = NotesStarted(400);
        QVERIFY(started.size() >= 2);
        for (const auto &note : started)
            QCOMPARE(note.second, 39);

        // At the shortest duration a string starts again every 100 ms; si is the generator's B.
        form.DurationTrackBar->SetPosition(0);
        form.EastWestRG->SetItemIndex(1);
        // The switch starts string 6 again in standard tuning; it sounds before string 2 is pressed.
        QCOMPARE(NotesStarted(1).value(0).second, 40);
        QCoreApplication::sendPostedEvents();
        Row<TSpeedButton>(form, "SpeedButton", 2)->click();
        QCOMPARE(Down(form), QStringLiteral("010000"));
        started = NotesStarted(400);
        QVERIFY(started.size() >= 3);
        QCOMPARE(started[0].second, 59); // H4
        QCOMPARE(started[2].first - started[1].first, quint64(10));

        Row<TSpeedButton>(form, "SpeedButton", 2)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!form.MidiGen->IsPlaying(), 3000); // the stream's close is reported
        Row<TSpeedButton>(form, "SpeedButton", 3)->click();
        QVERIFY(form.MidiGen->IsPlaying());
        QVERIFY(!NotesStarted(40).isEmpty());
        form.PageControl->setCurrentWidget(form.OptionsTab);
        QTRY_VERIFY_WITH_TIMEOUT(!form.MidiGen->IsPlaying(), 3000);
        QCOMPARE(Down(form), QStringLiteral("000000"));
        QVERIFY2(FBoxes.isEmpty(), qPrintable(FBoxes.join(QLatin1Char('\n'))));
    }

    // What the user does while a string's stream is still opening must reach the sound too, not
    // leave the first note repeating under what the page shows.
    void AChangeWhileAStringStartsIsHeard()
    {
        const struct {
            const char *change;
            std::function<void(TMainForm &)> act;
            const char *down;
            int note;
        } cases[] = {
            {"string lowered", [](TMainForm &f) { emit Row<TSpinButton>(f, "SBStr", 6)->DownClick(); }, "000001", 39},
            {"tuning chosen", [](TMainForm &f) { Choose(f, 1); }, "000001", 38},
            {"other string pressed", [](TMainForm &f) { Row<TSpeedButton>(f, "SpeedButton", 2)->click(); }, "010000", 59},
        };
        for (const auto &c : cases) {
            QTemporaryDir dir;
            TMainForm form(EastInEnglish(dir));
            form.PageControl->setCurrentWidget(form.TuningTab);
            QTimer::singleShot(0, &form, [&form, &c] { c.act(form); });
            Row<TSpeedButton>(form, "SpeedButton", 6)->click();
            QCOMPARE(Down(form), QLatin1String(c.down));
            NotesStarted(20); // the pass under way
            const auto started = NotesStarted(400);
            QVERIFY2(started.size() >= 2, c.change);
            for (const auto &note : started)
                QVERIFY2(note.second == c.note, c.change);
        }
    }

    // A quick click on another page can be handled while the string's stream is still opening,
    // before the generator counts it as playing.
    void LeavingThePageWhileAStringStartsSilencesIt()
    {
        QTemporaryDir dir;
        TMainForm form(EastInEnglish(dir));
        form.PageControl->setCurrentWidget(form.TuningTab);
        QTimer::singleShot(0, &form, [&form] { form.PageControl->setCurrentWidget(form.OptionsTab); });
        Row<TSpeedButton>(form, "SpeedButton", 3)->click();
        QCOMPARE(form.PageControl->currentWidget(), form.OptionsTab);
        QCOMPARE(Down(form), QStringLiteral("000000"));
        // The pass already under way may end; no further one starts.
        QVERIFY(NotesStarted(400).size() <= 1);
        QTRY_VERIFY_WITH_TIMEOUT(!form.MidiGen->IsPlaying(), 3000);
    }
};

QTEST_MAIN(TestMainFormTuner)
#include "TestMainFormTuner.moc"
