#pragma once
// Hidden windows that exist only to receive messages for a non-visual component: every message
// goes to the component's bound method, on the GUI thread.
#include "platform/kernel/KernelWindows.h"

#include <QString>

inline const QString UtilWindowDefaultClass = QStringLiteral("TPUtilWindowEx");

// Method empty: the window answers everything with the default answer. ClassName empty: the
// default class.
HWND AllocateUtilWindow(TWndMethod Method, const QString &ClassName = QString());
void DeallocateUtilWindow(HWND Wnd);
// The answer a message gets when its window does nothing with it.
qint64 DefWindowProc(HWND Wnd, quint32 Msg, qint64 WParam, qint64 LParam);
