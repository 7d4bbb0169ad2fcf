#pragma once
// Clicks on widgets that have no click of their own, and modal showing for the program's small
// windows (plain QWidget forms, not dialogs).
#include <functional>

class QWidget;

namespace WindowEvents {

// Calls handler when the left button is pressed and released over widget.
void OnClick(QWidget *widget, std::function<void()> handler);

// Shows window modal to the whole application and returns once it is hidden or gone.
void ShowModal(QWidget *window, QWidget *owner = nullptr);

// Brings the window that must be answered first (a message box, a dialog) back on screen and to
// the front, minimized or covered as it may be.
void BringModalWindowBack();

} // namespace WindowEvents
