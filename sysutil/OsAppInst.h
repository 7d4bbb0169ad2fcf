#pragma once
// The registry of the running instances of one executable, shared by every instance: a list of
// process ids in named shared memory under a named optex, a registered message that tells every
// instance when one joins or leaves, data sent to the windows of the other instances, and
// bringing another instance to the front.
#include "platform/kernel/KernelWindows.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class TOsSwapFileMapping;
class TOsFileMappingView;
class TOsOptex;

#pragma pack(push, 1)
struct TOsAppInstSharedData
{
    quint16 MaxInst;          // 0 until the first registration sets it
    quint16 Count;
    quint32 ProcessIDs[257];  // oldest first, no gaps
};
#pragma pack(pop)
static_assert(sizeof(TOsAppInstSharedData) == 1032);

// The codes of the registry's message (its wParam); lParam is the argument.
enum TAppInstanceMessageCode {
    AI_INSTANCECREATED = 1, // a process id
    AI_INSTANCEDESTROYED = 2,
    AI_USERMSG = 3,
    AI_QUERYACTIVE = 4,     // the asking window
    AI_ANSWERACTIVE = 5,    // 1 active, 0 inactive
};
inline constexpr int AppInstCmdLineDataKind = 1;
inline constexpr int MaxRegisteredInstances = 257;

class TOsAppInstances
{
public:
    // Raises EOsFileMappingError, EOsFileMappingViewError or EOsEventError.
    TOsAppInstances();
    ~TOsAppInstances();
    TOsAppInstances(const TOsAppInstances &) = delete;
    TOsAppInstances &operator=(const TOsAppInstances &) = delete;

    // Registers this process; true while the list held fewer than the first caller's limit.
    bool CheckInstance(quint16 MaxInstances);
    void RemoveInstance();

    int InstanceCount() const;
    quint32 ProcessIDs(int Index) const;
    int InstanceIndex(quint32 ProcessID) const;
    HWND AppWnds(int Index) const;
    quint32 MessageID() const { return FMessageID; }

    static HWND GetApplicationWnd(quint32 ProcessID);
    static void BringAppWindowToFront(HWND Wnd);
    static bool SetForegroundWindow98(HWND Wnd);
    bool SwitchTo(int Index);

    void NotifyInstances(int Code, qint64 Param);

    bool SendData(const QString &WindowClassName, int DataKind, const void *Data, int Size, HWND OriginatorWnd);
    bool SendString(const QString &WindowClassName, int DataKind, const QString &S, HWND OriginatorWnd);
    bool SendStrings(const QString &WindowClassName, int DataKind, const QStringList &Strings, HWND OriginatorWnd);
    bool SendCmdLineParams(const QString &WindowClassName, HWND OriginatorWnd);

private:
    void InitData();
    TOsAppInstSharedData *Shared() const;
    // Takes out the ids of processes that ended without leaving (killed); the optex is held.
    void PruneDeadInstances();

    quint32 FCPID = 0;
    std::unique_ptr<TOsSwapFileMapping> FMapping;
    TOsFileMappingView *FMappingView = nullptr; // owned by FMapping
    quint32 FMessageID = 0;
    std::unique_ptr<TOsOptex> FOptex;
};

// The process's one registry, made on first use; freed when the application object goes.
TOsAppInstances *ProcessInstanceRegistry();
// Frees it now: this process leaves the list and the others are told.
void FreeProcessInstanceRegistry();

// Instances of one executable share "OS" and its path, upper-cased; an override names the
// registry instead (set it before the first use).
void SetApplicationIdOverride(const QString &id);
QString ApplicationInstancesId();

// For a WM_COPYDATA not sent by IgnoredOriginatorWnd: Result 1 and the data kind; otherwise
// Result 0 and -1.
int ForeignCopyDataKind(TMessage &Message, HWND IgnoredOriginatorWnd);
void CopyDataPayload(const TMessage &Message, QByteArray &Data);
void CopyDataPayloadAsText(const TMessage &Message, QString &S);
void CopyDataPayloadAsLines(const TMessage &Message, QStringList &Strings);
