#include "platform/vcl/ActionList.h"

#include <QWidget>

TActionList::TActionList(const QString &name, QObject *parent, TActionListState state)
    : QActionGroup(parent), FState(state)
{
    setObjectName(name);
    setExclusionPolicy(ExclusionPolicy::None);
    setEnabled(FState == asNormal);
}

void TActionList::SetState(TActionListState value)
{
    if (FState == value)
        return;
    FState = value;
    setEnabled(FState == asNormal);
}

QAction *TActionList::AddAction(const QString &name, const QKeySequence &shortcut, QWidget *widget)
{
    auto *action = new QAction(widget);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    widget->addAction(action);
    addAction(action);
    return action;
}
