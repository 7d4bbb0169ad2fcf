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
    // A window started hidden is already in the notification area or minimized.
    if (!form.StartsHidden())
        form.show();
    return app.exec();
}
