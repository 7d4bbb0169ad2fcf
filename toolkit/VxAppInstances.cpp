#include "toolkit/VxAppInstances.h"

#include "platform/kernel/KernelSync.h"
#include "platform/vcl/Application.h"
#include "sysutil/OsAppInst.h"
#include "toolkit/VxUtilWindow.h"

#include <QCoreApplication>
#include <QMetaMethod>

namespace {
// Only the first component of a process registers it.
bool FirstComponent = true;
} // namespace

TVxAppInstances::TVxAppInstances(QObject *AOwner) : QObject(AOwner)
{
    FHandle = AllocateUtilWindow([this](TMessage &Msg) { WndProc(Msg); }, VxAppInstancesWindowClass);
    if (FirstComponent) {
        FirstComponent = false;
        try {
            AppInstances()->CheckInstance(65535);
        } catch (...) {
            // No destructor runs for a component that was never made: its window would go on
            // handing messages to freed memory.
            DeallocateUtilWindow(FHandle);
            throw;
        }
    }
}

TVxAppInstances::~TVxAppInstances()
{
    DeallocateUtilWindow(FHandle);
}

TOsAppInstances *TVxAppInstances::AppInstances() const
{
    return ProcessInstanceRegistry();
}

void TVxAppInstances::Loaded()
{
    Check();
}

void TVxAppInstances::Check()
{
    if (!FActive || FMaxInstances < 1)
        return;
    const int index = AppInstances()->InstanceIndex(CurrentProcessId());
    if (index < FMaxInstances)
        return;
    if (!QueryOthersActive())
        return;
    DoRejected();
    if (FAutoActivate)
        AppInstances()->SwitchTo(0);
    if (FSendCmdLine)
        AppInstances()->SendCmdLineParams(VxAppInstancesWindowClass, FHandle);
    FreeProcessInstanceRegistry();
    ExitProcess(0);
}

bool TVxAppInstances::QueryOthersActive()
{
    TOsAppInstances *registry = AppInstances();
    const int count = registry->InstanceCount();
    for (int i = 0; i < count && FActive; ++i) {
        const quint32 processId = registry->ProcessIDs(i);
        if (processId == CurrentProcessId())
            continue;
        const HWND application = registry->AppWnds(i);
        if (application == 0)
            continue;
        // The answer (code 5) arrives while the send waits and sets Active.
        for (HWND window : ProcessWindowsOfClass(WindowProcessId(application), QString())) {
            SendMessage(window, registry->MessageID(), AI_QUERYACTIVE, qint64(FHandle));
            if (!FActive)
                break;
        }
    }
    return FActive;
}

void TVxAppInstances::UserNotify(int Param)
{
    AppInstances()->NotifyInstances(AI_USERMSG, Param);
}

void TVxAppInstances::SendData(int DataKind, const void *Data, int Size)
{
    AppInstances()->SendData(VxAppInstancesWindowClass, DataKind, Data, Size, FHandle);
}

void TVxAppInstances::WndProc(TMessage &Msg)
{
    try {
        HandleMessage(Msg);
    } catch (const std::exception &error) {
        Application::MessageBox(QString::fromUtf8(error.what()), QCoreApplication::applicationName(),
                                Application::MB_ICONERROR);
    }
}

void TVxAppInstances::HandleMessage(TMessage &Msg)
{
    TOsAppInstances *registry = AppInstances();
    if (Msg.Msg != registry->MessageID()) {
        const int kind = ForeignCopyDataKind(Msg, FHandle);
        if (kind == AppInstCmdLineDataKind) {
            if (isSignalConnected(QMetaMethod::fromSignal(&TVxAppInstances::OnCmdLineReceived))) {
                QStringList lines;
                CopyDataPayloadAsLines(Msg, lines);
                DoCmdLineReceived(lines);
            }
            return;
        }
        if (kind != -1) {
            if (isSignalConnected(QMetaMethod::fromSignal(&TVxAppInstances::OnDataAvailable))) {
                QByteArray data;
                CopyDataPayload(Msg, data);
                DoDataAvailable(kind, data.constData(), int(data.size()));
            }
            return;
        }
    } else {
        switch (Msg.WParam) {
        case AI_INSTANCECREATED:
            if (quint32(Msg.LParam) != CurrentProcessId())
                DoInstanceCreated(quint32(Msg.LParam));
            break;
        case AI_INSTANCEDESTROYED:
            DoInstanceDestroyed(quint32(Msg.LParam));
            break;
        case AI_USERMSG:
            DoUserNotify(int(Msg.LParam));
            break;
        case AI_QUERYACTIVE:
            // Only a copy in the list asks; an answer to anyone else's window would wait on
            // whatever listens in its name, with this window standing still meanwhile.
            if (registry->InstanceIndex(WindowProcessId(HWND(Msg.LParam))) >= 0)
                ::SendMessage(HWND(Msg.LParam), registry->MessageID(), AI_ANSWERACTIVE, FActive ? 1 : 0);
            break;
        case AI_ANSWERACTIVE:
            FActive = Msg.LParam != 0;
            break;
        default:
            break;
        }
    }
    Msg.Result = DefWindowProc(FHandle, Msg.Msg, Msg.WParam, Msg.LParam);
}
