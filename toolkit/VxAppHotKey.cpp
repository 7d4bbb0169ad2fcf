#include "toolkit/VxAppHotKey.h"

#include "platform/desktop/GlobalHotKey.h"

#include <QMetaMethod>

namespace {
// Ids of hot keys across the program; each activation takes the next one.
int NextHotKeyId = 0;
} // namespace

TVxApplicationHotKey::TVxApplicationHotKey(const QString &name, QObject *owner)
    : QObject(owner), FGrab(new TGlobalHotKey(this))
{
    setObjectName(name);
    connect(FGrab, &TGlobalHotKey::Pressed, this, &TVxApplicationHotKey::FireHotKey);
}

TVxApplicationHotKey::~TVxApplicationHotKey() = default;

namespace {
// Key names the Windows build writes where Qt's own differ; its Enter is the main Enter key.
const struct { QLatin1StringView windows; QLatin1StringView qt; } WindowsKeyNames[] = {
    {QLatin1StringView("PgDn"), QLatin1StringView("PgDown")},
    {QLatin1StringView("BkSp"), QLatin1StringView("Backspace")},
    {QLatin1StringView("Enter"), QLatin1StringView("Return")},
};

// The text with its key name (after the last '+' that is not the key itself) renamed.
QString RenameKey(const QString &text, bool toQt)
{
    const qsizetype plus = text.size() > 1 ? text.lastIndexOf(QLatin1Char('+'), -2) : -1;
    const QStringView name = QStringView(text).mid(plus + 1);
    // A keypad key: "Num 5" there, the keypad flag and the key here ("Num+5").
    const QLatin1StringView keypadKeys("0123456789*+-/");
    const QLatin1StringView windowsKeypad("Num "), qtKeypad("Num+");
    if (toQt && name.size() == windowsKeypad.size() + 1 && name.startsWith(windowsKeypad, Qt::CaseInsensitive) &&
        keypadKeys.contains(name.back()))
        return text.left(plus + 1) + qtKeypad + name.back();
    if (!toQt && name.size() == 1 && keypadKeys.contains(name.front()) &&
        QStringView(text).left(plus + 1).endsWith(qtKeypad, Qt::CaseInsensitive))
        return text.left(plus + 1 - qtKeypad.size()) + windowsKeypad + name.front();
    for (const auto &names : WindowsKeyNames) {
        const QLatin1StringView from = toQt ? names.windows : names.qt;
        if (name.compare(from, Qt::CaseInsensitive) == 0)
            return text.left(plus + 1) + (toQt ? names.qt : names.windows);
    }
    return text;
}
} // namespace

QString TVxApplicationHotKey::ShortCutToText(const QKeySequence &key)
{
    return RenameKey(key.toString(QKeySequence::PortableText), false);
}

QKeySequence TVxApplicationHotKey::TextToShortCut(const QString &text)
{
    const QKeySequence key = QKeySequence::fromString(RenameKey(text.trimmed(), true), QKeySequence::PortableText);
    if (key.count() != 1 || key[0].key() == Qt::Key_unknown)
        return {};
    return key;
}

bool TVxApplicationHotKey::Register()
{
    QKeySequence tried = FHotKey;
    bool withWindowsKey = FWindowsKey;
    const QMetaMethod failed = QMetaMethod::fromSignal(&TVxApplicationHotKey::OnHotKeyRegisterFailed);
    for (;;) {
        if (tried.count() == 1) {
            QKeyCombination key = tried[0];
            if (withWindowsKey)
                key = QKeyCombination(key.keyboardModifiers() | Qt::MetaModifier, key.key());
            if (FGrab->Grab(key))
                return true;
        }
        if (!isSignalConnected(failed))
            return false;
        QKeySequence replacement = tried;
        emit OnHotKeyRegisterFailed(this, replacement);
        if (replacement == tried)
            return false;
        FHotKey = tried = replacement;
        withWindowsKey = false; // a replacement is tried as given
    }
}

void TVxApplicationHotKey::SetActive(bool value)
{
    if (value == FActive)
        return;
    if (value) {
        FID = NextHotKeyId++;
        FActive = Register();
    } else {
        FGrab->Release();
        FActive = false;
    }
}

void TVxApplicationHotKey::SetHotKey(const QKeySequence &value)
{
    if (value == FHotKey)
        return;
    const bool wasActive = FActive;
    SetActive(false);
    FHotKey = value;
    SetActive(wasActive);
}

void TVxApplicationHotKey::SetWindowsKey(bool value)
{
    FWindowsKey = value;
    if (FActive) {
        SetActive(false);
        SetActive(true);
    }
}

void TVxApplicationHotKey::FireHotKey()
{
    emit OnHotKey(this);
}
