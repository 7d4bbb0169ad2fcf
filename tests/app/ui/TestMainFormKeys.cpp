// The keyboard of the real main window: keys go through the window as typed ones do.
#include "app/core/Tuner.h"
#include "app/ui/MainUnit.h"
#include "app/ui/UnitPreview.h"
#include "midi/MidiGen.h"
#include "TestSupport.h"
#include "platform/midiout/CaptureDevice.h"
#include "platform/vcl/ActionList.h"
#include "platform/vcl/Application.h"

#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QLineEdit>
#include <QTableWidget>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// What the chord keys can change: root, chord type, fingering number.
QString ChordState(const TMainForm &form)
{
    return QStringLiteral("%1|%2|%3|%4")
        .arg(form.Root->ItemIndex())
        .arg(form.ChordType->Text())
        .arg(form.State().currentChordType)
        .arg(form.State().currentScheme);
}

TSpeedButton *StringButton(const TMainForm &form, int n)
{
    return form.TuningTab->findChild<TSpeedButton *>(QStringLiteral("SpeedButton%1").arg(n));
}

} // namespace

class TestMainFormKeys : public QObject
{
    Q_OBJECT
    QStringList FBoxes;
    std::shared_ptr<TCaptureDevice> FDevice;
    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TMainForm> FForm;

    void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(FForm->windowHandle(), key, mods);
    }

    void ClearFocus()
    {
        if (FForm->focusWidget())
            FForm->focusWidget()->clearFocus();
    }

    bool SoundStarted()
    {
        QCoreApplication::sendPostedEvents();
        return FForm->MidiGen->IsPlaying() || !FDevice->Events().empty();
    }

