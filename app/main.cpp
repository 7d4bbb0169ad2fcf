#include "app/ui/MainUnit.h"
#include "platform/vcl/Application.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexo Veltrasomin"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    TMainForm form(QString(), arguments);
    if (Application::Terminated())
        return Application::ExitCode();
    if (form.StartsHidden())
        form.showMinimized();
    else
        form.show();
    return app.exec();
}
