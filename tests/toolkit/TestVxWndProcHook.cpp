// The hook chains of a control: order, changes during a dispatch, suppression, and a control
// destroyed while its hooks run.
#include "toolkit/VxWndProcHook.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string trace;

class TControl : public QObject
{
public:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            trace += "handler ";
        return QObject::event(e);
    }
};

struct THooks {
    QObject *Control = nullptr;
    bool Suppress = false;
    bool KillControl = false;
    bool A(TVxHookMessage &)
    {
        trace += "A ";
        UnRegisterWndProcHook(Control, {this, &THooks::B}, hoBeforeMsg);
        RegisterWndProcHook(Control, {this, &THooks::D}, hoBeforeMsg);
        return false;
    }
    bool B(TVxHookMessage &) { trace += "B "; return false; }
    bool C(TVxHookMessage &) { trace += "C "; return Suppress; }
    bool D(TVxHookMessage &) { trace += "D "; return false; }
    bool After(TVxHookMessage &m)
    {
        trace += m.Result ? "after(true) " : "after(false) ";
        return false;
    }
    bool Killer(TVxHookMessage &)
    {
        trace += "killer ";
        if (KillControl)
            delete Control;
        return false;
    }
};

void Send(QObject *control)
{
    trace.clear();
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(control, &e);
}

struct App {
    int argc = 1;
    char name[8] = "test";
    char *argv[1] = {name};
    QCoreApplication app{argc, argv};
};

} // namespace

TEST(WndProcHook, ChainChangesDuringADispatchTakeEffectAtOnce)
{
    App app;
    TControl control;
    THooks h;
    h.Control = &control;
    ASSERT_TRUE(RegisterWndProcHook(&control, {&h, &THooks::A}, hoBeforeMsg));
    ASSERT_TRUE(RegisterWndProcHook(&control, {&h, &THooks::B}, hoBeforeMsg));
    ASSERT_TRUE(RegisterWndProcHook(&control, {&h, &THooks::C}, hoBeforeMsg));
    ASSERT_TRUE(RegisterWndProcHook(&control, {&h, &THooks::After}, hoAfterMsg));
    Send(&control);
    EXPECT_EQ(trace, "A C D handler after(true) ");

    // A adds D again (a second node) and removes nothing further: the chain is now A C D D.
    Send(&control);
    EXPECT_EQ(trace, "A C D D handler after(true) ");

    h.Suppress = true; // a before-hook that answers true hides the event from the rest
    Send(&control);
    EXPECT_EQ(trace, "A C ");
}

TEST(WndProcHook, RemovingTheLastHookUnhooksTheControl)
{
    App app;
    TControl control;
    THooks h;
    EXPECT_FALSE(RegisterWndProcHook(nullptr, {&h, &THooks::B}, hoBeforeMsg));
    EXPECT_FALSE(RegisterWndProcHook(&control, TVxHookMethod(), hoBeforeMsg));
    EXPECT_FALSE(UnRegisterWndProcHook(&control, {&h, &THooks::B}, hoBeforeMsg)); // never hooked

    ASSERT_TRUE(RegisterWndProcHook(&control, {&h, &THooks::B}, hoBeforeMsg));
    ASSERT_TRUE(RegisterWndProcHook(&control, {&h, &THooks::After}, hoAfterMsg));
    TVxHookInfos *infos = TVxWndProcHook::Instance()->Find(&control);
    ASSERT_NE(infos, nullptr);
    EXPECT_TRUE(infos->Hooked());
    // Another object's method of the same name is another hook.
    THooks other;
    EXPECT_TRUE(UnRegisterWndProcHook(&control, {&other, &THooks::B}, hoBeforeMsg));
    Send(&control);
    EXPECT_EQ(trace, "B handler after(true) ");

    EXPECT_TRUE(UnRegisterWndProcHook(&control, {&h, &THooks::B}, hoBeforeMsg));
    EXPECT_TRUE(infos->Hooked());
    EXPECT_TRUE(UnRegisterWndProcHook(&control, {&h, &THooks::After}, hoAfterMsg));
    EXPECT_FALSE(infos->Hooked());
    Send(&control);
    EXPECT_EQ(trace, "handler ");
}

TEST(WndProcHook, AControlDestroyedByAHookStopsTheDispatch)
{
    App app;
    auto *control = new TControl;
    THooks h;
    h.Control = control;
    h.KillControl = true;
    ASSERT_TRUE(RegisterWndProcHook(control, {&h, &THooks::Killer}, hoBeforeMsg));
    ASSERT_TRUE(RegisterWndProcHook(control, {&h, &THooks::B}, hoBeforeMsg));
    QPointer<TVxHookInfos> infos = TVxWndProcHook::Instance()->Find(control);
    Send(control);
    EXPECT_EQ(trace, "killer ");
    EXPECT_EQ(TVxWndProcHook::Instance()->Find(control), nullptr);
    ASSERT_FALSE(infos.isNull()); // kept until the dispatch has unwound
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(infos.isNull());
}
