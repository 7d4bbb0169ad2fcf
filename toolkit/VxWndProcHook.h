#pragma once
// Lets any number of objects watch the events of a control without each installing its own
// filter: every hooked control has one chain of hooks that run before its own handling and one
// that runs after it. Hooks may be added or removed while an event is being dispatched.
#include <QObject>
#include <QPointer>

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

class QEvent;

// The event a hook sees. Result carries the control's own answer to the after-hooks.
struct TVxHookMessage {
    QEvent *Event = nullptr;
    int Msg = 0; // the event's type
    bool Result = false;
};

enum TVxHookOrder { hoBeforeMsg, hoAfterMsg };

// A hook method: an object and one of its methods. Two hooks are the same hook when both are
// equal, which is how a hook is found again to remove it.
class TVxHookMethod
{
public:
    TVxHookMethod() = default;
    template <class T>
    TVxHookMethod(T *object, bool (T::*method)(TVxHookMessage &))
        : FData(object), FCall([object, method](TVxHookMessage &m) { return (object->*method)(m); })
    {
        static_assert(sizeof(method) <= sizeof(FCode));
        std::memcpy(FCode.data(), &method, sizeof(method));
    }
    bool IsEmpty() const { return !FCall; }
    bool operator()(TVxHookMessage &message) const { return FCall(message); }
    bool SameAs(const TVxHookMethod &other) const { return FData == other.FData && FCode == other.FCode; }

private:
    const void *FData = nullptr;
    std::array<unsigned char, 2 * sizeof(void *)> FCode{};
    std::function<bool(TVxHookMessage &)> FCall;
};

class TVxWndProcHook;

// The hooks of one control.
class TVxHookInfos : public QObject
{
    Q_OBJECT
public:
    TVxHookInfos(QObject *control, TVxWndProcHook *controller);
    ~TVxHookInfos() override;

    void Add(TVxHookOrder order, const TVxHookMethod &hook);
    void Delete(TVxHookOrder order, const TVxHookMethod &hook);
    void ControlDestroyed();
    QObject *Control() const { return FControl; }
    bool Hooked() const { return FHooked; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Node {
        TVxHookMethod Hook;
        std::unique_ptr<Node> Next;
    };
    struct Cursors {
        Node *At[2] = {nullptr, nullptr};
    };

    void HookControl();
    void UnhookControl();
    bool RunChain(TVxHookOrder order, size_t dispatch, TVxHookMessage &message);

    std::unique_ptr<Node> FFirst[2];
    Node *FLast[2] = {nullptr, nullptr};
    // One entry per dispatch in progress, innermost last.
    std::vector<Cursors> FStack;
    QObject *FControl;
    bool FControlDestroyed = false;
    bool FHooked = false;
    TVxWndProcHook *FController;
};

// The process-wide hook service.
class TVxWndProcHook : public QObject
{
    Q_OBJECT
public:
    static TVxWndProcHook *Instance();
    ~TVxWndProcHook() override;

    bool RegisterWndProcHook(QObject *control, const TVxHookMethod &hook, TVxHookOrder order);
    bool UnRegisterWndProcHook(QObject *control, const TVxHookMethod &hook, TVxHookOrder order);
    // The hooks of a control, or none.
    TVxHookInfos *Find(QObject *control) const;
    void Forget(TVxHookInfos *infos);

private:
    TVxWndProcHook() = default;
    std::vector<TVxHookInfos *> FHookInfos;
};

bool RegisterWndProcHook(QObject *control, const TVxHookMethod &hook, TVxHookOrder order);
bool UnRegisterWndProcHook(QObject *control, const TVxHookMethod &hook, TVxHookOrder order);

// Frees objects from a posted event, once the dispatch that asked for it has unwound.
class TVxReleaser : public QObject
{
    Q_OBJECT
public:
    static TVxReleaser *Instance();
    void Release(QObject *object);
    bool Waiting(QObject *object) const;

protected:
    void customEvent(QEvent *event) override;

private:
    TVxReleaser() = default;
    std::vector<QPointer<QObject>> FReleasing;
};
