#pragma once
// Keeps the number of running copies of the program within MaxInstances: a copy over the limit
// brings the oldest one to the front, may hand it its command line, and ends. While running,
// it turns the instance registry's messages into signals.
#include "platform/kernel/KernelWindows.h"

#include <QObject>
#include <QStringList>

class TOsAppInstances;

inline const QString VxAppInstancesWindowClass = QStringLiteral("VxAppInstances_WindowClass");

class TVxAppInstances : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(bool AutoActivate READ AutoActivate WRITE SetAutoActivate)
    Q_PROPERTY(int MaxInstances READ MaxInstances WRITE SetMaxInstances)
    Q_PROPERTY(bool SendCmdLine READ SendCmdLine WRITE SetSendCmdLine)
public:
    // Registers the process (the first component of a process only). Raises the registry's
    // errors when it cannot be made.
    explicit TVxAppInstances(QObject *AOwner = nullptr);
    ~TVxAppInstances() override;

    bool Active() const { return FActive; }
    void SetActive(bool value) { FActive = value; }
    bool AutoActivate() const { return FAutoActivate; }
    void SetAutoActivate(bool value) { FAutoActivate = value; }
    int MaxInstances() const { return FMaxInstances; }
    void SetMaxInstances(int value) { FMaxInstances = value; }
    bool SendCmdLine() const { return FSendCmdLine; }
    void SetSendCmdLine(bool value) { FSendCmdLine = value; }

    TOsAppInstances *AppInstances() const;
    HWND Handle() const { return FHandle; }

    // Called when the properties are set: a process over the limit ends here with exit code 0.
    void Loaded();
    void Check();
    // Code 3 with Param to every registered instance.
    void UserNotify(int Param);
    // Data of a caller's kind to the other instances' components.
    void SendData(int DataKind, const void *Data, int Size);

signals:
    void OnInstanceCreated(QObject *Sender, quint32 ProcessId);
    void OnInstanceDestroyed(QObject *Sender, quint32 ProcessId);
    void OnUserNotify(QObject *Sender, int Param);
    void OnDataAvailable(QObject *Sender, int Kind, const void *Data, int Size);
    void OnCmdLineReceived(QObject *Sender, const QStringList &CmdLine);
    void OnRejected(QObject *Sender);

protected:
    virtual void WndProc(TMessage &Msg);
    virtual void DoInstanceCreated(quint32 ProcessId) { emit OnInstanceCreated(this, ProcessId); }
    virtual void DoInstanceDestroyed(quint32 ProcessId) { emit OnInstanceDestroyed(this, ProcessId); }
    virtual void DoUserNotify(int Param) { emit OnUserNotify(this, Param); }
    virtual void DoDataAvailable(int Kind, const void *Data, int Size) { emit OnDataAvailable(this, Kind, Data, Size); }
    virtual void DoCmdLineReceived(const QStringList &CmdLine) { emit OnCmdLineReceived(this, CmdLine); }
    virtual void DoRejected() { emit OnRejected(this); }
    // False as soon as another instance answers that it is inactive.
    bool QueryOthersActive();

private:
    void HandleMessage(TMessage &Msg);

    HWND FHandle = 0;
    bool FAutoActivate = true;
    int FMaxInstances = 1;
    bool FActive = true;
    bool FSendCmdLine = true;
};
