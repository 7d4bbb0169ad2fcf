// The transposer page of the real main window, offscreen on a temporary data folder: the key
// table, the song editor's transposition, files, paste, the notation check, Ctrl+click on a
// chord and the preview window.
#include "app/core/Settings.h"
#include "app/core/xlat.h"
#include "app/ui/MainUnit.h"
#include "app/ui/UnitPreview.h"
#include "TestSupport.h"
#include "platform/vcl/Application.h"

#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QFontDialog>
#include <QInputMethodEvent>
#include <QTimer>
#include <QMimeData>
#include <QUrl>
#include <QWheelEvent>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <sys/stat.h>

class TestTransposerPage : public QObject
{
    Q_OBJECT
    QTemporaryDir FDir;
    std::unique_ptr<TMainForm> FForm;
    QStringList FBoxes;
    int FAnswer = Application::IDNO;

    QString Row(int row) const
    {
        QStringList names;
        for (int c = 0; c < 12; ++c)
            names.append(FForm->StringGrid->item(row, c)->text());
        return names.join(QLatin1Char(' '));
    }

    QString WriteFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = FDir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return path;
    }

    void SetSpelling(int notation, bool flats)
    {
        FForm->EastWestRG->SetItemIndex(notation);
        FForm->OptionsFlats->SetChecked(flats);
    }

    void Step(int index)
    {
        FForm->DestComboBox->SetItemIndex(index);
        FForm->DestComboBoxChange();
    }

    // A real Ctrl+click on the character at index of the song editor.
    void CtrlClick(int index)
    {
        QTextCursor cursor(FForm->MemoTransp->document());
        cursor.setPosition(index);
        const QPoint at = FForm->MemoTransp->cursorRect(cursor).center() + QPoint(2, 0);
        QTest::mouseClick(FForm->MemoTransp->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    }

    // A drag from another program let go at the end of the song text; true when it was taken.
    bool Drop(const QMimeData &dragged)
    {
        FForm->MemoTransp->moveCursor(QTextCursor::End);
        const QPoint end = FForm->MemoTransp->cursorRect().center();
        QDragEnterEvent enter(end, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(FForm->MemoTransp->viewport(), &enter);
        QDropEvent drop(end, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(FForm->MemoTransp->viewport(), &drop);
        return enter.isAccepted();
    }

    bool Drop(const QString &text)
    {
        QMimeData dragged;
        dragged.setText(text);
        return Drop(dragged);
    }

private slots:
    void init()
    {
        FBoxes.clear();
        FAnswer = Application::IDNO;
        Application::ResetTermination();
        Application::SetMessageBoxHook([this](const QString &text, const QString &caption, int flags) {
            FBoxes.append(caption + QLatin1Char('|') + text + QLatin1Char('|') + QString::number(flags));
            return FAnswer;
        });
        QVERIFY(FDir.isValid());
        // Chords clicked in the text are heard by a capture port, not the sound card.
        TestSupport::UseCapturePort();
        FForm = std::make_unique<TMainForm>(FDir.path());
        FForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(FForm.get()));
        QVERIFY(!Application::Terminated());
        FForm->PageControl->setCurrentWidget(FForm->MiscTab);
        FForm->PageControlTransp->setCurrentWidget(FForm->TabSheetText);
        FForm->OptionsCheckText->SetChecked(false);
        SetSpelling(0, false);
        FBoxes.clear();
    }

    void cleanup()
    {
        FForm.reset();
        TestSupport::RestoreDevicesAndBoxes();
    }

    void KeyTableStepListAndCopy()
    {
        QCOMPARE(FForm->SrcComboBox->ItemIndex(), -1);
        // A language switch renames the keys but picks none.
        FForm->LangComboBox->SetItemIndex(1 - FForm->LangComboBox->ItemIndex());
        FForm->LangComboBoxChange();
        QCOMPARE(FForm->SrcComboBox->ItemIndex(), -1);
        QCOMPARE(FForm->SrcComboBox->count(), 12);
        SetSpelling(0, false);
        QCOMPARE(FForm->DestComboBox->Text(), QStringLiteral("="));
        FForm->SrcComboBox->SetItemIndex(4);
        FForm->DestComboBox->SetItemIndex(8);
        FForm->SrcComboBoxChange();
        QCOMPARE(Row(0), QStringLiteral("E F F# G G# A A# H C C# D D#"));
        QCOMPARE(Row(1), QStringLiteral("G G# A A# H C C# D D# E F F#"));
        QCOMPARE(FForm->DestComboBox->Text(), QStringLiteral("+ 3       G"));
        QCOMPARE(FForm->DestComboBox->itemText(11), QStringLiteral("=     E"));

        FForm->CopyBitBtnClick();
        const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 16);
        QCOMPARE(lines.first(), QStringLiteral("E  ->>  G"));
        QCOMPARE(lines.last(), QStringLiteral("D#  ->   F#"));

        SetSpelling(1, true);
        FForm->SrcComboBox->SetItemIndex(0);
        FForm->SrcComboBoxChange();
        QCOMPARE(Row(0), QStringLiteral("C Db D Eb E F Gb G Ab A Bb B"));

        FForm->SpeedButtonDefaultClick();
        QCOMPARE(FForm->SrcComboBox->ItemIndex(), -1);
        QCOMPARE(FForm->DestComboBox->Text(), QStringLiteral("="));
        QCOMPARE(Row(0).trimmed(), QString());
        QCOMPARE(Row(1).trimmed(), QString());
        QVERIFY(FBoxes.isEmpty());
    }

    // Under a large desktop font a cell too narrow would show "..." in place of a note, and a
    // table narrower than its columns would hide the last ones.
    void TableCellsHoldTheirNamesUnderALargeFont()
    {
        const struct {
            int pointSize;
            bool headersFollow;
        } cases[] = {
            {9, false},
            {20, false},
            {28, false},
            {20, true},
        };
        const struct Restore {
            QFont original = QApplication::font();
            ~Restore()
            {
                QApplication::setFont(original);
                QApplication::setFont(original, "QHeaderView");
            }
        } restore;
        for (const auto &c : cases) {
            QFont font = restore.original;
            font.setPointSize(c.pointSize);
            QApplication::setFont(font);
            // A desktop theme that gives only the general font leaves the (hidden) headers theirs.
            QApplication::setFont(c.headersFollow ? font : restore.original, "QHeaderView");
            FForm = std::make_unique<TMainForm>(FDir.path());
            FForm->PageControl->setCurrentWidget(FForm->MiscTab);
            FForm->show();
            QVERIFY(QTest::qWaitForWindowExposed(FForm.get()));
            const QTableWidget *grid = FForm->StringGrid;
            const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
            QVERIFY(grid->columnViewportPosition(11) + grid->columnWidth(11) <= grid->viewport()->width());
            for (const bool flats : {false, true}) {
                SetSpelling(1, flats);
                FForm->SrcComboBox->SetItemIndex(1);
                FForm->DestComboBox->SetItemIndex(9);
                FForm->SrcComboBoxChange();
                for (int row = 0; row < 2; ++row)
                    for (int column = 0; column < 12; ++column) {
                        const QString name = grid->item(row, column)->text();
                        QVERIFY2(grid->fontMetrics().horizontalAdvance(name) + 2 * margin <= grid->columnWidth(column),
                                 qPrintable(name + QLatin1Char(' ') + QString::number(c.pointSize)));
                    }
            }
        }
    }

    void TransposesTheSongTextInPlace()
    {
        const QString song = QString::fromUtf8("Am  C/e  Hm7\nВ лесу\u00A0родилась ёлочка [Dm]");
        FForm->MemoTransp->SetText(song);
        Step(9); // + 2
        QCOMPARE(FForm->MemoTransp->Text(), QString::fromUtf8("Hm  D/F#  C#m7\nВ лесу\u00A0родилась ёлочка [Em]"));
        Step(12); // - 1
        QCOMPARE(FForm->MemoTransp->Text(), QString::fromUtf8("G#m  H/D#  A#m7\nВ лесу\u00A0родилась ёлочка [C#m]"));
        FForm->SpeedButtonDefaultClick();
        QCOMPARE(FForm->MemoTransp->Text(), QString::fromUtf8("Am  C/E  Hm7\nВ лесу\u00A0родилась ёлочка [Dm]"));
        QCOMPARE(FForm->State().previousTransposerStep, 11);
    }

    void AChordMovedOntoAKeepsMovingWithTheSteps()
    {
        // "A" before a lower-case word is read as the article: a chord a step moved there must
        // still move with the next steps.
        FForm->MemoTransp->SetText(QStringLiteral("Intro: G x2\nC when I find myself"));
        const struct {
            int step;
            QString song;
        } steps[] = {
            {9, QStringLiteral("Intro: A x2\nD when I find myself")},  // + 2
            {6, QStringLiteral("Intro: C x2\nF when I find myself")},  // + 5
            {2, QStringLiteral("Intro: E x2\nA when I find myself")},  // + 9
            {13, QStringLiteral("Intro: F x2\nA# when I find myself")}, // - 2
            {11, QStringLiteral("Intro: G x2\nC when I find myself")},
        };
        for (const auto &s : steps) {
            Step(s.step);
            QCOMPARE(FForm->MemoTransp->Text(), s.song);
        }
        // What the user writes into a moved song stays and moves with it.
        Step(6);
        FForm->MemoTransp->SetText(FForm->MemoTransp->Text() + QStringLiteral(" D"));
        Step(5); // one more up
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("Intro: C# x2\nF# when I find myself D#"));
    }

    void ANotationChangeTakesAMovedSongBackToItsChords()
    {
        // Si is B in the West and H in the East: the way back is read in the notation of the way
        // there, and only then is the song spelled as the new notation reads it, as an unmoved one is.
        const struct {
            int from;
            QString song, moved, back;
        } cases[] = {{1, QStringLiteral("Am B7 C Gm"), QStringLiteral("Bm C#7 D Am"), QStringLiteral("Am A#7 C Gm")},
                     {0, QStringLiteral("Am H7 C Gm"), QStringLiteral("Hm C#7 D Am"), QStringLiteral("Am B7 C Gm")}};
        for (const auto &c : cases) {
            SetSpelling(c.from, false);
            FForm->MemoTransp->SetText(c.song);
            Step(9); // + 2
            QCOMPARE(FForm->MemoTransp->Text(), c.moved);
            // A click on the notation already chosen changes nothing.
            QTest::mouseClick(FForm->EastWestRG->findChildren<QRadioButton *>().at(c.from), Qt::LeftButton);
            QCOMPARE(FForm->MemoTransp->Text(), c.moved);
            QCOMPARE(FForm->DestComboBox->ItemIndex(), 9);
            SetSpelling(1 - c.from, false);
            QCOMPARE(FForm->DestComboBox->ItemIndex(), 11);
            QCOMPARE(FForm->MemoTransp->Text(), c.back);
        }
    }

    void OpensSongFilesByEncodingWithinTheLimit()
    {
        const QString song = QString::fromUtf8("Am        Dm\nОй, то не вечер, то не вечер\nE7   Am\n");
        const QByteArray koi = xlat::XlatString(xlat::EncodeSongText(song, xlat::TSaveEncoding::Windows1251),
                                                xlat::cpWindows1251, xlat::cpKoi8r);
        struct { const char *name; QByteArray bytes; } files[] = {
            {"koi8.txt", koi},
            {"cp866.txt", xlat::XlatString(koi, xlat::cpKoi8r, xlat::cpCp866)},
            {"win.txt", xlat::EncodeSongText(song, xlat::TSaveEncoding::Windows1251)},
            {"utf8.txt", song.toUtf8()},
            {"bom.txt", QByteArray("\xEF\xBB\xBF") + song.toUtf8()},
            {"utf16.txt", xlat::EncodeSongText(song, xlat::TSaveEncoding::Utf16)},
            {"crlf.txt", QString(song).replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toUtf8()},
        };
        for (const auto &file : files) {
            FForm->MemoTransp->SetText(QStringLiteral("old"));
            QVERIFY(FForm->OpenSongFile(WriteFile(QString::fromLatin1(file.name), file.bytes)));
            QCOMPARE(FForm->MemoTransp->Text(), song);
        }

        // At the limit nothing is loaded and the warning says why.
        const QString big = WriteFile(QStringLiteral("big.txt"), QByteArray(500'000, 'a'));
        FForm->MemoTransp->SetText(QStringLiteral("kept"));
        QVERIFY(!FForm->OpenSongFile(big));
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("kept"));
        QCOMPARE(FBoxes, QStringList(FForm->Ids(188) + QLatin1Char('|') + FForm->Ids(33) + QStringLiteral("\r\n") +
                                     FForm->Ids(34) + QStringLiteral("|48")));
        FBoxes.clear();
        QVERIFY(FForm->OpenSongFile(WriteFile(QStringLiteral("fits.txt"), QByteArray(499'999, 'a'))));
        QCOMPARE(FForm->MemoTransp->Text().size(), 499'999);

        // A file that is gone gives an error box and keeps the text.
        QVERIFY(!FForm->OpenSongFile(FDir.filePath(QStringLiteral("missing.txt"))));
        QCOMPARE(FForm->MemoTransp->Text().size(), 499'999);
        QCOMPARE(FBoxes.size(), 1);
        FBoxes.clear();

        // A picture opened by mistake is refused with a box and the song stays.
        QVERIFY(!FForm->OpenSongFile(WriteFile(QStringLiteral("photo.txt"), QByteArray("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16))));
        QCOMPARE(FForm->MemoTransp->Text().size(), 499'999);
        QCOMPARE(FBoxes.size(), 1);
        QVERIFY(FBoxes.first().contains(FForm->Ids(300)));
        FBoxes.clear();

        // A pipe (which would wait for a writer for ever) and an endless device are no songs.
        const QString pipe = FDir.filePath(QStringLiteral("pipe.txt"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const QString zero = FDir.filePath(QStringLiteral("zero.txt"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
        for (const QString &file : {pipe, zero}) {
            QVERIFY(!FForm->OpenSongFile(file));
            QCOMPARE(FForm->MemoTransp->Text().size(), 499'999);
            QCOMPARE(FBoxes.size(), 1);
            QVERIFY(FBoxes.first().contains(FForm->Ids(300)));
            FBoxes.clear();
        }
    }

    void ASongWithAByteOrderMarkIsOfferedBackInUtf16()
    {
        const struct { QByteArray bytes; int encoding; } cases[] = {
            {QByteArray("\xFF\xFE" "A\0m\0\r\0\n\0", 10), 1},
            {QByteArray("\xEF\xBB\xBF" "Am\r\n"), 1},
            {QByteArray("\xC0m\r\n"), 0}, // Windows-1251
            {QByteArray("Am\n"), 0},
        };
        for (const auto &c : cases) {
            const QString path = FDir.filePath(QStringLiteral("marked.txt"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(c.bytes);
            file.close();
            QVERIFY(FForm->OpenSongFile(path));
            QCOMPARE(FForm->SongSaveEncoding(), c.encoding);
        }
    }

    void SavesInEachEncoding()
    {
        const QString song = QString::fromUtf8("Am\u00A0Dm\nВ лесу родилась ёлочка\n");
        FForm->MemoTransp->SetText(song);
        const xlat::TSaveEncoding encodings[] = {xlat::TSaveEncoding::Utf8, xlat::TSaveEncoding::Utf16,
                                                 xlat::TSaveEncoding::Windows1251};
        for (int e = 0; e < 3; ++e) {
            const QString path = FDir.filePath(QStringLiteral("saved%1.txt").arg(e));
            QVERIFY(FForm->SaveSongFile(path, e));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QCOMPARE(bytes, xlat::EncodeSongText(song, encodings[e]));
            QCOMPARE(xlat::DecodeSongText(bytes), song);
        }
        QVERIFY(!FForm->SaveSongFile(FDir.filePath(QStringLiteral("no/such/folder/x.txt")), 0));
        QCOMPARE(FBoxes.size(), 1);
        FBoxes.clear();

        // A full disk: the message, and the song saved before stays whole.
        TestSupport::TSmallDisk disk;
        if (!disk.mounted)
            QSKIP("needs root to mount a small tmpfs that can be filled");
        const QString onDisk = disk.dir.filePath(QStringLiteral("song.txt"));
        QVERIFY(FForm->SaveSongFile(onDisk, 0));
        disk.Fill();
        FForm->MemoTransp->SetText(QStringLiteral("Dm Am"));
        QVERIFY(!FForm->SaveSongFile(onDisk, 0));
        QCOMPARE(FBoxes.size(), 1);
        QCOMPARE(TestSupport::ReadFile(onDisk), xlat::EncodeSongText(song, xlat::TSaveEncoding::Utf8));
        FBoxes.clear();
    }

    // The reason after the file name speaks the window's language, whatever the system's is, and
    // a failed save says it in the same words as a failed open.
    void AFailedSaveGivesItsReasonInTheWindowsLanguage()
    {
        FForm->LangComboBox->SetItemIndex(0);
        FForm->LangComboBoxChange();
        const QString missing = FDir.filePath(QStringLiteral("нет такой папки/песня.txt"));
        FForm->MemoTransp->SetText(QStringLiteral("Am"));
        QVERIFY(!FForm->OpenSongFile(missing));
        QVERIFY(!FForm->SaveSongFile(missing, 0));
        QCOMPARE(FBoxes.size(), 2);
        QCOMPARE(FBoxes[1], FBoxes[0]);
    }

    void Windows1251SaveAsksBeforeCharactersBecomeQuestionMarks()
    {
        const QString path = FDir.filePath(QStringLiteral("old.txt"));
        QVERIFY(TestSupport::WriteFile(path, "old song"));
        const struct {
            QString text;
            int answer;
            bool asked;
            QByteArray file;
        } cases[] = {
            {QString::fromUtf8("Café ♪ Am"), Application::IDNO, true, "old song"},
            {QString::fromUtf8("Café ♪ Am"), Application::IDYES, true, "Caf? ? Am"},
            {QString::fromUtf8("Ёлка — «Am»\u00A0№"), Application::IDNO, false, "\xA8\xEB\xEA\xE0 \x97 \xAB" "Am\xBB\xA0\xB9"},
        };
        for (const auto &c : cases) {
            FBoxes.clear();
            FAnswer = c.answer;
            FForm->MemoTransp->SetText(c.text);
            QCOMPARE(FForm->SaveSongFile(path, 2), c.file != "old song");
            QCOMPARE(FBoxes.size(), c.asked ? 1 : 0);
            if (c.asked)
                QVERIFY(FBoxes.first().startsWith(FForm->Ids(188) + QLatin1Char('|') + FForm->Ids(302)));
            QCOMPARE(TestSupport::ReadFile(path), c.file);
        }
        FBoxes.clear();
    }

    void PasteResetsTheStepsAndChecksTheText()
    {
        FForm->OptionsCheckText->SetChecked(true);
        SetSpelling(1, false);
        FForm->MemoTransp->SetText(QStringLiteral("C "));
        Step(9);
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("D "));
        QGuiApplication::clipboard()->setText(QStringLiteral("Hm7 E\r\nla la"));
        FForm->MemoTransp->moveCursor(QTextCursor::End);
        FAnswer = Application::IDYES;
        QTest::keyClick(FForm->MemoTransp, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(FForm->DestComboBox->ItemIndex(), 11);
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("C Hm7 E\nla la"));
        QCOMPARE(FBoxes.size(), 1);
        QVERIFY(FBoxes.first().startsWith(FForm->Ids(188) + QLatin1Char('|') + FForm->Ids(193)));
        QVERIFY(FBoxes.first().endsWith(QStringLiteral("|36")));
        QCOMPARE(FForm->EastWestRG->ItemIndex(), 0);
        QCOMPARE(FForm->windowTitle(), QStringLiteral("si = H   |   si flat = B"));
        FBoxes.clear();

        // The reset changes the chords' length: the paste still lands where it was aimed, and
        // replaces what was selected.
        FForm->OptionsCheckText->SetChecked(false);
        const struct {
            int selectFrom, selectTo;
            QString pasted, expected;
        } aims[] = {{18, 18, QStringLiteral("big "), QStringLiteral("C C C C\nhello big world")},
                    {18, 23, QStringLiteral("there"), QStringLiteral("C C C C\nhello there")}};
        for (const auto &aim : aims) {
            FForm->MemoTransp->SetText(QStringLiteral("C C C C\nhello world"));
            Step(10);
            QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("C# C# C# C#\nhello world"));
            QTextCursor cursor = FForm->MemoTransp->textCursor();
            cursor.setPosition(aim.selectFrom);
            cursor.setPosition(aim.selectTo, QTextCursor::KeepAnchor);
            FForm->MemoTransp->setTextCursor(cursor);
            QGuiApplication::clipboard()->setText(aim.pasted);
            FForm->PopUpPasteClick();
            QCOMPARE(FForm->MemoTransp->Text(), aim.expected);
        }
        FForm->OptionsCheckText->SetChecked(true);

        // East notation and an English text: the language question; No changes nothing.
        FAnswer = Application::IDNO;
        FForm->MemoTransp->SetText(QString());
        QGuiApplication::clipboard()->setText(QStringLiteral("Yesterday, all my troubles seemed so far away"));
        FForm->PopUpPasteClick();
        QCOMPARE(FBoxes.size(), 1);
        QVERIFY(FBoxes.first().contains(FForm->Ids(202)));
        QCOMPARE(FForm->EastWestRG->ItemIndex(), 0);
        FBoxes.clear();
    }

    void EveryWayTextEntersKeepsTheLimitResetAndCheck()
    {
        FForm->OptionsCheckText->SetChecked(true);
        SetSpelling(1, false);
        FForm->MemoTransp->SetText(QStringLiteral("C "));
        Step(9);
        // A drop (and the mouse selection, which takes the same way) is a paste.
        Drop(QStringLiteral("Hm7 E"));
        QCOMPARE(FForm->DestComboBox->ItemIndex(), 11);
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("C Hm7 E"));
        QCOMPARE(FBoxes.size(), 1);
        FBoxes.clear();

        // Typing and drops stop at 500,000 characters.
        FForm->OptionsCheckText->SetChecked(false);
        FForm->MemoTransp->SetText(QString(499'998, QLatin1Char('a')));
        FForm->MemoTransp->moveCursor(QTextCursor::End);
        QTest::keyClicks(FForm->MemoTransp, QStringLiteral("xyz"));
        QCOMPARE(FForm->MemoTransp->Text().size(), 500'000);
        QVERIFY(FForm->MemoTransp->Text().endsWith(QStringLiteral("axy")));
        Drop(QStringLiteral("Hm7 E"));
        QCOMPARE(FForm->MemoTransp->Text().size(), 500'000);
        QVERIFY(FBoxes.isEmpty());
    }

    void APasteCutAtTheLimitKeepsWholeCharacters()
    {
        // A character outside the basic plane is two UTF-16 units: half of it is no character.
        const struct {
            qsizetype filled;
            QString pasted, tail;
        } cases[] = {{499'999, QStringLiteral("\U0001F3B8"), QStringLiteral("a")},
                     {499'998, QStringLiteral("x\U0001F3B8"), QStringLiteral("ax")},
                     {499'998, QStringLiteral("\U0001F3B8y"), QStringLiteral("a\U0001F3B8")}};
        for (const auto &c : cases) {
            FForm->MemoTransp->SetText(QString(c.filled, QLatin1Char('a')));
            FForm->MemoTransp->moveCursor(QTextCursor::End);
            QGuiApplication::clipboard()->setText(c.pasted);
            FForm->PopUpPasteClick();
            const QString text = FForm->MemoTransp->Text();
            QCOMPARE(text.right(c.tail.size() + 1), QLatin1Char('a') + c.tail);
            QVERIFY(!text.back().isHighSurrogate());
        }
    }

    void ComposedCharactersStopAtTheLimit()
    {
        // Dead keys, compose sequences and input methods hand their text over without a key press.
        const struct {
            qsizetype filled;
            QString committed;
            qsizetype size;
            QString tail;
        } cases[] = {{499'999, QStringLiteral("é"), 500'000, QStringLiteral("aé")},
                     {499'999, QStringLiteral("éü"), 500'000, QStringLiteral("aé")},
                     {500'000, QStringLiteral("é"), 500'000, QStringLiteral("aa")},
                     {499'999, QStringLiteral("\U0001F3B8"), 499'999, QStringLiteral("aa")}};
        for (const auto &c : cases) {
            FForm->MemoTransp->SetText(QString(c.filled, QLatin1Char('a')));
            FForm->MemoTransp->moveCursor(QTextCursor::End);
            QInputMethodEvent composed;
            composed.setCommitString(c.committed);
            QCoreApplication::sendEvent(FForm->MemoTransp, &composed);
            const QString text = FForm->MemoTransp->Text();
            QCOMPARE(text.size(), c.size);
            QCOMPARE(text.right(c.tail.size()), c.tail);
        }
    }

    void CopyAndCutKeepNoBreakSpaces()
    {
        const QString song = QStringLiteral("C\u00A0\u00A0Am\n\u043B\u044F\u00A0\u043B\u044F");
        FForm->MemoTransp->SetText(song);
        FForm->MemoTransp->selectAll();
        FForm->PopUpCopy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), song);
        FForm->PopUpCut->trigger();
        FForm->PopUpPasteClick();
        QCOMPARE(FForm->MemoTransp->Text(), song);
    }

    void FilesFromAFileManagerAreNoText()
    {
        // Their names are no song: neither a drop nor the paste item takes them, and the page
        // keeps its step.
        FForm->MemoTransp->SetText(QStringLiteral("C "));
        Step(9);
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/\u041F\u0435\u0441\u043D\u044F 100%.txt"))});
        QVERIFY(!Drop(files));
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("D "));
        QCOMPARE(FForm->DestComboBox->ItemIndex(), 9);
        auto *copied = new QMimeData;
        copied->setUrls(files.urls());
        QGuiApplication::clipboard()->setMimeData(copied);
        FForm->PopupMenuTranspPopup();
        QVERIFY(!FForm->PopUpPaste->isEnabled());
        QGuiApplication::clipboard()->setText(QStringLiteral("Am"));
        FForm->PopupMenuTranspPopup();
        QVERIFY(FForm->PopUpPaste->isEnabled());
    }

    void ZoomOverThePageAndAnEnglishOpenFilter()
    {
        FForm->MemoTransp->SetText(QStringLiteral("Am"));
        const int size = FForm->MemoTransp->font().pointSize();
        const int key = FForm->SrcComboBox->ItemIndex();
        QWheelEvent wheel(QPointF(5, 5), FForm->SrcComboBox->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(FForm->SrcComboBox, &wheel);
        QCOMPARE(FForm->MemoTransp->font().pointSize(), size + 1);
        QCOMPARE(FForm->SrcComboBox->ItemIndex(), key);
        // The zoom stops at the sizes the settings give back.
        for (const int edge : {Settings::MinFontSize, Settings::MaxFontSize}) {
            QFont font = FForm->MemoTransp->font();
            font.setPointSize(edge);
            FForm->MemoTransp->SetFont(font);
            FForm->ChangeMemoFontSize(FForm->MemoTransp, edge == Settings::MinFontSize ? -1 : 1);
            QCOMPARE(FForm->MemoTransp->font().pointSize(), edge);
        }

        FForm->LangComboBox->SetItemIndex(1);
        FForm->LangComboBoxChange();
        QCOMPARE(FForm->OpenDialogFilter(), QStringLiteral("Text files (*.txt)"));
    }

    // A touchpad or a fine wheel turns one notch in many small steps: together they zoom by one
    // size, in the editor and in the preview alike.
    void ZoomGoesByWholeNotchesOfTheWheel()
    {
        const struct {
            QList<int> steps;
            int change;
        } cases[] = {
            {{120}, 1},
            {QList<int>(8, 15), 1},
            {QList<int>(120, 1), 1},
            {QList<int>(16, -15), -2},
        };
        FForm->MemoTransp->SetText(QStringLiteral("Am"));
        const auto size = [](const TMemo *memo) {
            return memo->font().pixelSize() > 0 ? memo->font().pixelSize() : memo->font().pointSize();
        };
        const auto zoom = [&size](TMemo *memo, const QList<int> &steps, QWidget *over = nullptr) {
            over = over ? over : memo->viewport();
            const int before = size(memo);
            for (const int step : steps) {
                QWheelEvent wheel(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, step),
                                  Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(over, &wheel);
            }
            return size(memo) - before;
        };
        for (const auto &c : cases)
            QCOMPARE(zoom(FForm->MemoTransp, c.steps), c.change);
        FForm->PopUpPreviewClick();
        QPointer<TFormPreview> preview = FForm->FormPreview;
        QVERIFY(preview);
        for (const auto &c : cases)
            QCOMPARE(zoom(preview->MemoPreview, c.steps), c.change);
        // The preview's scroll bars are part of its window: they zoom too, rather than page.
        for (QScrollBar *bar : {preview->MemoPreview->verticalScrollBar(), preview->MemoPreview->horizontalScrollBar()})
            QCOMPARE(zoom(preview->MemoPreview, {120}, bar), 1);
        preview->close();
        QTRY_VERIFY(!preview);
    }

    // The designed Courier New is missing on most desktops: the dialog must start from the font
    // the editor really shows, so that OK alone leaves the text as it looks.
    void FontDialogOkAloneKeepsTheEditorsFont()
    {
        const QFontInfo before(FForm->MemoTransp->font());
        QTimer accept;
        QObject::connect(&accept, &QTimer::timeout, [&] {
            if (auto *dialog = qobject_cast<QFontDialog *>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        accept.start(10);
        FForm->PopUpFontClick();
        const QFontInfo after(FForm->MemoTransp->font());
        QCOMPARE(after.family(), before.family());
        QCOMPARE(after.fixedPitch(), before.fixedPitch());
        QCOMPARE(after.pointSize(), before.pointSize());
        QCOMPARE(after.italic(), before.italic());
        QCOMPARE(after.weight(), before.weight());
    }

    void FlatsOptionRespellsTableAndSong()
    {
        FForm->SrcComboBox->SetItemIndex(1);
        FForm->SrcComboBoxChange();
        FForm->MemoTransp->SetText(QStringLiteral("C# F#m  мы поём"));
        Step(10); // one semitone up
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("D Gm  мы поём"));
        QCOMPARE(FForm->SrcComboBox->Text(), QStringLiteral("C#"));
        Step(11);
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("C# F#m  мы поём"));
        FForm->OptionsFlats->SetChecked(true);
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("Db Gbm  мы поём"));
        QCOMPARE(FForm->SrcComboBox->ItemIndex(), 1);
        QCOMPARE(FForm->SrcComboBox->Text(), QStringLiteral("Db"));
        QVERIFY(Row(0).startsWith(QStringLiteral("Db D Eb")));
    }

    void CtrlClickSelectsTheChord()
    {
        FForm->MemoTransp->SetText(QStringLiteral("Am7  C/E  D/f#  Xm  (Em)"));
        struct { int index; int root; QString type; int bass; } cases[] = {
            {1, 9, QStringLiteral("m7"), 0},
            {6, 0, QStringLiteral("maj"), 5},
            {11, 2, QStringLiteral("maj"), 7},
            {21, 4, QStringLiteral("m"), 0},
        };
        for (const auto &c : cases) {
            CtrlClick(c.index);
            QCOMPARE(FForm->Root->ItemIndex(), c.root);
            QCOMPARE(FForm->ChordType->Text(), c.type);
            QCOMPARE(FForm->Bass->ItemIndex(), c.bass);
        }
        // Not a chord, or no Ctrl: nothing changes.
        CtrlClick(16);
        QTest::mouseClick(FForm->MemoTransp->viewport(), Qt::LeftButton, Qt::NoModifier,
                          FForm->MemoTransp->cursorRect(QTextCursor(FForm->MemoTransp->document())).center());
        QCOMPARE(FForm->Root->ItemIndex(), 4);
        QCOMPARE(FForm->ChordType->Text(), QStringLiteral("m"));
        QVERIFY(FBoxes.isEmpty());
    }

    // Qt reports the second press of a quick double click as the double click alone: with Ctrl
    // held it is a chord click all the same, in the editor and in the preview.
    void TheSecondPressOfACtrlDoubleClickIsAChordClickToo()
    {
        FForm->MemoTransp->SetText(QStringLiteral("Am Dm"));
        FForm->PopUpPreviewClick();
        QPointer<TFormPreview> preview = FForm->FormPreview;
        QVERIFY(preview);
        for (TMemo *memo : {FForm->MemoTransp, preview->MemoPreview}) {
            FForm->Root->SetItemIndex(0);
            QTextCursor cursor(memo->document());
            cursor.setPosition(4);
            const QPoint at = memo->cursorRect(cursor).center() + QPoint(2, 0);
            QMouseEvent second(QEvent::MouseButtonDblClick, at, memo->viewport()->mapToGlobal(at), Qt::LeftButton,
                               Qt::LeftButton, Qt::ControlModifier);
            QApplication::sendEvent(memo->viewport(), &second);
            QCOMPARE(FForm->Root->ItemIndex(), 2);
            QCOMPARE(FForm->ChordType->Text(), QStringLiteral("m"));
        }
        QCOMPARE(FForm->FormPreview.data(), preview.data());
        preview->close();
        QTRY_VERIFY(!preview);
    }

    void EditorKeysCopySelectionAndZoom()
    {
        FForm->MemoTransp->SetText(QStringLiteral("Am Dm"));
        QTextCursor cursor = FForm->MemoTransp->textCursor();
        cursor.setPosition(3);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        FForm->MemoTransp->setTextCursor(cursor);
        QTest::keyClick(FForm->MemoTransp, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Dm"));

        const int size = FForm->MemoTransp->font().pointSize();
        QTest::keyClick(FForm->MemoTransp, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(FForm->MemoTransp->font().pointSize(), size + 1);
        QTest::keyClick(FForm->MemoTransp, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
        QTest::keyClick(FForm->MemoTransp, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(FForm->MemoTransp->font().pointSize(), size - 1);

        FForm->PopupMenuTranspPopup();
        QVERIFY(FForm->PopUpCopy->isEnabled());
        QVERIFY(FForm->PopUpDelete->isEnabled());
        FForm->MemoTransp->SetText(QString());
        FForm->PopupMenuTranspPopup();
        QVERIFY(!FForm->PopUpCopy->isEnabled());
        QVERIFY(!FForm->PopUpDelete->isEnabled());
    }

    void PreviewWritesBackOnlyToTheSong()
    {
        FForm->MemoTransp->SetText(QStringLiteral("Am Dm E7"));
        const QPoint inText = FForm->MemoTransp->cursorRect(QTextCursor(FForm->MemoTransp->document())).center();
        QTest::mouseDClick(FForm->MemoTransp->viewport(), Qt::LeftButton, Qt::ControlModifier, inText);
        QVERIFY(!FForm->FormPreview);
        QTest::mouseDClick(FForm->MemoTransp->viewport(), Qt::LeftButton, Qt::NoModifier, inText);
        QPointer<TFormPreview> preview = FForm->FormPreview;
        QVERIFY(preview);
        QCOMPARE(preview->MemoPreview->Text(), QStringLiteral("Am Dm E7"));
        QCOMPARE(FForm->PageControl->currentIndex(), 0);
        const QRect area = preview->screen()->availableGeometry();
        // Below the main window there is no room on this screen: the preview is pulled up, with
        // its title bar and frame counted, so that its bottom stays on the screen too.
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        QVERIFY(area.contains(preview->frameGeometry()));

        // A second opening reuses the window; a step shows in it.
        FForm->PopUpPreviewClick();
        QCOMPARE(FForm->FormPreview.data(), preview.data());
        Step(9);
        QCOMPARE(preview->MemoPreview->Text(), QStringLiteral("Hm Em F#7"));

        preview->MemoPreview->SetText(QStringLiteral("Hm Em F#7 edited"));
        QTest::keyClick(preview->MemoPreview, Qt::Key_Escape);
        QTRY_VERIFY(!preview);
        QVERIFY(!FForm->FormPreview);
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("Hm Em F#7 edited"));

        // A song opened in the editor while the preview is open is not overwritten when it closes,
        // edited there or not.
        for (const bool editedInPreview : {false, true}) {
            FForm->MemoTranspDblClick(FForm->MemoTransp);
            preview = FForm->FormPreview;
            if (editedInPreview)
                preview->MemoPreview->SetText(QStringLiteral("Hm Em F#7 edited again"));
            FForm->MemoTransp->SetText(QStringLiteral("C G Am F"));
            preview->close();
            QTRY_VERIFY(!preview);
            QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("C G Am F"));
            FForm->MemoTransp->SetText(QStringLiteral("Hm Em F#7 edited"));
        }

        // The help text opened in the preview never lands in the song editor. Over a main window
        // kept on top, the preview is kept on top as well.
        TMemo help(QStringLiteral("MemoHelp"), nullptr);
        help.SetText(QStringLiteral("Help text"));
        FForm->OptionsAlwaysOnTop->SetChecked(true);
        FForm->MemoTranspDblClick(&help);
        preview = FForm->FormPreview;
        QVERIFY(preview);
        QVERIFY(preview->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(preview->MemoPreview->Text(), QStringLiteral("Help text"));
        preview->close();
        QTRY_VERIFY(!preview);
        QCOMPARE(FForm->MemoTransp->Text(), QStringLiteral("Hm Em F#7 edited"));
        QVERIFY(FBoxes.isEmpty());
    }

    void PreviewEditsSurviveEverythingThatRefillsThePreview()
    {
        // A step, a respelling and a second opening all show the song anew in the preview.
        const std::function<void()> refills[] = {
            [this] { Step(9); },
            [this] { FForm->OptionsFlats->SetChecked(true); },
            [this] { FForm->PopUpPreviewClick(); },
        };
        for (int i = 0; i < 3; ++i) {
            FForm->OptionsFlats->SetChecked(false);
            FForm->SpeedButtonDefaultClick();
            FForm->MemoTransp->SetText(QStringLiteral("Am"));
            FForm->PopUpPreviewClick();
            QPointer<TFormPreview> preview = FForm->FormPreview;
            preview->MemoPreview->SetText(QStringLiteral("Gm Cm new"));
            refills[i]();
            const QString moved = i == 0 ? QStringLiteral("Am Dm new") : QStringLiteral("Gm Cm new");
            QCOMPARE(FForm->MemoTransp->Text(), moved);
            QCOMPARE(preview->MemoPreview->Text(), moved);
            preview->close();
            QTRY_VERIFY(!preview);
            QCOMPARE(FForm->MemoTransp->Text(), moved);
        }
    }
};

QTEST_MAIN(TestTransposerPage)
#include "TestTransposerPage.moc"
