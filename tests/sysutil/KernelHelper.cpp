// A process for the cross-process tests: it runs the steps its arguments name, one output line
// per step, and stops at "wait" until a line arrives on stdin (the event loop runs meanwhile, so
// the registry's messages are printed as they come: "notify <code> <argument>").
#include "platform/kernel/KernelSync.h"
#include "sysutil/OsAppInst.h"
#include "sysutil/OsFileUtils.h"
#include "sysutil/OsSynch.h"
#include "toolkit/VxAppInstances.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

const char *WaitText(TOsWaitResult result)
{
    switch (result) {
    case wrSignaled:
        return "signaled";
    case wrTimeout:
        return "timeout";
    case wrAbandoned:
        return "abandoned";
    case wrIoCompletion:
        return "iocompletion";
    default:
        return "error";
    }
}

class TRunner
{
public:
    explicit TRunner(QStringList steps) : FSteps(std::move(steps)) {}

    void Say(const QString &line)
    {
        std::printf("%s\n", line.toUtf8().constData());
        std::fflush(stdout);
    }

    // Runs until a "wait" or the end.
    void Run()
    {
        while (!FSteps.isEmpty()) {
            const QString step = Take();
            if (step == QLatin1String("wait"))
                return;
            try {
                Step(step);
            } catch (const std::exception &error) {
                Say(QStringLiteral("error ") + QString::fromUtf8(error.what()).simplified());
            }
        }
        QCoreApplication::quit();
    }

