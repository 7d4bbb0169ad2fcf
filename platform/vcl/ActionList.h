#pragma once
// A named set of keyboard actions switched on and off as a whole: a suspended list lets its keys
// through to the focused control.
#include <QActionGroup>

class TActionList : public QActionGroup
{
    Q_OBJECT
public:
    enum TActionListState { asNormal, asSuspended };

    TActionList(const QString &name, QObject *parent, TActionListState state = asNormal);
    TActionListState State() const { return FState; }
    void SetState(TActionListState value);

    // Creates an action of this list with a shortcut that works anywhere in widget's window.
    QAction *AddAction(const QString &name, const QKeySequence &shortcut, QWidget *widget);

private:
    TActionListState FState;
};
