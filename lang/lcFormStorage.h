#pragma once
// Keeps a form's state, position and size between runs, in an INI file under the user's
// configuration folder, and puts the form back onto a screen it fits.
#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

enum TMyHKeyType {
    lcHKEY_CURRENT_USER,
    lcHKEY_CLASSES_ROOT,
    lcHKEY_LOCAL_MACHINE,
    lcHKEY_USERS,
    lcHKEY_CURRENT_CONFIG,
    lcHKEY_DYN_DATA,
};

class TlcFormStorage : public QObject
{
    Q_OBJECT
public:
    // form is the owner; the placement is written when this component goes with it.
    explicit TlcFormStorage(QWidget *form);
    ~TlcFormStorage() override;

    bool Active = true;
    bool Designing = false;
    const QString &SubKey() const { return FSubKey; }
    void SetSubKey(const QString &value) { FSubKey = value; }
    TMyHKeyType RegRootKey() const { return FRoot; }
    void SetRegRootKey(TMyHKeyType value) { FRoot = value; }

    void Loaded() { RestorePlacement(); }
    // False when nothing could be written.
    bool SavePlacement();
    void RestorePlacement();
    // The file the placement lives in; empty for a root the desktop has no place for.
    QString StorageFile() const;
    // The rectangle moved and shrunk as little as needed to lie inside the area.
    static QRect ClampToArea(const QRect &rect, const QRect &area);

private:
    QWidget *FForm;
    QString FSubKey;
    TMyHKeyType FRoot = lcHKEY_CURRENT_USER;
};
