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

QString TVxApplicationHotKey::ShortCutToText(const QKeySequence &key)
{
    return key.toString(QKeySequence::PortableText);
}

QKeySequence TVxApplicationHotKey::TextToShortCut(const QString &text)
{
    const QKeySequence key = QKeySequence::fromString(text.trimmed(), QKeySequence::PortableText);
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
