#include "sysutil/OsAppInst.h"

#include "platform/kernel/KernelSync.h"
#include "sysutil/OsFileUtils.h"
#include "sysutil/OsSynch.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstring>
#include <unistd.h>

namespace {

QString &IdOverride()
{
    static QString id;
    return id;
}

std::unique_ptr<TOsAppInstances> &Registry()
{
    static std::unique_ptr<TOsAppInstances> registry;
    return registry;
}

QString ExecutablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

// A thread message that cannot be posted yet is tried again this often, 1 ms apart; the optex
// is held meanwhile.
constexpr int PostAttempts = 5;

} // namespace

void SetApplicationIdOverride(const QString &id)
{
    IdOverride() = id;
}

QString ApplicationInstancesId()
{
    QString id = IdOverride().isEmpty() ? (QStringLiteral("Os") + ExecutablePath()).toUpper()
                                        : QStringLiteral("Os") + IdOverride();
    id.replace(QLatin1Char('\\'), QLatin1Char('_')).replace(QLatin1Char('/'), QLatin1Char('_'));
    return id;
}

TOsAppInstances::TOsAppInstances() : FCPID(CurrentProcessId())
{
    InitData();
}

void TOsAppInstances::InitData()
{
    const QString id = ApplicationInstancesId();
    FOptex = std::make_unique<TOsOptex>(id + QStringLiteral("_Otx"), 4000);
    {
        TOsOptexGuard guard(*FOptex);
        FMapping = std::make_unique<TOsSwapFileMapping>(id + QStringLiteral("_Map"), PAGE_READWRITE,
                                                        qint64(sizeof(TOsAppInstSharedData)));
        FMappingView = FMapping->GetView(FMapping->Add(FILE_MAP_ALL_ACCESS, sizeof(TOsAppInstSharedData), 0));
        if (!FMapping->Existed())
            std::memset(FMappingView->Memory(), 0, sizeof(TOsAppInstSharedData));
    }
    FMessageID = RegisterWindowMessage(id + QStringLiteral("_Msg"));
    // Other instances reach this one through its application window.
    ApplicationWindow();
}

TOsAppInstances::~TOsAppInstances()
{
    if (FMapping && FOptex)
        RemoveInstance();
    FMappingView = nullptr;
    FMapping.reset();
    FOptex.reset();
}

TOsAppInstSharedData *TOsAppInstances::Shared() const
{
    return static_cast<TOsAppInstSharedData *>(FMappingView->Memory());
}

void TOsAppInstances::PruneDeadInstances()
{
    TOsAppInstSharedData *data = Shared();
    int kept = 0;
    const int count = qMin<int>(data->Count, MaxRegisteredInstances);
    for (int i = 0; i < count; ++i) {
        const quint32 id = data->ProcessIDs[i];
        if (id != FCPID && !ProcessAlive(id)) {
            RemoveStaleEndpoint(id);
            continue;
        }
        data->ProcessIDs[kept++] = id;
    }
    for (int i = kept; i < count; ++i)
        data->ProcessIDs[i] = 0;
    data->Count = quint16(kept);
}

bool TOsAppInstances::CheckInstance(quint16 MaxInstances)
{
    bool result;
    {
        TOsOptexGuard guard(*FOptex);
        PruneDeadInstances();
        TOsAppInstSharedData *data = Shared();
        if (data->MaxInst == 0)
            data->MaxInst = MaxInstances;
        result = data->Count < data->MaxInst;
        // A full list takes no one more; the block must never overflow.
        if (data->Count < MaxRegisteredInstances)
            data->ProcessIDs[data->Count++] = FCPID;
        else
            result = false;
    }
    if (result)
        NotifyInstances(AI_INSTANCECREATED, FCPID);
    return result;
}

void TOsAppInstances::RemoveInstance()
{
    {
        TOsOptexGuard guard(*FOptex);
        TOsAppInstSharedData *data = Shared();
        const int count = qMin<int>(data->Count, MaxRegisteredInstances);
        for (int i = 0; i < count; ++i)
            if (data->ProcessIDs[i] == FCPID) {
                data->ProcessIDs[i] = 0;
                std::memmove(&data->ProcessIDs[i], &data->ProcessIDs[i + 1], sizeof(quint32) * size_t(count - i - 1));
                data->ProcessIDs[count - 1] = 0;
                data->Count = quint16(count - 1);
                break;
            }
    }
    NotifyInstances(AI_INSTANCEDESTROYED, FCPID);
}

int TOsAppInstances::InstanceCount() const
{
    TOsOptexGuard guard(*FOptex);
    return qMin<int>(Shared()->Count, MaxRegisteredInstances);
}

quint32 TOsAppInstances::ProcessIDs(int Index) const
{
    TOsOptexGuard guard(*FOptex);
    const TOsAppInstSharedData *data = Shared();
    return Index >= 0 && Index < qMin<int>(data->Count, MaxRegisteredInstances) ? data->ProcessIDs[Index] : 0;
}

int TOsAppInstances::InstanceIndex(quint32 ProcessID) const
{
    TOsOptexGuard guard(*FOptex);
    const TOsAppInstSharedData *data = Shared();
    const int count = qMin<int>(data->Count, MaxRegisteredInstances);
    for (int i = 0; i < count; ++i)
        if (data->ProcessIDs[i] == ProcessID)
            return i;
    return -1;
}

