#pragma once
// Clicks on widgets that have no click of their own, modal showing for the program's small
// windows (plain QWidget forms, not dialogs), and the wheel counted in whole notches.
#include <functional>

class QObject;
class QWidget;

namespace WindowEvents {

// Calls handler when the left button is pressed and released over widget.
void OnClick(QWidget *widget, std::function<void()> handler);

// Shows window modal to the whole application and returns once it is hidden or gone.
void ShowModal(QWidget *window, QWidget *owner = nullptr);

// What becomes, for as long as owner lives, of a window of the program that another program
// destroys: the main window, which holds the program's work, is hidden and comes back at the next
// request to show it (a second start, the hot key, the notification area); any other is closed as
// by its close button (a message box or dialog unanswered, the preview giving its text back).
void TakeBackDestroyedWindows(QObject *owner, QWidget *mainWindow = nullptr);

// Brings the window that must be answered first (a message box, a dialog) back on screen and to
// the front, minimized or covered as it may be.
void BringModalWindowBack();

// Whole notches of a wheel: a touchpad or a fine wheel sends one notch as many small steps, each
// of which must not count as a notch of its own.
class TWheelNotches
{
public:
    // The notches that this step of the wheel completes, forward positive.
    int Add(int angleDelta);

private:
    int FRest = 0;
};

} // namespace WindowEvents
