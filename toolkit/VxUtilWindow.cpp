#include "toolkit/VxUtilWindow.h"

HWND AllocateUtilWindow(TWndMethod Method, const QString &ClassName)
{
    return CreateMessageWindow(ClassName.isEmpty() ? UtilWindowDefaultClass : ClassName, std::move(Method));
}

void DeallocateUtilWindow(HWND Wnd)
{
    DestroyMessageWindow(Wnd);
}

qint64 DefWindowProc(HWND, quint32, qint64, qint64)
{
    return 0;
}