    void Step(const QString &step)
    {
        if (step == QLatin1String("map")) {
            const QString name = Take();
            FMapping = std::make_unique<TOsSwapFileMapping>(name, PAGE_READWRITE, Take().toLongLong());
            FView = FMapping->GetView(FMapping->Add(FILE_MAP_ALL_ACCESS, 0, 0));
            Say(QStringLiteral("existed %1").arg(FMapping->Existed()));
        } else if (step == QLatin1String("write")) {
            FView->SetPosition(Take().toLongLong());
            const QByteArray text = Take().toUtf8();
            Say(QStringLiteral("written %1").arg(FView->Write(text.constData(), text.size())));
        } else if (step == QLatin1String("read")) {
            FView->SetPosition(Take().toLongLong());
            QByteArray bytes(Take().toInt(), '\0');
            bytes.resize(FView->Read(bytes.data(), bytes.size()));
            bytes.replace('\0', '.');
            Say(QStringLiteral("read ") + QString::fromUtf8(bytes));
        } else if (step == QLatin1String("optex")) {
            FOptex = std::make_unique<TOsOptex>(Take(), 4000);
            Say(QStringLiteral("optex existed %1").arg(FOptex->Existed()));
        } else if (step == QLatin1String("count")) {
            const int times = Take().toInt();
            auto *counter = static_cast<volatile quint32 *>(FView->Memory());
            for (int i = 0; i < times; ++i) {
                TOsOptexGuard guard(*FOptex);
                *counter = *counter + 1;
            }
            Say(QStringLiteral("counted"));
        } else if (step == QLatin1String("value")) {
            Say(QStringLiteral("value %1").arg(*static_cast<const quint32 *>(FView->Memory())));
        } else if (step == QLatin1String("enter")) {
            FOptex->Enter();
            Say(QStringLiteral("entered"));
        } else if (step == QLatin1String("leave")) {
            FOptex->Leave();
            Say(QStringLiteral("left"));
        } else if (step == QLatin1String("event")) {
            const QString name = Take();
            FEvent = std::make_unique<TOsEvent>(Take() == QLatin1String("1"), false, name);
            Say(QStringLiteral("event existed %1").arg(FEvent->Existed()));
        } else if (step == QLatin1String("set")) {
            FEvent->SetEvent();
            Say(QStringLiteral("set"));
        } else if (step == QLatin1String("waitevent")) {
            Say(QStringLiteral("wait ") + QLatin1String(WaitText(FEvent->WaitFor(Take().toUInt()))));
        } else if (step == QLatin1String("mutex")) {
            FMutex = std::make_unique<TOsMutex>(false, Take());
            Say(QStringLiteral("mutex existed %1").arg(FMutex->Existed()));
        } else if (step == QLatin1String("lock")) {
            Say(QStringLiteral("lock ") + QLatin1String(WaitText(FMutex->WaitFor(Take().toUInt()))));
        } else if (step == QLatin1String("release")) {
            Say(QStringLiteral("released %1").arg(FMutex->Release()));
        } else if (step == QLatin1String("appid")) {
            SetApplicationIdOverride(Take());
            Say(QStringLiteral("appid"));
        } else if (step == QLatin1String("register")) {
            TOsAppInstances *registry = ProcessInstanceRegistry();
            const quint32 message = registry->MessageID();
            FSink = CreateMessageWindow(QStringLiteral("KernelHelper"), [this, message](TMessage &Msg) {
                if (Msg.Msg == message) {
                    Say(QStringLiteral("notify %1 %2").arg(Msg.WParam).arg(Msg.LParam));
                    return;
                }
                const int kind = ForeignCopyDataKind(Msg, FSink);
                QString text;
                CopyDataPayloadAsText(Msg, text);
                if (Msg.Msg == WM_COPYDATA)
                    Say(kind == -1 ? QStringLiteral("own data") : QStringLiteral("data %1 %2").arg(kind).arg(text));
            });
            Say(QStringLiteral("registered %1").arg(registry->CheckInstance(65535)));
        } else if (step == QLatin1String("list")) {
            TOsAppInstances *registry = ProcessInstanceRegistry();
            QStringList ids;
            for (int i = 0; i < registry->InstanceCount(); ++i)
                ids.append(QString::number(registry->ProcessIDs(i)));
            Say(QStringLiteral("list ") + ids.join(QLatin1Char(' ')));
        } else if (step == QLatin1String("send")) {
            const int kind = Take().toInt();
            ProcessInstanceRegistry()->SendString(QStringLiteral("KernelHelper"), kind, Take(), FSink);
            Say(QStringLiteral("sent"));
        } else if (step == QLatin1String("sendlong")) {
            // A text of that many letters, past what a socket holds at once.
            const int kind = Take().toInt();
            ProcessInstanceRegistry()->SendString(QStringLiteral("KernelHelper"), kind, QString(Take().toInt(), QLatin1Char('x')), FSink);
            Say(QStringLiteral("sent"));
        } else if (step == QLatin1String("component")) {
            // A copy over the limit ends inside Loaded with exit code 0 and says nothing more.
            FComponent = std::make_unique<TVxAppInstances>();
            FComponent->SetMaxInstances(Take().toInt());
            FComponent->SetSendCmdLine(false);
            FComponent->Loaded();
            Say(QStringLiteral("running"));
        } else if (step == QLatin1String("inactive")) {
            FComponent->SetActive(false);
            Say(QStringLiteral("inactive"));
        } else if (step == QLatin1String("unregister")) {
            FreeProcessInstanceRegistry();
            Say(QStringLiteral("unregistered"));
        } else {
            Say(QStringLiteral("unknown ") + step);
        }
    }

private:
    QString Take() { return FSteps.isEmpty() ? QString() : FSteps.takeFirst(); }

    QStringList FSteps;
    std::unique_ptr<TOsSwapFileMapping> FMapping;
    TOsFileMappingView *FView = nullptr;
    std::unique_ptr<TOsOptex> FOptex;
    std::unique_ptr<TOsEvent> FEvent;
    std::unique_ptr<TOsMutex> FMutex;
    HWND FSink = 0;
    std::unique_ptr<TVxAppInstances> FComponent;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList steps = app.arguments().mid(1);
    TRunner runner(steps);
    runner.Say(QStringLiteral("pid %1").arg(CurrentProcessId()));
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            return;
        }
        // Every line lets one "wait" go.
        for (ssize_t i = 0; i < got; ++i)
            if (buffer[i] == '\n')
                runner.Run();
    });
    QMetaObject::invokeMethod(&app, [&] { runner.Run(); }, Qt::QueuedConnection);
    return app.exec();
}
