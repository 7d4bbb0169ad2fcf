#include "app/ui/MainUnit.h"
#include "app/ui/PngPicture.h"
#include "app/ui/WindowEvents.h"
#include "platform/desktop/ClipboardGuard.h"
#include "platform/kernel/KernelWindows.h"
#include "platform/desktop/WarmUp.h"
#include "platform/midiout/MidiDevice.h"
#include "platform/vcl/Application.h"
#include "sysutil/OsUnitVersioning.h"
#include "toolkit/VxAppInstances.h"

#include <QApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

namespace {
constexpr int SoundWarmUpDelayMs = 300;

// The utility units enter their version records for the program's whole run.
struct TUtilityUnits {
    TUtilityUnits() { InitializeUtilityUnits(); }
    ~TUtilityUnits() { FinalizeUtilityUnits(); }
};

// Tells whether the window was closed while the event loop ran.
struct TCloseWatch : QObject
{
    explicit TCloseWatch(QObject *watched) { watched->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        closed = closed || event->type() == QEvent::Close;
        return false;
    }
    bool closed = false;
};

// Set while the event loop runs. A display that goes away (a session ending without a word to
// the program) ends the process with exit() from inside the toolkit, past the close in main().
std::function<void()> CloseAtExit;
} // namespace

int main(int argc, char *argv[])
{
    Application::KeepStandardStreamsOpen();
    Application::FailWritesPastTheFileSizeLimit();
    Application::FailWritesToAClosedPipe();
    const TUtilityUnits utilityUnits;
    const TWarmUp fontConfig(WarmUp::FontConfig);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexo Veltrasomin"));
    Application::CatchTerminationSignals();
    TClipboardGuard::Install();
    // While the instance check and the first widgets run: the first widget waits for both.
    const TWarmUp sessionBus(WarmUp::SessionBus);
    const TWarmUp applicationFont(WarmUp::ApplicationFont);
    TMainForm::PrefetchPictures();

    // A second copy brings the running one to the front and ends here, before it makes a window.
    std::unique_ptr<TVxAppInstances> appInstances;
    try {
        appInstances = std::make_unique<TVxAppInstances>();
        appInstances->setObjectName(QStringLiteral("VxAppInstances"));
        appInstances->SetSendCmdLine(false);
        appInstances->Loaded();
    } catch (const std::exception &error) {
        // Without the registry the program still works; it just cannot tell its copies apart.
        Application::MessageBox(QString::fromUtf8(error.what()), QApplication::applicationName(),
                                Application::MB_ICONERROR);
    }

    TMainForm::PrefetchChordBase();
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    // While the window is being built only a message box of its start can be on screen: a second
    // start brings that forward, as it brings the window forward later.
    SetApplicationWindowHooks({[] {
                                   const QWidget *modal = QApplication::activeModalWidget();
                                   return modal && modal->isMinimized();
                               },
                               [] { WindowEvents::BringModalWindowBack(); },
                               [] { WindowEvents::BringModalWindowBack(); }});
    auto startUpWatch = std::make_unique<QObject>();
    WindowEvents::TakeBackDestroyedWindows(startUpWatch.get());
    TMainForm form(QString(), arguments, TMainForm::LaterPagesAfterShow);
    startUpWatch.reset();
    PngPicture::ForgetPrefetched();
    if (Application::Terminated())
        return Application::ExitCode();
    SetApplicationWindowHooks({[&form] { return form.isHidden() || form.isMinimized(); },
                               [&form] { form.PopUpOpenClick(); }, [&form] { form.PopUpOpenClick(); }});
    WindowEvents::TakeBackDestroyedWindows(&form, &form);
    // A window started hidden is already in the notification area or minimized.
    if (!form.StartsHidden())
        form.show();
    form.BuildLaterPagesAfterFirstPaint();
    // The synthesizer reads its soundfont once the window is on screen, not while it is built.
    QTimer::singleShot(SoundWarmUpDelayMs, [] { MidiOut::PrepareDevices(); });
    const TCloseWatch closeWatch(&form);
    CloseAtExit = [&app, &form, &closeWatch] {
        // exit() from another thread leaves the widgets alone.
        if (QThread::currentThread() == app.thread() && !closeWatch.closed)
            form.close();
    };
    std::atexit([] {
        if (const auto close = std::exchange(CloseAtExit, nullptr))
            close();
    });
    const int exitCode = app.exec();
    CloseAtExit = nullptr;
    // A logout (the session manager's quit or SIGTERM) or a kill ends the loop with the window
    // still open or in the notification area: closing it keeps the settings, as every close does.
    if (!closeWatch.closed && exitCode == 0)
        form.close();
    return exitCode;
}