HWND TOsAppInstances::AppWnds(int Index) const
{
    return GetApplicationWnd(ProcessIDs(Index));
}

HWND TOsAppInstances::GetApplicationWnd(quint32 ProcessID)
{
    return ApplicationWindow(ProcessID);
}

void TOsAppInstances::BringAppWindowToFront(HWND Wnd)
{
    if (IsIconic(Wnd))
        SendMessage(Wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    SetForegroundWindow98(Wnd);
}

bool TOsAppInstances::SetForegroundWindow98(HWND Wnd)
{
    // No process may take the focus for another here; the owner of the window brings it up.
    return SetForegroundWindow(Wnd);
}

bool TOsAppInstances::SwitchTo(int Index)
{
    const HWND window = AppWnds(Index);
    BringAppWindowToFront(window);
    return window != 0;
}

void TOsAppInstances::NotifyInstances(int Code, qint64 Param)
{
    TOsOptexGuard guard(*FOptex);
    const TOsAppInstSharedData *data = Shared();
    const int count = qMin<int>(data->Count, MaxRegisteredInstances);
    for (int i = 0; i < count; ++i) {
        const HWND window = GetApplicationWnd(data->ProcessIDs[i]);
        if (window == 0)
            continue;
        const quint32 thread = WindowThreadId(window);
        for (int attempt = 0; attempt < PostAttempts; ++attempt) {
            quint32 error = 0;
            if (PostThreadMessage(thread, FMessageID, Code, Param, &error) || error == ERROR_INVALID_THREAD_ID)
                break;
            usleep(1000);
        }
        NotifyThreadWindows(thread, FMessageID, Code, Param);
    }
}

bool TOsAppInstances::SendData(const QString &WindowClassName, int DataKind, const void *Data, int Size,
                               HWND OriginatorWnd)
{
    if (WindowClassName.isEmpty())
        return true;
    QList<quint32> registered;
    {
        TOsOptexGuard guard(*FOptex);
        const TOsAppInstSharedData *data = Shared();
        for (int i = 0; i < qMin<int>(data->Count, MaxRegisteredInstances); ++i)
            registered.append(data->ProcessIDs[i]);
    }
    const QByteArray payload(static_cast<const char *>(Data), Data ? qMax(0, Size) : 0);
    // The sends block and may take a while; the list is not held meanwhile.
    for (quint32 processId : registered)
        for (HWND window : ProcessWindowsOfClass(processId, WindowClassName))
            SendCopyData(window, OriginatorWnd, quint64(DataKind), payload);
    return true;
}

bool TOsAppInstances::SendString(const QString &WindowClassName, int DataKind, const QString &S, HWND OriginatorWnd)
{
    return SendData(WindowClassName, DataKind, S.utf16(), int(S.size() * 2), OriginatorWnd);
}

bool TOsAppInstances::SendStrings(const QString &WindowClassName, int DataKind, const QStringList &Strings,
                                  HWND OriginatorWnd)
{
    QString text;
    for (const QString &line : Strings)
        text += line + QStringLiteral("\r\n");
    return SendString(WindowClassName, DataKind, text, OriginatorWnd);
}

bool TOsAppInstances::SendCmdLineParams(const QString &WindowClassName, HWND OriginatorWnd)
{
    const QStringList arguments = QCoreApplication::instance() ? QCoreApplication::arguments().mid(1) : QStringList();
    return SendStrings(WindowClassName, AppInstCmdLineDataKind, arguments, OriginatorWnd);
}

TOsAppInstances *ProcessInstanceRegistry()
{
    if (!Registry()) {
        Registry() = std::make_unique<TOsAppInstances>();
        // Leaving the list tells the others, which needs the application still there.
        if (QCoreApplication::instance())
            qAddPostRoutine(FreeProcessInstanceRegistry);
    }
    return Registry().get();
}

void FreeProcessInstanceRegistry()
{
    std::unique_ptr<TOsAppInstances> registry = std::move(Registry());
}

int ForeignCopyDataKind(TMessage &Message, HWND IgnoredOriginatorWnd)
{
    if (Message.Msg == WM_COPYDATA && HWND(Message.WParam) != IgnoredOriginatorWnd) {
        Message.Result = 1;
        return int(reinterpret_cast<const TCopyDataStruct *>(Message.LParam)->dwData);
    }
    Message.Result = 0;
    return -1;
}

void CopyDataPayload(const TMessage &Message, QByteArray &Data)
{
    if (Message.Msg != WM_COPYDATA)
        return;
    const auto *copyData = reinterpret_cast<const TCopyDataStruct *>(Message.LParam);
    Data = QByteArray(static_cast<const char *>(copyData->lpData), qsizetype(copyData->cbData));
}

void CopyDataPayloadAsText(const TMessage &Message, QString &S)
{
    S.clear();
    if (Message.Msg != WM_COPYDATA)
        return;
    const auto *copyData = reinterpret_cast<const TCopyDataStruct *>(Message.LParam);
    S = QString(reinterpret_cast<const QChar *>(copyData->lpData), qsizetype(copyData->cbData / 2));
}

void CopyDataPayloadAsLines(const TMessage &Message, QStringList &Strings)
{
    if (Message.Msg != WM_COPYDATA)
        return;
    QString text;
    CopyDataPayloadAsText(Message, text);
    Strings = text.split(QStringLiteral("\r\n"));
    if (!Strings.isEmpty() && Strings.last().isEmpty())
        Strings.removeLast();
}
