#include "platform/vcl/Application.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>

namespace Application {

namespace {

struct TState
{
    TMessageBoxHook hook;
    TOpenUrlHook openUrlHook;
    bool terminated = false;
    int exitCode = 0;
};

TState &State()
{
    static TState state;
    return state;
}

} // namespace

int MessageBox(const QString &text, const QString &caption, int flags, QWidget *owner)
{
    if (State().hook)
        return State().hook(text, caption, flags);

    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (flags & 0xF0) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (flags & 0x0F) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDOK;
    }
}

void SetMessageBoxHook(TMessageBoxHook hook)
{
    State().hook = std::move(hook);
}

bool OpenUrl(const QString &url)
{
    if (State().openUrlHook)
        return State().openUrlHook(url);
    return QDesktopServices::openUrl(QUrl(url));
}

void SetOpenUrlHook(TOpenUrlHook hook)
{
    State().openUrlHook = std::move(hook);
}

void Terminate(int exitCode)
{
    State().terminated = true;
    State().exitCode = exitCode;
    if (QCoreApplication *app = QCoreApplication::instance())
        QTimer::singleShot(0, app, [exitCode] { QCoreApplication::exit(exitCode); });
}

bool Terminated()
{
    return State().terminated;
}

int ExitCode()
{
    return State().exitCode;
}

void ResetTermination()
{
    State().terminated = false;
    State().exitCode = 0;
}

} // namespace Application
