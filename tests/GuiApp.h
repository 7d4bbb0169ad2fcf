#pragma once
// A GUI application object for GoogleTest programs that draw or decode pictures; made once.
#include <QGuiApplication>

inline void EnsureApp()
{
    static int argc = 1;
    static char name[] = "test";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = QCoreApplication::instance() ? nullptr : new QGuiApplication(argc, argv);
    (void)app;
}
