#include "toolkit/VxWndProcHook.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

TVxHookInfos::TVxHookInfos(QObject *control, TVxWndProcHook *controller)
    : QObject(controller), FControl(control), FController(controller)
{
    connect(control, &QObject::destroyed, this, &TVxHookInfos::ControlDestroyed);
}

TVxHookInfos::~TVxHookInfos()
{
    FController->Forget(this);
    UnhookControl();
    // Unlink iteratively: a long chain must not recurse through its nodes' destructors.
    for (auto &first : FFirst)
        while (first)
            first = std::move(first->Next);
}

void TVxHookInfos::Add(TVxHookOrder order, const TVxHookMethod &hook)
{
    auto node = std::make_unique<Node>();
    node->Hook = hook;
    Node *added = node.get();
    if (FLast[order])
        FLast[order]->Next = std::move(node);
    else
        FFirst[order] = std::move(node);
    FLast[order] = added;
    // A dispatch that has run off the end of this chain, or not yet come to it, runs the new hook.
    for (Cursors &c : FStack)
        if (!c.At[order])
            c.At[order] = added;
    HookControl();
}

void TVxHookInfos::Delete(TVxHookOrder order, const TVxHookMethod &hook)
{
    Node *previous = nullptr;
    Node *node = FFirst[order].get();
    while (node && !node->Hook.SameAs(hook)) {
        previous = node;
        node = node->Next.get();
    }
    if (!node)
        return;
    for (Cursors &c : FStack)
        if (c.At[order] == node)
            c.At[order] = node->Next.get();
    if (FLast[order] == node)
        FLast[order] = previous;
    std::unique_ptr<Node> &link = previous ? previous->Next : FFirst[order];
    link = std::move(node->Next); // frees the node
    if (!FFirst[hoBeforeMsg] && !FFirst[hoAfterMsg])
        UnhookControl();
}

void TVxHookInfos::ControlDestroyed()
{
    if (FControlDestroyed)
        return;
    FControlDestroyed = true;
    FHooked = false; // the control takes its filters with it
    FController->Forget(this);
    TVxReleaser::Instance()->Release(this);
}

void TVxHookInfos::HookControl()
{
    if (FHooked || FControlDestroyed)
        return;
    FControl->installEventFilter(this);
    FHooked = true;
}

void TVxHookInfos::UnhookControl()
{
    if (!FHooked)
        return;
    FControl->removeEventFilter(this);
    FHooked = false;
}

bool TVxHookInfos::RunChain(TVxHookOrder order, size_t dispatch, TVxHookMessage &message)
{
    while (Node *node = FStack[dispatch].At[order]) {
        FStack[dispatch].At[order] = node->Next.get();
        const TVxHookMethod hook = node->Hook; // the hook may delete its own node
        if (hook(message))
            return true;
        if (FControlDestroyed)
            return false;
    }
    return false;
}

bool TVxHookInfos::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FControl || FControlDestroyed)
        return false;
    TVxHookMessage message{event, int(event->type()), false};
    FStack.push_back({});
    const size_t dispatch = FStack.size() - 1;
    FStack[dispatch].At[hoBeforeMsg] = FFirst[hoBeforeMsg].get();
    const bool handled = RunChain(hoBeforeMsg, dispatch, message);
    if (!handled && !FControlDestroyed) {
        // The control's own handling; Qt keeps propagating an ignored event by its accepted flag.
        message.Result = FControl->event(event);
        if (!FControlDestroyed) {
            FStack[dispatch].At[hoAfterMsg] = FFirst[hoAfterMsg].get();
            RunChain(hoAfterMsg, dispatch, message);
        }
    }
    FStack.pop_back();
    return true;
}

TVxWndProcHook *TVxWndProcHook::Instance()
{
    // Freed with the application, while the controls it may still hook are alive.
    static QPointer<TVxWndProcHook> service;
    if (!service) {
        service = new TVxWndProcHook;
        service->setParent(QCoreApplication::instance());
    }
    return service;
}

TVxWndProcHook::~TVxWndProcHook()
{
    // Freed here rather than by ~QObject: each one reports back to this list as it goes.
    for (TVxHookInfos *infos : findChildren<TVxHookInfos *>(QString(), Qt::FindDirectChildrenOnly))
        delete infos;
}

TVxHookInfos *TVxWndProcHook::Find(QObject *control) const
{
    auto it = std::find_if(FHookInfos.begin(), FHookInfos.end(),
                           [control](TVxHookInfos *i) { return i->Control() == control; });
    return it == FHookInfos.end() ? nullptr : *it;
}

void TVxWndProcHook::Forget(TVxHookInfos *infos)
{
    FHookInfos.erase(std::remove(FHookInfos.begin(), FHookInfos.end(), infos), FHookInfos.end());
}

bool TVxWndProcHook::RegisterWndProcHook(QObject *control, const TVxHookMethod &hook, TVxHookOrder order)
{
    if (!control || hook.IsEmpty())
        return false;
    TVxHookInfos *infos = Find(control);
    if (!infos) {
        infos = new TVxHookInfos(control, this);
        FHookInfos.push_back(infos);
    }
    infos->Add(order, hook);
    return true;
}

bool TVxWndProcHook::UnRegisterWndProcHook(QObject *control, const TVxHookMethod &hook, TVxHookOrder order)
{
    if (!control || hook.IsEmpty())
        return false;
    TVxHookInfos *infos = Find(control);
    if (!infos)
        return false;
    infos->Delete(order, hook);
    return true;
}

bool RegisterWndProcHook(QObject *control, const TVxHookMethod &hook, TVxHookOrder order)
{
    return TVxWndProcHook::Instance()->RegisterWndProcHook(control, hook, order);
}

bool UnRegisterWndProcHook(QObject *control, const TVxHookMethod &hook, TVxHookOrder order)
{
    return TVxWndProcHook::Instance()->UnRegisterWndProcHook(control, hook, order);
}

namespace {
const QEvent::Type ReleaseEventType = QEvent::Type(QEvent::registerEventType());

class TReleaseEvent : public QEvent
{
public:
    explicit TReleaseEvent(QObject *object) : QEvent(ReleaseEventType), Object(object) {}
    QPointer<QObject> Object;
};
} // namespace

TVxReleaser *TVxReleaser::Instance()
{
    static QPointer<TVxReleaser> releaser;
    if (!releaser) {
        releaser = new TVxReleaser;
        releaser->setParent(QCoreApplication::instance());
    }
    return releaser;
}

bool TVxReleaser::Waiting(QObject *object) const
{
    return std::find(FReleasing.begin(), FReleasing.end(), object) != FReleasing.end();
}

void TVxReleaser::Release(QObject *object)
{
    if (!object || Waiting(object))
        return;
    FReleasing.emplace_back(object);
    QCoreApplication::postEvent(this, new TReleaseEvent(object));
}

void TVxReleaser::customEvent(QEvent *event)
{
    if (event->type() != ReleaseEventType)
        return;
    QObject *object = static_cast<TReleaseEvent *>(event)->Object;
    FReleasing.erase(std::remove(FReleasing.begin(), FReleasing.end(), object), FReleasing.end());
    delete object; // handed over to us by Release
}