private slots:
    void init()
    {
        Application::ResetTermination();
        TestSupport::RecordMessageBoxes(FBoxes);
        FDevice = TestSupport::UseCapturePort();
        FDir = std::make_unique<QTemporaryDir>();
        FForm = std::make_unique<TMainForm>(FDir->path());
        FForm->show();
        QVERIFY(QTest::qWaitForWindowActive(FForm.get()));
        QCOMPARE(FForm->PageControl->currentWidget(), FForm->MainTab);
        ClearFocus();
    }

    void cleanup()
    {
        FForm.reset();
        FDir.reset();
        TestSupport::RestoreDevicesAndBoxes();
        Application::ResetTermination();
    }

    void ChordKeysStepFingeringsRootsAndTypes()
    {
        FForm->Root->SetItemIndex(9); // A
        FForm->RootChange();
        QVERIFY(FForm->State().schemeCount > 2);
        const QString firstScheme = FForm->State().currentScheme12;
        const int type = FForm->ChordType->ItemIndex();
        const struct {
            Qt::Key key;
            int root;
            int chordType;
            int scheme;
        } steps[] = {
            {Qt::Key_Right, 9, type, 2},
            {Qt::Key_Right, 9, type, 3},
            {Qt::Key_Left, 9, type, 2},
            {Qt::Key_Left, 9, type, 1},
            {Qt::Key_Left, 9, type, 1},       // no fingering before the first
            {Qt::Key_Delete, 10, type, 1},    // next root
            {Qt::Key_Delete, 11, type, 1},
            {Qt::Key_Delete, 11, type, 1},    // the last root stays
            {Qt::Key_Insert, 10, type, 1},    // previous root
            {Qt::Key_PageDown, 10, type + 1, 1},
            {Qt::Key_PageUp, 10, type, 1},
        };
        for (const auto &step : steps) {
            Press(step.key);
            QCOMPARE(FForm->Root->ItemIndex(), step.root);
            QCOMPARE(FForm->ChordType->ItemIndex(), step.chordType);
            QCOMPARE(FForm->State().currentScheme, step.scheme);
        }
        // The keys show what the mouse would: the type's fingerings from the first.
        Press(Qt::Key_PageDown);
        QCOMPARE(FForm->ChordType->Text(), QStringLiteral("m"));
        QCOMPARE(FForm->State().currentChordType, QStringLiteral("m"));
        FForm->Root->SetItemIndex(9);
        FForm->RootChange();
        Press(Qt::Key_PageUp);
        QCOMPARE(FForm->State().currentScheme12, firstScheme);

        // The ends of the lists.
        FForm->Root->SetItemIndex(0);
        FForm->ChordType->SetItemIndex(0);
        const QString atStart = ChordState(*FForm);
        Press(Qt::Key_Insert);
        Press(Qt::Key_PageUp);
        QCOMPARE(ChordState(*FForm), atStart);
        FForm->ChordType->SetItemIndex(FForm->ChordType->count() - 1);
        Press(Qt::Key_PageDown);
        QCOMPARE(FForm->ChordType->ItemIndex(), FForm->ChordType->count() - 1);

        Press(Qt::Key_Space);
        QVERIFY(SoundStarted());
    }

    void KeysInTheChordTypeBoxEditItsText()
    {
        QLineEdit *edit = FForm->ChordType->lineEdit();
        FForm->ChordType->setFocus();
        QVERIFY(FForm->ChordType->hasFocus() || edit->hasFocus());
        FForm->ChordType->SetText(QStringLiteral("m7"));
        const int root = FForm->Root->ItemIndex();
        const int scheme = FForm->State().currentScheme;
        edit->setCursorPosition(0);
        Press(Qt::Key_Right);
        QCOMPARE(edit->cursorPosition(), 1);
        QCOMPARE(FForm->State().currentScheme, scheme);
        Press(Qt::Key_Left);
        QCOMPARE(edit->cursorPosition(), 0);
        edit->setSelection(0, 2);
        Press(Qt::Key_Left);
        QCOMPARE(edit->cursorPosition(), 0);
        QVERIFY(!edit->hasSelectedText());
        edit->setSelection(0, 1);
        Press(Qt::Key_Right);
        QCOMPARE(edit->cursorPosition(), 1);
        QVERIFY(!edit->hasSelectedText());

        // Del deletes the character after the caret and shows the new type; the root stays.
        Press(Qt::Key_Delete);
        QCOMPARE(edit->text(), QStringLiteral("m"));
        QCOMPARE(edit->cursorPosition(), 1);
        QCOMPARE(FForm->State().currentChordType, QStringLiteral("m"));
        QCOMPARE(FForm->Root->ItemIndex(), root);
        Press(Qt::Key_Delete); // nothing after the caret
        QCOMPARE(edit->text(), QStringLiteral("m"));
        QCOMPARE(FForm->Root->ItemIndex(), root);
        edit->selectAll();
        Press(Qt::Key_Delete);
        QCOMPARE(edit->text(), QString());
        QCOMPARE(FForm->State().currentChordType, QStringLiteral("maj"));

        // Space plays even from the box, and types nothing.
        Press(Qt::Key_Space);
        QCOMPARE(edit->text(), QString());
        QVERIFY(SoundStarted());
    }

    void ChordKeysRestOffTheChordPage()
    {
        const QString before = ChordState(*FForm);
        for (QWidget *page : {static_cast<QWidget *>(FForm->TuningTab), static_cast<QWidget *>(FForm->OptionsTab),
                              static_cast<QWidget *>(FForm->HelpTab)}) {
            FForm->PageControl->setCurrentWidget(page);
            QCOMPARE(FForm->ActionListChord->State(), TActionList::asSuspended);
            ClearFocus();
            for (Qt::Key key : {Qt::Key_Space, Qt::Key_Right, Qt::Key_Left, Qt::Key_Delete, Qt::Key_Insert,
                                Qt::Key_PageDown, Qt::Key_PageUp})
                Press(key);
            QCOMPARE(ChordState(*FForm), before);
            QVERIFY(!SoundStarted());
        }
        FForm->PageControl->setCurrentWidget(FForm->MainTab);
        QCOMPARE(FForm->ActionListChord->State(), TActionList::asNormal);
        Press(Qt::Key_Delete);
        QVERIFY(ChordState(*FForm) != before);
    }

    void OpenPreviewTurnsTheChordKeysOff()
    {
        FForm->MemoTransp->SetText(QStringLiteral("Am Dm E"));
        FForm->MemoTranspDblClick(FForm->MemoTransp);
        QVERIFY(FForm->FormPreview);
        FForm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FForm.get()));
        ClearFocus();
        const QString before = ChordState(*FForm);
        Press(Qt::Key_Space);
        QVERIFY(!SoundStarted());
        QCOMPARE(FForm->ActionListChord->State(), TActionList::asSuspended);
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Delete, Qt::Key_Space})
            Press(key);
        QCOMPARE(ChordState(*FForm), before);
        QVERIFY(!SoundStarted());

        // Closed preview: the keys come back when the chord page shows again.
        FForm->FormPreview->close();
        FForm->PageControl->setCurrentWidget(FForm->OptionsTab);
        FForm->PageControl->setCurrentWidget(FForm->MainTab);
        ClearFocus();
        Press(Qt::Key_Delete);
        QVERIFY(ChordState(*FForm) != before);
    }

    void WindowKeysWorkOnEveryPage()
    {
        // F5 switches sharps and flats from any page.
        const bool flats = FForm->OptionsFlats->Checked();
        Press(Qt::Key_F5);
        QCOMPARE(FForm->OptionsFlats->Checked(), !flats);
        FForm->PageControl->setCurrentWidget(FForm->TuningTab);
        Press(Qt::Key_F5);
        QCOMPARE(FForm->OptionsFlats->Checked(), flats);

        // Ctrl+C on the chord page copies the chord even from the chord-type box.
        FForm->PageControl->setCurrentWidget(FForm->MainTab);
        FForm->OptionsSaveBMP->SetChecked(false);
        FForm->ChordType->setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("old"));
        Press(Qt::Key_C, Qt::ControlModifier);
        FForm->CopyChordAsText();
        const QString chordText = QGuiApplication::clipboard()->text();
        QVERIFY(chordText != QLatin1String("old"));
        QGuiApplication::clipboard()->setText(QStringLiteral("old"));
        FForm->ChordType->setFocus();
        Press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), chordText);
        QVERIFY(!FForm->ChordType->hasFocus() && !FForm->ChordType->lineEdit()->hasFocus());
    }

    void CtrlTabLeavesTheChordPage()
    {
        // Ctrl alone on the chord page clears the focus, before Tab arrives.
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            QWidget *page;
        } steps[] = {
            {Qt::Key_Tab, Qt::ControlModifier, FForm->TuningTab},
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, FForm->HelpTab},
        };
        for (const auto &s : steps) {
            FForm->ChordType->setFocus();
            Press(Qt::Key_Control, Qt::ControlModifier);
            Press(s.key, s.mods);
            QCOMPARE(FForm->PageControl->currentWidget(), s.page);
            QVERIFY(FForm->focusWidget());
            FForm->PageControl->setCurrentWidget(FForm->MainTab);
        }
    }

    void CtrlCOnTheTransposerCopiesTableOrSelection()
    {
        FForm->PageControl->setCurrentWidget(FForm->MiscTab);
        FForm->SrcComboBox->SetItemIndex(0);
        FForm->SrcComboBoxChange();
        FForm->CopyBitBtnClick();
        const QString table = QGuiApplication::clipboard()->text();
        QVERIFY(table.contains(QLatin1Char('\t')) || table.contains(QLatin1Char('\n')));

        FForm->MemoTransp->SetText(QStringLiteral("Am Dm"));
        FForm->PageControlTransp->setCurrentWidget(FForm->TabSheetText);
        FForm->MemoTransp->setFocus();
        QTextCursor cursor = FForm->MemoTransp->textCursor();
        cursor.setPosition(3);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        FForm->MemoTransp->setTextCursor(cursor);
        Press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Dm"));

        cursor.clearSelection();
        FForm->MemoTransp->setTextCursor(cursor);
        Press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), table);

        // A cell of the table in focus copies the table too, not the cell.
        QGuiApplication::clipboard()->clear();
        FForm->PageControlTransp->setCurrentIndex(0);
        FForm->StringGrid->setFocus();
        FForm->StringGrid->setCurrentCell(0, 0);
        Press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), table);
    }

    void TabLeavesTheTransposerTable()
    {
        FForm->PageControl->setCurrentWidget(FForm->MiscTab);
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers mods;
        } cases[] = {{Qt::Key_Tab, Qt::NoModifier}, {Qt::Key_Backtab, Qt::ShiftModifier}};
        for (const auto &c : cases) {
            FForm->StringGrid->setFocus();
            FForm->StringGrid->setCurrentCell(0, 0);
            Press(c.key, c.mods);
            QVERIFY(FForm->focusWidget() != FForm->StringGrid);
            QCOMPARE(FForm->StringGrid->currentColumn(), 0);
        }
    }

    void EnterPressesTheFocusedButton()
    {
        FForm->PageControl->setCurrentWidget(FForm->MiscTab);
        FForm->SrcComboBox->SetItemIndex(0);
        FForm->SrcComboBoxChange();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            QGuiApplication::clipboard()->setText(QStringLiteral("old"));
            FForm->CopyBitBtn->setFocus();
            Press(key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            QVERIFY(QGuiApplication::clipboard()->text().startsWith(QLatin1String("C  ->>  C")));
        }
    }

    void CtrlTabSwitchesPagesFromAList()
    {
        FForm->BuildLaterPages();
        const struct {
            QWidget *page;
            QWidget *focus;
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            QWidget *next;
        } cases[] = {
            {FForm->TuningTab, FForm->TuningsList, Qt::Key_Tab, Qt::ControlModifier, FForm->MiscTab},
            {FForm->MiscTab, FForm->DestComboBox, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier,
             FForm->TuningTab},
            {FForm->OptionsTab, FForm->LangComboBox, Qt::Key_Tab, Qt::ControlModifier, FForm->HelpTab},
        };
        for (const auto &c : cases) {
            FForm->PageControl->setCurrentWidget(c.page);
            c.focus->setFocus();
            const int item = static_cast<QComboBox *>(c.focus)->currentIndex();
            Press(c.key, c.mods);
            QCOMPARE(FForm->PageControl->currentWidget(), c.next);
            QCOMPARE(static_cast<QComboBox *>(c.focus)->currentIndex(), item);
        }
    }

    void DigitKeysToggleTheTunerStrings()
    {
        FForm->PageControl->setCurrentWidget(FForm->TuningTab);
        ClearFocus();
        Press(Qt::Key_2);
        QVERIFY(StringButton(*FForm, 2)->isChecked());
        QVERIFY(SoundStarted());
        Press(Qt::Key_6);
        QVERIFY(StringButton(*FForm, 6)->isChecked());
        QVERIFY(!StringButton(*FForm, 2)->isChecked());
        Press(Qt::Key_6);
        QVERIFY(!StringButton(*FForm, 6)->isChecked());
        Press(Qt::Key_7);
        Press(Qt::Key_0);
        for (int n = 1; n <= 6; ++n)
            QVERIFY(!StringButton(*FForm, n)->isChecked());

        // A four-string tuning counts from its top visible string; 5 and 6 do nothing.
        int fourStrings = -1;
        for (int row = 0; row < FForm->TuningsList->count() && fourStrings < 0; ++row)
            if (Tuner::UsedStringCount(row) == 4)
                fourStrings = row;
        QVERIFY(fourStrings >= 0);
        FForm->TuningsList->setCurrentIndex(fourStrings);
        FForm->TuningsListChange();
        QVERIFY(StringButton(*FForm, 1)->isHidden());
        const struct {
            Qt::Key key;
            int down; // 0 none
        } cases[] = {{Qt::Key_1, 3}, {Qt::Key_4, 6}, {Qt::Key_5, 6}, {Qt::Key_6, 6}, {Qt::Key_2, 4}};
        for (const auto &c : cases) {
            Press(c.key);
            for (int n = 1; n <= 6; ++n)
                QCOMPARE(StringButton(*FForm, n)->isChecked(), n == c.down);
        }
    }

    void EscapeEndsTheProgramOnlyWithoutTheTrayOption()
    {
        FForm->OptionsTrayIcon->SetChecked(true);
        Press(Qt::Key_Escape);
        QVERIFY(!Application::Terminated());
        // Without a notification area the window is minimized rather than stranded.
        QVERIFY(FForm->isMinimized() || !FForm->isVisible());
        QVERIFY(!FForm->StartsHidden());
        FForm->OptionsTrayIcon->SetChecked(false);
        FForm->showNormal();
        FForm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FForm.get()));
        const QString settings = FDir->filePath(QStringLiteral("veltrasomin_settings.ini"));
        QVERIFY(!QFileInfo::exists(settings));
        Press(Qt::Key_Escape);
        QVERIFY(Application::Terminated());
        QCOMPARE(Application::ExitCode(), 0);
        QVERIFY2(QFileInfo::exists(settings), "leaving by Esc keeps the settings");
    }

    void EscapeThatClosesAListOrMenuEndsThere()
    {
        FForm->OptionsTrayIcon->SetChecked(false);
        struct { QWidget *page; std::function<void()> open; } cases[] = {
            {FForm->MainTab, [this] { FForm->Root->showPopup(); }},
            {FForm->MiscTab, [this] { FForm->DestComboBox->showPopup(); }},
            {FForm->MainTab, [this] { FForm->PopupMenu->popup(FForm->mapToGlobal(QPoint(20, 20))); }},
        };
        for (const auto &c : cases) {
            FForm->PageControl->setCurrentWidget(c.page);
            c.open();
            QTRY_VERIFY(QApplication::activePopupWidget());
            Press(Qt::Key_Escape);
            QTRY_VERIFY(!QApplication::activePopupWidget());
            QVERIFY(!Application::Terminated());
            QVERIFY(FForm->isVisible());
        }
    }
};

QTEST_MAIN(TestMainFormKeys)
#include "TestMainFormKeys.moc"
