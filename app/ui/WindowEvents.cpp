#include "app/ui/WindowEvents.h"

#include "platform/desktop/WindowPlace.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

namespace WindowEvents {

namespace {

class TClickFilter : public QObject
{
public:
    TClickFilter(QWidget *widget, std::function<void()> handler)
        : QObject(widget), FWidget(widget), FHandler(std::move(handler))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != FWidget)
            return false;
        if (event->type() == QEvent::MouseButtonPress) {
            FPressed = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
            return FPressed;
        }
        if (event->type() == QEvent::MouseButtonRelease && FPressed) {
            FPressed = false;
            const auto *mouse = static_cast<QMouseEvent *>(event);
            // Released elsewhere: the user changed their mind.
            if (mouse->button() == Qt::LeftButton && FWidget->rect().contains(mouse->position().toPoint()))
                FHandler();
            return true;
        }
        return false;
    }

private:
    QWidget *FWidget;
    std::function<void()> FHandler;
    bool FPressed = false;
};

class THideWatch : public QObject
{
public:
    THideWatch(QWidget *window, QEventLoop *loop) : QObject(window), FLoop(loop) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // A minimize hides the window too, from the window system: it is still open and still
        // holds the program.
        if (event->type() == QEvent::Hide && !event->spontaneous())
            FLoop->quit();
        return false;
    }

private:
    QEventLoop *FLoop;
};

// The toolkit's lookup by native window misses one made anew when the window's flags changed
// (kept on top or not); the widget's own window does not.
QWidget *WidgetOf(const QWindow *window)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->windowHandle() == window)
            return widget;
    return nullptr;
}

} // namespace

void OnClick(QWidget *widget, std::function<void()> handler)
{
    new TClickFilter(widget, std::move(handler));
}

void ShowModal(QWidget *window, QWidget *owner)
{
    // A window that must be answered stays above its owner, even one kept on top of the others.
    if (owner && !window->parentWidget()) {
        window->winId();
        window->windowHandle()->setTransientParent(owner->window()->windowHandle());
    }
    QEventLoop loop;
    QPointer<QWidget> guard(window);
    QPointer<QObject> watch = new THideWatch(window, &loop);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    if (guard && guard->isVisible())
        loop.exec(QEventLoop::DialogExec);
    // The watch must not outlive the loop it quits.
    delete watch.data();
}

void TakeBackDestroyedWindows(QObject *owner, QWidget *mainWindow)
{
    QPointer<QWidget> main(mainWindow);
    WindowPlace::WatchDestroyed(owner, [main](QWindow *lost) {
        QPointer<QWidget> window = WidgetOf(lost);
        // The notification area's icon is the toolkit's own.
        if (!window || window->inherits("QSystemTrayIconSys"))
            return;
        if (main && window == main)
            window->hide();
        else
            window->close();
        if (!window || !window->isHidden() || !window->windowHandle())
            return;
        // A new native window for the next show; without any, a close would skip the window's own
        // close (and the settings it keeps).
        window->windowHandle()->destroy();
        // Still minimized, the new window would be mapped iconic, and a window kept in the
        // notification area would go straight back there at the click meant to show it.
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->windowHandle()->create();
    });
}

void BringModalWindowBack()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    WindowPlace::MapWithdrawn(modal->windowHandle());
    modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
    modal->show();
    modal->raise();
    modal->activateWindow();
}

int TWheelNotches::Add(int angleDelta)
{
    // Turning back starts a new notch instead of first undoing the part of the last one.
    if ((FRest > 0 && angleDelta < 0) || (FRest < 0 && angleDelta > 0))
        FRest = 0;
    const qint64 sum = qint64(FRest) + angleDelta;
    FRest = int(sum % QWheelEvent::DefaultDeltasPerStep);
    return int(sum / QWheelEvent::DefaultDeltasPerStep);
}

} // namespace WindowEvents
