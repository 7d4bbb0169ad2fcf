#include "app/ui/MainUnit.h"
#include "platform/midiout/MidiDevice.h"
#include "platform/vcl/Application.h"

#include <QApplication>
#include <QTimer>

namespace {
constexpr int SoundWarmUpDelayMs = 300;
}

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
    // The synthesizer reads its soundfont once the window is on screen, not while it is built.
    QTimer::singleShot(SoundWarmUpDelayMs, [] { MidiOut::PrepareDevices(); });
    return app.exec();
}
