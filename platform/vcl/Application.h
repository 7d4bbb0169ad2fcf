#pragma once
// The few services of the class library's application object the program calls: message boxes
// with the Windows flag values the program's texts were written for, and a termination request
// that also works before the event loop has started.
#include <QString>
#include <functional>

class QWidget;

namespace Application {

enum TMessageBoxFlags {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};

enum TMessageBoxResult { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Shows a modal box; the button set and icon come from flags; the result is the pressed button.
int MessageBox(const QString &text, const QString &caption, int flags, QWidget *owner = nullptr);

// Tests answer boxes through a hook instead of a window; an empty hook restores the real boxes.
using TMessageBoxHook = std::function<int(const QString &text, const QString &caption, int flags)>;
void SetMessageBoxHook(TMessageBoxHook hook);

// Opens a web page or mail link in the user's own programs; false when none would take it.
bool OpenUrl(const QString &url);

// Tests catch the addresses through a hook instead of starting a browser; an empty hook restores it.
using TOpenUrlHook = std::function<bool(const QString &url)>;
void SetOpenUrlHook(TOpenUrlHook hook);

// Ends the event loop at its next turn with exitCode; before the loop runs, main() asks
// Terminated() and returns ExitCode() instead of entering it.
void Terminate(int exitCode = 0);
bool Terminated();
int ExitCode();
void ResetTermination();

// A request to end from outside (SIGTERM at logout or shutdown, SIGHUP, SIGINT) ends the event loop
// as Terminate(0) does instead of killing the process on the spot; one the launcher ignored stays
// ignored. Call once the application object exists.
void CatchTerminationSignals();

// Standard streams a launcher closed (a script's "2>&-") are opened on /dev/null. Otherwise the
// first files and sockets take their numbers, and the libraries' warnings go into the display
// connection or a file being saved. Call first thing, before any file is opened.
void KeepStandardStreamsOpen();

// A write past the user's file-size limit (ulimit -f) fails as a full disk does, and the save
// says so, instead of the signal ending the program with the song unsaved.
void FailWritesPastTheFileSizeLimit();

// A warning written to an output nobody reads any more (a launcher's log pipe that has gone) is
// lost instead of the signal ending the program.
void FailWritesToAClosedPipe();

} // namespace Application
