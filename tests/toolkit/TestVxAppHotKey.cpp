// The hot key's text conversion and its behaviour where no key can be grabbed (offscreen).
#include "toolkit/VxAppHotKey.h"

#include <QSignalSpy>
#include <QtTest>

class TestVxAppHotKey : public QObject
{
    Q_OBJECT

private slots:
    void ConvertsShortcutTexts()
    {
        const struct { const char *stored; const char *expected; } cases[] = {
            {"Ctrl+Shift+F10", "Ctrl+Shift+F10"},
            {"Ctrl+Alt+F10", "Ctrl+Alt+F10"}, // a key from Windows settings is kept as written
            {"Shift+Ctrl+A", "Ctrl+Shift+A"},
            {" Alt+F4 ", "Alt+F4"},
            {"Meta+Alt+K", "Meta+Alt+K"},
            {"", ""},
            {"Ctrl+Bogus", ""},
            {"Ctrl+A, B", ""}, // two strokes are no single hot key
            // keys as the Windows build names them are read and written back alike
            {"Ctrl+Alt+PgDn", "Ctrl+Alt+PgDn"},
            {"Ctrl+Shift+BkSp", "Ctrl+Shift+BkSp"},
            {"ctrl+enter", "Ctrl+Enter"},
            {"Alt+Ins", "Alt+Ins"},
            {"Shift+Del", "Shift+Del"},
            {"Ctrl+Alt+PgDown", "Ctrl+Alt+PgDn"},
            {"Ctrl+Return", "Ctrl+Enter"},
            {"Ctrl++", "Ctrl++"},
            {"Ctrl+Num 5", "Ctrl+Num 5"},
            {"Alt+num +", "Alt+Num +"},
            {"Ctrl+Num+7", "Ctrl+Num 7"},
        };
        for (const auto &c : cases)
            QCOMPARE(TVxApplicationHotKey::ShortCutToText(TVxApplicationHotKey::TextToShortCut(QLatin1String(c.stored))),
                     QLatin1String(c.expected));
        QCOMPARE(TVxApplicationHotKey::TextToShortCut(QStringLiteral("Ctrl+Shift+F10")),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F10));
        const struct { const char *stored; QKeyCombination key; } keys[] = {
            {"Ctrl+Alt+PgDn", Qt::CTRL | Qt::ALT | Qt::Key_PageDown},
            {"Ctrl+Shift+BkSp", Qt::CTRL | Qt::SHIFT | Qt::Key_Backspace},
            {"Ctrl+Enter", Qt::CTRL | Qt::Key_Return}, // the main Enter key, not the keypad's
            {"Ctrl+Num 5", QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_5)},
        };
        for (const auto &k : keys)
            QCOMPARE(TVxApplicationHotKey::TextToShortCut(QLatin1String(k.stored)), QKeySequence(k.key));
    }

    void RegisteringWithoutADisplayOnlyReportsTheFailure()
    {
        QObject owner;
        TVxApplicationHotKey hotKey(QStringLiteral("VxAppHotKey"), &owner);
        QSignalSpy fired(&hotKey, &TVxApplicationHotKey::OnHotKey);
        QList<QKeySequence> reported;
        connect(&hotKey, &TVxApplicationHotKey::OnHotKeyRegisterFailed, this,
                [&reported](QObject *, QKeySequence &key) { reported.append(key); });

        // Inactive: a new key is only stored.
        hotKey.SetHotKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F10));
        QVERIFY(reported.isEmpty());

        hotKey.SetActive(true);
        QVERIFY(!hotKey.Active());
        QCOMPARE(reported, QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F10)});
        const int firstId = hotKey.ID();
        hotKey.SetActive(true); // a later activation tries again, with a new id
        QCOMPARE(reported.size(), 2);
        QCOMPARE(hotKey.ID(), firstId + 1);
        QCOMPARE(hotKey.HotKey(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F10));
        QCOMPARE(fired.count(), 0);
    }

    void TriesTheReplacementKeyOfTheFailureHandler()
    {
        QObject owner;
        TVxApplicationHotKey hotKey(QStringLiteral("VxAppHotKey"), &owner);
        hotKey.SetHotKey(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F10));
        hotKey.SetWindowsKey(true);
        QList<QKeySequence> reported;
        connect(&hotKey, &TVxApplicationHotKey::OnHotKeyRegisterFailed, this, [&reported](QObject *, QKeySequence &key) {
            reported.append(key);
            if (reported.size() == 1)
                key = QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11);
        });
        hotKey.SetActive(true);
        // The replacement failed as well and was left unchanged: the attempts end there.
        QCOMPARE(reported, (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F10),
                                                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11)}));
        QCOMPARE(hotKey.HotKey(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11));
        QVERIFY(!hotKey.Active());
    }
};

QTEST_MAIN(TestVxAppHotKey)
#include "TestVxAppHotKey.moc"
